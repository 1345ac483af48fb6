// The property frame's window: a modal dialog holding the tab row, the current page and the OK,
// Cancel and Apply buttons. Keyboard messages go to the frame (Ctrl+Tab and Ctrl+Page Down to the
// next page, with Shift or Ctrl+Page Up to the previous one), then to the current page's
// TranslateAccelerator, then to the dialog navigation, which runs through the page's controls as
// well (the page's window is a control parent). The page's window is kept first in the z-order so
// that Tab visits its controls before the buttons, as on the desktop. A page is activated when it
// is first shown and stays activated, hidden behind the others, until the frame closes.
#include "control/property_frame.h"

#include "window/dialog_create.h"
#include "window/dialog_modal.h"
#include "window/dialog_navigation.h"
#include "window/dialog_state.h"

#include <kelmira/platform/dialog_template.h>
#include <kelmira/platform/guarded.h>

#include <algorithm>

namespace kelmira::control {
namespace {

PropertyFrame* FrameOf(HWND hdlg) { return reinterpret_cast<PropertyFrame*>(GetWindowLongPtrA(hdlg, DWLP_USER)); }

void MoveItem(HWND hdlg, int id, const RECT& r) {
  if (HWND item = GetDlgItem(hdlg, id)) MoveWindow(item, r.left, r.top, r.right - r.left, r.bottom - r.top, FALSE);
}

// The controls of the frame itself; their places are set when the frame initialises.
DialogTemplateBuilder FrameTemplate() {
  const DWORD button = WS_CHILD | WS_VISIBLE | WS_TABSTOP;
  DialogTemplateBuilder b(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, WS_EX_DLGMODALFRAME, 0, 0, 0, 0, "", 8,
                          "MS Sans Serif");
  b.AddItem(button | WS_GROUP | BS_DEFPUSHBUTTON, 0, 0, 0, 0, IDOK, kButtonClassAtom, "OK");
  b.AddItem(button, 0, 0, 0, 0, IDCANCEL, kButtonClassAtom, "Cancel");
  b.AddItem(button | WS_DISABLED, 0, 0, 0, 0, kApplyId, kButtonClassAtom, "&Apply");
  return b;
}

FrameLayout Measure(HWND hdlg, std::vector<FramePage>& pages) {
  FrameLayout layout{};
  HDC dc = CreateCompatibleDC(nullptr);
  if (!dc) return layout;
  auto font = reinterpret_cast<HFONT>(SendMessageA(hdlg, WM_GETFONT, 0, 0));
  HGDIOBJ old = SelectObject(dc, font ? static_cast<HGDIOBJ>(font) : GetStockObject(DEFAULT_GUI_FONT));
  layout = LayoutFrame(dc, pages);
  if (old) SelectObject(dc, old);
  DeleteDC(dc);
  return layout;
}

// The child the page made in Activate: the one that is none of the frame's buttons.
// The window a page made when it was activated: the frame's child that is neither a button nor
// the window of another page.
HWND NewPageWindow(HWND hdlg, const std::vector<FramePage>& pages) {
  for (HWND c = GetWindow(hdlg, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
    const int id = GetDlgCtrlID(c);
    if (id == IDOK || id == IDCANCEL || id == kApplyId) continue;
    if (std::none_of(pages.begin(), pages.end(), [c](const FramePage& p) { return p.window == c; })) return c;
  }
  return nullptr;
}

}  // namespace

HRESULT PropertyFrame::Run(HWND owner, POINT at) {
  at_ = at;
  HWND frameOwner = window::DialogOwner(owner);
  HWND hdlg = GuardedOr(HWND{}, [&] {
    DialogTemplateBuilder b = FrameTemplate();
    return window::CreateDialogFromTemplate(nullptr, b.Template(), frameOwner, &FrameProc,
                                            reinterpret_cast<LPARAM>(this), true);
  });
  if (!hdlg) return E_OUTOFMEMORY;
  // However the loop ends (a button, the owner going, nobody driving a headless frame), nothing
  // more is applied: the pages are deactivated when the window goes.
  (void)window::RunModalDialog(hdlg, frameOwner, MSGF_DIALOGBOX, [this](MSG& msg) { return FilterKey(msg); });
  return S_OK;
}

void PropertyFrame::PageBecameDirty() {
  dirty_ = true;
  if (hwnd_) EnableApply(true);
}

INT_PTR PropertyFrame::FrameProc(HWND hdlg, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_INITDIALOG) {
    SetWindowLongPtrA(hdlg, DWLP_USER, lParam);
    return reinterpret_cast<PropertyFrame*>(lParam)->OnInitDialog(hdlg);
  }
  PropertyFrame* frame = FrameOf(hdlg);
  if (!frame) return FALSE;
  switch (msg) {
    case WM_COMMAND: return frame->OnCommand(LOWORD(wParam));
    case WM_PAINT: return frame->OnPaint();
    case WM_LBUTTONDOWN: frame->OnClick({GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}); return TRUE;
    case WM_DESTROY:
      frame->DeactivatePages();
      frame->hwnd_ = nullptr;
      return FALSE;
    default: return FALSE;
  }
}

INT_PTR PropertyFrame::OnInitDialog(HWND hdlg) {
  hwnd_ = hdlg;
  SetWindowTextA(hdlg, caption_.c_str());
  layout_ = Measure(hdlg, pages_);
  MoveItem(hdlg, IDOK, layout_.buttons[0]);
  MoveItem(hdlg, IDCANCEL, layout_.buttons[1]);
  MoveItem(hdlg, kApplyId, layout_.buttons[2]);
  // A place that would put part of the frame off the screen is moved in, as desktop dialogs are.
  const LONG x = std::clamp<LONG>(at_.x, 0, std::max<LONG>(0, GetSystemMetrics(SM_CXSCREEN) - layout_.client.cx));
  const LONG y = std::clamp<LONG>(at_.y, 0, std::max<LONG>(0, GetSystemMetrics(SM_CYSCREEN) - layout_.client.cy));
  MoveWindow(hdlg, x, y, layout_.client.cx, layout_.client.cy, FALSE);
  EnableApply(dirty_);
  SwitchTo(0);
  // The modal loop gives the focus to the first tab stop, which is the page's first control.
  return FALSE;
}

INT_PTR PropertyFrame::OnCommand(WORD id) {
  switch (id) {
    case IDOK:
      if (ApplyDirtyPages()) EndDialog(hwnd_, IDOK);
      return TRUE;
    case IDCANCEL: EndDialog(hwnd_, IDCANCEL); return TRUE;
    case kApplyId:
      if (ApplyDirtyPages()) EnableApply(false);
      return TRUE;
    default: return FALSE;
  }
}

INT_PTR PropertyFrame::OnPaint() {
  PAINTSTRUCT ps{};
  HDC dc = BeginPaint(hwnd_, &ps);
  if (dc) {
    auto font = reinterpret_cast<HFONT>(SendMessageA(hwnd_, WM_GETFONT, 0, 0));
    HGDIOBJ old = SelectObject(dc, font ? static_cast<HGDIOBJ>(font) : GetStockObject(DEFAULT_GUI_FONT));
    (void)Guarded([&] { PaintFrameTabs(dc, pages_, current_, layout_); });
    if (old) SelectObject(dc, old);
  }
  EndPaint(hwnd_, &ps);
  return TRUE;
}

void PropertyFrame::OnClick(POINT pt) {
  for (int i = 0; i < static_cast<int>(pages_.size()); ++i) {
    if (!PtInRect(&pages_[i].tab, pt)) continue;
    if (i != current_ && SwitchTo(i)) FocusFirstItem();
    return;
  }
}

bool PropertyFrame::FilterKey(MSG& msg) {
  if (!hwnd_ || msg.message < WM_KEYFIRST || msg.message > WM_KEYLAST) return false;
  if (msg.hwnd != hwnd_ && !IsChild(hwnd_, msg.hwnd)) return false;
  const WPARAM key = msg.wParam;
  if (msg.message == WM_KEYDOWN && (key == VK_TAB || key == VK_PRIOR || key == VK_NEXT) &&
      GetKeyState(VK_CONTROL) < 0) {
    const int n = static_cast<int>(pages_.size());
    const int step = key == VK_PRIOR || (key == VK_TAB && GetKeyState(VK_SHIFT) < 0) ? n - 1 : 1;
    if (n > 1 && SwitchTo((current_ + step) % n)) FocusFirstItem();
    return true;
  }
  return current_ >= 0 && pages_[current_].page->TranslateAccelerator(&msg) == S_OK;
}

// A page is activated the first time it is shown and kept, hidden, while another one is shown,
// so what the user typed on it stays until OK or Apply. When the new page cannot be activated the
// old one comes back.
bool PropertyFrame::SwitchTo(int index) {
  if (index < 0 || index >= static_cast<int>(pages_.size()) || index == current_) return false;
  const int previous = current_;
  if (previous >= 0) pages_[previous].page->Show(SW_HIDE);
  if (ShowPage(index)) return true;
  if (previous >= 0) ShowPage(previous);
  return false;
}

bool PropertyFrame::ShowPage(int index) {
  FramePage& shown = pages_[index];
  if (!shown.active) {
    if (FAILED(shown.page->Activate(hwnd_, &layout_.page, TRUE))) return false;
    shown.active = true;
    shown.window = NewPageWindow(hwnd_, pages_);
  }
  current_ = index;
  if (shown.window) SetWindowPos(shown.window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  shown.page->Show(SW_SHOW);
  InvalidateRect(hwnd_, nullptr, TRUE);
  return true;
}

void PropertyFrame::DeactivatePages() {
  for (FramePage& p : pages_) {
    if (!p.active) continue;
    p.page->Deactivate();
    p.active = false;
    p.window = nullptr;
  }
  current_ = -1;
}

void PropertyFrame::FocusFirstItem() {
  if (HWND first = window::NextTabItem(hwnd_, nullptr, false)) SetFocus(first);
}

bool PropertyFrame::ApplyDirtyPages() {
  for (int i = 0; i < static_cast<int>(pages_.size()); ++i) {
    IPropertyPage* page = pages_[i].page.get();
    if (page->IsPageDirty() != S_OK || SUCCEEDED(page->Apply())) continue;
    if (i != current_ && SwitchTo(i)) FocusFirstItem();
    return false;
  }
  return true;
}

void PropertyFrame::EnableApply(bool enable) {
  HWND apply = GetDlgItem(hwnd_, kApplyId);
  if (!apply) return;
  // A disabled button must not keep the focus.
  if (!enable && GetFocus() == apply) SetFocus(GetDlgItem(hwnd_, IDOK));
  EnableWindow(apply, enable ? TRUE : FALSE);
  if (!enable) dirty_ = false;
}

}  // namespace kelmira::control
