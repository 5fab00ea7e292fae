// The one seam through which the model layer tells the user that the model file failed.
#pragma once

enum class ModelFailure
{
    LoadFailed,      // the file cannot be opened or read, or is far larger than any model
    FileDamaged,     // a line cannot be used: nothing was loaded, the grid is as it was
    SaveFailed,      // nothing was saved: the old file, if any, is as it was
    SaveLeftDamaged, // an in-place rewrite failed and the old bytes could not be put back
};

// Tells the user, in the words of the program at hand, and returns once it has been
// acknowledged. The program shows a message box; tests and tools supply their own. line is the
// 1-based line of a damaged file, else 0.
void ReportModelFailure(ModelFailure failure, long line = 0);
