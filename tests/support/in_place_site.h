// A client and in-place site of a window the test makes (or of none), recording what controls
// ask of it.
#pragma once

#include <kelmira/platform.h>

#include <string>
#include <utility>
#include <vector>

namespace kelmira::test {

class InPlaceSite : public IOleClientSite, public IOleInPlaceSiteWindowless, public IOleControlSite {
 public:
  using Interfaces =
      InterfaceTable<IOleClientSite, IOleInPlaceSiteWindowless, Via<IOleInPlaceSiteEx, IOleInPlaceSiteWindowless>,
                     Via<IOleInPlaceSite, IOleInPlaceSiteWindowless>, Via<IOleWindow, IOleInPlaceSiteWindowless>,
                     IOleControlSite>;

  HWND window = nullptr;
  RECT position{0, 0, 60, 40};
  std::vector<std::string> calls;

  // IOleClientSite
  HRESULT STDMETHODCALLTYPE SaveObject() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE GetMoniker(DWORD, DWORD, IMoniker**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetContainer(IOleContainer** pp) override { return (*pp = nullptr, E_NOINTERFACE); }
  HRESULT STDMETHODCALLTYPE ShowObject() override { return Note("ShowObject"); }
  HRESULT STDMETHODCALLTYPE OnShowWindow(BOOL) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE RequestNewObjectLayout() override { return E_NOTIMPL; }
  // IOleInPlaceSite and its extensions
  HRESULT STDMETHODCALLTYPE GetWindow(HWND* phwnd) override { return (*phwnd = window) ? S_OK : E_FAIL; }
  HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE CanInPlaceActivate() override { return Note("CanInPlaceActivate"); }
  HRESULT STDMETHODCALLTYPE OnInPlaceActivate() override { return Note("OnInPlaceActivate"); }
  HRESULT STDMETHODCALLTYPE OnUIActivate() override { return Note("OnUIActivate"); }
  HRESULT STDMETHODCALLTYPE GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** doc, LPRECT pos,
                                             LPRECT clip, LPOLEINPLACEFRAMEINFO) override {
    return (*frame = nullptr, *doc = nullptr, *pos = *clip = position, Note("GetWindowContext"));
  }
  HRESULT STDMETHODCALLTYPE Scroll(SIZE) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE OnUIDeactivate(BOOL) override { return Note("OnUIDeactivate"); }
  HRESULT STDMETHODCALLTYPE OnInPlaceDeactivate() override { return Note("OnInPlaceDeactivate"); }
  HRESULT STDMETHODCALLTYPE DiscardUndoState() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE DeactivateAndUndo() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnPosRectChange(LPCRECT) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnInPlaceActivateEx(BOOL*, DWORD flags) override {
    return Note(flags & ACTIVATE_WINDOWLESS ? "OnInPlaceActivateEx(windowless)" : "OnInPlaceActivateEx");
  }
  HRESULT STDMETHODCALLTYPE OnInPlaceDeactivateEx(BOOL) override { return Note("OnInPlaceDeactivateEx"); }
  HRESULT STDMETHODCALLTYPE RequestUIActivate() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE CanWindowlessActivate() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE GetCapture() override { return S_FALSE; }
  HRESULT STDMETHODCALLTYPE SetCapture(BOOL) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE GetFocus() override { return S_FALSE; }
  HRESULT STDMETHODCALLTYPE SetFocus(BOOL) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE GetDC(LPCRECT, DWORD, HDC*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE ReleaseDC(HDC) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE InvalidateRect(LPCRECT rect, BOOL erase) override {
    return Note(std::string(rect ? "InvalidateRect(part" : "InvalidateRect(all") + (erase ? ", erase)" : ")"));
  }
  HRESULT STDMETHODCALLTYPE InvalidateRgn(HRGN, BOOL) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE ScrollRect(INT, INT, LPCRECT, LPCRECT) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE AdjustRect(LPRECT) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnDefWindowMessage(UINT, WPARAM, LPARAM, LRESULT* r) override { return (*r = 0, S_OK); }
  // IOleControlSite
  HRESULT STDMETHODCALLTYPE OnControlInfoChanged() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE LockInPlaceActive(BOOL) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE GetExtendedControl(IDispatch**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE TransformCoords(POINTL*, POINTF*, DWORD) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE TranslateAccelerator(MSG*, DWORD) override { return S_FALSE; }
  HRESULT STDMETHODCALLTYPE OnFocus(BOOL got) override { return Note(got ? "OnFocus(got)" : "OnFocus(lost)"); }
  HRESULT STDMETHODCALLTYPE ShowPropertyFrame() override { return E_NOTIMPL; }

 private:
  HRESULT Note(std::string call) { return (calls.push_back(std::move(call)), S_OK); }
};

}  // namespace kelmira::test
