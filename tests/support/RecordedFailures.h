// Test stand-in for the model layer's failure messages: records them instead of showing them.
#pragma once

#include "FailureReport.h"

#include <vector>

// Every failure reported since the last ClearReportedFailures, oldest first.
const std::vector<ModelFailure>& ReportedFailures();
void ClearReportedFailures();
