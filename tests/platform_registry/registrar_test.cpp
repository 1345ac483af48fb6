// Registrar scripts: registering, unregistering back to the previous state, replacements and
// syntax errors.
#include "platform_registry/scratch_dir.h"

namespace {

using kelmira::RunRegistrarScript;
using namespace kelmira::testing;

constexpr char kScript[] = R"(
HKCR
{
    Kelmira.Line.1 = s 'Line Class'
    {
        CLSID = s '{6A1C0B2D-3E4F-5A6B-7C8D-9EAFB0C1D2E3}'
    }
    Kelmira.Line = s 'Line Class'
    {
        CLSID = s '{6A1C0B2D-3E4F-5A6B-7C8D-9EAFB0C1D2E3}'
        CurVer = s 'Kelmira.Line.1'
    }
    NoRemove CLSID
    {
        ForceRemove {6A1C0B2D-3E4F-5A6B-7C8D-9EAFB0C1D2E3} = s 'Kelmira.Line'
        {
            ProgID = s 'Kelmira.Line.1'
            VersionIndependentProgID = s 'Kelmira.Line'
            ForceRemove 'Programmable'
            InprocServer32 = s '%MODULE%'
            {
                val ThreadingModel = s 'Apartment'
            }
            'TypeLib' = s '{00000000-1111-2222-3333-444444444444}'
            MiscStatus = s '0'
            {
                '1' = s '131473'
            }
            val Flags = d '0x20191'
            val Raw = b '00ff10'
        }
    }
}
)";

const std::vector<std::pair<std::string, std::string>> kModule = {{"MODULE", "/opt/it's 100%/libkelmira.so"}};
constexpr CLSID kLine = KELMIRA_GUID(0x6A1C0B2D, 0x3E4F, 0x5A6B, 0x7C, 0x8D, 0x9E, 0xAF, 0xB0, 0xC1, 0xD2, 0xE3);

class RegistrarTest : public RegistryTest {
 protected:
  void SetUp() override {
    RegistryTest::SetUp();
    // Something that was there before and must survive.
    ASSERT_EQ(SetText(HKEY_CLASSES_ROOT, "CLSID\\{00000000-0000-0000-0000-000000000001}", "Other"), ERROR_SUCCESS);
    before_ = ReadFile(registryPath_);
  }
  std::string before_;
};

TEST_F(RegistrarTest, RegistersThenUnregistersBackToBefore) {
  std::string error;
  ASSERT_EQ(RunRegistrarScript(kScript, kModule, true, &error), S_OK) << error;
  const std::string clsidKey = "CLSID\\{6A1C0B2D-3E4F-5A6B-7C8D-9EAFB0C1D2E3}";
  EXPECT_EQ(Text(HKEY_CLASSES_ROOT, clsidKey), "Kelmira.Line");
  EXPECT_EQ(Text(HKEY_CLASSES_ROOT, clsidKey + "\\InprocServer32"), "/opt/it's 100%/libkelmira.so");
  EXPECT_EQ(Text(HKEY_CLASSES_ROOT, clsidKey + "\\InprocServer32", "ThreadingModel"), "Apartment");
  EXPECT_EQ(Text(HKEY_CLASSES_ROOT, clsidKey + "\\MiscStatus\\1"), "131473");
  EXPECT_EQ(Text(HKEY_CLASSES_ROOT, clsidKey + "\\Programmable"), "<missing>");  // a key without a default value
  EXPECT_TRUE(KeyExists(HKEY_CLASSES_ROOT, clsidKey + "\\Programmable"));
  DWORD flags = 0, size = sizeof flags;
  EXPECT_EQ(RegGetValueA(HKEY_CLASSES_ROOT, clsidKey.c_str(), "Flags", RRF_RT_REG_DWORD, nullptr, &flags, &size),
            ERROR_SUCCESS);
  EXPECT_EQ(flags, 0x20191u);
  EXPECT_EQ(Text(HKEY_CLASSES_ROOT, clsidKey, "Raw"), std::string("\x00\xff\x10", 3));

  // The ProgIDs now resolve, through CurVer for the version-independent one.
  CLSID clsid{};
  EXPECT_EQ(CLSIDFromProgID(u"Kelmira.Line", &clsid), S_OK);
  EXPECT_EQ(clsid, kLine);
  LPOLESTR progId = nullptr;
  ASSERT_EQ(ProgIDFromCLSID(kLine, &progId), S_OK);
  EXPECT_EQ(std::u16string(progId), u"Kelmira.Line.1");
  CoTaskMemFree(progId);

  // Registering twice is the same as once (ForceRemove clears stale subkeys).
  ASSERT_EQ(SetText(HKEY_CLASSES_ROOT, clsidKey + "\\Stale", "x"), ERROR_SUCCESS);
  ASSERT_EQ(RunRegistrarScript(kScript, kModule, true, &error), S_OK) << error;
  EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, clsidKey + "\\Stale"));

  ASSERT_EQ(RunRegistrarScript(kScript, kModule, false, &error), S_OK) << error;
  EXPECT_EQ(ReadFile(registryPath_), before_);  // NoRemove CLSID and its other class stay
  EXPECT_EQ(RunRegistrarScript(kScript, kModule, false, &error), S_OK) << error;  // nothing left to remove
}

