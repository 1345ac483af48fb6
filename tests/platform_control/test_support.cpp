// The test library's tables, the test classes' registration and the window helpers.
#include "platform_control/test_control.h"

#define KM_DEF_FILE "platform_control/test_control.def"
#define KM_DEF_TABLES kControlTestLibrary
#include <kelmira/platform/dispatch_def.inc>

#include <string_view>

namespace {

kelmira::ClassFactory testControlFactory(&kelmira::Object<TestControl>::Create);
kelmira::ClassFactory windowlessFactory(&kelmira::Object<WindowlessTestControl>::Create);
kelmira::ClassFactory compositeFactory(&kelmira::Object<TestComposite>::Create);

void Register(REFCLSID clsid, IClassFactory* factory) {
  DWORD cookie = 0;
  CoRegisterClassObject(clsid, factory, CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE, &cookie);
}

// A template as a resource compiler lays it out: the dialog (a child window, 8 pt MS Sans Serif,
// 186 x 94 dialog units) with one "AtlAxWin" item that names the test control.
std::vector<WORD> BuildCompositeTemplate() {
  std::vector<WORD> words;
  auto raw = [&words](const void* data, std::size_t bytes) {
    const auto* w = static_cast<const WORD*>(data);
    words.insert(words.end(), w, w + bytes / 2);
  };
  auto text = [&words](std::string_view s) {
    for (char c : s) words.push_back(static_cast<unsigned char>(c));
    words.push_back(0);
  };
  DLGTEMPLATE dialog{WS_CHILD | DS_SETFONT | DS_CONTROL, 0, 1, 0, 0, 186, 94};
  raw(&dialog, sizeof(dialog));
  words.push_back(0);  // no menu
  words.push_back(0);  // the dialog class
  text("");            // no title
  words.push_back(8);
  text("MS Sans Serif");
  if (words.size() % 2) words.push_back(0);
  DLGITEMTEMPLATE item{WS_CHILD | WS_VISIBLE, 0, 7, 7, 100, 50, 100};
  raw(&item, sizeof(item));
  text("AtlAxWin");
  text("{3D0B8E51-6A2C-4F1B-8E4D-217A90C35504}");
  words.push_back(0);  // no creation data
  return words;
}

}  // namespace

const DLGTEMPLATE* TestComposite::GetDialogTemplate() {
  static const std::vector<WORD> bytes = BuildCompositeTemplate();
  return reinterpret_cast<const DLGTEMPLATE*>(bytes.data());
}

void RegisterTestClasses() {
  static const bool registered = [] {
    kelmira::RegisterTypeLibraryInfo(&kControlTestLibrary);
    Register(CLSID_TestControl, &testControlFactory);
    Register(CLSID_WindowlessTestControl, &windowlessFactory);
    Register(CLSID_TestComposite, &compositeFactory);
    return true;
  }();
  (void)registered;
}

HWND MakeFrame(int width, int height) {
  static const bool registered = [] {
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = &DefWindowProcA;
    wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_WINDOW + 1));
    wc.lpszClassName = "KelmiraControlTestFrame";
    return RegisterClassExA(&wc) != 0;
  }();
  (void)registered;
  return CreateWindowExA(0, "KelmiraControlTestFrame", "frame", WS_OVERLAPPED | WS_VISIBLE | WS_CLIPCHILDREN, 100,
                         50, width, height, nullptr, nullptr, nullptr, nullptr);
}

void PumpMessages() {
  MSG msg{};
  for (int i = 0; i < 1000 && PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE); ++i) DispatchMessageA(&msg);
}
