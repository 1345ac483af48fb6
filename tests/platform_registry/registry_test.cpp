// The registry: keys, values, enumeration, persistence, damage and handles.
#include "platform_registry/scratch_dir.h"

#include <thread>
#include <tuple>
#include <vector>

#include <sys/wait.h>
#include <unistd.h>

namespace {

using namespace kelmira::testing;

class Key {
 public:
  Key() = default;
  ~Key() {
    if (h_) RegCloseKey(h_);
  }
  Key(const Key&) = delete;
  Key& operator=(const Key&) = delete;
  HKEY* out() { return &h_; }
  HKEY get() const { return h_; }

 private:
  HKEY h_ = nullptr;
};

std::vector<std::string> SubkeyNames(HKEY key) {
  std::vector<std::string> names;
  for (DWORD i = 0;; ++i) {
    char name[256];
    DWORD length = sizeof name;
    if (RegEnumKeyExA(key, i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    names.emplace_back(name, length);
  }
  return names;
}

TEST_F(RegistryTest, CreatesKeysAndTypedValues) {
  Key key;
  DWORD disposition = 0;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CLASSES_ROOT, "Kelmira.Test\\Inner", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, key.out(),
                            &disposition),
            ERROR_SUCCESS);
  EXPECT_EQ(disposition, REG_CREATED_NEW_KEY);
  EXPECT_EQ(SetString(key.get(), nullptr, "default text"), ERROR_SUCCESS);
  DWORD number = 0x12345678;
  EXPECT_EQ(RegSetValueExA(key.get(), "Number", 0, REG_DWORD, reinterpret_cast<BYTE*>(&number), 4), ERROR_SUCCESS);
  const std::string blob("\0\1\xFF\"\\\n", 6);
  EXPECT_EQ(RegSetValueExA(key.get(), "Blob", 0, REG_BINARY, reinterpret_cast<const BYTE*>(blob.data()), 6),
            ERROR_SUCCESS);

  // Names are case-insensitive.
  EXPECT_EQ(Text(HKEY_CLASSES_ROOT, "KELMIRA.test\\inner", ""), "default text");
  EXPECT_EQ(Text(key.get(), "", "blob"), blob);
  DWORD type = 0, got = 0, size = sizeof got;
  EXPECT_EQ(RegQueryValueExA(key.get(), "NUMBER", nullptr, &type, reinterpret_cast<BYTE*>(&got), &size), ERROR_SUCCESS);
  EXPECT_EQ(std::tuple(type, got, size), std::tuple(DWORD{REG_DWORD}, number, DWORD{4}));

  // A second create opens the existing key.
  Key again;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CLASSES_ROOT, "kelmira.test\\INNER", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                            again.out(), &disposition),
            ERROR_SUCCESS);
  EXPECT_EQ(disposition, REG_OPENED_EXISTING_KEY);
}

TEST_F(RegistryTest, QueryReportsMissingThingsAndSmallBuffers) {
  Key key;
  ASSERT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, "Software\\Kelmira", key.out()), ERROR_SUCCESS);
  ASSERT_EQ(SetString(key.get(), "Name", "twelve chars"), ERROR_SUCCESS);

  char small[4];
  DWORD size = sizeof small;
  EXPECT_EQ(RegQueryValueExA(key.get(), "Name", nullptr, nullptr, reinterpret_cast<BYTE*>(small), &size),
            ERROR_MORE_DATA);
  EXPECT_EQ(size, 13u);
  size = 0;
  EXPECT_EQ(RegQueryValueExA(key.get(), "Name", nullptr, nullptr, nullptr, &size), ERROR_SUCCESS);
  EXPECT_EQ(size, 13u);
  EXPECT_EQ(RegQueryValueExA(key.get(), "Missing", nullptr, nullptr, nullptr, &size), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(RegQueryValueExA(key.get(), nullptr, nullptr, nullptr, nullptr, &size), ERROR_FILE_NOT_FOUND);

  Key missing;
  EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Nothing", 0, KEY_READ, missing.out()), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(missing.get(), nullptr);
  // Roots are separate.
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, "Software\\Kelmira"));
  EXPECT_EQ(Text(HKEY_CURRENT_USER, "Software\\Kelmira", "Name"), "twelve chars");
  DWORD number = 1;
  EXPECT_EQ(RegSetValueExA(key.get(), "N", 0, REG_DWORD, reinterpret_cast<BYTE*>(&number), 4), ERROR_SUCCESS);
  size = sizeof number;
  EXPECT_EQ(RegGetValueA(key.get(), nullptr, "N", RRF_RT_REG_SZ, nullptr, &number, &size), ERROR_UNSUPPORTED_TYPE);
}

