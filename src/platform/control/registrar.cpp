// Applying a parsed registrar script to the registry, in register or unregister mode, as one
// registry change.
#include <kelmira/platform/guarded.h>
#include <kelmira/platform/registrar.h>

#include "com/registry_store.h"
#include "control/registrar_script.h"

namespace kelmira::registrar {
namespace {

// Closes an opened key when it goes.
class KeyHolder {
 public:
  KeyHolder() = default;
  ~KeyHolder() {
    if (key_) RegCloseKey(key_);
  }
  KeyHolder(const KeyHolder&) = delete;
  KeyHolder& operator=(const KeyHolder&) = delete;
  HKEY* out() { return &key_; }
  HKEY get() const { return key_; }

 private:
  HKEY key_ = nullptr;
};

LONG IgnoreMissing(LONG rc) { return rc == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : rc; }

LONG SetValue(HKEY key, const char* name, const ScriptValue& v) {
  return RegSetValueExA(key, name, 0, v.type, reinterpret_cast<const BYTE*>(v.data.data()),
                        static_cast<DWORD>(v.data.size()));
}

LONG SetValues(HKEY key, const std::vector<std::pair<std::string, ScriptValue>>& values) {
  for (const auto& [name, v] : values)
    if (LONG rc = SetValue(key, name.c_str(), v); rc != ERROR_SUCCESS) return rc;
  return ERROR_SUCCESS;
}

LONG RegisterKey(HKEY parent, const KeyNode& node);

LONG RegisterChildren(HKEY key, const std::vector<KeyNode>& children) {
  for (const KeyNode& child : children)
    if (LONG rc = RegisterKey(key, child); rc != ERROR_SUCCESS) return rc;
  return ERROR_SUCCESS;
}

LONG RegisterKey(HKEY parent, const KeyNode& node) {
  if (node.modifier == Modifier::Delete) return IgnoreMissing(RegDeleteTreeA(parent, node.name.c_str()));
  if (node.modifier == Modifier::ForceRemove)
    if (LONG rc = IgnoreMissing(RegDeleteTreeA(parent, node.name.c_str())); rc != ERROR_SUCCESS) return rc;
  KeyHolder key;
  LONG rc = RegCreateKeyExA(parent, node.name.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr,
                            key.out(), nullptr);
  if (rc != ERROR_SUCCESS) return rc;
  if (node.defaultValue)
    if (rc = SetValue(key.get(), nullptr, *node.defaultValue); rc != ERROR_SUCCESS) return rc;
  if (rc = SetValues(key.get(), node.values); rc != ERROR_SUCCESS) return rc;
  return RegisterChildren(key.get(), node.children);
}

LONG DeleteValues(HKEY key, const std::vector<std::pair<std::string, ScriptValue>>& values) {
  for (const auto& [name, v] : values)
    if (LONG rc = IgnoreMissing(RegDeleteValueA(key, name.c_str())); rc != ERROR_SUCCESS) return rc;
  return ERROR_SUCCESS;
}

// No subkeys and no named values; the default value is the script's own.
bool IsEmptyKey(HKEY key) {
  char name[256];
  DWORD length = sizeof name;
  if (RegEnumKeyExA(key, 0, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_NO_MORE_ITEMS) return false;
  for (DWORD i = 0;; ++i) {
    std::string valueName(16384, '\0');
    DWORD nameLength = static_cast<DWORD>(valueName.size());
    LONG rc = RegEnumValueA(key, i, valueName.data(), &nameLength, nullptr, nullptr, nullptr, nullptr);
    if (rc == ERROR_NO_MORE_ITEMS) return true;
    if (rc != ERROR_SUCCESS || nameLength != 0) return false;
  }
}

LONG UnregisterKey(HKEY parent, const KeyNode& node);

LONG UnregisterChildren(HKEY key, const std::vector<KeyNode>& children) {
  for (const KeyNode& child : children)
    if (LONG rc = UnregisterKey(key, child); rc != ERROR_SUCCESS) return rc;
  return ERROR_SUCCESS;
}

LONG UnregisterKey(HKEY parent, const KeyNode& node) {
  if (node.modifier == Modifier::Delete) return ERROR_SUCCESS;
  if (node.modifier == Modifier::ForceRemove) return IgnoreMissing(RegDeleteTreeA(parent, node.name.c_str()));
  bool empty = false;
  {
    KeyHolder key;
    LONG rc = RegOpenKeyExA(parent, node.name.c_str(), 0, KEY_ALL_ACCESS, key.out());
    if (rc == ERROR_FILE_NOT_FOUND) return ERROR_SUCCESS;  // nothing of it is left
    if (rc != ERROR_SUCCESS) return rc;
    if (rc = UnregisterChildren(key.get(), node.children); rc != ERROR_SUCCESS) return rc;
    if (rc = DeleteValues(key.get(), node.values); rc != ERROR_SUCCESS) return rc;
    empty = IsEmptyKey(key.get());
  }
  if (node.modifier == Modifier::NoRemove || !empty) return ERROR_SUCCESS;
  return IgnoreMissing(RegDeleteKeyA(parent, node.name.c_str()));
}

LONG Apply(const std::vector<RootBlock>& blocks, bool registering) {
  for (const RootBlock& block : blocks) {
    LONG rc = registering ? SetValues(block.root, block.values) : DeleteValues(block.root, block.values);
    if (rc != ERROR_SUCCESS) return rc;
    rc = registering ? RegisterChildren(block.root, block.keys) : UnregisterChildren(block.root, block.keys);
    if (rc != ERROR_SUCCESS) return rc;
  }
  return ERROR_SUCCESS;
}

HRESULT RegistryFailure(LONG rc) {
  switch (rc) {
    case ERROR_BADDB:
    case ERROR_CANTREAD: return REGDB_E_READREGDB;
    case ERROR_CANTWRITE: return REGDB_E_WRITEREGDB;
    case ERROR_NOT_ENOUGH_MEMORY: return E_OUTOFMEMORY;
    default: return HRESULT_FROM_WIN32(static_cast<unsigned long>(rc));
  }
}

}  // namespace
}  // namespace kelmira::registrar

namespace kelmira {

HRESULT RunRegistrarScript(std::string_view script,
                           const std::vector<std::pair<std::string, std::string>>& replacements, bool registering,
                           std::string* error) {
  using namespace kelmira::registrar;
  return Guarded([&] {
    if (error) error->clear();
    std::vector<RootBlock> blocks;
    if (!ParseScript(script, replacements, &blocks, error)) return DISP_E_EXCEPTION;
    LONG rc = registry::Store::Instance().Transact([&] { return Apply(blocks, registering); });
    if (rc == ERROR_SUCCESS) return S_OK;
    if (error)
      *error = "the registry could not be " + std::string(rc == ERROR_BADDB ? "read" : "changed") + " (error " +
               std::to_string(rc) + ")";
    return RegistryFailure(rc);
  });
}

}  // namespace kelmira
