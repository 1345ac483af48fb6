// The registry file format, version 2. A UTF-8 text file, line oriented:
//
//   KELMIRA REGISTRY 2
//   ; comment lines start with ';' or '#'; blank lines are ignored
//   [HKEY_CLASSES_ROOT\Kelmira.Line.1]
//   @="Line Class"
//   [HKEY_CLASSES_ROOT\CLSID\{6A1C...}\InprocServer32]
//   @="/usr/lib/libkelmira.so"
//   "ThreadingModel"="Apartment"
//   "Count"=dword:0000007b
//   "Blob"=hex:01,ab,ff
//   "Path"=expand:"%HOME%/lib"
//   "Other"=hex(7):61,00
//   [^0\Child]
//   [^2\Uncle]
//
// The first significant line names the format and its version. A `[...]` line names a key by its
// root and path (every key is listed, empty ones too); key names cannot contain '\', and in them
// '%', '[', ']', '"', control characters and bytes outside ASCII are written as %HH. A line
// `[^N\name]` names a key relative to the previous key line: N levels up from that key, then
// its subkey `name` (^0 is a child of the previous key). Keys deeper than kFullPathDepth are
// written that way, so the file grows with the number of keys, not with their depth times
// their number. The value lines that follow a key line belong to that key: `@` is the default
// value, other names are quoted. Quoted text escapes '\' and '"' as \\ and \", newline,
// carriage return and tab as \n, \r and \t, and other control characters and bytes outside
// ASCII as \xHH (the bytes of their UTF-8 form). REG_SZ is plain quoted text, REG_EXPAND_SZ
// `expand:`, a four-byte REG_DWORD `dword:` with eight hex digits, REG_BINARY `hex:` with
// comma-separated bytes, and any other type or size `hex(type):`. A key lies at most
// kMaxKeyDepth keys below its root; key names are at most kMaxKeyNameLength bytes and hold no NUL
// or backslash, value names at most kMaxValueNameLength bytes. Anything else makes the whole file
// unreadable (the caller reports it). Version 1 files (full paths only) are still read.
#include "com/registry_tree.h"

#include <charconv>
#include <cstdio>

namespace kelmira::registry {
namespace {

constexpr std::string_view kMagic = "KELMIRA REGISTRY";
constexpr int kVersion = 2;
// Keys up to this deep are written with their full path, which is what people read and grep.
constexpr std::size_t kFullPathDepth = 16;
constexpr char kHex[] = "0123456789abcdef";

bool NeedsKeyEscape(unsigned char c) { return c < 0x20 || c >= 0x7F || c == '%' || c == '[' || c == ']' || c == '"'; }

void AppendKeyName(std::string& out, std::string_view name) {
  for (char ch : name) {
    auto c = static_cast<unsigned char>(ch);
    if (!NeedsKeyEscape(c)) {
      out.push_back(ch);
      continue;
    }
    out.push_back('%');
    out.push_back(kHex[c >> 4]);
    out.push_back(kHex[c & 15]);
  }
}

void AppendQuoted(std::string& out, std::string_view text) {
  out.push_back('"');
  for (char ch : text) {
    auto c = static_cast<unsigned char>(ch);
    switch (ch) {
      case '\\': out += "\\\\"; continue;
      case '"': out += "\\\""; continue;
      case '\n': out += "\\n"; continue;
      case '\r': out += "\\r"; continue;
      case '\t': out += "\\t"; continue;
      default: break;
    }
    if (c < 0x20 || c >= 0x7F) {
      out += "\\x";
      out.push_back(kHex[c >> 4]);
      out.push_back(kHex[c & 15]);
    } else {
      out.push_back(ch);
    }
  }
  out.push_back('"');
}

void AppendHexBytes(std::string& out, std::string_view bytes) {
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (i) out.push_back(',');
    auto c = static_cast<unsigned char>(bytes[i]);
    out.push_back(kHex[c >> 4]);
    out.push_back(kHex[c & 15]);
  }
}

void AppendValue(std::string& out, const Value& v) {
  if (v.name.empty())
    out.push_back('@');
  else
    AppendQuoted(out, v.name);
  out.push_back('=');
  if (v.type == REG_SZ) {
    AppendQuoted(out, v.data);
  } else if (v.type == REG_EXPAND_SZ) {
    out += "expand:";
    AppendQuoted(out, v.data);
  } else if (v.type == REG_DWORD && v.data.size() == 4) {
    DWORD d = 0;
    std::memcpy(&d, v.data.data(), 4);
    char buf[16];
    std::snprintf(buf, sizeof buf, "dword:%08x", d);
    out += buf;
  } else if (v.type == REG_BINARY) {
    out += "hex:";
    AppendHexBytes(out, v.data);
  } else {
    out += "hex(" + std::to_string(v.type) + "):";
    AppendHexBytes(out, v.data);
  }
  out.push_back('\n');
}

// A root and everything below it, depth first in name order, without recursion. `lastDepth` is
// the depth of the previous key line, which relative lines count from.
void AppendTree(std::string& out, const char* rootName, const Key& root, std::size_t& lastDepth) {
  struct Visit {
    const Key* key;
    std::string_view name;
    std::size_t depth;
    std::string path;  // only while the full path is written
  };
  std::vector<Visit> pending;
  pending.push_back({&root, {}, 0, rootName});
  while (!pending.empty()) {
    Visit v = std::move(pending.back());
    pending.pop_back();
    if (v.depth > 0 || !root.values.empty()) {
      if (v.depth <= kFullPathDepth) {
        out += "\n[" + v.path + "]\n";
      } else {
        out.append("\n[^").append(std::to_string(lastDepth + 1 - v.depth)).append("\\");
        AppendKeyName(out, v.name);
        out.append("]\n");
      }
      lastDepth = v.depth;
      for (const Value& value : v.key->values) AppendValue(out, value);
    }
    // Children go on the stack last first, so that they come off in name order.
    for (auto it = v.key->subkeys.rbegin(); it != v.key->subkeys.rend(); ++it) {
      std::string child;
      if (v.depth + 1 <= kFullPathDepth) {
        child = v.path + "\\";
        AppendKeyName(child, it->first);
      }
      pending.push_back({it->second.get(), it->first, v.depth + 1, std::move(child)});
    }
  }
}

// ------------------------------------------------------------------------------------------
// Reading

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool ReadHexByte(std::string_view s, std::size_t pos, char* out) {
  if (pos + 2 > s.size()) return false;
  int hi = HexDigit(s[pos]);
  int lo = HexDigit(s[pos + 1]);
  if (hi < 0 || lo < 0) return false;
  *out = static_cast<char>(hi * 16 + lo);
  return true;
}

bool UnescapeKeyName(std::string_view s, std::string* out) {
  out->clear();
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (s[i] != '%') {
      out->push_back(s[i]);
      continue;
    }
    char c = 0;
    if (!ReadHexByte(s, i + 1, &c)) return false;
    out->push_back(c);
    i += 2;
  }
  return !out->empty();
}

