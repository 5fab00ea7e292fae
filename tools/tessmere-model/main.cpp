#include "FailureReport.h"
#include "ModelTool.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <string>
#ifdef _WIN32
#include <windows.h>
#endif

// The model layer names the failure; a console wants it in English.
void ReportModelFailure(ModelFailure failure, long line)
{
    std::cerr << "tessmere-model: "
              << (failure == ModelFailure::LoadFailed
                      ? "the model file cannot be opened for reading"
                  : failure == ModelFailure::FileDamaged
                      ? "line " + std::to_string(line) + " of the model file is damaged"
                  : failure == ModelFailure::SaveFailed
                      ? "the model file cannot be written (read-only, not a file, or the folder "
                        "or disk refused it); any old file is left as it was"
                      : DamagedText("the model file"))
              << "\n";
}

#ifdef _WIN32
namespace
{
// The console's output code page as the tool found it: the console outlives the tool, and the
// programs run in it next print in that code page.
UINT foundOutputCodePage = 0;

void RestoreOutputCodePage()
{
    // What is still buffered goes out first, in the code page it was written for.
    std::fflush(nullptr);
    if (foundOutputCodePage != 0)
        SetConsoleOutputCP(foundOutputCodePage);
}

BOOL WINAPI OnConsoleInterrupt(DWORD)
{
    RestoreOutputCodePage();
    return FALSE; // and the process ends as it would have
}
} // namespace

// NOTE: narrow arguments come in the ANSI code page, which cannot name every file; the tool takes
// the wide ones and works in UTF-8 throughout, paths and messages alike.
int wmain(int argc, wchar_t** argv)
{
    foundOutputCodePage = GetConsoleOutputCP();
    std::atexit(RestoreOutputCodePage);
    SetConsoleCtrlHandler(OnConsoleInterrupt, TRUE);
    SetConsoleOutputCP(CP_UTF8);
    try
    {
        std::vector<std::string> args;
        for (int i = 1; i < argc; ++i)
            args.push_back(std::filesystem::path(argv[i]).u8string());
        return RunTessmereModel(args, std::cout, std::cerr);
    }
    catch (...)
    {
        // Out of memory before the command ran: an uncaught exception would skip the exit's
        // clean-up, the code page included.
        std::cerr << "tessmere-model: out of memory\n";
        return 1;
    }
}
#else
int main(int argc, char** argv)
{
    // A write past the file-size limit then fails like one to a full disk, and the save cleans
    // up after itself instead of the process ending half way.
    std::signal(SIGXFSZ, SIG_IGN);
    return RunTessmereModel({argv + 1, argv + argc}, std::cout, std::cerr);
}
#endif
