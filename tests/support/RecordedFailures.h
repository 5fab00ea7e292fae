// Test stand-in for the model layer's failure messages: records them instead of showing them.
#pragma once

#include <string>
#include <vector>

// Every message reported since the last ClearReportedFailures, oldest first.
const std::vector<std::string>& ReportedFailures();
void ClearReportedFailures();