TEST_F(RegistryTest, ExpandStringsExpandThroughRegGetValue) {
  setenv("KELMIRA_TEST_DIR", "/opt/k", 1);
  const std::string raw = "%KELMIRA_TEST_DIR%/lib %NOT_SET_ANYWHERE%";
  ASSERT_EQ(SetString(HKEY_CLASSES_ROOT, "Path", raw, REG_EXPAND_SZ), ERROR_SUCCESS);
  EXPECT_EQ(Text(HKEY_CLASSES_ROOT, "", "Path"), "/opt/k/lib %NOT_SET_ANYWHERE%");
  char unexpanded[128];
  DWORD size = sizeof unexpanded, type = 0;
  EXPECT_EQ(
      RegGetValueA(HKEY_CLASSES_ROOT, nullptr, "Path", RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND, &type, unexpanded, &size),
      ERROR_SUCCESS);
  EXPECT_EQ(type, REG_EXPAND_SZ);
  EXPECT_EQ(unexpanded, raw);
}

TEST_F(RegistryTest, EnumeratesSubkeysByNameAndValuesInOrderSet) {
  Key key;
  ASSERT_EQ(RegCreateKeyA(HKEY_CLASSES_ROOT, "Enum", key.out()), ERROR_SUCCESS);
  for (const char* name : {"beta", "Alpha", "Gamma", "delta"}) ASSERT_EQ(SetText(key.get(), name, ""), ERROR_SUCCESS);
  EXPECT_EQ(SubkeyNames(key.get()), (std::vector<std::string>{"Alpha", "beta", "delta", "Gamma"}));  // any case

  SetString(key.get(), "z", "1");
  SetString(key.get(), "a", "2");
  SetString(key.get(), "Z", "3");  // replaces "z" in place
  char name[8], data[8];
  DWORD length = sizeof name, size = sizeof data;
  ASSERT_EQ(RegEnumValueA(key.get(), 0, name, &length, nullptr, nullptr, reinterpret_cast<BYTE*>(data), &size),
            ERROR_SUCCESS);
  EXPECT_STREQ(name, "z");
  EXPECT_STREQ(data, "3");
  length = 1;
  EXPECT_EQ(RegEnumValueA(key.get(), 1, name, &length, nullptr, nullptr, nullptr, nullptr), ERROR_MORE_DATA);
  EXPECT_EQ(length, 2u);
  length = sizeof name;
  EXPECT_EQ(RegEnumValueA(key.get(), 2, name, &length, nullptr, nullptr, nullptr, nullptr), ERROR_NO_MORE_ITEMS);
  length = 2;
  EXPECT_EQ(RegEnumKeyExA(key.get(), 0, name, &length, nullptr, nullptr, nullptr, nullptr), ERROR_MORE_DATA);
  length = sizeof name;
  EXPECT_EQ(RegEnumKeyExA(key.get(), 4, name, &length, nullptr, nullptr, nullptr, nullptr), ERROR_NO_MORE_ITEMS);
}

TEST_F(RegistryTest, DeletesKeysValuesAndTrees) {
  ASSERT_EQ(SetText(HKEY_CLASSES_ROOT, "Tree\\A\\B", "x", "v"), ERROR_SUCCESS);
  Key key;
  ASSERT_EQ(RegOpenKeyExA(HKEY_CLASSES_ROOT, "Tree\\A\\B", 0, KEY_ALL_ACCESS, key.out()), ERROR_SUCCESS);
  EXPECT_EQ(RegDeleteValueA(key.get(), "V"), ERROR_SUCCESS);
  EXPECT_EQ(RegDeleteValueA(key.get(), "v"), ERROR_FILE_NOT_FOUND);

  EXPECT_EQ(RegDeleteKeyA(HKEY_CLASSES_ROOT, "Tree\\A"), ERROR_ACCESS_DENIED);  // has a subkey
  EXPECT_EQ(RegDeleteKeyA(HKEY_CLASSES_ROOT, "Tree\\A\\Missing"), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(RegDeleteTreeA(HKEY_CLASSES_ROOT, "Tree\\A"), ERROR_SUCCESS);
  EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, "Tree\\A"));
  EXPECT_TRUE(KeyExists(HKEY_CLASSES_ROOT, "Tree"));
  EXPECT_EQ(RegDeleteTreeA(HKEY_CLASSES_ROOT, "Tree\\A"), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(RegDeleteKeyA(HKEY_CLASSES_ROOT, "Tree"), ERROR_SUCCESS);
}

