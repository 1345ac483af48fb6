// DialogTemplateBuilder: lays out template bytes as the desktop's resource compiler does.
#include <kelmira/platform/dialog_builder.h>

#include "com/codepage.h"
#include "window/dialog_template_format.h"

#include <cstring>
#include <new>

namespace kelmira {
namespace {

using namespace window::dialog_format;

std::u16string FromAnsi(std::string_view text) {
  std::u16string out;
  out.reserve(text.size());
  for (char c : text) out.push_back(codepage::FromWindows1252(static_cast<unsigned char>(c)));
  return out;
}

class ByteWriter {
 public:
  explicit ByteWriter(std::vector<BYTE>& bytes) : bytes_(bytes) {}

  template <class T>
  void Put(T value) {
    BYTE raw[sizeof(T)];
    std::memcpy(raw, &value, sizeof(T));
    bytes_.insert(bytes_.end(), raw, raw + sizeof(T));
  }
  void PutString(const std::u16string& s) {
    for (char16_t c : s) Put<WORD>(c);
    Put<WORD>(0);
  }
  void PutBytes(const std::vector<BYTE>& data) { bytes_.insert(bytes_.end(), data.begin(), data.end()); }
  void AlignToDword() {
    while (bytes_.size() % 4 != 0) bytes_.push_back(0);
  }

