// Replacing a file so that a crash at any moment leaves either the old or the new contents: the
// data goes to a temporary file in the same directory, is flushed to disk and renamed over the
// old file. Used by the registry, storage files and PNG pictures.
//
// Only the file the caller names is replaced: a symbolic link is followed and the file it leads
// to is written (beside it, then renamed over it), keeping that file's permissions; a directory
// (EISDIR), anything else that is not a regular file, such as a pipe or a device (ENOTREGULAR),
// and a read-only file (EACCES, also when the caller's privileges would let it write) are refused
// and left as they are.
#pragma once

#include <cerrno>
#include <string>
#include <string_view>

namespace kelmira::files {

// The errno for a target that exists but is neither a regular file nor a directory.
inline constexpr int ENOTREGULAR = ENODEV;

// Where WriteFileAtomically would write for `path` (links followed), and the mode to keep
// (kNewFileMode when there is no file yet); 0 or the errno that refuses it.
inline constexpr unsigned kNewFileMode = ~0u;
int ReplaceableTarget(const std::string& path, std::string* target, unsigned* mode);

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
