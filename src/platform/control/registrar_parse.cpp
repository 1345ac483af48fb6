// Tokenising and parsing registrar scripts. Tokens are separated by white space; a quoted text
// ('...', with '' for a quote) and '=' stand on their own; a word that is exactly '{' or '}'
// opens or closes a block, any other word (such as {GUID}) is a name.
#include "control/registrar_script.h"

#include <charconv>

namespace kelmira::registrar {
namespace {

enum class TokenKind { Word, Quoted, Equals, Open, Close, End };

struct Token {
  TokenKind kind = TokenKind::End;
  std::string text;
  int line = 1;
};

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    char x = a[i] >= 'A' && a[i] <= 'Z' ? static_cast<char>(a[i] - 'A' + 'a') : a[i];
    char y = b[i] >= 'A' && b[i] <= 'Z' ? static_cast<char>(b[i] - 'A' + 'a') : b[i];
    if (x != y) return false;
  }
  return true;
}

class Lexer {
 public:
  explicit Lexer(std::string_view text) : text_(text) {}

  bool Tokenise(std::vector<Token>* out, std::string* error) {
    while (true) {
      SkipSpace();
      Token t;
      t.line = line_;
      if (pos_ >= text_.size()) {
        out->push_back(t);
        return true;
      }
      char c = text_[pos_];
      if (c == '\'') {
        t.kind = TokenKind::Quoted;
        if (!ReadQuoted(&t.text)) {
          *error = "line " + std::to_string(t.line) + ": unterminated quoted text";
          return false;
        }
      } else if (c == '=') {
        t.kind = TokenKind::Equals;
        t.text = "=";
        ++pos_;
      } else {
        t.text = ReadWord();
        t.kind = t.text == "{" ? TokenKind::Open : t.text == "}" ? TokenKind::Close : TokenKind::Word;
      }
      out->push_back(std::move(t));
    }
  }

 private:
  static bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v'; }

  void SkipSpace() {
    while (pos_ < text_.size() && IsSpace(text_[pos_])) {
      if (text_[pos_] == '\n') ++line_;
      ++pos_;
    }
  }

  bool ReadQuoted(std::string* out) {
    ++pos_;  // the opening quote
    while (pos_ < text_.size()) {
      char c = text_[pos_++];
      if (c == '\n') ++line_;
      if (c != '\'') {
        out->push_back(c);
        continue;
      }
      if (pos_ < text_.size() && text_[pos_] == '\'') {
        out->push_back('\'');
        ++pos_;
        continue;
      }
      return true;
    }
    return false;
  }

  std::string ReadWord() {
    std::size_t start = pos_;
    while (pos_ < text_.size() && !IsSpace(text_[pos_]) && text_[pos_] != '=' && text_[pos_] != '\'') ++pos_;
    return std::string(text_.substr(start, pos_ - start));
  }

  std::string_view text_;
  std::size_t pos_ = 0;
  int line_ = 1;
};

// %NAME% from the table, %% a percent sign.
bool Replace(std::string& text, const Replacements& table, std::string* why) {
  if (text.find('%') == std::string::npos) return true;
  std::string out;
  std::size_t i = 0;
  while (i < text.size()) {
    if (text[i] != '%') {
      out.push_back(text[i++]);
      continue;
    }
    std::size_t close = text.find('%', i + 1);
    if (close == std::string::npos) {
      *why = "unterminated %NAME% in '" + text + "'";
      return false;
    }
    std::string_view name(text.data() + i + 1, close - i - 1);
    if (name.empty()) {
      out.push_back('%');
    } else {
      const std::string* value = nullptr;
      for (const auto& [k, v] : table)
        if (EqualsIgnoringCase(k, name)) value = &v;
      if (!value) {
        *why = "unknown replacement %" + std::string(name) + "%";
        return false;
      }
      out += *value;
    }
    i = close + 1;
  }
  text = std::move(out);
  return true;
}

