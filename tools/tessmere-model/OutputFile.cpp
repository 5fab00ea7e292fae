#include "OutputFile.h"

#include <filesystem>
#include <fstream>
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
    std::error_code ec;
    const fs::file_status old = fs::status(path, ec);
    if (fs::exists(old) && (!fs::is_regular_file(old) ||
                            (old.permissions() & fs::perms::owner_write) == fs::perms::none))
    {
        error = path + " is not a writable file";
        return false;
    }
    const std::string temporary = path + ".tmp";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        out.close();
        if (!out)
        {
            fs::remove(temporary, ec);
            error = "cannot write " + path;
            return false;
        }
    }
    fs::rename(temporary, path, ec);
    if (ec)
    {
        std::error_code ignored;
        fs::remove(temporary, ignored);
        error = "cannot replace " + path + ": " + ec.message();
        return false;
    }
    return true;
}
