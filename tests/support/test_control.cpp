#include "support/test_control.h"

#define KM_DEF_FILE "support/test_control.def"
#define KM_DEF_TABLES kControlTestLibrary
#include <kelmira/platform/dispatch_def.inc>

#include <kelmira/platform/dialog_template.h>

namespace kelmira::test {
namespace {

template <class T>
void Register() {
  static ClassFactory factory(&Object<T>::Create);
  DWORD cookie = 0;
  CoRegisterClassObject(T::GetObjectCLSID(), &factory, CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE, &cookie);
}

}  // namespace

// A child dialog in 8 pt MS Sans Serif whose item names the test control by its class.
const DLGTEMPLATE* TestComposite::GetDialogTemplate() {
  static const DialogTemplateBuilder dialog = [] {
    DialogTemplateBuilder b(WS_CHILD | DS_CONTROL, 0, 0, 0, 186, 94, "", 8, "MS Sans Serif");
    b.AddItem(WS_CHILD | WS_VISIBLE, 7, 7, 100, 50, 100, "AtlAxWin", "{3D0B8E51-6A2C-4F1B-8E4D-217A90C35504}");
    return b;
  }();
  return dialog.Template();
}

void RegisterTestClasses() {
  [[maybe_unused]] static const bool registered = [] {
    RegisterTypeLibraryInfo(&kControlTestLibrary);
    Register<TestControl>();
    Register<WindowlessTestControl>();
    Register<TestComposite>();
    return true;
  }();
}

}  // namespace kelmira::test
