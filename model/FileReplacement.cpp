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
    bool written;
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        if (!out)
            return false;
        written = write(out);
        out.close();
        written = written && !out.fail();
    }
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
