// Dialog templates in memory, built the way a resource compiler lays them out, for hosts and
// tests that create dialogs without resource files.
//
// The bytes are a DLGTEMPLATE (or, in the extended format, a DLGTEMPLATEEX) followed by the menu,
// class and title arrays, the font when one is set (DS_SETFONT is added to the style), and one
// DWORD-aligned item template per item with its class (a predefined class atom or a name), its
// text and its creation data. Strings are given in the Windows-1252 code page and stored as
// UTF-16, as the desktop stores them. Alignment is counted from the start of the template, so
// hand the bytes to the dialog functions from a DWORD-aligned buffer (a std::vector is).
//
//   kelmira::DialogTemplateBuilder b(WS_CHILD | DS_CONTROL, 0, 0, 186, 94);
//   b.SetFont(8, "MS Sans Serif")
//       .AddItem(kelmira::DialogItemClass::Static, "Title", 100, WS_CHILD | WS_VISIBLE | SS_CENTER, 10, 20, 30, 14);
//   std::vector<BYTE> bytes;
//   if (SUCCEEDED(b.Build(bytes)))
//     CreateDialogIndirectParamA(nullptr, reinterpret_cast<LPCDLGTEMPLATEA>(bytes.data()), parent, proc, 0);
#pragma once

#include <kelmira/platform/types.h>

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace kelmira {

// The atoms that name the predefined control classes in an item template.
enum class DialogItemClass : WORD {
  Button = 0x0080,
  Edit = 0x0081,
  Static = 0x0082,
  ListBox = 0x0083,
  ScrollBar = 0x0084,
  ComboBox = 0x0085,
};

class KELMIRA_API DialogTemplateBuilder {
 public:
  enum class Format {
    Standard,  // DLGTEMPLATE / DLGITEMTEMPLATE: 16-bit item ids, no font weight
    Extended,  // DLGTEMPLATEEX: help ids, 32-bit item ids, font weight, italic and character set
  };

  // Position and size in dialog units.
  DialogTemplateBuilder(DWORD style, short x, short y, short cx, short cy);

  DialogTemplateBuilder& SetFormat(Format format);
  DialogTemplateBuilder& SetExStyle(DWORD exStyle);
  DialogTemplateBuilder& SetHelpId(DWORD helpId);  // extended format only
  DialogTemplateBuilder& SetTitle(std::string_view title);
  // A window class of the caller's for the dialog window; empty for the platform's dialog class.
  DialogTemplateBuilder& SetClassName(std::string_view className);
  // Adds DS_SETFONT. Weight, italic and character set are written in the extended format only.
  DialogTemplateBuilder& SetFont(WORD pointSize, std::string_view face, WORD weight = 400, bool italic = false,
                                 BYTE charSet = 1);

  // Items in creation (and tab) order. Item ids are truncated to 16 bits in the standard format.
  DialogTemplateBuilder& AddItem(DialogItemClass itemClass, std::string_view text, DWORD id, DWORD style, short x,
                                 short y, short cx, short cy, DWORD exStyle = 0);
  DialogTemplateBuilder& AddItem(std::string_view className, std::string_view text, DWORD id, DWORD style, short x,
                                 short y, short cx, short cy, DWORD exStyle = 0);
  // Creation data of the last item added (handed to its WM_CREATE through lpCreateParams).
  DialogTemplateBuilder& SetCreationData(std::span<const BYTE> data);

  std::size_t ItemCount() const { return items_.size(); }

  // E_INVALIDARG when more than 65535 items were added, when creation data was given before any
  // item or is longer than 65533 bytes; E_OUTOFMEMORY when memory ran out while building.
  // `out` is replaced only on success.
  HRESULT Build(std::vector<BYTE>& out) const;

 private:
  struct Item {
    WORD atom = 0;  // 0: named by className
    std::u16string className;
    std::u16string text;
    DWORD id = 0;
    DWORD style = 0;
    DWORD exStyle = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    std::vector<BYTE> creationData;
  };

  Item* AppendItem(DWORD id, DWORD style, short x, short y, short cx, short cy, DWORD exStyle);

  Format format_ = Format::Standard;
  DWORD style_;
  DWORD exStyle_ = 0;
  DWORD helpId_ = 0;
  short x_, y_, cx_, cy_;
  std::u16string title_;
  std::u16string className_;
  bool hasFont_ = false;
  WORD pointSize_ = 0;
  WORD weight_ = 400;
  bool italic_ = false;
  BYTE charSet_ = 1;
  std::u16string face_;
  std::vector<Item> items_;
  HRESULT error_ = S_OK;  // the first failure of a setter, reported by Build
};

}  // namespace kelmira
