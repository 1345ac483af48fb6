// CreateDialogIndirectParamA and the creation steps a modal dialog shares with it.
#include "window/dialog_create.h"

#include "window/dialog_navigation.h"
#include "window/dialog_state.h"
#include "window/dialog_template.h"
#include "window/dialog_units.h"
#include "window/window_table.h"

#include <kelmira/platform/oleauto.h>

#include <algorithm>
#include <cstdint>
#include <limits>

namespace kelmira::window {
namespace {

constexpr const char* kDialogClassName = "#32770";

struct DialogFont {
  HFONT font = nullptr;
  bool owned = false;
  DialogBaseUnits base = SystemDialogBaseUnits();
};

// The template's font and the base units it gives; the system units when there is none or it
// cannot be measured.
DialogFont ChooseFont(const DialogDesc& desc) {
  DialogFont out;
  out.font = CreateTemplateFont(desc);
  if (!out.font) return out;
  out.owned = true;
  if (!MeasureBaseUnits(out.font, &out.base)) out.base = SystemDialogBaseUnits();
  return out;
}

POINT CentredOnScreen(int width, int height) {
  int cx = GetSystemMetrics(SM_CXSCREEN);
  int cy = GetSystemMetrics(SM_CYSCREEN);
  return POINT{std::max(0, (cx - width) / 2), std::max(0, (cy - height) / 2)};
}

// Where the dialog goes: inside its parent for a child dialog; for a popup, relative to the
// owner's client area, in screen coordinates with DS_ABSALIGN, or centred with DS_CENTER.
RECT PlaceDialog(const DialogDesc& desc, const DialogBaseUnits& base, HWND owner) {
  RECT r = DialogRectToPixels(desc.x, desc.y, desc.cx, desc.cy, base);
  if (desc.style & WS_CHILD) return r;
  POINT origin{r.left, r.top};
  if (desc.style & DS_CENTER) {
    origin = CentredOnScreen(r.right - r.left, r.bottom - r.top);
  } else if (!(desc.style & DS_ABSALIGN) && owner) {
    ClientToScreen(owner, &origin);
  }
  OffsetRect(&r, origin.x - r.left, origin.y - r.top);
  return r;
}

DWORD DialogWindowStyle(const DialogDesc& desc) {
  // Shown only once it is complete, after WM_INITDIALOG.
  DWORD style = desc.style & ~WS_VISIBLE;
  if (!(style & WS_CHILD)) style |= WS_POPUP;
  return style;
}

DWORD DialogExStyle(const DialogDesc& desc) {
  DWORD ex = desc.exStyle;
  if (desc.style & DS_CONTROL) ex |= WS_EX_CONTROLPARENT;
  return ex;
}

HWND CreateDialogWindow(HINSTANCE instance, const DialogDesc& desc, const RECT& r, HWND parent) {
  const char* cls = desc.className.empty() ? kDialogClassName : desc.className.c_str();
  return CreateWindowExA(DialogExStyle(desc), cls, desc.title.c_str(), DialogWindowStyle(desc), r.left, r.top,
                         r.right - r.left, r.bottom - r.top, parent, nullptr, instance, nullptr);
}

// Items are created as children of their classes: the predefined ones when the platform has them
// and any class registered by the caller.
bool CreateItem(HWND hdlg, HINSTANCE instance, const DialogItemDesc& item, const DialogFont& font) {
  if (item.className.empty() || !FindClass(item.className.c_str())) {
    SetLastError(ERROR_CANNOT_FIND_WND_CLASS);
    return false;
  }
  RECT r = DialogRectToPixels(item.x, item.y, item.cx, item.cy, font.base);
  auto id = reinterpret_cast<HMENU>(static_cast<std::uintptr_t>(item.id));
  auto creationData = const_cast<BYTE*>(item.creationData);
  HWND child = CreateWindowExA(item.exStyle | WS_EX_NOPARENTNOTIFY, item.className.c_str(), item.text.c_str(),
                               item.style | WS_CHILD, r.left, r.top, r.right - r.left, r.bottom - r.top, hdlg, id,
                               instance, creationData);
  if (!child) return false;
  if (font.font) SendMessageA(child, WM_SETFONT, reinterpret_cast<WPARAM>(font.font), FALSE);
  return true;
}

bool CreateItems(HWND hdlg, HINSTANCE instance, const DialogDesc& desc, const DialogFont& font) {
  for (const DialogItemDesc& item : desc.items) {
    if (CreateItem(hdlg, instance, item, font)) continue;
    if (!(desc.style & DS_NOFAILCREATE)) return false;
  }
  return true;
}

// Steps after the window exists; false when the dialog had to be destroyed.
bool CompleteDialog(HWND hdlg, HINSTANCE instance, const DialogDesc& desc, DialogFont& font, DLGPROC proc, LPARAM param,
                    bool modal) {
  std::shared_ptr<DialogState> state = MakeDialogState(hdlg);
  if (!state) {
    SetLastError(ERROR_INVALID_PARAMETER);  // a template class without DLGWINDOWEXTRA bytes
    return false;
  }
  state->font = font.font;
  state->ownsFont = font.owned;
  font.owned = false;  // the dialog deletes it now
  state->base = font.base;
  state->modal = modal;
  SetWindowLongPtrA(hdlg, DWLP_DLGPROC, reinterpret_cast<LONG_PTR>(proc));
  if (state->font) SendMessageA(hdlg, WM_SETFONT, reinterpret_cast<WPARAM>(state->font), FALSE);
  if (!CreateItems(hdlg, instance, desc, font)) return false;
  HWND first = NextTabItem(hdlg, nullptr, false);
  LRESULT focus = SendMessageA(hdlg, WM_INITDIALOG, reinterpret_cast<WPARAM>(first), param);
  if (!IsWindow(hdlg)) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return false;
  }
  if (focus && first && !state->ended) SetFocus(first);
  return true;
}

void DeleteUnownedFont(DialogFont& font) {
  if (font.owned && font.font) DeleteObject(font.font);
  font.owned = false;
}

}  // namespace

