#include "RecordedFailures.h"

#include "FailureReport.h"

namespace
{
std::vector<std::string> messages;
} // namespace

void ReportModelFailure(const char* message)
{
    messages.push_back(message);
}

const std::vector<std::string>& ReportedFailures()
{
    return messages;
}

void ClearReportedFailures()
{
    messages.clear();
}
