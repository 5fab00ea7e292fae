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
// What stands where a save is going: its state, and what the new file is to keep of it.
struct Existing
{
    bool known; // false where it cannot be told (a loop of links, a folder one may not look into)
    bool exists;
    bool regular;
    bool writable;
    unsigned keep; // the permission bits on POSIX, the attributes on Windows
};

enum class Moved
{
    Yes,
    No,      // the old file, if any, is as it was
    OldGone, // the old file is at a backup name it could not leave, the new one at its temporary
};

// The calls a save makes, in POSIX terms. On Windows they go through the C runtime's
// wide-character descriptors, whose _commit is FlushFileBuffers.
#ifdef _WIN32
struct Calls
{
    static const int kCreateNew = _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY | _O_NOINHERIT;
    static const int kReadWrite = _O_RDWR | _O_BINARY | _O_NOINHERIT;
    static const DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
    static const DWORD kLongestPath = 32768;
    // What Windows keeps with a file and a save carries over to the new one.
    static const DWORD kKeptAttributes = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                         FILE_ATTRIBUTE_ARCHIVE |
                                         FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
    // Other programs open fresh files for a moment (virus scanners, the search indexer, backup
    // and sync clients): a move they stand in is tried again, with growing pauses.
    static const ULONGLONG kRetryBudgetMs = 1000;
    static const DWORD kFirstPauseMs = 10;

