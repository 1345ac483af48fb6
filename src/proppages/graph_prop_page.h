// BaseGraphPropPage: the property page of the line graph. One dialog (template 145) edits the
// graph's title and flags, the axes' titles and precision, tick length, strip sizes, the
// container's extents and limits, the grid and the three colours. It reads the first object that
// offers IGraphBase and writes to every one that does.
//
// Choices of this implementation:
// - Activate while the page window exists answers E_UNEXPECTED (a frame deactivates a page before
//   activating it again); Deactivate without a window is S_OK.
// - Apply without a page window has no fields to write: S_OK, and the page is clean. A failing
//   ApplyFields ends Apply with that error and leaves the page dirty (the frame keeps it open);
//   the graphs before it keep what was written.
// - Help has no help file to show ("Help File Name" is a placeholder): E_NOTIMPL.
// - GetPageInfo's size is template 145 measured with its font; the strings are copies the caller
//   frees with CoTaskMemFree.
// - A page object released while its window exists destroys the window first.
#pragma once

#include "proppages/colour_table.h"

#include <kelmira/kelmira.h>
#include <kelmira/platform.h>

#include <vector>

namespace kelmira::proppages {

class BaseGraphPropPage : public IPropertyPage {
 public:
  using Interfaces = InterfaceTable<IPropertyPage>;

  // IPropertyPage
  HRESULT STDMETHODCALLTYPE SetPageSite(IPropertyPageSite* pPageSite) override;
  HRESULT STDMETHODCALLTYPE Activate(HWND hWndParent, LPCRECT pRect, BOOL bModal) override;
  HRESULT STDMETHODCALLTYPE Deactivate() override;
  HRESULT STDMETHODCALLTYPE GetPageInfo(PROPPAGEINFO* pPageInfo) override;
  HRESULT STDMETHODCALLTYPE SetObjects(ULONG cObjects, IUnknown** ppUnk) override;
  HRESULT STDMETHODCALLTYPE Show(UINT nCmdShow) override;
  HRESULT STDMETHODCALLTYPE Move(LPCRECT pRect) override;
  HRESULT STDMETHODCALLTYPE IsPageDirty() override;
  HRESULT STDMETHODCALLTYPE Apply() override;
  HRESULT STDMETHODCALLTYPE Help(LPCOLESTR pszHelpDir) override;
  HRESULT STDMETHODCALLTYPE TranslateAccelerator(MSG* pMsg) override;

  // Tells the site when the dirty flag changes (dirty and needs validation, or nothing).
  void SetDirty(bool dirty);
  // The colour dialog for swatch id; a colour chosen with OK makes the page dirty.
  void ChooseSwatchColour(int id);

  HWND PageWindow() const { return hwnd_; }
  ColourTable& Colours() { return colours_; }

 protected:
  BaseGraphPropPage() = default;
  ~BaseGraphPropPage();

 private:
  static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
  INT_PTR OnInitDialog(HWND hwnd);
  INT_PTR OnCommand(WPARAM wParam);
  ComPtr<IGraphBase> FirstGraph() const;

  ComPtr<IPropertyPageSite> site_;
  std::vector<ComPtr<IUnknown>> objects_;
  bool dirty_ = false;
  HWND hwnd_ = nullptr;
  HWND styleList_ = nullptr;
  ColourTable colours_;
};

}  // namespace kelmira::proppages
