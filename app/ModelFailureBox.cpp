// The program's side of the model layer's failure seam.
#include "FailureReport.h"
#include "UserTexts.h"

#include <windows.h>

void ReportModelFailure(ModelFailure failure)
{
    const char* text = failure == ModelFailure::LoadFailed ? kLoadFailedText : kSaveFailedText;
    MessageBoxA(nullptr, text, nullptr, MB_OK | MB_ICONHAND);
}
