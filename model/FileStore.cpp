#include "FileStore.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <system_error>

#include <fcntl.h>
#include <sys/stat.h>
#ifdef _WIN32
#include <io.h>
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace
{
// The calls a save makes, in POSIX terms. On Windows they go through the C runtime's
// wide-character descriptors, whose _commit is FlushFileBuffers.
#ifdef _WIN32
struct Calls
{
    static const int kCreateNew = _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY | _O_NOINHERIT;
    static const int kReadWrite = _O_RDWR | _O_BINARY | _O_NOINHERIT;

    // NOTE: the extended form lifts MAX_PATH, which the temporary's name beside a file with a
    // long path would otherwise exceed.
    static std::wstring LongPath(const fs::path& path)
    {
        std::wstring full(GetFullPathNameW(path.c_str(), 0, nullptr, nullptr), L'\0');
        full.resize(GetFullPathNameW(path.c_str(), static_cast<DWORD>(full.size()), &full[0], 0));
        if (full.empty() || full.rfind(L"\\\\?\\", 0) == 0)
            return full.empty() ? path.wstring() : full;
        return full.rfind(L"\\\\", 0) == 0 ? L"\\\\?\\UNC\\" + full.substr(2) : L"\\\\?\\" + full;
    }
    static int Open(const fs::path& path, int flags)
    {
        return _wopen(LongPath(path).c_str(), flags, _S_IREAD | _S_IWRITE);
    }
    static long Read(int file, char* data, unsigned size) { return _read(file, data, size); }
    static long Write(int file, const char* data, unsigned size)
    {
        return _write(file, data, size);
    }
    static bool Rewind(int file) { return _lseeki64(file, 0, SEEK_SET) == 0; }
    static bool CutAt(int file, size_t size)
    {
        return _chsize_s(file, static_cast<__int64>(size)) == 0;
    }
    static bool Flush(int file) { return _commit(file) == 0; }
    static bool Close(int file) { return _close(file) == 0; }
    // The new file takes the folder's permissions; a read-only old one was refused already.
    static bool CopyMode(int, fs::perms) { return true; }
    static bool MoveOver(const fs::path& from, const fs::path& to)
    {
        return MoveFileExW(LongPath(from).c_str(), LongPath(to).c_str(),
                           MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
    }
    static void Remove(const fs::path& path) { _wunlink(LongPath(path).c_str()); }
    // The move above writes through, the folder's entry included.
    static void FlushFolder(const fs::path&) {}
};
#else
struct Calls
{
    static const int kCreateNew = O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC;
    static const int kReadWrite = O_RDWR | O_CLOEXEC;

    static int Open(const fs::path& path, int flags) { return open(path.c_str(), flags, 0666); }
    static long Read(int file, char* data, unsigned size) { return read(file, data, size); }
    static long Write(int file, const char* data, unsigned size) { return write(file, data, size); }
    static bool Rewind(int file) { return lseek(file, 0, SEEK_SET) == 0; }
    static bool CutAt(int file, size_t size)
    {
        return ftruncate(file, static_cast<off_t>(size)) == 0;
    }
    static bool Flush(int file) { return fsync(file) == 0; }
    static bool Close(int file) { return close(file) == 0; }
    static bool CopyMode(int file, fs::perms mode)
    {
        return fchmod(file, static_cast<mode_t>(mode & fs::perms::mask)) == 0;
    }
    static bool MoveOver(const fs::path& from, const fs::path& to)
    {
        return rename(from.c_str(), to.c_str()) == 0;
    }
    static void Remove(const fs::path& path) { unlink(path.c_str()); }
    // A rename lives in the folder, which must reach the disk too for the new name to survive a
    // power cut. Should this fail, the new bytes are in place all the same.
    static void FlushFolder(const fs::path& target)
    {
        const fs::path folder = target.has_parent_path() ? target.parent_path() : ".";
        const int file = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (file >= 0)
        {
            fsync(file);
            close(file);
        }
    }
};
#endif

// Links are followed by hand, so that a dangling one leads to where its target is to be made.
const int kMostLinksFollowed = 40;
const unsigned kTemporaryAttempts = 100;

fs::path FollowLinks(fs::path path)
{
    std::error_code ec;
    for (int hop = 0; hop < kMostLinksFollowed && fs::is_symlink(fs::symlink_status(path, ec));
         ++hop)
    {
        const fs::path next = fs::read_symlink(path, ec);
        if (ec)
            break;
        path = next.is_absolute() ? next : path.parent_path() / next;
    }
    return path;
}

bool IsInterrupted(long result)
{
    return result < 0 && errno == EINTR;
}

// At most this much per call, which every system takes whole or in part.
const size_t kLargestCall = 1u << 30;

bool WriteAll(int file, const std::string& bytes)
{
    for (size_t done = 0; done < bytes.size();)
    {
        const unsigned size = static_cast<unsigned>(std::min(bytes.size() - done, kLargestCall));
        const long written = Calls::Write(file, bytes.data() + done, size);
        if (written <= 0 && !IsInterrupted(written))
            return false;
        done += written > 0 ? static_cast<size_t>(written) : 0;
    }
    return true;
}

bool ReadAll(int file, std::string& bytes)
{
    char block[1 << 16];
    for (;;)
    {
        const long got = Calls::Read(file, block, sizeof block);
        if (got == 0)
            return true;
        if (got < 0 && !IsInterrupted(got))
            return false;
        bytes.append(block, got > 0 ? static_cast<size_t>(got) : 0);
    }
}

// A fresh name beside target on each attempt: a leftover of an earlier, killed save or another
// program's file is passed by, never opened, and the short name fits any file system's limit.
int CreateTemporary(const fs::path& target, fs::path& name)
{
    const auto tick =
        static_cast<unsigned>(std::chrono::high_resolution_clock::now().time_since_epoch().count());
    for (unsigned attempt = 0; attempt < kTemporaryAttempts; ++attempt)
    {
        char leaf[32];
        std::snprintf(leaf, sizeof leaf, ".tessmere-%08x.tmp", (tick + attempt) * 2654435761u);
        name = target.parent_path() / leaf;
        const int file = Calls::Open(name, Calls::kCreateNew);
        if (file >= 0 || errno != EEXIST)
            return file;
    }
    return -1;
}

bool PutContents(int file, const std::string& bytes)
{
    return Calls::Rewind(file) && WriteAll(file, bytes) && Calls::CutAt(file, bytes.size()) &&
           Calls::Flush(file);
}

// For a folder that takes no new file: the old bytes are kept in memory and written back if the
// new ones do not go in whole, so that only a failure of both leaves the file changed.
SaveOutcome RewriteInPlace(const fs::path& target, const std::string& bytes)
{
    const int file = Calls::Open(target, Calls::kReadWrite);
    if (file < 0)
        return SaveOutcome::Unchanged;
    std::string old;
    SaveOutcome outcome = SaveOutcome::Unchanged;
    if (ReadAll(file, old))
        outcome = PutContents(file, bytes) ? SaveOutcome::Saved
                  : PutContents(file, old) ? SaveOutcome::Unchanged
                                           : SaveOutcome::Damaged;
    Calls::Close(file);
    return outcome;
}
} // namespace

FileRead ReadWholeFile(const fs::path& path, size_t limit, std::string& bytes)
{
    std::error_code ec;
    std::ifstream in;
    // Some systems open a folder as a stream that then reads as empty.
    if (!fs::is_directory(path, ec))
        in.open(path, std::ios::binary);
    if (!in.is_open())
        return FileRead::CannotOpen;
    const std::uintmax_t size = fs::file_size(path, ec);
    if (!ec && size > limit)
        return FileRead::TooLarge;
    // Read by blocks, no further than past the limit, so that a device, an endless pipe or a file
    // that grows meanwhile ends too.
    bytes.clear();
    char block[1 << 16];
    do
    {
        in.read(block, sizeof block);
        bytes.append(block, static_cast<size_t>(in.gcount()));
    } while (in && bytes.size() <= limit);
    if (in.bad())
        return FileRead::Failed;
    return bytes.size() > limit ? FileRead::TooLarge : FileRead::Read;
}

SaveOutcome SaveFile(const fs::path& path, const std::string& bytes)
{
    const fs::path target = FollowLinks(path);
    std::error_code ec;
    const fs::file_status old = fs::status(target, ec);
    const bool exists = fs::exists(old);
    // A read-only file stays as it is, even where the folder would let it be replaced; so does
    // a path whose state cannot be told (a loop of links, a folder it may not look into).
    if (old.type() == fs::file_type::none ||
        (exists && (!fs::is_regular_file(old) ||
                    (old.permissions() & fs::perms::owner_write) == fs::perms::none)))
        return SaveOutcome::Unchanged;

    fs::path temporary;
    const int file = CreateTemporary(target, temporary);
    // Only a folder that refuses new files gets the file rewritten in place.
    if (file < 0)
        return exists && (errno == EACCES || errno == EPERM || errno == EROFS)
                   ? RewriteInPlace(target, bytes)
                   : SaveOutcome::Unchanged;
    bool complete = WriteAll(file, bytes) &&
                    (!exists || Calls::CopyMode(file, old.permissions())) && Calls::Flush(file);
    complete = Calls::Close(file) && complete;
    if (!complete || !Calls::MoveOver(temporary, target))
    {
        Calls::Remove(temporary);
        return SaveOutcome::Unchanged;
    }
    Calls::FlushFolder(target);
    return SaveOutcome::Saved;
}
