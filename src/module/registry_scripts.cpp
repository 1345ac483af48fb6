// Builds each class's registration script from its table entry. The keys written are those of
// an in-process automation server: two ProgIDs (the version-independent one naming the current
// version through CurVer) and the class key, which unregistration removes whole; controls add
// the keys a form designer looks for.
#include "module/registry_scripts.h"

namespace kelmira::module {
namespace {

std::string GuidText(REFGUID guid) {
  OLECHAR wide[40] = {};
  StringFromGUID2(guid, wide, 40);
  std::string text;
  for (OLECHAR* p = wide; *p; ++p) text += static_cast<char>(*p);
  return text;
}

std::string ProgIdKeys(const std::string& prog, const std::string& clsid, const std::string& description) {
  return "\tKelmira." + prog + ".1 = s '" + description +
         "'\n"
         "\t{\n"
         "\t\tCLSID = s '" +
         clsid +
         "'\n"
         "\t}\n"
         "\tKelmira." +
         prog + " = s '" + description +
         "'\n"
         "\t{\n"
         "\t\tCLSID = s '" +
         clsid +
         "'\n"
         "\t\tCurVer = s 'Kelmira." +
         prog +
         ".1'\n"
         "\t}\n";
}

const std::string kInprocServer =
    "\t\t\tForceRemove 'Programmable'\n"
    "\t\t\tInprocServer32 = s '%MODULE%'\n"
    "\t\t\t{\n"
    "\t\t\t\tval ThreadingModel = s 'Apartment'\n"
    "\t\t\t}\n";

// The property page registers as a plain in-process object with no ProgID back-references.
std::string PropertyPageScript(const ClassEntry& entry, const std::string& clsid) {
  const std::string prog(entry.progName);
  const std::string description = prog + " Class";
  return "HKCR\n{\n" + ProgIdKeys(prog, clsid, description) +
         "\tNoRemove CLSID\n"
         "\t{\n"
         "\t\tForceRemove " +
         clsid + " = s '" + description +
         "'\n"
         "\t\t{\n" +
         kInprocServer +
         "\t\t}\n"
         "\t}\n"
         "}\n";
}

std::string ControlKeys(const ClassEntry& entry) {
  return "\t\t\tForceRemove 'Control'\n"
         "\t\t\tForceRemove 'Insertable'\n"
         "\t\t\tForceRemove 'ToolboxBitmap32' = s '%MODULE%, " +
         std::to_string(entry.toolboxBitmap) +
         "'\n"
         "\t\t\t'MiscStatus' = s '0'\n"
         "\t\t\t{\n"
         "\t\t\t\t'1' = s '131473'\n"
         "\t\t\t}\n"
         "\t\t\t'Version' = s '1.0'\n";
}

}  // namespace

std::string RegistryScript(const ClassEntry& entry) {
  const std::string clsid = GuidText(*entry.clsid);
  if (entry.registration == Registration::PropertyPage) return PropertyPageScript(entry, clsid);

  const std::string prog(entry.progName);
  const std::string description =
      entry.registration == Registration::ProgIdDescribed ? "Kelmira." + prog : prog + " Class";
  std::string script = "HKCR\n{\n" + ProgIdKeys(prog, clsid, description);
  script +=
      "\tNoRemove CLSID\n"
      "\t{\n"
      "\t\tForceRemove " +
      clsid + " = s 'Kelmira." + prog +
      "'\n"
      "\t\t{\n"
      "\t\t\tProgID = s 'Kelmira." +
      prog +
      ".1'\n"
      "\t\t\tVersionIndependentProgID = s 'Kelmira." +
      prog + "'\n" + kInprocServer + "\t\t\t'TypeLib' = s '" + GuidText(LIBID_Kelmira) + "'\n";
  if (entry.kind == ClassKind::Control) script += ControlKeys(entry);
  script +=
      "\t\t}\n"
      "\t}\n"
      "}\n";
  return script;
}

}  // namespace kelmira::module
