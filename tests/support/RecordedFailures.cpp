#include "RecordedFailures.h"

namespace
{
std::vector<ModelFailure> failures;
} // namespace

void ReportModelFailure(ModelFailure failure)
{
    failures.push_back(failure);
}

const std::vector<ModelFailure>& ReportedFailures()
{
    return failures;
}

void ClearReportedFailures()
{
    failures.clear();
}
