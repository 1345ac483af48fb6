// The test library's tables, the test classes' registration and the window helpers.
#include "platform_control/test_control.h"

#define KM_DEF_FILE "platform_control/test_control.def"
#define KM_DEF_TABLES kControlTestLibrary
#include <kelmira/platform/dispatch_def.inc>

#include <kelmira/platform/dialog_template.h>

namespace {

kelmira::ClassFactory testControlFactory(&kelmira::Object<TestControl>::Create);
kelmira::ClassFactory windowlessFactory(&kelmira::Object<WindowlessTestControl>::Create);
kelmira::ClassFactory compositeFactory(&kelmira::Object<TestComposite>::Create);

void Register(REFCLSID clsid, IClassFactory* factory) {
  DWORD cookie = 0;
  CoRegisterClassObject(clsid, factory, CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE, &cookie);
}

}  // namespace

// The dialog (a child window, 8 pt MS Sans Serif, 186 x 94 dialog units) with one "AtlAxWin" item
// that names the test control.
const DLGTEMPLATE* TestComposite::GetDialogTemplate() {
  static const kelmira::DialogTemplateBuilder dialog = [] {
    kelmira::DialogTemplateBuilder b(WS_CHILD | DS_CONTROL, 0, 0, 0, 186, 94, "", 8, "MS Sans Serif");
    b.AddItem(WS_CHILD | WS_VISIBLE, 7, 7, 100, 50, 100, "AtlAxWin", "{3D0B8E51-6A2C-4F1B-8E4D-217A90C35504}");
    return b;
  }();
  return dialog.Template();
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
  return CreateWindowExA(0, "KelmiraControlTestFrame", "frame", WS_OVERLAPPED | WS_VISIBLE | WS_CLIPCHILDREN, 100, 50,
                         width, height, nullptr, nullptr, nullptr, nullptr);
}

void PumpMessages() {
  MSG msg{};
  for (int i = 0; i < 1000 && PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE); ++i) DispatchMessageA(&msg);
}
