#include "FileReplacement.h"

#include <filesystem>
#include <fstream>
#include <system_error>

namespace fs = std::filesystem;

namespace
{
// The new file is written under this name beside the old one and renamed over it at the end.
std::string TemporaryName(const fs::path& target)
{
    return target.string() + ".tmp";
}

fs::path ResolveTarget(const std::string& path)
{
    std::error_code ec;
    fs::path target(path);
    if (fs::is_symlink(fs::symlink_status(target, ec)))
    {
        fs::path resolved = fs::canonical(target, ec);
        if (!ec)
            return resolved;
    }
    return target;
}

// True when write succeeded and the file took every byte, its close included.
bool WriteAndClose(std::ofstream& out, const std::function<bool(std::ostream&)>& write)
{
    const bool written = write(out);
    out.close();
    return written && !out.fail();
}
} // namespace

bool ReplaceFile(const std::string& path, const std::function<bool(std::ostream&)>& write)
{
    std::error_code ec;
    const fs::path target = ResolveTarget(path);
    const fs::file_status old = fs::status(target, ec);
    // A read-only file stays as it is, even where the rename itself would be allowed.
    if (fs::exists(old) && (!fs::is_regular_file(old) ||
                            (old.permissions() & fs::perms::owner_write) == fs::perms::none))
        return false;
    const std::string temporary = TemporaryName(target);
    // A leftover at the temporary name, even a link, must not receive the new contents.
    fs::remove(temporary, ec);
    std::ofstream out;
    if (!ec)
        out.open(temporary, std::ios::binary | std::ios::trunc);
    if (!out.is_open())
    {
        // A folder the user may not write into still lets a writable file be rewritten in
        // place; a failure part way then leaves it damaged, which the caller reports.
        std::ofstream inPlace(target, std::ios::binary | std::ios::trunc);
        return inPlace && WriteAndClose(inPlace, write);
    }
    bool written = WriteAndClose(out, write);
    if (written && fs::exists(old))
        fs::permissions(temporary, old.permissions(), ec);
    if (written)
        fs::rename(temporary, target, ec);
    if (!written || ec)
    {
        std::error_code ignored;
        fs::remove(temporary, ignored);
        return false;
    }
    return true;
}
