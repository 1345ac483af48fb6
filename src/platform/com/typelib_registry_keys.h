// Registry keys of registered type libraries: HKCR\TypeLib\{libid}\<major.minor> (versions in
// hexadecimal) with <lcid>\<platform> holding the module path, and HKCR\Interface\{iid}.
#pragma once

#include <kelmira/platform/registry.h>

#include <string>
#include <vector>

namespace kelmira::dispatch {

std::string TypeLibKey(REFGUID libid);
std::string VersionName(WORD major, WORD minor);
// The registered version of libid with this major and the highest minor not below minor.
bool FindRegisteredVersion(REFGUID libid, WORD major, WORD minor, std::string* versionKey);
// The module path registered for that version and locale (falling back to locale 0).
HRESULT FindRegisteredPath(REFGUID libid, WORD major, WORD minor, LCID lcid, std::string* path);

bool ReadKeyString(HKEY root, const std::string& subKey, const char* valueName, std::string* out);
bool WriteKeyString(HKEY root, const std::string& subKey, const char* valueName, const std::string& value);
// The subkey names of a key (empty when it does not exist).
std::vector<std::string> SubKeyNames(HKEY root, const std::string& subKey);

// Platform subkeys written next to each other for one locale.
inline constexpr const char* kPlatformKeys[] = {"linux64", "win32"};

}  // namespace kelmira::dispatch
