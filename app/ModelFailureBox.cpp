// The program's side of the model layer's failure seam: a modal stop box with no owner.
#include "FailureReport.h"

#include <windows.h>

void ReportModelFailure(const char* message)
{
    MessageBoxA(nullptr, message, nullptr, MB_OK | MB_ICONHAND);
}
