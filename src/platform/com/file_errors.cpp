// Mapping errno to STG_E_* codes.
#include "com/file_errors.h"
#include "com/atomic_file.h"

#include <cerrno>

namespace kelmira::files {

HRESULT OpenErrorToHResult(int err, const std::string& path) {
  switch (err) {
    case ENOENT:
      // A missing file in an existing directory, or a missing directory on the way.
      return DirectoryExists(DirectoryOf(path)) ? STG_E_FILENOTFOUND : STG_E_PATHNOTFOUND;
    case ENOTDIR:
    case ENAMETOOLONG:
    case ELOOP: return STG_E_PATHNOTFOUND;
    case EEXIST: return STG_E_FILEALREADYEXISTS;
    case EMFILE:
    case ENFILE: return STG_E_TOOMANYOPENFILES;
    case ENOMEM: return STG_E_INSUFFICIENTMEMORY;
    case ENOSPC:
    case EDQUOT: return STG_E_MEDIUMFULL;
    default:  // EACCES, EPERM, EROFS, EISDIR, ETXTBSY, ...
      return STG_E_ACCESSDENIED;
  }
}

HRESULT WriteErrorToHResult(int err) {
  switch (err) {
    case ENOSPC:
    case EDQUOT:
    case EFBIG: return STG_E_MEDIUMFULL;
    case EACCES:
    case EPERM:
    case EROFS:
    case EBADF: return STG_E_ACCESSDENIED;
    default: return STG_E_WRITEFAULT;
  }
}

HRESULT ReplaceErrorToHResult(int err) {
  switch (err) {
    case ENOENT:
    case ENOTDIR:
    case ENAMETOOLONG:
    case ELOOP: return STG_E_PATHNOTFOUND;
    case EISDIR:
    case ENOTREGULAR: return STG_E_ACCESSDENIED;
    default: return WriteErrorToHResult(err);
  }
}

}  // namespace kelmira::files
