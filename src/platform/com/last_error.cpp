// The calling thread's last error code, as set by the code-page functions.
#include <kelmira/platform/oleauto.h>

namespace {
thread_local DWORD t_lastError = 0;
}  // namespace

DWORD GetLastError() { return t_lastError; }

void SetLastError(DWORD dwErrCode) { t_lastError = dwErrCode; }
