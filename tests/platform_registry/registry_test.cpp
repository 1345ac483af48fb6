// The registry: keys, values, enumeration, persistence, damage and handles.
#include "support/registry_fixture.h"

#include <thread>
#include <tuple>
#include <vector>

#include <sys/wait.h>
#include <unistd.h>

namespace {

using namespace kelmira::test;

TEST_F(RegistryTest, CreatesKeysAndTypedValuesWithNamesInAnyCase) {
  HKEY key = nullptr, again = nullptr;
  auto create = [](const char* path, HKEY* created) {
    DWORD disposition = 0;
    EXPECT_EQ(RegCreateKeyExA(HKEY_CLASSES_ROOT, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, created, &disposition),
              ERROR_SUCCESS);
    return disposition;
  };
  EXPECT_EQ(create("Kelmira.Test\\Inner", &key), DWORD{REG_CREATED_NEW_KEY});
  EXPECT_EQ(SetString(key, nullptr, "default text"), ERROR_SUCCESS);
  DWORD number = 0x12345678, type = 0, got = 0, size = sizeof got;
  EXPECT_EQ(RegSetValueExA(key, "Number", 0, REG_DWORD, reinterpret_cast<BYTE*>(&number), 4), ERROR_SUCCESS);
  const std::string blob("\0\1\xFF\"\\\n", 6);
  EXPECT_EQ(RegSetValueExA(key, "Blob", 0, REG_BINARY, reinterpret_cast<const BYTE*>(blob.data()), 6), ERROR_SUCCESS);

  EXPECT_EQ(Text(HKEY_CLASSES_ROOT, "KELMIRA.test\\inner", ""), "default text");
  EXPECT_EQ(Text(key, "", "blob"), blob);
  EXPECT_EQ(RegQueryValueExA(key, "NUMBER", nullptr, &type, reinterpret_cast<BYTE*>(&got), &size), ERROR_SUCCESS);
  EXPECT_EQ(std::tuple(type, got, size), std::tuple(DWORD{REG_DWORD}, number, DWORD{4}));
  EXPECT_EQ(create("kelmira.test\\INNER", &again), DWORD{REG_OPENED_EXISTING_KEY});
  RegCloseKey(again);
  RegCloseKey(key);
}

TEST_F(RegistryTest, QueryReportsMissingThingsSmallBuffersAndWrongTypes) {
  HKEY key = nullptr, missing = reinterpret_cast<HKEY>(1);
  ASSERT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, "Software\\Kelmira", &key), ERROR_SUCCESS);
  ASSERT_EQ(SetString(key, "Name", "twelve chars"), ERROR_SUCCESS);
  char small[4];
  DWORD size = sizeof small, number = 1;
  EXPECT_EQ(RegQueryValueExA(key, "Name", nullptr, nullptr, reinterpret_cast<BYTE*>(small), &size), ERROR_MORE_DATA);
  EXPECT_EQ(size, 13u);
  size = 0;
  EXPECT_EQ(RegQueryValueExA(key, "Name", nullptr, nullptr, nullptr, &size), ERROR_SUCCESS);
  EXPECT_EQ(size, 13u);
  EXPECT_EQ(RegQueryValueExA(key, "Missing", nullptr, nullptr, nullptr, &size), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(RegQueryValueExA(key, nullptr, nullptr, nullptr, nullptr, &size), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Nothing", 0, KEY_READ, &missing), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(missing, nullptr);
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, "Software\\Kelmira"));  // roots are separate
  EXPECT_EQ(RegSetValueExA(key, "N", 0, REG_DWORD, reinterpret_cast<BYTE*>(&number), 4), ERROR_SUCCESS);
  size = sizeof number;
  EXPECT_EQ(RegGetValueA(key, nullptr, "N", RRF_RT_REG_SZ, nullptr, &number, &size), ERROR_UNSUPPORTED_TYPE);
  RegCloseKey(key);

  // Expandable strings expand through RegGetValue unless asked not to.
  setenv("KELMIRA_TEST_DIR", "/opt/k", 1);
  const std::string raw = "%KELMIRA_TEST_DIR%/lib %NOT_SET_ANYWHERE%";
  ASSERT_EQ(SetString(HKEY_CLASSES_ROOT, "Path", raw, REG_EXPAND_SZ), ERROR_SUCCESS);
  EXPECT_EQ(Text(HKEY_CLASSES_ROOT, "", "Path"), "/opt/k/lib %NOT_SET_ANYWHERE%");
  char unexpanded[128];
  DWORD type = 0;
  size = sizeof unexpanded;
  EXPECT_EQ(
      RegGetValueA(HKEY_CLASSES_ROOT, nullptr, "Path", RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND, &type, unexpanded, &size),
      ERROR_SUCCESS);
  EXPECT_EQ(std::pair(type, std::string(unexpanded)), std::pair(DWORD{REG_EXPAND_SZ}, raw));
}

