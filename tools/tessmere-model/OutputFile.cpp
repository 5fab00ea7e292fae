#include "OutputFile.h"

#include "FileStore.h"

#include <system_error>

namespace fs = std::filesystem;

fs::path PathOf(const std::string& argument)
{
    return fs::u8path(argument);
}

bool MayWrite(const std::string& path, bool force, std::string& error)
{
    std::error_code ec;
    if (force || !fs::exists(fs::symlink_status(PathOf(path), ec)))
        return true;
    error = path + " already exists; give --force to replace it";
    return false;
}

std::string DamagedText(const std::string& what)
{
    return what + " could not be rewritten in place and its old contents could not be put back: "
                  "it may be damaged";
}

bool WriteOutput(const std::string& path, const std::string& bytes, std::string& error)
{
    const SaveOutcome outcome = SaveFile(PathOf(path), bytes);
    if (outcome == SaveOutcome::Unchanged)
        error =
            "cannot write " + path +
            " (a read-only file, not a file, or the write failed); any old file is left as it was";
    else if (outcome == SaveOutcome::Damaged)
        error = DamagedText(path);
    return outcome == SaveOutcome::Saved;
}