 private:
  std::vector<BYTE>& bytes_;
};

}  // namespace

DialogTemplateBuilder::DialogTemplateBuilder(DWORD style, short x, short y, short cx, short cy)
    : style_(style), x_(x), y_(y), cx_(cx), cy_(cy) {}

DialogTemplateBuilder& DialogTemplateBuilder::SetFormat(Format format) {
  format_ = format;
  return *this;
}

DialogTemplateBuilder& DialogTemplateBuilder::SetExStyle(DWORD exStyle) {
  exStyle_ = exStyle;
  return *this;
}

DialogTemplateBuilder& DialogTemplateBuilder::SetHelpId(DWORD helpId) {
  helpId_ = helpId;
  return *this;
}

DialogTemplateBuilder& DialogTemplateBuilder::SetTitle(std::string_view title) {
  try {
    title_ = FromAnsi(title);
  } catch (const std::bad_alloc&) {
    error_ = E_OUTOFMEMORY;
  }
  return *this;
}

DialogTemplateBuilder& DialogTemplateBuilder::SetClassName(std::string_view className) {
  try {
    className_ = FromAnsi(className);
  } catch (const std::bad_alloc&) {
    error_ = E_OUTOFMEMORY;
  }
  return *this;
}

DialogTemplateBuilder& DialogTemplateBuilder::SetFont(WORD pointSize, std::string_view face, WORD weight, bool italic,
                                                      BYTE charSet) {
  try {
    face_ = FromAnsi(face);
  } catch (const std::bad_alloc&) {
    error_ = E_OUTOFMEMORY;
    return *this;
  }
  hasFont_ = true;
  pointSize_ = pointSize;
  weight_ = weight;
  italic_ = italic;
  charSet_ = charSet;
  return *this;
}

DialogTemplateBuilder::Item* DialogTemplateBuilder::AppendItem(DWORD id, DWORD style, short x, short y, short cx,
                                                               short cy, DWORD exStyle) {
  if (items_.size() >= kMaxItems) {
    error_ = E_INVALIDARG;
    return nullptr;
  }
  try {
    Item& item = items_.emplace_back();
    item.id = id;
    item.style = style;
    item.exStyle = exStyle;
    item.x = x;
    item.y = y;
    item.cx = cx;
    item.cy = cy;
    return &item;
  } catch (const std::bad_alloc&) {
    error_ = E_OUTOFMEMORY;
    return nullptr;
  }
}

DialogTemplateBuilder& DialogTemplateBuilder::AddItem(DialogItemClass itemClass, std::string_view text, DWORD id,
                                                      DWORD style, short x, short y, short cx, short cy,
                                                      DWORD exStyle) {
  Item* item = AppendItem(id, style, x, y, cx, cy, exStyle);
  if (!item) return *this;
  item->atom = static_cast<WORD>(itemClass);
  try {
    item->text = FromAnsi(text);
  } catch (const std::bad_alloc&) {
    error_ = E_OUTOFMEMORY;
  }
  return *this;
}

DialogTemplateBuilder& DialogTemplateBuilder::AddItem(std::string_view className, std::string_view text, DWORD id,
                                                      DWORD style, short x, short y, short cx, short cy,
                                                      DWORD exStyle) {
  Item* item = AppendItem(id, style, x, y, cx, cy, exStyle);
  if (!item) return *this;
  try {
    item->className = FromAnsi(className);
    item->text = FromAnsi(text);
  } catch (const std::bad_alloc&) {
    error_ = E_OUTOFMEMORY;
  }
  return *this;
}

DialogTemplateBuilder& DialogTemplateBuilder::SetCreationData(std::span<const BYTE> data) {
  if (items_.empty() || data.size() > kMaxCreationData) {
    error_ = E_INVALIDARG;
    return *this;
  }
  try {
    items_.back().creationData.assign(data.begin(), data.end());
  } catch (const std::bad_alloc&) {
    error_ = E_OUTOFMEMORY;
  }
  return *this;
}

HRESULT DialogTemplateBuilder::Build(std::vector<BYTE>& out) const {
  if (FAILED(error_)) return error_;
  const bool extended = format_ == Format::Extended;
  const DWORD style = hasFont_ ? (style_ | kDsSetFont) : (style_ & ~kDsSetFont);
  try {
    std::vector<BYTE> bytes;
    ByteWriter w(bytes);
    if (extended) {
      w.Put<WORD>(1);
      w.Put<WORD>(kExtendedSignature);
      w.Put<DWORD>(helpId_);
      w.Put<DWORD>(exStyle_);
      w.Put<DWORD>(style);
    } else {
      w.Put<DWORD>(style);
      w.Put<DWORD>(exStyle_);
    }
    w.Put<WORD>(static_cast<WORD>(items_.size()));
    w.Put<short>(x_);
    w.Put<short>(y_);
    w.Put<short>(cx_);
    w.Put<short>(cy_);
    w.Put<WORD>(0);  // no menu
    if (className_.empty())
      w.Put<WORD>(0);
    else
      w.PutString(className_);
    w.PutString(title_);
    if (hasFont_) {
      w.Put<WORD>(pointSize_);
      if (extended) {
        w.Put<WORD>(weight_);
        w.Put<BYTE>(italic_ ? 1 : 0);
        w.Put<BYTE>(charSet_);
      }
      w.PutString(face_);
    }
    for (const Item& item : items_) {
      w.AlignToDword();
      if (extended) {
        w.Put<DWORD>(0);  // help id
        w.Put<DWORD>(item.exStyle);
        w.Put<DWORD>(item.style);
      } else {
        w.Put<DWORD>(item.style);
        w.Put<DWORD>(item.exStyle);
      }
      w.Put<short>(item.x);
      w.Put<short>(item.y);
      w.Put<short>(item.cx);
      w.Put<short>(item.cy);
      if (extended)
        w.Put<DWORD>(item.id);
      else
        w.Put<WORD>(static_cast<WORD>(item.id));
      if (item.atom != 0) {
        w.Put<WORD>(kOrdinalMarker);
        w.Put<WORD>(item.atom);
      } else {
        w.PutString(item.className);
      }
      w.PutString(item.text);
      if (item.creationData.empty()) {
        w.Put<WORD>(0);
        continue;
      }
      // The standard format counts the size word itself; the extended one does not.
      const std::size_t size = item.creationData.size() + (extended ? 0 : sizeof(WORD));
      w.Put<WORD>(static_cast<WORD>(size));
      w.PutBytes(item.creationData);
    }
    out.swap(bytes);
    return S_OK;
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  }
}

}  // namespace kelmira
