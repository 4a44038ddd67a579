#pragma once
// Writing a command's output file, whatever the user put at its path, and telling when an
// output would land on the snapshot being read.
#include <filesystem>
#include <string>
#include <string_view>

#include "base/error.h"

namespace korvel::host {

// Writes `bytes` to `path`; what is there decides how:
//  - nothing, or a regular file: a temporary file in the same folder, then a rename, so that a
//    reader sees the old file or the new one, never half of one;
//  - a symbolic link: the link stays, the file it leads to is replaced (or made) that way;
//  - a character device or a FIFO (/dev/null, /dev/stdout on a pipe): written directly;
//  - anything else (a directory, a socket, a block device): refused.
// An error is unwritable with `path` as its place, or a usage error when no path is given.
Status writeOutputFile(const std::filesystem::path& path, std::string_view bytes);

// Whether `a` and `b` name the same file once links are followed, existing or not.
bool sameFile(const std::filesystem::path& a, const std::filesystem::path& b);

// Whether `file` (as named, or once links are followed) lies directly in `folder`.
bool liesIn(const std::filesystem::path& file, const std::filesystem::path& folder);

}  // namespace korvel::host
