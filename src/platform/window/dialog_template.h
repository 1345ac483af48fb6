// Reading in-memory dialog templates (DLGTEMPLATE and DLGTEMPLATEEX) into a description the
// dialog code creates windows from.
#pragma once

#include <kelmira/platform/types.h>

#include <cstddef>
#include <string>
#include <vector>

namespace kelmira::window {

struct DialogItemDesc {
  DWORD helpId = 0;
  DWORD style = 0;
  DWORD exStyle = 0;
  short x = 0, y = 0, cx = 0, cy = 0;  // dialog units
  DWORD id = 0;
  WORD classAtom = 0;     // a predefined class atom (0x0080..), or 0 when named
  std::string className;  // the class name: the atom's class, or the name in the template
  std::string text;       // empty when the text is a resource ordinal
  WORD textOrdinal = 0;   // the ordinal when the text array holds one
  // The creation data as the desktop hands it to WM_CREATE: a size word, then the bytes; null
  // when the item has none.
  const BYTE* creationData = nullptr;
};

struct DialogDesc {
  bool extended = false;
  DWORD helpId = 0;
  DWORD style = 0;
  DWORD exStyle = 0;
  short x = 0, y = 0, cx = 0, cy = 0;  // dialog units
  WORD menuOrdinal = 0;                // menus are carried but not shown
  std::string menuName;
  std::string className;  // empty for the platform's dialog class
  std::string title;
  bool hasFont = false;
  WORD pointSize = 0;
  WORD weight = 0;  // 0 unless the extended format gives one
  bool italic = false;
  BYTE charSet = 1;  // DEFAULT_CHARSET
  std::string face;
  std::vector<DialogItemDesc> items;
};

// Exported for the platform's tests, as the other internal hooks are.
// Reads a template of at most `limit` bytes (SIZE_MAX when the caller does not know the size: the
// public functions take a bare pointer, as on the desktop). Strings are converted to the
// Windows-1252 code page. E_POINTER for null, E_INVALIDARG when the template runs past the limit
// or a string is unterminated within it, E_OUTOFMEMORY; *out is changed only on success.
KELMIRA_API HRESULT ParseDialogTemplate(const void* tmpl, std::size_t limit, DialogDesc* out);

// The class name of a predefined class atom ("BUTTON", "EDIT", "STATIC", "LISTBOX",
// "SCROLLBAR", "COMBOBOX"), or null for another value.
const char* PredefinedClassName(WORD atom);

}  // namespace kelmira::window