TEST_F(RegistryTest, HandlesAreCheckedAndKnowTheirAccess) {
  ASSERT_EQ(SetText(HKEY_CLASSES_ROOT, "Handles\\Doomed", ""), ERROR_SUCCESS);
  Key readOnly;
  ASSERT_EQ(RegOpenKeyExA(HKEY_CLASSES_ROOT, "Handles", 0, KEY_READ, readOnly.out()), ERROR_SUCCESS);
  EXPECT_EQ(SetString(readOnly.get(), "v", "x"), ERROR_ACCESS_DENIED);

  HKEY closed = nullptr;
  ASSERT_EQ(RegOpenKeyExA(HKEY_CLASSES_ROOT, "Handles", 0, KEY_ALL_ACCESS, &closed), ERROR_SUCCESS);
  EXPECT_EQ(RegCloseKey(closed), ERROR_SUCCESS);
  EXPECT_EQ(RegCloseKey(closed), ERROR_INVALID_HANDLE);
  for (HKEY bad : {closed, reinterpret_cast<HKEY>(std::uintptr_t{0x12345}), HKEY{}})
    EXPECT_EQ(SetString(bad, "v", "x"), ERROR_INVALID_HANDLE);

  // A handle whose key was deleted reports it.
  Key doomed;
  ASSERT_EQ(RegOpenKeyExA(HKEY_CLASSES_ROOT, "Handles\\Doomed", 0, KEY_ALL_ACCESS, doomed.out()), ERROR_SUCCESS);
  ASSERT_EQ(RegDeleteTreeA(HKEY_CLASSES_ROOT, "Handles"), ERROR_SUCCESS);
  EXPECT_EQ(SetString(doomed.get(), "v", "x"), ERROR_KEY_DELETED);
}

TEST_F(RegistryTest, PersistsAcrossReloadAndWritesAtomically) {
  const std::string tricky = "quote\" backslash\\ newline\n tab\t caf\xC3\xA9 \x01";
  {
    Key key;
    ASSERT_EQ(RegCreateKeyA(HKEY_LOCAL_MACHINE, "Odd [name] 100%\\caf\xC3\xA9", key.out()), ERROR_SUCCESS);
    ASSERT_EQ(SetString(key.get(), "value \"name\"", tricky), ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExA(key.get(), "empty", 0, REG_BINARY, nullptr, 0), ERROR_SUCCESS);
  }
  std::string file = ReadFile(registryPath_);
  EXPECT_EQ(file.rfind("KELMIRA REGISTRY 1\n", 0), 0u);
  for (char c : file) EXPECT_TRUE(c == '\n' || (c >= 0x20 && c < 0x7F)) << int(c);
  // Nothing but the registry file is left in its directory.
  int entries = 0;
  for (const auto& e : std::filesystem::directory_iterator(dir_.path() + "/sub")) {
    EXPECT_EQ(e.path().filename(), "registry");
    ++entries;
  }
  EXPECT_EQ(entries, 1);

  KelmiraRegistryReload();
  EXPECT_EQ(Text(HKEY_LOCAL_MACHINE, "odd [NAME] 100%\\caf\xC3\xA9", "VALUE \"name\""), tricky);
  EXPECT_EQ(Text(HKEY_LOCAL_MACHINE, "Odd [name] 100%\\caf\xC3\xA9", "empty"), "");
  EXPECT_EQ(std::string(KelmiraRegistryPath()), registryPath_);

  // Another process replaces the file (a rename, as our writer does): picked up without a reload.
  ASSERT_EQ(SetString(HKEY_CLASSES_ROOT, "v", "mine"), ERROR_SUCCESS);
  std::string other = registryPath_ + ".other";
  WriteFile(other, "KELMIRA REGISTRY 1\n[HKEY_CLASSES_ROOT]\n@=\"theirs\"\n");
  ASSERT_EQ(std::rename(other.c_str(), registryPath_.c_str()), 0);
  EXPECT_EQ(Text(HKEY_CLASSES_ROOT, ""), "theirs");
  EXPECT_EQ(Text(HKEY_CLASSES_ROOT, "", "v"), "<missing>");
}

