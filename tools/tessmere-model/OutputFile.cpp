#include "OutputFile.h"

#include "FileReplacement.h"

#include <filesystem>
#include <ostream>
#include <system_error>

namespace fs = std::filesystem;

bool MayWrite(const std::string& path, bool force, std::string& error)
{
    std::error_code ec;
    if (force || !fs::exists(fs::symlink_status(path, ec)))
        return true;
    error = path + " already exists; give --force to replace it";
    return false;
}

bool WriteFileAtomically(const std::string& path, const std::string& bytes, std::string& error)
{
    const bool replaced = ReplaceFile(path, [&bytes](std::ostream& out) {
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        return !out.fail();
    });
    if (!replaced)
        error = "cannot write " + path + " (a read-only file, not a file, or the write failed)";
    return replaced;
}