// Reads a quoted string at line[pos]; leaves pos after the closing quote.
bool ReadQuoted(std::string_view line, std::size_t* pos, std::string* out) {
  std::size_t i = *pos;
  if (i >= line.size() || line[i] != '"') return false;
  out->clear();
  for (++i; i < line.size(); ++i) {
    char c = line[i];
    if (c == '"') {
      *pos = i + 1;
      return true;
    }
    if (c != '\\') {
      out->push_back(c);
      continue;
    }
    if (++i >= line.size()) return false;
    switch (line[i]) {
      case '\\': out->push_back('\\'); break;
      case '"': out->push_back('"'); break;
      case 'n': out->push_back('\n'); break;
      case 'r': out->push_back('\r'); break;
      case 't': out->push_back('\t'); break;
      case 'x': {
        char b = 0;
        if (!ReadHexByte(line, i + 1, &b)) return false;
        out->push_back(b);
        i += 2;
        break;
      }
      default: return false;
    }
  }
  return false;
}

bool ReadHexList(std::string_view s, std::string* out) {
  out->clear();
  if (s.empty()) return true;
  std::size_t i = 0;
  while (true) {
    char b = 0;
    if (!ReadHexByte(s, i, &b)) return false;
    out->push_back(b);
    i += 2;
    if (i == s.size()) return true;
    if (s[i] != ',') return false;
    ++i;
  }
}

bool ReadValueData(std::string_view s, Value* v) {
  std::size_t pos = 0;
  if (s.starts_with('"')) {
    v->type = REG_SZ;
    return ReadQuoted(s, &pos, &v->data) && pos == s.size();
  }
  if (s.starts_with("expand:")) {
    v->type = REG_EXPAND_SZ;
    pos = 7;
    return ReadQuoted(s, &pos, &v->data) && pos == s.size();
  }
  if (s.starts_with("dword:")) {
    std::string_view digits = s.substr(6);
    DWORD d = 0;
    if (digits.size() != 8) return false;
    auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), d, 16);
    if (ec != std::errc() || end != digits.data() + digits.size()) return false;
    v->type = REG_DWORD;
    v->data.assign(reinterpret_cast<const char*>(&d), 4);
    return true;
  }
  if (s.starts_with("hex:")) {
    v->type = REG_BINARY;
    return ReadHexList(s.substr(4), &v->data);
  }
  if (s.starts_with("hex(")) {
    std::size_t close = s.find("):");
    if (close == std::string_view::npos || close <= 4) return false;
    std::string_view num = s.substr(4, close - 4);
    auto [end, ec] = std::from_chars(num.data(), num.data() + num.size(), v->type, 10);
    if (ec != std::errc() || end != num.data() + num.size()) return false;
    return ReadHexList(s.substr(close + 2), &v->data);
  }
  return false;
}

bool ReadValueLine(std::string_view line, Value* v) {
  std::size_t pos = 0;
  if (line.starts_with('@')) {
    v->name.clear();
    pos = 1;
  } else if (!ReadQuoted(line, &pos, &v->name) || v->name.empty() || v->name.size() > kMaxValueNameLength) {
    return false;
  }
  if (pos >= line.size() || line[pos] != '=') return false;
  return ReadValueData(line.substr(pos + 1), v);
}