TEST_F(RegistryTest, DamagedFileGivesErrorsAndIsNotOverwritten) {
  std::filesystem::create_directories(dir_.path() + "/sub");
  const char* damaged[] = {
      "not a registry\n",
      "KELMIRA REGISTRY 2\n",
      "KELMIRA REGISTRY 1\n\"v\"=\"outside a key\"\n",
      "KELMIRA REGISTRY 1\n[HKEY_NOWHERE\\x]\n",
      "KELMIRA REGISTRY 1\n[HKEY_CLASSES_ROOT\\x]\n\"v\"=\"unterminated\n",
      "KELMIRA REGISTRY 1\n[HKEY_CLASSES_ROOT\\x]\n\"v\"=dword:123\n",
      "KELMIRA REGISTRY 1\n[HKEY_CLASSES_ROOT\\x]\n\"v\"=hex:0g\n",
      "KELMIRA REGISTRY 1\n[HKEY_CLASSES_ROOT\\%zz]\n",
      "KELMIRA REGISTRY 1\n[HKEY_CLASSES_ROOT\\\\]\n",
      "KELMIRA REGISTRY 1\n[HKEY_CLASSES_ROOT\\x]\n\"v\"=\"bad escape \\q\"\n",
  };
  const std::string badDb = "<error " + std::to_string(ERROR_BADDB) + ">";
  for (const char* contents : damaged) {
    WriteFile(registryPath_, contents);
    KelmiraRegistryReload();
    EXPECT_EQ(Text(HKEY_CLASSES_ROOT, "x", "v"), badDb) << contents;
    EXPECT_EQ(SetText(HKEY_CLASSES_ROOT, "y", "x"), ERROR_BADDB) << contents;
    EXPECT_EQ(SetString(HKEY_CLASSES_ROOT, "v", "x"), ERROR_BADDB) << contents;
    EXPECT_EQ(ReadFile(registryPath_), contents);
    CLSID clsid;
    EXPECT_EQ(CLSIDFromProgID(u"Kelmira.Anything", &clsid), REGDB_E_READREGDB);
  }
  // Repairing the file is noticed without a reload.
  WriteFile(registryPath_, "KELMIRA REGISTRY 1\n; fixed\n[HKEY_CLASSES_ROOT\\x]\n\"v\"=\"ok\"\n");
  EXPECT_EQ(Text(HKEY_CLASSES_ROOT, "x", "v"), "ok");
}

// Each writer sets 20 values named prefix + number; none may be lost to another writer.
bool WriteMany(const std::string& prefix) {
  bool ok = true;
  for (int i = 0; i < 20; ++i) {
    const std::string name = prefix + std::to_string(i);
    ok = SetString(HKEY_CLASSES_ROOT, name.c_str(), name) == ERROR_SUCCESS && ok;
  }
  return ok;
}

// Four threads of this process and a second process write at once.
TEST_F(RegistryTest, ConcurrentWritersInThreadsAndProcessesLoseNothing) {
  ASSERT_EQ(SetString(HKEY_CLASSES_ROOT, "start", "x"), ERROR_SUCCESS);
  pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) _exit(WriteMany("child") ? 0 : 1);
  const std::vector<std::string> prefixes{"t0_", "t1_", "t2_", "t3_", "child"};
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) threads.emplace_back([&, t] { EXPECT_TRUE(WriteMany(prefixes[t])); });
  for (auto& th : threads) th.join();
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  KelmiraRegistryReload();
  for (const std::string& prefix : prefixes)
    for (int i = 0; i < 20; ++i) {
      const std::string name = prefix + std::to_string(i);
      EXPECT_EQ(Text(HKEY_CLASSES_ROOT, "", name.c_str()), name);
    }
}

}  // namespace
