// Reads arbitrary bytes as the registry file and walks every key and value. A file the reader
// takes must survive a write and a reload unchanged; a damaged one must refuse writes and stay
// as it was on disk.
#include "fuzz_host.h"

#include <fstream>
#include <iterator>

namespace kelmira::fuzz {
namespace {

std::string FileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

// Every value and subkey below `key`, depth first; false when the registry reports damage.
bool Walk(HKEY key, std::string& out) {
  std::vector<char> name(256), data(256);
  for (DWORD i = 0;; ++i) {
    DWORD nameSize = static_cast<DWORD>(name.size()), dataSize = static_cast<DWORD>(data.size()), type = 0;
    LONG rc =
        RegEnumValueA(key, i, name.data(), &nameSize, nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &dataSize);
    if (rc == ERROR_MORE_DATA) {
      name.resize(name.size() * 2);
      data.resize(data.size() * 2);
      --i;
      continue;
    }
    if (rc == ERROR_NO_MORE_ITEMS) break;
    if (rc != ERROR_SUCCESS) return false;
    out.append(name.data(), nameSize).append("=").append(std::to_string(type)).append(":");
    out.append(data.data(), dataSize).append("\n");
  }
  for (DWORD i = 0;; ++i) {
    DWORD nameSize = static_cast<DWORD>(name.size());
    LONG rc = RegEnumKeyExA(key, i, name.data(), &nameSize, nullptr, nullptr, nullptr, nullptr);
    if (rc == ERROR_MORE_DATA) {
      name.resize(nameSize);
      --i;
      continue;
    }
    if (rc == ERROR_NO_MORE_ITEMS) break;
    if (rc != ERROR_SUCCESS) return false;
    HKEY child = nullptr;
    // The name enumerated must open that very key, never its parent (no walk may loop).
    FUZZ_CHECK(RegOpenKeyExA(key, std::string(name.data(), nameSize).c_str(), 0, KEY_READ, &child) == ERROR_SUCCESS);
    out.append("[").append(name.data(), nameSize).append("\n");
    const bool ok = Walk(child, out);
    RegCloseKey(child);
    if (!ok) return false;
    out += "]\n";
  }
  return true;
}

bool WalkAll(std::string& out) {
  for (HKEY root : {HKEY_CLASSES_ROOT, HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE})
    if (!Walk(root, out)) return false;
  return true;
}

}  // namespace
}  // namespace kelmira::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace kelmira;
  using namespace kelmira::fuzz;
  const std::string path = KelmiraRegistryPath();
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
  KelmiraRegistryReload();
  std::string before;
  const bool readable = WalkAll(before);
  const LONG rc = RegSetValueExA(HKEY_CURRENT_USER, "fuzz", 0, REG_SZ, reinterpret_cast<const BYTE*>("x"), 2);
  if (!readable) {
    FUZZ_CHECK(rc == ERROR_BADDB && FileBytes(path) == bytes);
    return 0;
  }
  FUZZ_CHECK(rc == ERROR_SUCCESS);
  std::string written, reloaded;
  FUZZ_CHECK(WalkAll(written));
  KelmiraRegistryReload();
  FUZZ_CHECK(WalkAll(reloaded) && reloaded == written);
  return 0;
}
