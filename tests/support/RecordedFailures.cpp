#include "RecordedFailures.h"

#include "FailureReport.h"

namespace
{
std::vector<std::string>& Store()
{
    static std::vector<std::string> messages;
    return messages;
}
} // namespace

void ReportModelFailure(const char* message)
{
    Store().push_back(message);
}

const std::vector<std::string>& ReportedFailures()
{
    return Store();
}

void ClearReportedFailures()
{
    Store().clear();
}