bool ReadRoot(std::string_view name, Root* root) {
  for (int r = 0; r < kRootCount; ++r) {
    if (NameEquals(name, RootName(static_cast<Root>(r)))) {
      *root = static_cast<Root>(r);
      return true;
    }
  }
  return false;
}

// The keys from a root down to the key of the last key line: what relative lines count from.
using KeyPath = std::vector<Key*>;

// Creates (or finds) the subkey `escaped` of the last key on the path and makes it the last.
bool Descend(std::string_view escaped, KeyPath& path) {
  if (path.size() > kMaxKeyDepth) return false;
  std::string name;
  // A NUL would end the name for every caller that takes it as C text.
  if (!UnescapeKeyName(escaped, &name) || name.size() > kMaxKeyNameLength ||
      name.find_first_of(std::string_view("\0\\", 2)) != std::string::npos)
    return false;
  auto& slot = path.back()->subkeys[name];
  if (!slot) slot = std::make_unique<Key>();
  path.push_back(slot.get());
  return true;
}

// `[^N\name]`: N levels up from the last key line's key, then down to `name`.
bool ReadRelativeHeader(std::string_view inner, KeyPath& path) {
  std::size_t slash = inner.find('\\');
  if (path.empty() || slash == std::string_view::npos) return false;
  std::size_t up = 0;
  auto [end, ec] = std::from_chars(inner.data() + 1, inner.data() + slash, up);
  if (ec != std::errc() || end != inner.data() + slash || slash == 1 || up >= path.size()) return false;
  path.resize(path.size() - up);
  return Descend(inner.substr(slash + 1), path);
}

// A key line: the path (from its root) of the key it names, created if missing.
bool ReadHeader(std::string_view inner, bool relativeAllowed, Tree& tree, KeyPath& path) {
  if (relativeAllowed && inner.starts_with('^')) return ReadRelativeHeader(inner, path);
  std::size_t slash = inner.find('\\');
  Root root;
  path.clear();
  if (!ReadRoot(inner.substr(0, slash), &root)) return false;
  path.push_back(&tree.root(root));
  while (slash != std::string_view::npos) {
    inner = inner.substr(slash + 1);
    slash = inner.find('\\');
    if (!Descend(inner.substr(0, slash), path)) return false;
  }
  return true;
}

bool ReadMagic(std::string_view line, int* version, std::string* error) {
  if (!line.starts_with(kMagic) || line.size() <= kMagic.size() + 1 || line[kMagic.size()] != ' ') {
    *error = "not a registry file";
    return false;
  }
  std::string_view num = line.substr(kMagic.size() + 1);
  auto [end, ec] = std::from_chars(num.data(), num.data() + num.size(), *version);
  if (ec != std::errc() || end != num.data() + num.size()) {
    *error = "bad format version";
    return false;
  }
  if (*version < 1 || *version > kVersion) {
    *error = "unsupported format version " + std::to_string(*version);
    return false;
  }
  return true;
}

}  // namespace

std::string FormatText(const Tree& tree) {
  std::string out = std::string(kMagic) + " " + std::to_string(kVersion) + "\n";
  std::size_t lastDepth = 0;
  for (int r = 0; r < kRootCount; ++r) AppendTree(out, RootName(static_cast<Root>(r)), tree.roots[r], lastDepth);
  return out;
}

bool ParseText(std::string_view text, Tree* out, std::string* error) {
  Tree tree;
  Key* current = nullptr;
  KeyPath path;
  bool sawMagic = false;
  int version = 0;
  std::size_t lineNo = 0;
  std::string why;
  while (!text.empty()) {
    std::size_t nl = text.find('\n');
    std::string_view line = text.substr(0, nl);
    text = nl == std::string_view::npos ? std::string_view() : text.substr(nl + 1);
    ++lineNo;
    if (line.ends_with('\r')) line.remove_suffix(1);
    if (line.empty() || line[0] == ';' || line[0] == '#') continue;
    bool ok = true;
    if (!sawMagic) {
      ok = sawMagic = ReadMagic(line, &version, &why);
    } else if (line[0] == '[') {
      ok = line.size() > 2 && line.back() == ']' &&
           ReadHeader(line.substr(1, line.size() - 2), version >= 2, tree, path);
      current = ok ? path.back() : nullptr;
      if (!ok) why = "bad key line";
    } else {
      Value v;
      ok = current && ReadValueLine(line, &v);
      if (!ok) {
        why = current ? "bad value line" : "value outside a key";
      } else if (Value* existing = current->FindValue(v.name)) {
        *existing = std::move(v);
      } else {
        current->values.push_back(std::move(v));
      }
    }
    if (!ok) {
      if (error) *error = "line " + std::to_string(lineNo) + ": " + why;
      return false;
    }
  }
  if (!sawMagic) {
    if (error) *error = "not a registry file";
    return false;
  }
  *out = std::move(tree);
  return true;
}

}  // namespace kelmira::registry