bool RootFromName(std::string_view name, HKEY* out) {
  if (EqualsIgnoringCase(name, "HKCR") || EqualsIgnoringCase(name, "HKEY_CLASSES_ROOT")) {
    *out = HKEY_CLASSES_ROOT;
  } else if (EqualsIgnoringCase(name, "HKCU") || EqualsIgnoringCase(name, "HKEY_CURRENT_USER")) {
    *out = HKEY_CURRENT_USER;
  } else if (EqualsIgnoringCase(name, "HKLM") || EqualsIgnoringCase(name, "HKEY_LOCAL_MACHINE")) {
    *out = HKEY_LOCAL_MACHINE;
  } else {
    return false;
  }
  return true;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool ParseDword(std::string_view text, std::string* out) {
  bool negative = !text.empty() && text[0] == '-';
  if (negative) text.remove_prefix(1);
  int base = 10;
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    text.remove_prefix(2);
    base = 16;
  }
  std::uint64_t v = 0;
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v, base);
  if (text.empty() || ec != std::errc() || end != text.data() + text.size()) return false;
  if (negative ? v > 0x80000000ull : v > 0xFFFFFFFFull) return false;
  auto d = static_cast<DWORD>(negative ? (0 - v) : v);
  out->assign(reinterpret_cast<const char*>(&d), sizeof d);
  return true;
}

bool ParseBinary(std::string_view text, std::string* out) {
  if (text.size() % 2) return false;
  out->clear();
  for (std::size_t i = 0; i < text.size(); i += 2) {
    int hi = HexDigit(text[i]);
    int lo = HexDigit(text[i + 1]);
    if (hi < 0 || lo < 0) return false;
    out->push_back(static_cast<char>(hi * 16 + lo));
  }
  return true;
}

class Parser {
 public:
  Parser(std::vector<Token> tokens, const Replacements& replacements)
      : tokens_(std::move(tokens)), replacements_(replacements) {}

  bool ParseAll(std::vector<RootBlock>* out) {
    while (Peek().kind != TokenKind::End) {
      RootBlock block;
      if (!ParseRoot(&block)) return false;
      out->push_back(std::move(block));
    }
    return true;
  }

  const std::string& error() const { return error_; }

 private:
  const Token& Peek() const { return tokens_[pos_]; }
  const Token& Next() { return tokens_[pos_ < tokens_.size() - 1 ? pos_++ : pos_]; }

  bool Fail(const Token& at, const std::string& why) {
    error_ = "line " + std::to_string(at.line) + ": " + why;
    return false;
  }

  static std::string Describe(const Token& t) {
    return t.kind == TokenKind::End ? "end of script" : "'" + t.text + "'";
  }

  bool Expect(TokenKind kind, const char* what) {
    const Token& t = Next();
    return t.kind == kind || Fail(t, std::string("expected ") + what + ", found " + Describe(t));
  }

  // A name: a bare word or quoted text, after replacement.
  bool ReadName(std::string* out) {
    const Token& t = Next();
    if (t.kind != TokenKind::Word && t.kind != TokenKind::Quoted)
      return Fail(t, "expected a name, found " + Describe(t));
    *out = t.text;
    std::string why;
    if (!Replace(*out, replacements_, &why)) return Fail(t, why);
    if (out->empty()) return Fail(t, "empty name");
    if (out->find('\\') != std::string::npos) return Fail(t, "a key name cannot contain '\\'");
    return true;
  }

  // `type 'text'` after an '='.
  bool ReadValue(ScriptValue* out) {
    const Token& type = Next();
    if (type.kind != TokenKind::Word || type.text.size() != 1)
      return Fail(type, "expected a value type (s, e, d or b), found " + Describe(type));
    const Token& text = Next();
    if (text.kind != TokenKind::Quoted && text.kind != TokenKind::Word)
      return Fail(text, "expected a value, found " + Describe(text));
    std::string value = text.text;
    std::string why;
    if (!Replace(value, replacements_, &why)) return Fail(text, why);
    switch (type.text[0]) {
      case 's':
      case 'S': *out = {REG_SZ, std::move(value)}; return true;
      case 'e':
      case 'E': *out = {REG_EXPAND_SZ, std::move(value)}; return true;
      case 'd':
      case 'D': out->type = REG_DWORD; return ParseDword(value, &out->data) || Fail(text, "bad number '" + value + "'");
      case 'b':
      case 'B':
        out->type = REG_BINARY;
        return ParseBinary(value, &out->data) || Fail(text, "bad hex bytes '" + value + "'");
      default: return Fail(type, "unsupported value type '" + type.text + "'");
    }
  }

