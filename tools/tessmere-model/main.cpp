#include "FailureReport.h"
#include "ModelTool.h"

#include <csignal>
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
// NOTE: narrow arguments come in the ANSI code page, which cannot name every file; the tool takes
// the wide ones and works in UTF-8 throughout, paths and messages alike.
int wmain(int argc, wchar_t** argv)
{
    SetConsoleOutputCP(CP_UTF8);
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i)
        args.push_back(std::filesystem::path(argv[i]).u8string());
    return RunTessmereModel(args, std::cout, std::cerr);
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
