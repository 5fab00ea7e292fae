// Replacing a file only once its new contents are completely written, so a failure keeps the old.
#pragma once

#include <functional>
#include <iosfwd>
#include <string>

// Writes the new contents with write (which reports whether it succeeded) beside path and
// renames them over it. False, with the old file untouched, when path is a read-only file or
// not a file at all, or when writing, flushing or renaming fails. Where nothing can be created
// beside path (a folder without write permission) the file is rewritten in place instead: false
// when that fails, and then the file may be left part written. A symbolic link at path is
// followed: its target is replaced.
bool ReplaceFile(const std::string& path, const std::function<bool(std::ostream&)>& write);
