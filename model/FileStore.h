// Whole files read and saved so that a failed save loses nothing, on POSIX and Windows alike.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>

// What reading a whole file came to.
enum class FileRead
{
    Read,
    CannotOpen, // missing, a folder, or not to be read
    TooLarge,   // over the limit: refused unread where its size can be told
    Failed,     // a read error part way
};

// Reads the whole file at path into bytes, never taking more memory than limit and a block.
FileRead ReadWholeFile(const std::filesystem::path& path, std::size_t limit, std::string& bytes);

// Whether anything, a dangling link included, stands at path, seen as SaveFile sees it.
bool Exists(const std::filesystem::path& path);

// What a save did to the file on disk.
enum class SaveOutcome
{
    Saved,     // the file holds the new bytes, flushed to stable storage
    Unchanged, // the save failed; the old file, if there was one, is as it was, byte for byte
    Damaged,   // an in-place rewrite failed part way and the old bytes could not be put back; or,
               // on Windows, the old file could not come back from its backup name
};

// Writes bytes to a new file beside path, flushes it and renames it over path, so that a failure
// or a kill at any point leaves the old file whole. A read-only file or a non-file at path is
// refused. A link at path stays a link and its target, made if it dangles, gets the contents
// (on Windows a dangling link is refused). An existing file keeps its attributes on Windows, its
// permissions elsewhere; a replacement that another program holds up is tried for about a second.
// Only where the folder refuses new files (no permission, read-only) is a writable file rewritten
// in place, with its old bytes kept in memory to be written back if the new ones fail.
SaveOutcome SaveFile(const std::filesystem::path& path, const std::string& bytes);
