// The program's side of the model layer's failure seam.
#include "FailureReport.h"
#include "UserTexts.h"

#include <windows.h>

void ReportModelFailure(ModelFailure failure, long line)
{
    char damaged[128];
    wsprintfA(damaged, kModelDamagedFormat, static_cast<int>(line));
    const char* text = failure == ModelFailure::LoadFailed    ? kLoadFailedText
                       : failure == ModelFailure::FileDamaged ? damaged
                                                              : kSaveFailedText;
    MessageBoxA(nullptr, text, nullptr, MB_OK | MB_ICONHAND);
}
