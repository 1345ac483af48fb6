// kelmira-classes: creates one object of every class in the Kelmira type library and prints the
// class table: class name, identifier, the ProgID its registry entry names, and what creation
// gave. Classes that the library only declares are listed as such.
//
//   kelmira-classes [-h]
#include "common/utf8_text.h"

#include <kelmira/kelmira.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

std::string Narrow(const OLECHAR* s) { return kelmira::tools::Utf8Of(s); }

std::string GuidText(REFGUID guid) {
  OLECHAR text[40] = {};
  StringFromGUID2(guid, text, 40);
  return Narrow(text);
}

std::string ProgIdOf(REFCLSID clsid) {
  LPOLESTR prog = nullptr;
  if (FAILED(ProgIDFromCLSID(clsid, &prog))) return "-";
  std::string text = Narrow(prog);
  CoTaskMemFree(prog);
  return text;
}

const char* CreationResult(HRESULT hr) {
  if (SUCCEEDED(hr)) return "created";
  switch (hr) {
    case E_NOTIMPL: return "not implemented yet";
    case REGDB_E_CLASSNOTREG: return "not registered";
    case E_OUTOFMEMORY: return "out of memory";
    default: return "failed";
  }
}

int ListClasses(ITypeLib* lib) {
  int failures = 0;
  std::printf("%-20s %-40s %-32s %s\n", "class", "CLSID", "ProgID (current version)", "creation");
  const UINT count = lib->GetTypeInfoCount();
  for (UINT i = 0; i < count; ++i) {
    TYPEKIND kind;
    if (FAILED(lib->GetTypeInfoType(i, &kind)) || kind != TKIND_COCLASS) continue;
    kelmira::ComPtr<ITypeInfo> info;
    TYPEATTR* attr = nullptr;
    if (FAILED(lib->GetTypeInfo(i, &info)) || FAILED(info->GetTypeAttr(&attr))) {
      ++failures;
      continue;
    }
    const CLSID clsid = attr->guid;
    const bool creatable = (attr->wTypeFlags & TYPEFLAG_FCANCREATE) != 0;
    info->ReleaseTypeAttr(attr);
    kelmira::Bstr name;
    lib->GetDocumentation(static_cast<INT>(i), &name, nullptr, nullptr, nullptr);

    if (!creatable) {
      std::printf("%-20s %-40s %-32s declared only\n", Narrow(name.get()).c_str(), GuidText(clsid).c_str(), "-");
      continue;
    }
    kelmira::ComPtr<IUnknown> object;
    HRESULT hr =
        CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, reinterpret_cast<void**>(&object));
    std::printf("%-20s %-40s %-32s %s (0x%08X)\n", Narrow(name.get()).c_str(), GuidText(clsid).c_str(),
                ProgIdOf(clsid).c_str(), CreationResult(hr), static_cast<unsigned>(hr));
    if (FAILED(hr) && hr != E_NOTIMPL) ++failures;
  }
  return failures;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 1) {
    const bool help = !std::strcmp(argv[1], "-h") || !std::strcmp(argv[1], "--help");
    std::fputs(
        "usage: kelmira-classes\n"
        "Creates one object of every class in the Kelmira type library and prints the class table:\n"
        "name, CLSID, the current ProgID from the registry file and the result of creation.\n"
        "Register the module first (kelmira-regsvr) to see ProgIDs.\n",
        help ? stdout : stderr);
    return help ? 0 : 2;
  }

  CoInitialize(nullptr);
  kelmira::ComPtr<ITypeLib> lib;
  HRESULT hr = LoadRegTypeLib(LIBID_Kelmira, 1, 0, LOCALE_USER_DEFAULT, &lib);
  if (FAILED(hr)) {
    std::fprintf(stderr, "kelmira-classes: the Kelmira type library is not available (0x%08X)\n",
                 static_cast<unsigned>(hr));
    CoUninitialize();
    return 1;
  }
  kelmira::Bstr libName, libDoc;
  lib->GetDocumentation(-1, &libName, &libDoc, nullptr, nullptr);
  std::printf("%s: %s, registry file %s\n\n", Narrow(libName.get()).c_str(), Narrow(libDoc.get()).c_str(),
              KelmiraRegistryPath());
  const int failures = ListClasses(lib.get());
  lib.Reset();
  CoUninitialize();
  return failures ? 1 : 0;
}
