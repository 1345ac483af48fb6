// The registrar: runs registration scripts in the desktop registrar's syntax.
//
//   HKCR
//   {
//       Kelmira.Line.1 = s 'Line Class'
//       {
//           CLSID = s '{6A1C...}'
//       }
//       NoRemove CLSID
//       {
//           ForceRemove {6A1C...} = s 'Kelmira.Line'
//           {
//               InprocServer32 = s '%MODULE%'
//               {
//                   val ThreadingModel = s 'Apartment'
//               }
//               'TypeLib' = s '{...}'
//           }
//       }
//   }
//
// Root keys: HKCR / HKEY_CLASSES_ROOT, HKCU / HKEY_CURRENT_USER, HKLM / HKEY_LOCAL_MACHINE. Key
// names are bare words or quoted ('' inside quotes is a quote); `= type 'text'` sets the key's
// default value and `val name = type 'text'` a named value, with type s (REG_SZ), e
// (REG_EXPAND_SZ), d (REG_DWORD, decimal or 0x hex) or b (REG_BINARY, hex digits). A key may be
// preceded by one modifier: NoRemove, ForceRemove or Delete. %NAME% in names and texts is
// replaced from the caller's table (names compared without regard to case); %% is a percent
// sign; an unknown name is an error.
//
// Registering creates keys and sets values; ForceRemove first deletes the key with everything
// below it; Delete only deletes the key (and ignores its block). Unregistering removes what the
// script describes: ForceRemove keys whole; NoRemove keys never (their blocks are still
// processed); plain keys after their blocks, only when no subkeys or named values remain; named
// values the script sets. Delete keys are left alone.
//
// The whole script is parsed before anything is written, and applied as one registry change: on
// any failure the registry is left as it was.
#pragma once

#include <kelmira/platform/registry.h>

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kelmira {

// S_OK; DISP_E_EXCEPTION for a syntax error or unknown replacement (with `error` saying where
// and what); REGDB_E_READREGDB for a damaged registry, REGDB_E_WRITEREGDB when it cannot be
// written, or another registry failure as HRESULT_FROM_WIN32.
KELMIRA_API HRESULT RunRegistrarScript(std::string_view script,
                                       const std::vector<std::pair<std::string, std::string>>& replacements,
                                       bool registering, std::string* error = nullptr);

}  // namespace kelmira
