#include "RecordedFailures.h"

std::vector<ModelFailure>& ReportedFailures()
{
    static std::vector<ModelFailure> failures;
    return failures;
}

namespace
{
long reportedLine = 0;
}

long ReportedLine()
{
    return reportedLine;
}

void ReportModelFailure(ModelFailure failure, long line)
{
    ReportedFailures().push_back(failure);
    reportedLine = line;
}