TEST_F(RegistryTest, EnumeratesSubkeysByNameAndValuesInOrderSet) {
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyA(HKEY_CLASSES_ROOT, "Enum", &key), ERROR_SUCCESS);
  for (const char* name : {"beta", "Alpha", "Gamma", "delta"}) ASSERT_EQ(SetText(key, name, ""), ERROR_SUCCESS);
  char name[8], data[8];
  std::vector<std::string> names;
  for (DWORD i = 0, length = sizeof name;
       RegEnumKeyExA(key, i, name, &length, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
       ++i, length = sizeof name)
    names.emplace_back(name, length);
  EXPECT_EQ(names, (std::vector<std::string>{"Alpha", "beta", "delta", "Gamma"}));  // in any case

  for (auto [value, text] : {std::pair{"z", "1"}, {"a", "2"}, {"Z", "3"}}) SetString(key, value, text);  // "Z" is "z"
  DWORD length = sizeof name, size = sizeof data;
  ASSERT_EQ(RegEnumValueA(key, 0, name, &length, nullptr, nullptr, reinterpret_cast<BYTE*>(data), &size),
            ERROR_SUCCESS);
  EXPECT_EQ(std::string(name) + "=" + data, "z=3");
  length = 1;
  EXPECT_EQ(RegEnumValueA(key, 1, name, &length, nullptr, nullptr, nullptr, nullptr), ERROR_MORE_DATA);
  EXPECT_EQ(length, 2u);
  length = sizeof name;
  EXPECT_EQ(RegEnumValueA(key, 2, name, &length, nullptr, nullptr, nullptr, nullptr), ERROR_NO_MORE_ITEMS);
  length = 2;
  EXPECT_EQ(RegEnumKeyExA(key, 0, name, &length, nullptr, nullptr, nullptr, nullptr), ERROR_MORE_DATA);
  RegCloseKey(key);
}

TEST_F(RegistryTest, DeletesValuesKeysAndTrees) {
  ASSERT_EQ(SetText(HKEY_CLASSES_ROOT, "Tree\\A\\B", "x", "v"), ERROR_SUCCESS);
  HKEY key = nullptr;
  ASSERT_EQ(RegOpenKeyExA(HKEY_CLASSES_ROOT, "Tree\\A\\B", 0, KEY_ALL_ACCESS, &key), ERROR_SUCCESS);
  EXPECT_EQ(RegDeleteValueA(key, "V"), ERROR_SUCCESS);
  EXPECT_EQ(RegDeleteValueA(key, "v"), ERROR_FILE_NOT_FOUND);
  RegCloseKey(key);
  EXPECT_EQ(RegDeleteKeyA(HKEY_CLASSES_ROOT, "Tree\\A"), ERROR_ACCESS_DENIED);  // has a subkey
  EXPECT_EQ(RegDeleteKeyA(HKEY_CLASSES_ROOT, "Tree\\A\\Missing"), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(RegDeleteTreeA(HKEY_CLASSES_ROOT, "Tree\\A"), ERROR_SUCCESS);
  EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, "Tree\\A"));
  EXPECT_EQ(RegDeleteTreeA(HKEY_CLASSES_ROOT, "Tree\\A"), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(RegDeleteKeyA(HKEY_CLASSES_ROOT, "Tree"), ERROR_SUCCESS);
}

TEST_F(RegistryTest, HandlesAreCheckedAndKnowTheirAccess) {
  ASSERT_EQ(SetText(HKEY_CLASSES_ROOT, "Handles\\Doomed", ""), ERROR_SUCCESS);
  HKEY closed = nullptr, doomed = nullptr;
  ASSERT_EQ(RegOpenKeyExA(HKEY_CLASSES_ROOT, "Handles", 0, KEY_READ, &closed), ERROR_SUCCESS);
  EXPECT_EQ(SetString(closed, "v", "x"), ERROR_ACCESS_DENIED);  // opened for reading only
  EXPECT_EQ(RegCloseKey(closed), ERROR_SUCCESS);
  EXPECT_EQ(RegCloseKey(closed), ERROR_INVALID_HANDLE);
  for (HKEY bad : {closed, reinterpret_cast<HKEY>(std::uintptr_t{0x12345}), HKEY{}})
    EXPECT_EQ(SetString(bad, "v", "x"), ERROR_INVALID_HANDLE);

  // A handle whose key was deleted reports it.
  ASSERT_EQ(RegOpenKeyExA(HKEY_CLASSES_ROOT, "Handles\\Doomed", 0, KEY_ALL_ACCESS, &doomed), ERROR_SUCCESS);
  ASSERT_EQ(RegDeleteTreeA(HKEY_CLASSES_ROOT, "Handles"), ERROR_SUCCESS);
  EXPECT_EQ(SetString(doomed, "v", "x"), ERROR_KEY_DELETED);
  RegCloseKey(doomed);
}

