// Test stand-in for the model layer's failure messages: records them instead of showing them.
#pragma once

#include "FailureReport.h"

#include <vector>

// Every failure reported so far, oldest first; a test that counts them clears it first.
std::vector<ModelFailure>& ReportedFailures();
