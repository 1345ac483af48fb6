// The registry: keys, values, enumeration, persistence, damage and handles.
#include "support/registry_fixture.h"

#include <thread>
#include <tuple>
#include <vector>

#include <sys/wait.h>
#include <unistd.h>

namespace {

using namespace kelmira::test;
using Codes = std::vector<LONG>;

TEST_F(RegistryTest, KeysAndValuesAnswerInAnyCaseReportWhatIsMissingEnumerateAndGo) {
  HKEY key = nullptr, again = nullptr, missing = reinterpret_cast<HKEY>(1);
  DWORD created = 0, opened = 0, number = 0x12345678, type = 0, got = 0, size = 4, small = 4, needed = 0, any = 0;
  const std::string blob("\0\1\xFF\"\\\n", 6);
  char buf[4];
  EXPECT_EQ(
      (Codes{RegCreateKeyExA(HKEY_CLASSES_ROOT, "Kelmira.Test\\Inner", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                             &created),
             SetString(key, nullptr, "default text"), SetString(key, "Name", "twelve chars"),
             RegSetValueExA(key, "Number", 0, REG_DWORD, reinterpret_cast<BYTE*>(&number), 4),
             RegSetValueExA(key, "Blob", 0, REG_BINARY, reinterpret_cast<const BYTE*>(blob.data()), 6),
             RegQueryValueExA(key, "NUMBER", nullptr, &type, reinterpret_cast<BYTE*>(&got), &size),
             RegQueryValueExA(key, "Name", nullptr, nullptr, reinterpret_cast<BYTE*>(buf), &small),
             RegQueryValueExA(key, "Name", nullptr, nullptr, nullptr, &needed),
             RegQueryValueExA(key, "Missing", nullptr, nullptr, nullptr, &any),
             RegQueryValueExA(HKEY_CLASSES_ROOT, nullptr, nullptr, nullptr, nullptr, &any),
             RegGetValueA(key, nullptr, "Number", RRF_RT_REG_SZ, nullptr, nullptr, nullptr),
             RegOpenKeyExA(HKEY_CLASSES_ROOT, "Kelmira.Nothing", 0, KEY_READ, &missing),
             RegCreateKeyExA(HKEY_CLASSES_ROOT, "kelmira.test\\INNER", 0, nullptr, 0, 0, nullptr, &again, &opened)}),
      (Codes{0, 0, 0, 0, 0, 0, ERROR_MORE_DATA, 0, ERROR_FILE_NOT_FOUND, ERROR_FILE_NOT_FOUND, ERROR_UNSUPPORTED_TYPE,
             ERROR_FILE_NOT_FOUND, 0}));
  EXPECT_EQ(std::tuple(created, opened, type, got, size, small, needed, missing),
            std::tuple(REG_CREATED_NEW_KEY, REG_OPENED_EXISTING_KEY, DWORD{REG_DWORD}, number, 4u, 13u, 13u, HKEY{}));
  EXPECT_EQ(Text(HKEY_CLASSES_ROOT, "KELMIRA.test\\inner", "") + "|" + Text(key, "", "blob"), "default text|" + blob);
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, "Kelmira.Test"));  // roots are separate
  RegCloseKey(again);
  RegCloseKey(key);

  // Expandable strings expand through RegGetValue unless asked not to.
  setenv("KELMIRA_TEST_DIR", "/opt/k", 1);
  const std::string raw = "%KELMIRA_TEST_DIR%/lib %NOT_SET_ANYWHERE%";
  ASSERT_EQ(SetString(HKEY_CLASSES_ROOT, "Path", raw, REG_EXPAND_SZ), ERROR_SUCCESS);
  EXPECT_EQ(Text(HKEY_CLASSES_ROOT, "", "Path"), "/opt/k/lib %NOT_SET_ANYWHERE%");
  char unexpanded[128];
  size = sizeof unexpanded;
  EXPECT_EQ(
      RegGetValueA(HKEY_CLASSES_ROOT, nullptr, "Path", RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND, &type, unexpanded, &size),
      ERROR_SUCCESS);
  EXPECT_EQ(std::pair(type, std::string(unexpanded)), std::pair(DWORD{REG_EXPAND_SZ}, raw));

  // Subkeys enumerate by name in any case, values in the order first set.
  ASSERT_EQ(RegCreateKeyA(HKEY_CLASSES_ROOT, "Enum", &key), ERROR_SUCCESS);
  for (const char* name : {"beta", "Alpha", "Gamma", "delta"}) ASSERT_EQ(SetText(key, name, ""), ERROR_SUCCESS);
  char name[8], first[8], data[8];
  std::vector<std::string> names;
  for (DWORD i = 0, length = sizeof name;
       RegEnumKeyExA(key, i, name, &length, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
       ++i, length = sizeof name)
    names.emplace_back(name, length);
  EXPECT_EQ(names, (std::vector<std::string>{"Alpha", "beta", "delta", "Gamma"}));

  for (auto [value, text] : {std::pair{"z", "1"}, {"a", "2"}, {"Z", "3"}}) SetString(key, value, text);  // "Z" is "z"
  DWORD length = sizeof name, one = 1, enough = sizeof name, two = 2;
  size = sizeof data;
  EXPECT_EQ((Codes{RegEnumValueA(key, 0, first, &length, nullptr, nullptr, reinterpret_cast<BYTE*>(data), &size),
                   RegEnumValueA(key, 1, name, &one, nullptr, nullptr, nullptr, nullptr),
                   RegEnumValueA(key, 2, name, &enough, nullptr, nullptr, nullptr, nullptr),
                   RegEnumKeyExA(key, 0, name, &two, nullptr, nullptr, nullptr, nullptr)}),
            (Codes{0, ERROR_MORE_DATA, ERROR_NO_MORE_ITEMS, ERROR_MORE_DATA}));
  EXPECT_EQ(std::string(first) + "=" + data + " " + std::to_string(one), "z=3 2");
  RegCloseKey(key);

  // Values, keys and trees are deleted, and handles checked.
  ASSERT_EQ(SetText(HKEY_CLASSES_ROOT, "Tree\\A\\B", "x", "v"), ERROR_SUCCESS);
  HKEY leaf = nullptr, reading = nullptr, gone = nullptr;
  // The read-only handle may not write; closed, made-up and null handles are refused; a handle
  // whose key went says so.
  EXPECT_EQ(
      (Codes{RegOpenKeyExA(HKEY_CLASSES_ROOT, "Tree\\A\\B", 0, KEY_ALL_ACCESS, &leaf),
             RegOpenKeyExA(HKEY_CLASSES_ROOT, "Tree", 0, KEY_READ, &reading), RegDeleteValueA(leaf, "V"),
             RegDeleteValueA(leaf, "v"), SetString(reading, "v", "x"), RegCloseKey(reading), RegCloseKey(reading),
             SetString(reading, "v", "x"), SetString(reinterpret_cast<HKEY>(std::uintptr_t{0x12345}), "v", "x"),
             SetString(HKEY{}, "v", "x"), RegDeleteKeyA(HKEY_CLASSES_ROOT, "Tree\\A"),
             RegDeleteKeyA(HKEY_CLASSES_ROOT, "Tree\\A\\Missing"), RegDeleteTreeA(HKEY_CLASSES_ROOT, "Tree\\A"),
             SetString(leaf, "v", "x"), RegDeleteTreeA(HKEY_CLASSES_ROOT, "Tree\\A"),
             RegDeleteKeyA(HKEY_CLASSES_ROOT, "Tree"), RegOpenKeyExA(HKEY_CLASSES_ROOT, "Tree", 0, KEY_READ, &gone)}),
      (Codes{0, 0, 0, ERROR_FILE_NOT_FOUND, ERROR_ACCESS_DENIED, 0, ERROR_INVALID_HANDLE, ERROR_INVALID_HANDLE,
             ERROR_INVALID_HANDLE, ERROR_INVALID_HANDLE, ERROR_ACCESS_DENIED, ERROR_FILE_NOT_FOUND, 0,
             ERROR_KEY_DELETED, ERROR_FILE_NOT_FOUND, 0, ERROR_FILE_NOT_FOUND}));
  RegCloseKey(leaf);
}

