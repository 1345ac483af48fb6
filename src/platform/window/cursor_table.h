// The system cursors and icons. Their handles are their resource numbers (HCURSOR) or the numbers
// plus 0x10000 (HICON), so they are stable, small and never freed.
#pragma once

#include <kelmira/platform/winuser.h>

namespace kelmira::window {

// The shared cursor for an IDC_* name; null for anything else.
HCURSOR SystemCursor(LPCSTR name);
// The shared icon for an IDI_* name; null for anything else.
HICON SystemIcon(LPCSTR name);
bool IsSystemCursor(HCURSOR cursor);

}  // namespace kelmira::window