  bool ParseNamedValue(std::vector<std::pair<std::string, ScriptValue>>* values) {
    Next();  // val
    std::string name;
    if (!ReadName(&name) || !Expect(TokenKind::Equals, "'='")) return false;
    ScriptValue v;
    if (!ReadValue(&v)) return false;
    values->emplace_back(std::move(name), std::move(v));
    return true;
  }

  static bool IsWord(const Token& t, std::string_view word) {
    return t.kind == TokenKind::Word && EqualsIgnoringCase(t.text, word);
  }

  // Items of a block up to its '}': keys, and `val` lines.
  bool ParseBlockItems(std::vector<std::pair<std::string, ScriptValue>>* values, std::vector<KeyNode>* keys) {
    while (true) {
      const Token& t = Peek();
      if (t.kind == TokenKind::Close) {
        Next();
        return true;
      }
      if (t.kind == TokenKind::End) return Fail(t, "missing '}'");
      if (IsWord(t, "val")) {
        if (!ParseNamedValue(values)) return false;
        continue;
      }
      KeyNode key;
      if (!ParseKey(&key)) return false;
      keys->push_back(std::move(key));
    }
  }

  bool ParseKey(KeyNode* key) {
    const Token& first = Peek();
    if (IsWord(first, "NoRemove")) {
      key->modifier = Modifier::NoRemove;
    } else if (IsWord(first, "ForceRemove")) {
      key->modifier = Modifier::ForceRemove;
    } else if (IsWord(first, "Delete")) {
      key->modifier = Modifier::Delete;
    }
    if (key->modifier != Modifier::None) Next();
    if (IsWord(Peek(), "NoRemove") || IsWord(Peek(), "ForceRemove") || IsWord(Peek(), "Delete"))
      return Fail(Peek(), "a key takes one modifier");
    if (!ReadName(&key->name)) return false;
    if (Peek().kind == TokenKind::Equals) {
      Next();
      ScriptValue v;
      if (!ReadValue(&v)) return false;
      key->defaultValue = std::move(v);
    }
    if (Peek().kind != TokenKind::Open) return true;
    if (++depth_ > kMaxDepth) return Fail(Peek(), "keys nested too deeply");
    Next();
    bool ok = ParseBlockItems(&key->values, &key->children);
    --depth_;
    return ok;
  }

  bool ParseRoot(RootBlock* block) {
    const Token& name = Next();
    if (name.kind != TokenKind::Word || !RootFromName(name.text, &block->root))
      return Fail(name, "expected a root key (HKCR, HKCU, HKLM), found " + Describe(name));
    return Expect(TokenKind::Open, "'{'") && ParseBlockItems(&block->values, &block->keys);
  }

  static constexpr int kMaxDepth = 256;

  std::vector<Token> tokens_;
  const Replacements& replacements_;
  std::size_t pos_ = 0;
  int depth_ = 0;
  std::string error_;
};

}  // namespace

bool ParseScript(std::string_view script, const Replacements& replacements, std::vector<RootBlock>* out,
                 std::string* error) {
  std::vector<Token> tokens;
  std::string why;
  if (!Lexer(script).Tokenise(&tokens, &why)) {
    if (error) *error = why;
    return false;
  }
  Parser parser(std::move(tokens), replacements);
  std::vector<RootBlock> blocks;
  if (!parser.ParseAll(&blocks)) {
    if (error) *error = parser.error();
    return false;
  }
  *out = std::move(blocks);
  return true;
}

}  // namespace kelmira::registrar