TEST_F(RegistryTest, PersistsAcrossReloadWritesAtomicallyAndLeavesADamagedFileAlone) {
  const std::string tricky = "quote\" backslash\\ newline\n tab\t caf\xC3\xA9 \x01";
  ASSERT_EQ(SetText(HKEY_LOCAL_MACHINE, "Odd [name] 100%\\caf\xC3\xA9", tricky, "value \"name\""), ERROR_SUCCESS);
  ASSERT_EQ(RegSetValueExA(HKEY_LOCAL_MACHINE, "empty", 0, REG_BINARY, nullptr, 0), ERROR_SUCCESS);
  const std::string file = ReadFile(registryPath_);
  EXPECT_EQ(file.rfind("KELMIRA REGISTRY 2\n", 0), 0u);
  for (char c : file) EXPECT_TRUE(c == '\n' || (c >= 0x20 && c < 0x7F)) << int(c);
  // Nothing but the registry file is left in its directory.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_ / "sub"), {}), 1);

  KelmiraRegistryReload();
  EXPECT_EQ(Text(HKEY_LOCAL_MACHINE, "odd [NAME] 100%\\caf\xC3\xA9", "VALUE \"name\"") + "|" +
                Text(HKEY_LOCAL_MACHINE, "", "empty"),
            tricky + "|");

  // Another process replaces the file (a rename, as our writer does): picked up without a reload.
  ASSERT_EQ(SetString(HKEY_CLASSES_ROOT, "v", "mine"), ERROR_SUCCESS);
  WriteFile(registryPath_ + ".other", "KELMIRA REGISTRY 1\n[HKEY_CLASSES_ROOT]\n@=\"theirs\"\n");
  ASSERT_EQ(std::rename((registryPath_ + ".other").c_str(), registryPath_.c_str()), 0);
  EXPECT_EQ(Text(HKEY_CLASSES_ROOT, "") + Text(HKEY_CLASSES_ROOT, "", "v"), "theirs<missing>");

  // Keys go at most 512 deep: the API refuses deeper ones (60,000 levels once overflowed the stack).
  std::string deep;
  for (int i = 0; i < 60000; ++i) deep += "k\\";
  HKEY made = nullptr;
  EXPECT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, deep.c_str(), &made), ERROR_INVALID_PARAMETER);
  EXPECT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, deep.substr(0, 2 * 512).c_str(), &made), ERROR_SUCCESS);
  RegCloseKey(made);
  EXPECT_EQ(SetText(HKEY_CURRENT_USER, deep.substr(0, 2 * 513), "x"), ERROR_INVALID_PARAMETER);
  // Deep keys are written relative to the previous one: the file grows with the number of keys
  // (a full path per key made a 512-deep chain 270 kB).
  const std::string branch = deep.substr(0, 2 * 40) + "b\\" + deep.substr(0, 2 * 30);
  EXPECT_EQ(SetText(HKEY_CURRENT_USER, branch, "leaf"), ERROR_SUCCESS);
  EXPECT_LT(ReadFile(registryPath_).size(), 12000u);
  KelmiraRegistryReload();
  EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, deep.substr(0, 2 * 512)));
  EXPECT_EQ(Text(HKEY_CURRENT_USER, branch), "leaf");

  // A damaged file gives errors and is not overwritten: also one with a key 300,000 deep, or a
  // key name holding a NUL (which would open its parent).
  const std::string header = "KELMIRA REGISTRY 2\n", key = header + "[HKEY_CLASSES_ROOT\\x]\n";
  std::string deepLine = "[HKEY_CLASSES_ROOT";
  for (int i = 0; i < 300000; ++i) deepLine += "\\k";
  const std::string v1 = "KELMIRA REGISTRY 1\n";
  const std::string damaged[] = {"KELMIRA REGISTRY 3\n",
                                 "not a registry\n",
                                 header + "[^0\\x]\n",
                                 key + "[^2\\y]\n",
                                 key + "[^\\y]\n",
                                 key + "[^-1\\y]\n",
                                 v1 + "[HKEY_CLASSES_ROOT\\x]\n[^0\\y]\n",
                                 header + "[HKEY_CLASSES_ROOT\\a%5cb]\n",
                                 header + "[HKEY_CLASSES_ROOT\\" + std::string(256, 'k') + "]\n",
                                 key + "\"v\"=hex:0g\n",
                                 header + "\"v\"=\"outside a key\"\n",
                                 key + "\"v\"=dword:123\n",
                                 header + "[HKEY_CLASSES_ROOT\\%zz]\n",
                                 header + "[HKEY_NOWHERE\\x]\n",
                                 header + "[HKEY_CLASSES_ROOT\\\\]\n",
                                 key + "\"v\"=\"unterminated\n",
                                 key + "\"v\"=\"bad escape \\q\"\n",
                                 header + deepLine + "]\n",
                                 header + "[HKEY_CLASSES_ROOT\\a%00b]\n"};
  CLSID clsid;
  for (const std::string& contents : damaged) {
    WriteFile(registryPath_, contents);
    KelmiraRegistryReload();
    EXPECT_EQ((Codes{SetText(HKEY_CLASSES_ROOT, "y", "x"), SetString(HKEY_CLASSES_ROOT, "v", "x"),
                     CLSIDFromProgID(u"Kelmira.Anything", &clsid)}),
              (Codes{ERROR_BADDB, ERROR_BADDB, REGDB_E_READREGDB}))
        << contents;
    EXPECT_EQ(Text(HKEY_CLASSES_ROOT, "x", "v") + "|" + ReadFile(registryPath_),
              "<error " + std::to_string(ERROR_BADDB) + ">|" + contents);
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