TEST_F(RegistryTest, PersistsAcrossReloadAndWritesAtomically) {
  const std::string tricky = "quote\" backslash\\ newline\n tab\t caf\xC3\xA9 \x01";
  ASSERT_EQ(SetText(HKEY_LOCAL_MACHINE, "Odd [name] 100%\\caf\xC3\xA9", tricky, "value \"name\""), ERROR_SUCCESS);
  ASSERT_EQ(RegSetValueExA(HKEY_LOCAL_MACHINE, "empty", 0, REG_BINARY, nullptr, 0), ERROR_SUCCESS);
  const std::string file = ReadFile(registryPath_);
  EXPECT_EQ(file.rfind("KELMIRA REGISTRY 1\n", 0), 0u);
  for (char c : file) EXPECT_TRUE(c == '\n' || (c >= 0x20 && c < 0x7F)) << int(c);
  // Nothing but the registry file is left in its directory.
  std::vector<std::string> entries;
  for (const auto& e : std::filesystem::directory_iterator(dir_ / "sub")) entries.push_back(e.path().filename());
  EXPECT_EQ(entries, std::vector<std::string>{"registry"});

  KelmiraRegistryReload();
  EXPECT_EQ(Text(HKEY_LOCAL_MACHINE, "odd [NAME] 100%\\caf\xC3\xA9", "VALUE \"name\""), tricky);
  EXPECT_EQ(Text(HKEY_LOCAL_MACHINE, "", "empty"), "");

  // Another process replaces the file (a rename, as our writer does): picked up without a reload.
  ASSERT_EQ(SetString(HKEY_CLASSES_ROOT, "v", "mine"), ERROR_SUCCESS);
  WriteFile(registryPath_ + ".other", "KELMIRA REGISTRY 1\n[HKEY_CLASSES_ROOT]\n@=\"theirs\"\n");
  ASSERT_EQ(std::rename((registryPath_ + ".other").c_str(), registryPath_.c_str()), 0);
  EXPECT_EQ(Text(HKEY_CLASSES_ROOT, ""), "theirs");
  EXPECT_EQ(Text(HKEY_CLASSES_ROOT, "", "v"), "<missing>");
}

TEST_F(RegistryTest, DamagedFileGivesErrorsAndIsNotOverwritten) {
  std::filesystem::create_directories(dir_ / "sub");
  const std::string header = "KELMIRA REGISTRY 1\n", key = header + "[HKEY_CLASSES_ROOT\\x]\n";
  const std::string damaged[] = {"KELMIRA REGISTRY 2\n",         "not a registry\n",
                                 key + "\"v\"=hex:0g\n",         header + "\"v\"=\"outside a key\"\n",
                                 key + "\"v\"=dword:123\n",      header + "[HKEY_CLASSES_ROOT\\%zz]\n",
                                 header + "[HKEY_NOWHERE\\x]\n", header + "[HKEY_CLASSES_ROOT\\\\]\n",
                                 key + "\"v\"=\"unterminated\n", key + "\"v\"=\"bad escape \\q\"\n"};
  const std::string badDb = "<error " + std::to_string(ERROR_BADDB) + ">";
  CLSID clsid;
  for (const std::string& contents : damaged) {
    WriteFile(registryPath_, contents);
    KelmiraRegistryReload();
    EXPECT_EQ(Text(HKEY_CLASSES_ROOT, "x", "v"), badDb) << contents;
    EXPECT_EQ(SetText(HKEY_CLASSES_ROOT, "y", "x"), ERROR_BADDB) << contents;
    EXPECT_EQ(SetString(HKEY_CLASSES_ROOT, "v", "x"), ERROR_BADDB) << contents;
    EXPECT_EQ(CLSIDFromProgID(u"Kelmira.Anything", &clsid), REGDB_E_READREGDB);
    EXPECT_EQ(ReadFile(registryPath_), contents);
  }
  // Repairing the file is noticed without a reload.
  WriteFile(registryPath_, "KELMIRA REGISTRY 1\n; fixed\n[HKEY_CLASSES_ROOT\\x]\n\"v\"=\"ok\"\n");
  EXPECT_EQ(Text(HKEY_CLASSES_ROOT, "x", "v"), "ok");
}

// Four threads of this process and a second process each set 20 values named prefix + number;
// none may be lost to another writer.
TEST_F(RegistryTest, ConcurrentWritersInThreadsAndProcessesLoseNothing) {
  auto writeMany = [](const std::string& prefix) {
    bool ok = true;
    for (int i = 0; i < 20; ++i)
      ok = SetString(HKEY_CLASSES_ROOT, (prefix + std::to_string(i)).c_str(), prefix) == ERROR_SUCCESS && ok;
    return ok;
  };
  ASSERT_EQ(SetString(HKEY_CLASSES_ROOT, "start", "x"), ERROR_SUCCESS);
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) _exit(writeMany("child") ? 0 : 1);
  const std::vector<std::string> prefixes{"t0_", "t1_", "t2_", "t3_", "child"};
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) threads.emplace_back([&, t] { EXPECT_TRUE(writeMany(prefixes[t])); });
  for (auto& th : threads) th.join();
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  KelmiraRegistryReload();
  for (const std::string& prefix : prefixes)
    for (int i = 0; i < 20; ++i) EXPECT_EQ(Text(HKEY_CLASSES_ROOT, "", (prefix + std::to_string(i)).c_str()), prefix);
}

}  // namespace
