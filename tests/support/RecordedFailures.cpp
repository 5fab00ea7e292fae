#include "RecordedFailures.h"

std::vector<ModelFailure>& ReportedFailures()
{
    static std::vector<ModelFailure> failures;
    return failures;
}

void ReportModelFailure(ModelFailure failure, long)
{
    ReportedFailures().push_back(failure);
}
