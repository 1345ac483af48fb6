// Replacing a file so that a crash at any moment leaves either the old or the new contents: the
// data goes to a temporary file in the same directory, is flushed to disk and renamed over the
// old file. Used by the registry and by storage files.
#pragma once

#include <string>
#include <string_view>

namespace kelmira::files {

// 0 on success, else the errno of the step that failed; no temporary file is left behind.
int WriteFileAtomically(const std::string& path, std::string_view data);

// Reads a whole regular file of at most maxSize bytes; 0 or an errno (EFBIG when too large,
// EISDIR/EINVAL for something that is not a regular file).
int ReadWholeFile(const std::string& path, std::size_t maxSize, std::string* out);

std::string DirectoryOf(const std::string& path);
bool DirectoryExists(const std::string& path);
// mkdir -p
bool MakeDirectories(const std::string& dir);

}  // namespace kelmira::files