HWND DialogOwner(HWND parent) {
  if (!parent) return nullptr;
  HWND root = GetAncestor(parent, GA_ROOT);
  return root ? root : parent;
}

HWND CreateDialogFromTemplate(HINSTANCE instance, const DLGTEMPLATE* tmpl, HWND parent, DLGPROC proc, LPARAM param,
                              bool modal) {
  if (!CheckWindowThread(true)) return nullptr;
  DialogDesc desc;
  HRESULT hr = ParseDialogTemplate(tmpl, std::numeric_limits<std::size_t>::max(), &desc);
  if (FAILED(hr)) {
    SetLastError(hr == E_OUTOFMEMORY ? ERROR_NOT_ENOUGH_MEMORY : ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  if (parent && !LookupWindow(parent)) return nullptr;
  if ((desc.style & WS_CHILD) && !parent) {
    SetLastError(ERROR_TLW_WITH_WSCHILD);
    return nullptr;
  }
  HWND owner = (desc.style & WS_CHILD) ? parent : DialogOwner(parent);
  DialogFont font = ChooseFont(desc);
  RECT r = PlaceDialog(desc, font.base, owner);
  HWND hdlg = CreateDialogWindow(instance, desc, r, owner);
  if (!hdlg) {
    DeleteUnownedFont(font);
    return nullptr;
  }
  if (!CompleteDialog(hdlg, instance, desc, font, proc, param, modal)) {
    DWORD error = GetLastError();
    DeleteUnownedFont(font);
    if (IsWindow(hdlg)) DestroyWindow(hdlg);
    SetLastError(error);
    return nullptr;
  }
  if (!modal && (desc.style & WS_VISIBLE)) ShowWindow(hdlg, SW_SHOWNORMAL);
  return hdlg;
}

}  // namespace kelmira::window

using namespace kelmira::window;

HWND CreateDialogIndirectParamA(HINSTANCE hInstance, LPCDLGTEMPLATEA lpTemplate, HWND hWndParent, DLGPROC lpDialogFunc,
                                LPARAM dwInitParam) {
  if (!lpTemplate) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  return CreateDialogFromTemplate(hInstance, lpTemplate, hWndParent, lpDialogFunc, dwInitParam, false);
}
