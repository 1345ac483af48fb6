// Registrar scripts: registering, unregistering back to the previous state, replacements and
// syntax errors.
#include "support/registry_fixture.h"

namespace {

using kelmira::RunRegistrarScript;
using namespace kelmira::test;

constexpr char kScript[] = R"(HKCR {
    Kelmira.Line.1 = s 'Line Class' { CLSID = s '{6A1C0B2D-3E4F-5A6B-7C8D-9EAFB0C1D2E3}' }
    Kelmira.Line = s 'Line Class' { CLSID = s '{6A1C0B2D-3E4F-5A6B-7C8D-9EAFB0C1D2E3}' CurVer = s 'Kelmira.Line.1' }
    NoRemove CLSID {
        ForceRemove {6A1C0B2D-3E4F-5A6B-7C8D-9EAFB0C1D2E3} = s 'Kelmira.Line' {
            ProgID = s 'Kelmira.Line.1'  ForceRemove 'Programmable'
            InprocServer32 = s '%MODULE%' { val ThreadingModel = s 'Apartment' }
            MiscStatus = s '0' { '1' = s '131473' }  val Flags = d '0x20191'  val Raw = b '00ff10'
        }
    }
})";

const std::vector<std::pair<std::string, std::string>> kModule = {{"MODULE", "/opt/it's 100%/libkelmira.so"}};
const std::string kClassKey = "CLSID\\{6A1C0B2D-3E4F-5A6B-7C8D-9EAFB0C1D2E3}";

TEST_F(RegistryTest, RegistrarRegistersUnregistersBackToBeforeHonoursDeleteAndWritesNothingForBadScripts) {
  // Something that was there before the scripts ran and must survive them.
  ASSERT_EQ(SetText(HKEY_CLASSES_ROOT, "CLSID\\{00000000-0000-0000-0000-000000000001}", "Other"), ERROR_SUCCESS);
  const std::string before = ReadFile(registryPath_);
  std::string error;
  const std::pair<const char*, const char*> cases[] = {
      {"HKCR { A = d '4294967296' }", "bad number"},      {"HKXX { A }", "root key"},
      {"HKCR { A = s '%MODULE' }", "unterminated %"},     {"HKCR { A = d 'ten' }", "bad number"},
      {"HKCR { A = q 'x' }", "unsupported value type"},   {"HKCR { A = b 'abc' }", "bad hex"},
      {"HKCR { A { val = s 'x' } }", "expected a name"},  {"HKCR { 'a\\b' }", "cannot contain"},
      {"HKCR { A = s 'unterminated }", "unterminated"},   {"HKCR { A = s '%UNKNOWN%' }", "unknown replacement"},
      {"HKCR { A = s 'x' { B = s 'y' }", "missing '}'"},  {"HKCR { Good = s 'fine' }\nHKCR { Bad = s }", "line 2"},
      {"HKCR { NoRemove ForceRemove A }", "one modifier"}};
  for (const auto& [script, message] : cases) {
    EXPECT_EQ(RunRegistrarScript(script, kModule, true, &error), DISP_E_EXCEPTION) << script;
    EXPECT_NE(error.find(message), std::string::npos) << script << " -> " << error;
    EXPECT_EQ(ReadFile(registryPath_), before) << script;
  }

  ASSERT_EQ(RunRegistrarScript(kScript, kModule, true, &error), S_OK) << error;
  // Programmable is a key without a default value.
  const auto at = [](const std::string& key, const char* name = nullptr) { return Text(HKEY_CLASSES_ROOT, key, name); };
  EXPECT_EQ((std::vector<std::string>{
                at(kClassKey), at(kClassKey + "\\InprocServer32"), at(kClassKey + "\\InprocServer32", "ThreadingModel"),
                at(kClassKey + "\\MiscStatus\\1"), at(kClassKey + "\\Programmable"), at(kClassKey, "Flags"),
                at(kClassKey, "Raw"), at("Kelmira.Line\\CurVer"), at("Kelmira.Line.1\\CLSID")}),
            (std::vector<std::string>{"Kelmira.Line", "/opt/it's 100%/libkelmira.so", "Apartment", "131473",
                                      "<missing>", std::string("\x91\x01\x02\x00", 4), std::string("\x00\xff\x10", 3),
                                      "Kelmira.Line.1", kClassKey.substr(6)}));
  EXPECT_TRUE(KeyExists(HKEY_CLASSES_ROOT, kClassKey + "\\Programmable"));

  // Registering twice is the same as once (ForceRemove clears stale subkeys); what others added
  // elsewhere stays when unregistering.
  ASSERT_EQ(SetText(HKEY_CLASSES_ROOT, kClassKey + "\\Stale", "x"), ERROR_SUCCESS);
  ASSERT_EQ(SetText(HKEY_CLASSES_ROOT, "Kelmira.Line.1\\Shell", "open"), ERROR_SUCCESS);
  ASSERT_EQ(RunRegistrarScript(kScript, kModule, true, &error), S_OK) << error;
  EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, kClassKey + "\\Stale"));
  ASSERT_EQ(RunRegistrarScript(kScript, kModule, false, &error), S_OK) << error;
  EXPECT_TRUE(KeyExists(HKEY_CLASSES_ROOT, "Kelmira.Line.1\\Shell"));
  EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, "Kelmira.Line.1\\CLSID"));
  ASSERT_EQ(RegDeleteTreeA(HKEY_CLASSES_ROOT, "Kelmira.Line.1"), ERROR_SUCCESS);
  EXPECT_EQ(ReadFile(registryPath_), before);  // NoRemove CLSID and its other class stay
  EXPECT_EQ(RunRegistrarScript(kScript, kModule, false, &error), S_OK) << error;  // nothing left to remove

  // Delete removes on registering, and a missing key is no error; NoRemove keeps a key that
  // unregistering leaves empty.
  const char* script = "HKEY_CURRENT_USER { NoRemove Software { Delete Old Delete Absent } }";
  ASSERT_EQ(SetText(HKEY_CURRENT_USER, "Software\\Old\\Deep", "x"), ERROR_SUCCESS);
  EXPECT_EQ(
      (std::vector<bool>{RunRegistrarScript(script, {}, true) == S_OK, KeyExists(HKEY_CURRENT_USER, "Software\\Old"),
                         RunRegistrarScript(script, {}, false) == S_OK, KeyExists(HKEY_CURRENT_USER, "Software")}),
      (std::vector<bool>{true, false, true, true}));
  // Replacements match without regard to case; doubled quotes and percent signs stand for one.
  const char* replaced = "HKCR { 'It''s %NAME%' = s '100%% of %name%' }";
  EXPECT_EQ(RunRegistrarScript(replaced, {{"Name", "Kelmira"}}, true, &error) ? error
                                                                              : Text(HKEY_CLASSES_ROOT, "It's Kelmira"),
            "100% of Kelmira");

  // A damaged registry is reported and left as it is.
  WriteFile(registryPath_, "garbage\n");
  EXPECT_EQ(RunRegistrarScript(kScript, kModule, true, &error), REGDB_E_READREGDB);
  EXPECT_FALSE(error.empty());
  EXPECT_EQ(ReadFile(registryPath_), "garbage\n");
}

}  // namespace
