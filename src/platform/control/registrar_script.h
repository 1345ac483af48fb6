// The parsed form of a registrar script.
#pragma once

#include <kelmira/platform/registry.h>

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kelmira::registrar {

enum class Modifier { None, NoRemove, ForceRemove, Delete };

struct ScriptValue {
  DWORD type = REG_SZ;
  std::string data;  // the text (string types) or the bytes
};

struct KeyNode {
  Modifier modifier = Modifier::None;
  std::string name;
  std::optional<ScriptValue> defaultValue;
  std::vector<std::pair<std::string, ScriptValue>> values;
  std::vector<KeyNode> children;
};

struct RootBlock {
  HKEY root = nullptr;
  std::vector<std::pair<std::string, ScriptValue>> values;
  std::vector<KeyNode> keys;
};

using Replacements = std::vector<std::pair<std::string, std::string>>;

// Parses a whole script; on failure says why and where ("line 4: ...").
bool ParseScript(std::string_view script, const Replacements& replacements, std::vector<RootBlock>* out,
                 std::string* error);

}  // namespace kelmira::registrar
