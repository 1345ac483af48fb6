// errno values as the storage functions report them.
#pragma once

#include <kelmira/platform/objidl.h>

#include <string>

namespace kelmira::files {

// A failure to open `path`: missing file, missing directory, refused access, ...
HRESULT OpenErrorToHResult(int err, const std::string& path);
HRESULT WriteErrorToHResult(int err);
// A failure of WriteFileAtomically: a bad path, a target that is not a regular file, or a write error.
HRESULT ReplaceErrorToHResult(int err);

}  // namespace kelmira::files
