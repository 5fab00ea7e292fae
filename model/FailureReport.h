// The one seam through which the model layer tells the user that the model file failed.
#pragma once

// Shows message (Shift-JIS text) to the user and returns once it has been acknowledged.
// The program implements it with a message box; tests and tools supply their own.
void ReportModelFailure(const char* message);
