// Template parsing. Every read goes through a cursor that checks the limit, so a truncated
// template (with a known size) fails cleanly instead of reading past its end.
#include "window/dialog_template.h"

#include <kelmira/platform/winuser.h>

#include "com/codepage.h"

#include <kelmira/platform/guarded.h>

#include <cstring>

namespace kelmira::window {
namespace {

constexpr WORD kExtendedSignature = 0xFFFF;  // second word of a DLGTEMPLATEEX
constexpr WORD kOrdinalMarker = 0xFFFF;      // a name array that holds an ordinal or atom

// Longer strings in a template are taken as a missing terminator.
constexpr std::size_t kMaxStringUnits = 0xFFFF;

class Cursor {
 public:
  Cursor(const BYTE* base, std::size_t limit) : base_(base), limit_(limit) {}

  bool ok() const { return ok_; }
  std::size_t offset() const { return offset_; }
  const BYTE* here() const { return base_ + offset_; }

  template <class T>
  T Get() {
    T value{};
    if (!Has(sizeof(T))) return value;
    std::memcpy(&value, base_ + offset_, sizeof(T));
    offset_ += sizeof(T);
    return value;
  }

  void Skip(std::size_t bytes) {
    if (Has(bytes)) offset_ += bytes;
  }

  // Item templates start on a DWORD boundary counted from the template's start.
  void AlignToDword() { Skip((4 - offset_ % 4) % 4); }

  // A NUL-terminated UTF-16 string, as Windows-1252 text.
  std::string GetString() {
    std::string text;
    for (std::size_t n = 0; ok_; ++n) {
      if (n > kMaxStringUnits) {
        ok_ = false;
        break;
      }
      WORD unit = Get<WORD>();
      if (!ok_ || unit == 0) break;
      int byte = codepage::ToWindows1252(unit);
      text.push_back(static_cast<char>(byte < 0 ? '?' : byte));
    }
    return text;
  }

  // A name array: 0x0000 (none), 0xFFFF and an ordinal, or a string.
  void GetNameOrOrdinal(std::string* name, WORD* ordinal) {
    WORD first = Get<WORD>();
    if (!ok_ || first == 0) return;
    if (first == kOrdinalMarker) {
      *ordinal = Get<WORD>();
      return;
    }
    offset_ -= sizeof(WORD);
    *name = GetString();
  }

 private:
  bool Has(std::size_t bytes) {
    if (!ok_ || offset_ > limit_ || limit_ - offset_ < bytes) ok_ = false;
    return ok_;
  }

  const BYTE* base_;
  std::size_t limit_;
  std::size_t offset_ = 0;
  bool ok_ = true;
};

void ReadHeader(Cursor& c, DialogDesc& d, WORD* itemCount) {
  WORD first = c.Get<WORD>();
  WORD second = c.Get<WORD>();
  d.extended = first == 1 && second == kExtendedSignature;
  if (d.extended) {
    d.helpId = c.Get<DWORD>();
    d.exStyle = c.Get<DWORD>();
    d.style = c.Get<DWORD>();
  } else {
    d.style = static_cast<DWORD>(first) | (static_cast<DWORD>(second) << 16);
    d.exStyle = c.Get<DWORD>();
  }
  *itemCount = c.Get<WORD>();
  d.x = c.Get<short>();
  d.y = c.Get<short>();
  d.cx = c.Get<short>();
  d.cy = c.Get<short>();
  c.GetNameOrOrdinal(&d.menuName, &d.menuOrdinal);
  WORD classOrdinal = 0;
  c.GetNameOrOrdinal(&d.className, &classOrdinal);
  d.title = c.GetString();
}

void ReadFont(Cursor& c, DialogDesc& d) {
  if (!(d.style & DS_SETFONT)) return;
  d.hasFont = true;
  d.pointSize = c.Get<WORD>();
  if (d.extended) {
    d.weight = c.Get<WORD>();
    d.italic = c.Get<BYTE>() != 0;
    d.charSet = c.Get<BYTE>();
  }
  d.face = c.GetString();
}

void ReadItem(Cursor& c, bool extended, DialogItemDesc& item) {
  c.AlignToDword();
  if (extended) {
    item.helpId = c.Get<DWORD>();
    item.exStyle = c.Get<DWORD>();
    item.style = c.Get<DWORD>();
  } else {
    item.style = c.Get<DWORD>();
    item.exStyle = c.Get<DWORD>();
  }
  item.x = c.Get<short>();
  item.y = c.Get<short>();
  item.cx = c.Get<short>();
  item.cy = c.Get<short>();
  item.id = extended ? c.Get<DWORD>() : c.Get<WORD>();
  c.GetNameOrOrdinal(&item.className, &item.classAtom);
  if (item.classAtom != 0) {
    const char* name = PredefinedClassName(item.classAtom);
    item.className = name ? name : std::string();
  }
  c.GetNameOrOrdinal(&item.text, &item.textOrdinal);
  const BYTE* sizeWord = c.here();
  WORD size = c.Get<WORD>();
  if (!c.ok() || size == 0) return;
  // The standard format counts the size word in the size; the extended one does not.
  std::size_t data = extended ? size : (size >= sizeof(WORD) ? size - sizeof(WORD) : 0);
  item.creationData = sizeWord;
  c.Skip(data);
}

}  // namespace

const char* PredefinedClassName(WORD atom) {
  switch (atom) {
    case 0x0080: return "BUTTON";
    case 0x0081: return "EDIT";
    case 0x0082: return "STATIC";
    case 0x0083: return "LISTBOX";
    case 0x0084: return "SCROLLBAR";
    case 0x0085: return "COMBOBOX";
    default: return nullptr;
  }
}

HRESULT ParseDialogTemplate(const void* tmpl, std::size_t limit, DialogDesc* out) {
  if (!tmpl || !out) return E_POINTER;
  return Guarded([&] {
    Cursor c(static_cast<const BYTE*>(tmpl), limit);
    DialogDesc d;
    WORD count = 0;
    ReadHeader(c, d, &count);
    ReadFont(c, d);
    if (!c.ok()) return E_INVALIDARG;
    d.items.resize(count);
    for (DialogItemDesc& item : d.items) {
      ReadItem(c, d.extended, item);
      if (!c.ok()) return E_INVALIDARG;
    }
    *out = std::move(d);
    return S_OK;
  });
}

}  // namespace kelmira::window