    // NOTE: the extended form lifts MAX_PATH, which the temporary's name beside a file with a
    // long path would otherwise exceed. Every look at a path goes through it too, so that what
    // a check sees is what the save then writes.
    static std::wstring LongPath(const fs::path& path)
    {
        std::wstring full(GetFullPathNameW(path.c_str(), 0, nullptr, nullptr), L'\0');
        full.resize(GetFullPathNameW(path.c_str(), static_cast<DWORD>(full.size()), &full[0], 0));
        if (full.empty() || full.rfind(L"\\\\?\\", 0) == 0)
            return full.empty() ? path.wstring() : full;
        return full.rfind(L"\\\\", 0) == 0 ? L"\\\\?\\UNC\\" + full.substr(2) : L"\\\\?\\" + full;
    }
    // NOTE: the C++ library follows no link on Windows; the system does when it opens one. A
    // link that leads nowhere is refused, as the save would put a plain file in its place.
    static bool FollowLinks(fs::path& path)
    {
        const std::wstring name = LongPath(path);
        const HANDLE file = CreateFileW(name.c_str(), 0, kShareAll, nullptr, OPEN_EXISTING,
                                        FILE_FLAG_BACKUP_SEMANTICS, nullptr);
        if (file == INVALID_HANDLE_VALUE)
            return GetFileAttributesW(name.c_str()) == INVALID_FILE_ATTRIBUTES;
        std::wstring final(kLongestPath, L'\0');
        final.resize(GetFinalPathNameByHandleW(file, &final[0], kLongestPath, 0));
        CloseHandle(file);
        if (final.empty() || final.size() >= kLongestPath)
            return false;
        path = final;
        return true;
    }
    static Existing Inspect(const fs::path& path)
    {
        WIN32_FILE_ATTRIBUTE_DATA data;
        if (!GetFileAttributesExW(LongPath(path).c_str(), GetFileExInfoStandard, &data))
        {
            const DWORD error = GetLastError();
            return {error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND, false, false,
                    false, 0};
        }
        const DWORD attributes = data.dwFileAttributes;
        return {true, true, (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0,
                (attributes & FILE_ATTRIBUTE_READONLY) == 0, attributes};
    }
    static bool IsFolder(const fs::path& path)
    {
        const Existing existing = Inspect(path);
        return existing.exists && !existing.regular;
    }
    static bool Exists(const fs::path& path)
    {
        return GetFileAttributesW(LongPath(path).c_str()) != INVALID_FILE_ATTRIBUTES;
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
    // The folder's permissions and the replacement keep the rest. NOTE: Wine's ReplaceFileW
    // carries no attribute over, and it shows a file whose name begins with a dot, as the
    // temporary's does, as hidden: the new file is given the old one's attributes here.
    static bool CopyKept(int file, const Existing& old)
    {
        FILE_BASIC_INFO info = {};
        info.FileAttributes =
            old.keep & kKeptAttributes ? old.keep & kKeptAttributes : FILE_ATTRIBUTE_NORMAL;
        return SetFileInformationByHandle(reinterpret_cast<HANDLE>(_get_osfhandle(file)),
                                          FileBasicInfo, &info, sizeof info) != 0;
    }
    // The C runtime says EACCES for a sharing violation too, which is no folder refusing files.
    static bool FolderRefused()
    {
        return _doserrno == ERROR_ACCESS_DENIED || _doserrno == ERROR_WRITE_PROTECT;
    }
    static bool HeldByAnother(DWORD error)
    {
        return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION ||
               error == ERROR_ACCESS_DENIED || error == ERROR_UNABLE_TO_REMOVE_REPLACED;
    }
    template <typename Move> static bool Retried(Move move)
    {
        const ULONGLONG end = GetTickCount64() + kRetryBudgetMs;
        for (DWORD pause = kFirstPauseMs;; pause *= 2)
        {
            if (move())
                return true;
            const DWORD error = GetLastError();
            const ULONGLONG now = GetTickCount64();
            if (!HeldByAnother(error) || now >= end)
                return false;
            Sleep(static_cast<DWORD>(std::min<ULONGLONG>(pause, end - now)));
        }
    }
    static bool MoveInto(const std::wstring& from, const std::wstring& to)
    {
        return MoveFileExW(from.c_str(), to.c_str(),
                           MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
    }
    // An existing file is replaced, which keeps its attributes, ACL, creation time and streams;
    // a first save is moved into place, writing through. NOTE: the old file goes to a backup name
    // of the save's own, and is deleted once replaced: without one, Wine's ReplaceFileW leaves a
    // file of its own beside it on every failure.
    static Moved MoveOver(const fs::path& from, const fs::path& to, bool replacing)
    {
        const std::wstring source = LongPath(from), target = LongPath(to),
                           backup = LongPath(fs::path(from).replace_extension(".old"));
        if (!replacing)
            return Retried([&] { return MoveInto(source, target); }) ? Moved::Yes : Moved::No;
        bool backedUp = false;
        const bool replaced = Retried([&] {
            if (ReplaceFileW(target.c_str(), source.c_str(), backup.c_str(),
                             REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr))
                return true;
            // The old file went to the backup name and the new one kept its own; the other
            // documented failures, 1175 and 1176, leave both where they were.
            backedUp = GetLastError() == ERROR_UNABLE_TO_MOVE_REPLACEMENT_2;
            return false;
        });
        if (replaced)
            DeleteFileW(backup.c_str());
        else if (backedUp && !Retried([&] { return MoveInto(backup, target); }))
            return Moved::OldGone;
        return replaced ? Moved::Yes : Moved::No;
    }
    static void Remove(const fs::path& path) { _wunlink(LongPath(path).c_str()); }
    static void FlushFolder(const fs::path&) {}
};
#else
struct Calls
{
    static const int kCreateNew = O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC;
    static const int kReadWrite = O_RDWR | O_CLOEXEC;
    // Links are followed by hand, so that a dangling one leads to where its target is to be made.
    static const int kMostLinksFollowed = 40;

    static const fs::path& LongPath(const fs::path& path) { return path; }
    static bool FollowLinks(fs::path& path)
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
        return true;
    }
    static Existing Inspect(const fs::path& path)
    {
        std::error_code ec;
        const fs::file_status status = fs::status(path, ec);
        return {status.type() != fs::file_type::none, fs::exists(status),
                fs::is_regular_file(status),
                (status.permissions() & fs::perms::owner_write) != fs::perms::none,
                static_cast<unsigned>(status.permissions() & fs::perms::mask)};
    }
    static bool IsFolder(const fs::path& path)
    {
        std::error_code ec;
        return fs::is_directory(path, ec);
    }
    static bool Exists(const fs::path& path)
    {
        std::error_code ec;
        return fs::exists(fs::symlink_status(path, ec));
    }
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
    static bool CopyKept(int file, const Existing& old)
    {
        return fchmod(file, static_cast<mode_t>(old.keep)) == 0;
    }
    static bool FolderRefused() { return errno == EACCES || errno == EPERM || errno == EROFS; }
    static Moved MoveOver(const fs::path& from, const fs::path& to, bool)
    {
        return rename(from.c_str(), to.c_str()) == 0 ? Moved::Yes : Moved::No;
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

const unsigned kTemporaryAttempts = 100;

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
    const fs::path file = Calls::LongPath(path);
    std::ifstream in;
    // Some systems open a folder as a stream that then reads as empty.
    if (!Calls::IsFolder(path))
        in.open(file, std::ios::binary);
    if (!in.is_open())
        return FileRead::CannotOpen;
    std::error_code ec;
    const std::uintmax_t size = fs::file_size(file, ec);
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

bool Exists(const fs::path& path)
{
    return Calls::Exists(path);
}

SaveOutcome SaveFile(const fs::path& path, const std::string& bytes)
{
    fs::path target = path;
    if (!Calls::FollowLinks(target))
        return SaveOutcome::Unchanged;
    const Existing old = Calls::Inspect(target);
    // A read-only file stays as it is, even where the folder would let it be replaced; so does
    // a path whose state cannot be told.
    if (!old.known || (old.exists && (!old.regular || !old.writable)))
        return SaveOutcome::Unchanged;

    fs::path temporary;
    const int file = CreateTemporary(target, temporary);
    // Only a folder that refuses new files gets the file rewritten in place.
    if (file < 0)
        return old.exists && Calls::FolderRefused() ? RewriteInPlace(target, bytes)
                                                    : SaveOutcome::Unchanged;
    bool complete =
        WriteAll(file, bytes) && (!old.exists || Calls::CopyKept(file, old)) && Calls::Flush(file);
    complete = Calls::Close(file) && complete;
    const Moved moved = complete ? Calls::MoveOver(temporary, target, old.exists) : Moved::No;
    // Neither file is at its name: both stay for the user to find.
    if (moved == Moved::OldGone)
        return SaveOutcome::Damaged;
    if (moved == Moved::No)
    {
        Calls::Remove(temporary);
        return SaveOutcome::Unchanged;
    }
    Calls::FlushFolder(target);
    return SaveOutcome::Saved;
}
