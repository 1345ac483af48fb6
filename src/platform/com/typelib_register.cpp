// RegisterTypeLib and UnRegisterTypeLib: the registry entries that let other processes find a
// library (and its module) by identifier, and find the library of an interface.
#include "com/dispatch_index.h"
#include "com/dispatch_text.h"
#include "com/typelib_registry_keys.h"

#include <kelmira/platform/guarded.h>

#include <cstdio>

namespace kelmira::dispatch {

namespace {

std::string Utf8(BSTR text) { return Utf8FromUtf16(View(text)); }

std::string LocaleName(LCID lcid) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%x", lcid);
  return buf;
}

// Interfaces other processes reach through the library: dispatch and dual ones.
bool IsAutomationInterface(const TYPEATTR& attr) {
  if (attr.typekind == TKIND_DISPATCH) return true;
  return attr.typekind == TKIND_INTERFACE && (attr.wTypeFlags & (TYPEFLAG_FDUAL | TYPEFLAG_FOLEAUTOMATION));
}

// Calls visit(iid, name) for each automation interface of the library.
template <class Visit>
HRESULT ForEachAutomationInterface(ITypeLib* lib, Visit&& visit) {
  UINT count = lib->GetTypeInfoCount();
  for (UINT i = 0; i < count; ++i) {
    ComPtr<ITypeInfo> info;
    HRESULT hr = lib->GetTypeInfo(i, &info);
    if (FAILED(hr)) return hr;
    TYPEATTR* attr = nullptr;
    if (FAILED(hr = info->GetTypeAttr(&attr))) return hr;
    IID iid = attr->guid;
    bool automation = IsAutomationInterface(*attr);
    info->ReleaseTypeAttr(attr);
    if (!automation) continue;
    Bstr name;
    if (FAILED(hr = info->GetDocumentation(MEMBERID_NIL, &name, nullptr, nullptr, nullptr))) return hr;
    if (!visit(iid, Utf8(name.get()))) return TYPE_E_REGISTRYACCESS;
  }
  return S_OK;
}

HRESULT WriteLibrary(ITypeLib* lib, const std::string& path, const std::string& helpDir) {
  TLIBATTR* attr = nullptr;
  HRESULT hr = lib->GetLibAttr(&attr);
  if (FAILED(hr)) return hr;
  const TLIBATTR la = *attr;
  lib->ReleaseTLibAttr(attr);
  Bstr name, doc;
  if (FAILED(hr = lib->GetDocumentation(-1, &name, &doc, nullptr, nullptr))) return hr;

  const std::string libid = GuidString(la.guid);
  const std::string version = VersionName(la.wMajorVerNum, la.wMinorVerNum);
  const std::string key = TypeLibKey(la.guid) + "\\" + version;
  const std::string locale = key + "\\" + LocaleName(la.lcid);
  bool ok = WriteKeyString(HKEY_CLASSES_ROOT, key, nullptr, Utf8(doc ? doc.get() : name.get())) &&
            WriteKeyString(HKEY_CLASSES_ROOT, key + "\\FLAGS", nullptr, std::to_string(la.wLibFlags)) &&
            WriteKeyString(HKEY_CLASSES_ROOT, key + "\\HELPDIR", nullptr, helpDir);
  for (const char* platform : kPlatformKeys)
    ok = ok && WriteKeyString(HKEY_CLASSES_ROOT, locale + "\\" + platform, nullptr, path);
  if (!ok) return TYPE_E_REGISTRYACCESS;

  return ForEachAutomationInterface(lib, [&](REFIID iid, const std::string& interfaceName) {
    const std::string itf = "Interface\\" + GuidString(iid);
    return WriteKeyString(HKEY_CLASSES_ROOT, itf, nullptr, interfaceName) &&
           WriteKeyString(HKEY_CLASSES_ROOT, itf + "\\TypeLib", nullptr, libid) &&
           WriteKeyString(HKEY_CLASSES_ROOT, itf + "\\TypeLib", "Version", version);
  });
}

// Interface keys go only where they still name this library.
void RemoveInterfaces(REFGUID libid, WORD major, WORD minor, LCID lcid) {
  ComPtr<ITypeLib> lib;
  if (FAILED(LoadRegTypeLib(libid, major, minor, lcid, &lib))) return;
  const std::string wanted = GuidString(libid);
  ForEachAutomationInterface(lib.get(), [&](REFIID iid, const std::string&) {
    const std::string itf = "Interface\\" + GuidString(iid);
    std::string owner;
    if (ReadKeyString(HKEY_CLASSES_ROOT, itf + "\\TypeLib", nullptr, &owner) && owner == wanted)
      RegDeleteTreeA(HKEY_CLASSES_ROOT, itf.c_str());
    return true;
  });
}

bool IsLocaleKey(const std::string& name) {
  return !name.empty() && name.find_first_not_of("0123456789abcdefABCDEF") == std::string::npos;
}

}  // namespace

}  // namespace kelmira::dispatch

using namespace kelmira::dispatch;

HRESULT RegisterTypeLib(ITypeLib* ptlib, LPCOLESTR szFullPath, LPCOLESTR szHelpDir) {
  if (!ptlib || !szFullPath) return E_INVALIDARG;
  return kelmira::Guarded(
      [&] { return WriteLibrary(ptlib, Utf8FromUtf16(View(szFullPath)), Utf8FromUtf16(View(szHelpDir))); });
}

// Removes the locale's platform entries, then the version key once no locale is left, then
// the library key once no version is left.
HRESULT UnRegisterTypeLib(REFGUID libID, WORD wVerMajor, WORD wVerMinor, LCID lcid, SYSKIND syskind) {
  return kelmira::Guarded([&] {
    const std::string key = TypeLibKey(libID) + "\\" + VersionName(wVerMajor, wVerMinor);
    HKEY probe = nullptr;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, key.c_str(), 0, KEY_READ, &probe) != ERROR_SUCCESS)
      return TYPE_E_REGISTRYACCESS;
    RegCloseKey(probe);
    RemoveInterfaces(libID, wVerMajor, wVerMinor, lcid);

    const std::string locale = key + "\\" + LocaleName(lcid);
    const char* named = syskind == SYS_WIN64   ? "win64"
                        : syskind == SYS_WIN16 ? "win16"
                        : syskind == SYS_MAC   ? "mac"
                                               : "win32";
    RegDeleteTreeA(HKEY_CLASSES_ROOT, (locale + "\\" + named).c_str());
    for (const char* platform : kPlatformKeys) RegDeleteTreeA(HKEY_CLASSES_ROOT, (locale + "\\" + platform).c_str());
    if (SubKeyNames(HKEY_CLASSES_ROOT, locale).empty()) RegDeleteTreeA(HKEY_CLASSES_ROOT, locale.c_str());

    bool localesLeft = false;
    for (const std::string& name : SubKeyNames(HKEY_CLASSES_ROOT, key)) localesLeft = localesLeft || IsLocaleKey(name);
    if (!localesLeft) RegDeleteTreeA(HKEY_CLASSES_ROOT, key.c_str());
    const std::string library = TypeLibKey(libID);
    if (SubKeyNames(HKEY_CLASSES_ROOT, library).empty()) RegDeleteTreeA(HKEY_CLASSES_ROOT, library.c_str());
    return S_OK;
  });
}
