// The one seam through which the model layer tells the user that the model file failed.
#pragma once

enum class ModelFailure
{
    LoadFailed,      // the file cannot be opened for reading
    SaveFailed,      // nothing was saved: the old file, if any, is as it was
    SaveLeftDamaged, // an in-place rewrite failed and the old bytes could not be put back
};

// Tells the user, in the words of the program at hand, and returns once it has been
// acknowledged. The program shows a message box; tests and tools supply their own.
void ReportModelFailure(ModelFailure failure);
