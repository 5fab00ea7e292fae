#include "FailureReport.h"
#include "ModelFile.h"
#include "ModelTool.h"

#include <cstdio>
#include <cstring>
#include <exception>
#include <iostream>

// The model layer's messages are the program's Shift-JIS texts; a console wants English.
void ReportModelFailure(const char* message)
{
    const char* english = "the model file failed";
    if (std::strcmp(message, kLoadFailedText) == 0)
        english = "the model file cannot be opened for reading";
    else if (std::strcmp(message, kSaveFailedText) == 0)
        english = "the model file cannot be written (read-only, not a file, or the folder or disk "
                  "refused it); any old file is left as it was";
    std::fprintf(stderr, "tessmere-model: %s\n", english);
}

int main(int argc, char** argv)
{
    try
    {
        return RunTessmereModel(std::vector<std::string>(argv + 1, argv + argc), std::cout,
                                std::cerr);
    }
    catch (const std::exception& e)
    {
        // Out of memory, in practice: said plainly rather than as an abort.
        std::cerr << "tessmere-model: " << e.what() << "\n";
        return kExitFileFailed;
    }
}
