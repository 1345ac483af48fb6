// The property frame of OleCreatePropertyFrame: the pages it shows, the site each page talks to,
// and the modal frame window with its tab row and OK, Cancel and Apply buttons.
#pragma once

#include <kelmira/platform/com_object.h>
#include <kelmira/platform/com_ptr.h>
#include <kelmira/platform/oleidl.h>
#include <kelmira/platform/winuser.h>

#include <string>
#include <vector>

namespace kelmira::control {

class PropertyFrame;

// A page's way to its frame. The frame detaches its sites before it goes, so a page that keeps
// its site longer than it should talks to nobody.
class PageSite : public IPropertyPageSite {
 public:
  using Interfaces = InterfaceTable<IPropertyPageSite>;

  PageSite(PropertyFrame* frame, LCID lcid) : frame_(frame), lcid_(lcid) {}
  void Detach() { frame_ = nullptr; }

  HRESULT STDMETHODCALLTYPE OnStatusChange(DWORD dwFlags) override;
  HRESULT STDMETHODCALLTYPE GetLocaleID(LCID* pLocaleID) override;
  HRESULT STDMETHODCALLTYPE GetPageContainer(IUnknown** ppUnk) override;
  HRESULT STDMETHODCALLTYPE TranslateAccelerator(MSG* pMsg) override;

 private:
  PropertyFrame* frame_;
  LCID lcid_;
};

struct FramePage {
  ComPtr<IPropertyPage> page;
  ComPtr<Object<PageSite>> site;
  std::string title;  // Windows-1252, as the tab draws it
  SIZE size{0, 0};
  RECT tab{0, 0, 0, 0};   // in the frame's client area, set by the layout
  bool active = false;    // activated, shown or hidden
  HWND window = nullptr;  // the window it made when activated
};

// Pixel layout of the frame for the measured tabs and the largest page.
struct FrameLayout {
  SIZE client{0, 0};
  RECT body{0, 0, 0, 0};  // the raised panel under the tabs
  RECT page{0, 0, 0, 0};  // where the pages go, inside the body
  RECT buttons[3]{};      // OK, Cancel, Apply
};

// Tab widths go into pages[i].tab; dc has the frame's font selected.
FrameLayout LayoutFrame(HDC dc, std::vector<FramePage>& pages);
// The tab row and the body's edges; `current` is the raised tab.
void PaintFrameTabs(HDC dc, const std::vector<FramePage>& pages, int current, const FrameLayout& layout);

constexpr int kApplyId = 0x3021;

class PropertyFrame {
 public:
  explicit PropertyFrame(std::string caption) : caption_(std::move(caption)) {}

  std::vector<FramePage>& Pages() { return pages_; }

  // Shows the frame at a screen point and runs its loop until it closes; the pages are
  // deactivated by then.
  HRESULT Run(HWND owner, POINT at);

  void PageBecameDirty();

 private:
  static INT_PTR FrameProc(HWND hdlg, UINT msg, WPARAM wParam, LPARAM lParam);
  INT_PTR OnInitDialog(HWND hdlg);
  INT_PTR OnCommand(WORD id);
  INT_PTR OnPaint();
  void OnClick(POINT pt);
  bool FilterKey(MSG& msg);

  bool SwitchTo(int index);
  bool ShowPage(int index);
  void DeactivatePages();
  void FocusFirstItem();
  // Applies every dirty page; false (showing the page) when one of them fails.
  bool ApplyDirtyPages();
  void EnableApply(bool enable);

  std::vector<FramePage> pages_;
  std::string caption_;
  FrameLayout layout_;
  HWND hwnd_ = nullptr;
  POINT at_{0, 0};
  int current_ = -1;
  bool dirty_ = false;  // reported before the window was there
};

}  // namespace kelmira::control
