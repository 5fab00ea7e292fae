#include "BenchFailures.h"

#include "FailureReport.h"

namespace
{
int failures = 0;
}

void ReportModelFailure(ModelFailure)
{
    ++failures;
}

int ReportedModelFailures()
{
    return failures;
}