TEST_F(RegistrarTest, UnregisterKeepsKeysThatGainedOtherContentDeleteAndReplacements) {
  ASSERT_EQ(RunRegistrarScript(kScript, kModule, true), S_OK);
  ASSERT_EQ(SetText(HKEY_CLASSES_ROOT, "Kelmira.Line.1\\Shell", "open"), ERROR_SUCCESS);
  ASSERT_EQ(RunRegistrarScript(kScript, kModule, false), S_OK);
  EXPECT_TRUE(KeyExists(HKEY_CLASSES_ROOT, "Kelmira.Line.1\\Shell"));
  EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, "Kelmira.Line.1\\CLSID"));
  EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, "Kelmira.Line"));

  // Delete removes on registering, and a missing key is no error.
  ASSERT_EQ(SetText(HKEY_CURRENT_USER, "Software\\Old\\Deep", "x"), ERROR_SUCCESS);
  ASSERT_EQ(RunRegistrarScript("HKEY_CURRENT_USER { NoRemove Software { Delete Old Delete Absent } }", {}, true), S_OK);
  EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, "Software\\Old"));
  EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, "Software"));

  // Replacements match without regard to case; doubled quotes and percent signs stand for one.
  std::string error;
  ASSERT_EQ(RunRegistrarScript("HKCR { 'It''s %NAME%' = s '100%% of %name%' }", {{"Name", "Kelmira"}}, true, &error),
            S_OK)
      << error;
  EXPECT_EQ(Text(HKEY_CLASSES_ROOT, "It's Kelmira"), "100% of Kelmira");
}

TEST_F(RegistrarTest, BadScriptsAndADamagedRegistryWriteNothing) {
  struct Case {
    const char* script;
    const char* message;
  } cases[] = {
      {"HKCR { A = s 'x' { B = s 'y' }", "missing '}'"},
      {"HKCR { A = s 'unterminated }", "unterminated"},
      {"HKXX { A }", "root key"},
      {"HKCR { A = q 'x' }", "unsupported value type"},
      {"HKCR { A = d 'ten' }", "bad number"},
      {"HKCR { A = d '4294967296' }", "bad number"},
      {"HKCR { A = b 'abc' }", "bad hex"},
      {"HKCR { A = s '%UNKNOWN%' }", "unknown replacement"},
      {"HKCR { A = s '%MODULE' }", "unterminated %"},
      {"HKCR { NoRemove ForceRemove A }", "one modifier"},
      {"HKCR { 'a\\b' }", "cannot contain"},
      {"HKCR { A { val = s 'x' } }", "expected a name"},
      {"HKCR { Good = s 'fine' }\nHKCR { Bad = s }", "line 2"},
  };
  for (const Case& c : cases) {
    std::string error;
    EXPECT_EQ(RunRegistrarScript(c.script, kModule, true, &error), DISP_E_EXCEPTION) << c.script;
    EXPECT_NE(error.find(c.message), std::string::npos) << c.script << " -> " << error;
    EXPECT_EQ(ReadFile(registryPath_), before_) << c.script;
  }
  // A damaged registry is reported and kept as it is.
  WriteFile(registryPath_, "garbage\n");
  std::string error;
  EXPECT_EQ(RunRegistrarScript(kScript, kModule, true, &error), REGDB_E_READREGDB);
  EXPECT_FALSE(error.empty());
  EXPECT_EQ(ReadFile(registryPath_), "garbage\n");
}

}  // namespace
