// Building in-memory dialog templates (DLGTEMPLATE layout) for CreateDialogIndirectParamA,
// DialogBoxIndirectParamA and AtlAxCreateDialogA.
//
//   kelmira::DialogTemplateBuilder b(WS_CHILD | DS_SETFONT | DS_CONTROL, 0, 0, 200, 100, "",
//                                    8, "MS Shell Dlg");
//   b.AddItem(WS_CHILD | WS_VISIBLE | SS_LEFT, 7, 7, 100, 8, 1001, kelmira::kStaticClassAtom, "Label");
//   DialogBoxIndirectParamA(nullptr, b.Template(), owner, proc, 0);
//
// Text is Windows-1252 and stored as UTF-16 (each byte maps to the code point of the same
// value, except 0x80..0x9F which follow the code page).
#pragma once

#include <kelmira/platform/winuser.h>

#include <cstdint>
#include <cstring>
#include <string_view>
#include <vector>

namespace kelmira {

// Predefined control classes of dialog items.
constexpr WORD kButtonClassAtom = 0x0080;
constexpr WORD kEditClassAtom = 0x0081;
constexpr WORD kStaticClassAtom = 0x0082;
constexpr WORD kListBoxClassAtom = 0x0083;
constexpr WORD kScrollBarClassAtom = 0x0084;
constexpr WORD kComboBoxClassAtom = 0x0085;

class DialogTemplateBuilder {
 public:
  // pointSize 0 leaves DS_SETFONT off (and the face name out); otherwise DS_SETFONT is added.
  DialogTemplateBuilder(DWORD style, DWORD exStyle, short x, short y, short cx, short cy, std::string_view title,
                        WORD pointSize = 0, std::string_view face = {}) {
    if (pointSize != 0)
      style |= DS_SETFONT;
    else
      style &= ~DS_SETFONT;
    DLGTEMPLATE head{style, exStyle, 0, x, y, cx, cy};
    AppendRaw(&head, sizeof head);
    AppendWord(0);  // no menu
    AppendWord(0);  // the dialog class
    AppendText(title);
    if (pointSize != 0) {
      AppendWord(pointSize);
      AppendText(face);
    }
  }

  // An item of a predefined class (kButtonClassAtom ...).
  DialogTemplateBuilder& AddItem(DWORD style, short x, short y, short cx, short cy, WORD id, WORD classAtom,
                                 std::string_view text, DWORD exStyle = 0) {
    BeginItem(style, exStyle, x, y, cx, cy, id);
    AppendWord(0xFFFF);
    AppendWord(classAtom);
    EndItem(text);
    return *this;
  }

  // An item of a class given by name ("AtlAxWin", a registered class ...).
  DialogTemplateBuilder& AddItem(DWORD style, short x, short y, short cx, short cy, WORD id, std::string_view className,
                                 std::string_view text, DWORD exStyle = 0) {
    BeginItem(style, exStyle, x, y, cx, cy, id);
    AppendText(className);
    EndItem(text);
    return *this;
  }

  const DLGTEMPLATE* Template() const { return reinterpret_cast<const DLGTEMPLATE*>(words_.data()); }
  std::size_t SizeInBytes() const { return words_.size() * sizeof(WORD); }

 private:
  void BeginItem(DWORD style, DWORD exStyle, short x, short y, short cx, short cy, WORD id) {
    if (words_.size() % 2) AppendWord(0);  // items start on a DWORD boundary
    DLGITEMTEMPLATE item{style, exStyle, x, y, cx, cy, id};
    AppendRaw(&item, sizeof item);
    DLGTEMPLATE head;
    std::memcpy(&head, words_.data(), sizeof head);
    ++head.cdit;
    std::memcpy(words_.data(), &head, sizeof head);
  }
  void EndItem(std::string_view text) {
    AppendText(text);
    AppendWord(0);  // no creation data
  }

  void AppendRaw(const void* data, std::size_t bytes) {
    std::size_t at = words_.size();
    words_.resize(at + (bytes + 1) / 2, 0);
    std::memcpy(words_.data() + at, data, bytes);
  }
  void AppendWord(WORD w) { words_.push_back(w); }
  void AppendText(std::string_view text) {
    for (char c : text) words_.push_back(CodePoint(static_cast<unsigned char>(c)));
    words_.push_back(0);
  }
  static WORD CodePoint(unsigned char c) {
    static constexpr WORD k80To9F[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                         0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                         0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                         0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
    if (c >= 0x80 && c <= 0x9F) return k80To9F[c - 0x80];
    return c;
  }

  std::vector<WORD> words_;  // WORD storage keeps the template 2-byte aligned
};

}  // namespace kelmira
