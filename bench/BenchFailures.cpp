#include "BenchFailures.h"

#include "FailureReport.h"

namespace
{
int failures = 0;
}

void ReportModelFailure(const char*)
{
    ++failures;
}

int ReportedModelFailures()
{
    return failures;
}
