// Resolution of a library's tables at registration: parameter names are parsed from the
// parameter lists as written, defaults converted to their parameter types, bases and
// user-defined types linked, and every type given the nodes its ITypeInfo views stand for.
#include "com/dispatch_index.h"

#include "com/dispatch_text.h"

#include <charconv>
#include <string_view>

namespace kelmira::dispatch {

namespace {

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t' || s.front() == '\n')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\n')) s.remove_suffix(1);
  return s;
}

bool IsIdentifierChar(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

// The declared name of one parameter: the identifier that ends "Type* name".
bool ParameterName(std::string_view piece, std::u16string& name) {
  piece = Trim(piece);
  std::size_t start = piece.size();
  while (start > 0 && IsIdentifierChar(piece[start - 1])) --start;
  if (start == piece.size() || start == 0) return false;  // no name, or no type before it
  name = Utf16FromUtf8(piece.substr(start));
  return true;
}

// "(LONG index, double* pVal)" gives {index, pVal}; "()" and "(void)" give nothing.
bool ParseParameterNames(const char* list, std::vector<std::u16string>& names) {
  std::string_view s = Trim(list ? list : "");
  if (s.size() < 2 || s.front() != '(' || s.back() != ')') return false;
  s = Trim(s.substr(1, s.size() - 2));
  if (s.empty() || s == "void") return true;
  int depth = 0;
  std::size_t start = 0;
  for (std::size_t i = 0; i <= s.size(); ++i) {
    char c = i < s.size() ? s[i] : ',';
    if (c == '(' || c == '<' || c == '[') ++depth;
    if (c == ')' || c == '>' || c == ']') --depth;
    if (c != ',' || depth != 0) continue;
    std::u16string name;
    if (!ParameterName(s.substr(start, i - start), name)) return false;
    names.push_back(std::move(name));
    start = i + 1;
  }
  return depth == 0;
}

struct DefaultText {
  std::string_view name;
  std::string_view value;
};

// "a=1;b=\"text\"" gives {a, 1}, {b, "text"}; semicolons inside quotes belong to the value.
bool ParseDefaults(std::string_view text, std::vector<DefaultText>& parsed) {
  bool quoted = false;
  std::size_t start = 0;
  for (std::size_t i = 0; i <= text.size(); ++i) {
    char c = i < text.size() ? text[i] : ';';
    if (c == '"') quoted = !quoted;
    if (c != ';' || quoted) continue;
    std::string_view item = Trim(text.substr(start, i - start));
    start = i + 1;
    if (item.empty()) continue;
    std::size_t eq = item.find('=');
    if (eq == std::string_view::npos) return false;
    DefaultText entry{Trim(item.substr(0, eq)), Trim(item.substr(eq + 1))};
    if (entry.name.empty()) return false;
    parsed.push_back(entry);
  }
  return !quoted;
}

bool EqualsAsciiNoCase(std::string_view a, std::string_view b) {
  return EqualNoCase(Utf16FromUtf8(a), Utf16FromUtf8(b));
}

// A default value as written: "text" (BSTR), true/false, an integer (decimal or 0x hex) or a
// floating-point number. Empty means optional without a default.
HRESULT LiteralToVariant(std::string_view text, VARIANT* out) {
  if (text.empty()) {
    out->vt = VT_ERROR;
    out->scode = DISP_E_PARAMNOTFOUND;
    return S_OK;
  }
  if (text.size() >= 2 && text.front() == '"' && text.back() == '"') {
    out->bstrVal = AllocBstr(Utf16FromUtf8(text.substr(1, text.size() - 2)));
    if (!out->bstrVal) return E_OUTOFMEMORY;
    out->vt = VT_BSTR;
    return S_OK;
  }
  if (EqualsAsciiNoCase(text, "true") || EqualsAsciiNoCase(text, "false")) {
    out->vt = VT_BOOL;
    out->boolVal = EqualsAsciiNoCase(text, "true") ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
  }
  bool negative = text.front() == '-';
  std::string_view digits = negative ? text.substr(1) : text;
  int base = 10;
  if (digits.size() > 2 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X')) {
    base = 16;
    digits.remove_prefix(2);
  }
  long long integer = 0;
  auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), integer, base);
  if (ec == std::errc() && end == digits.data() + digits.size()) {
    integer = negative ? -integer : integer;
    if (integer < INT32_MIN || integer > INT32_MAX) return E_INVALIDARG;
    out->vt = VT_I4;
    out->lVal = static_cast<LONG>(integer);
    return S_OK;
  }
  double real = 0;
  auto [rend, rec] = std::from_chars(text.data(), text.data() + text.size(), real);
  if (rec != std::errc() || rend != text.data() + text.size()) return E_INVALIDARG;
  out->vt = VT_R8;
  out->dblVal = real;
  return S_OK;
}

HRESULT ApplyDefault(ResolvedParam& param, std::string_view literal) {
  if (param.out || param.retval) return E_INVALIDARG;
  Variant value;
  HRESULT hr = LiteralToVariant(literal, &value);
  if (FAILED(hr)) return hr;
  param.optional = true;
  if (value.vt == VT_ERROR) {
    // Only a VARIANT parameter can be told that its argument is missing.
    bool isVariant = param.type->cls == TypeClass::Value && param.type->vt == VT_VARIANT;
    return isVariant ? S_OK : E_INVALIDARG;
  }
  const TypeDesc* type = param.type;
  bool convertible = type->cls == TypeClass::Enum || type->cls == TypeClass::Value;
  if (!convertible) return E_INVALIDARG;
  param.hasDefault = true;
  if (type->vt == VT_VARIANT) return VariantCopy(&param.defaultValue, &value);
  hr = VariantChangeType(&param.defaultValue, &value, 0, type->vt);
  return FAILED(hr) ? E_INVALIDARG : S_OK;
}

HRESULT ResolveMember(const MemberInfo& info, UINT slot, ResolvedMember& member) {
  if (!info.name || info.paramCount > kMaxParams || (info.paramCount && !info.params)) return E_INVALIDARG;
  member.info = &info;
  member.name = Utf16FromUtf8(info.name);
  member.vtableSlot = slot;
  std::vector<std::u16string> names;
  if (!ParseParameterNames(info.paramList, names) || names.size() != info.paramCount) return E_INVALIDARG;
  member.params.resize(info.paramCount);
  for (UINT i = 0; i < info.paramCount; ++i) {
    ResolvedParam& p = member.params[i];
    p.name = std::move(names[i]);
    p.type = info.params[i];
    p.out = p.type->cls == TypeClass::Pointer;
    p.retval = info.retval && i + 1 == info.paramCount;
  }
  member.dispatchCount = info.paramCount - (info.retval ? 1 : 0);
  std::vector<DefaultText> parsed;
  if (!ParseDefaults(info.defaults ? info.defaults : "", parsed)) return E_INVALIDARG;
  for (const DefaultText& entry : parsed) {
    std::u16string name = Utf16FromUtf8(entry.name);
    ResolvedParam* target = nullptr;
    for (UINT i = 0; i < member.dispatchCount; ++i)
      if (EqualNoCase(member.params[i].name, name)) target = &member.params[i];
    if (!target) return E_INVALIDARG;
    HRESULT hr = ApplyDefault(*target, entry.value);
    if (FAILED(hr)) return hr;
  }
  return S_OK;
}

TypeNode NewNode(NodeKind kind, std::u16string name, std::u16string doc, REFGUID guid) {
  TypeNode node;
  node.kind = kind;
  node.name = std::move(name);
  node.doc = std::move(doc);
  node.guid = guid;
  return node;
}

class Builder {
 public:
  explicit Builder(LibraryIndex& lib) : lib_(lib) {}

  HRESULT Build(const TypeLibraryInfo* info) {
    if (!info || !info->name || !info->libid || (info->typeCount && !info->types)) return E_INVALIDARG;
    lib_.info = info;
    lib_.name = Utf16FromUtf8(info->name);
    lib_.doc = Utf16FromUtf8(info->doc ? info->doc : "");
    for (UINT i = 0; i < info->typeCount; ++i)
      if (HRESULT hr = AddListed(info->types[i]); FAILED(hr)) return hr;
    lib_.listedCount = static_cast<UINT>(lib_.nodes.size());
    for (UINT i = 0; i < info->typeCount; ++i)
      if (info->types[i].kind == TypeEntryKind::Interface && (info->types[i].interfaceInfo->flags & kInterfaceHidden))
        AddInterfaceNode(*TableOf(*info->types[i].interfaceInfo->iid), false);
    unknown_ = AddStandIn(u"IUnknown", IID_IUnknown, 3, false);
    dispatch_ = AddStandIn(u"IDispatch", IID_IDispatch, 7, true);
    AddTwins();
    for (auto& table : lib_.tables)
      if (HRESULT hr = LinkBase(*table, 0); FAILED(hr)) return hr;
    for (auto& table : lib_.tables)
      if (HRESULT hr = ResolveMembers(*table); FAILED(hr)) return hr;
    for (auto& table : lib_.tables) CollectAll(*table);
    return LinkImplementedTypes();
  }

 private:
  DispatchTable* TableOf(REFIID iid) {
    for (auto& table : lib_.tables)
      if (IsEqualIID(table->iid, iid)) return table.get();
    return nullptr;
  }

  int AddNode(TypeNode node, bool listed) {
    node.libraryIndex = listed ? static_cast<int>(lib_.nodes.size()) : -1;
    lib_.nodes.push_back(std::move(node));
    return static_cast<int>(lib_.nodes.size()) - 1;
  }

  HRESULT AddListed(const TypeEntry& entry) {
    switch (entry.kind) {
      case TypeEntryKind::Enum: return AddEnum(entry.enumInfo);
      case TypeEntryKind::Record: return AddRecord(entry.record);
      case TypeEntryKind::Interface: return AddInterface(entry.interfaceInfo);
      case TypeEntryKind::DispInterface: return AddDispInterface(entry.dispInterface);
      case TypeEntryKind::CoClass: return AddCoClass(entry.coclass);
    }
    return E_INVALIDARG;
  }

  HRESULT AddEnum(const EnumInfo* e) {
    if (!e || !e->name || !e->guid || (e->valueCount && !e->values)) return E_INVALIDARG;
    TypeNode node = NewNode(NodeKind::Enum, Utf16FromUtf8(e->name), Utf16FromUtf8(e->doc ? e->doc : ""), *e->guid);
    node.enumInfo = e;
    for (UINT i = 0; i < e->valueCount; ++i) node.varNames.push_back(Utf16FromUtf8(e->values[i].name));
    AddNode(std::move(node), true);
    return S_OK;
  }

  HRESULT AddRecord(const RecordTypeInfo* r) {
    if (!r || !r->name || !r->guid || (r->fieldCount && !r->fields)) return E_INVALIDARG;
    TypeNode node = NewNode(NodeKind::Record, Utf16FromUtf8(r->name), Utf16FromUtf8(r->doc ? r->doc : ""), *r->guid);
    node.record = r;
    for (UINT i = 0; i < r->fieldCount; ++i) {
      if (!r->fields[i].type || r->fields[i].offset + r->fields[i].type->size > r->size) return E_INVALIDARG;
      node.varNames.push_back(Utf16FromUtf8(r->fields[i].name));
    }
    AddNode(std::move(node), true);
    return S_OK;
  }

  DispatchTable& NewTable(const char* name, REFIID iid) {
    lib_.tables.push_back(std::make_unique<DispatchTable>());
    DispatchTable& table = *lib_.tables.back();
    table.name = Utf16FromUtf8(name);
    table.iid = iid;
    table.library = &lib_;
    return table;
  }

  int AddInterfaceNode(DispatchTable& table, bool listed) {
    const InterfaceInfo& info = *table.interfaceInfo;
    TypeNode node = NewNode(table.dual ? NodeKind::Dispatch : NodeKind::Interface, table.name,
                            Utf16FromUtf8(info.doc ? info.doc : ""), table.iid);
    node.table = &table;
    int index = AddNode(std::move(node), listed);
    table.primaryNode = index;
    if (!table.dual) table.interfaceNode = index;
    return index;
  }

  HRESULT AddInterface(const InterfaceInfo* info) {
    if (!info || !info->name || !info->iid || !info->base || (info->memberCount && !info->members)) return E_INVALIDARG;
    if (TableOf(*info->iid)) return E_INVALIDARG;
    DispatchTable& table = NewTable(info->name, *info->iid);
    table.interfaceInfo = info;
    table.dual = (info->flags & kInterfaceDual) != 0;
    table.vtableEnd = info->vtableFirst + info->memberCount;
    if (!(info->flags & kInterfaceHidden)) AddInterfaceNode(table, true);
    return S_OK;
  }

  HRESULT AddDispInterface(const DispInterfaceInfo* info) {
    if (!info || !info->name || !info->iid || (info->eventCount && !info->events)) return E_INVALIDARG;
    if (TableOf(*info->iid)) return E_INVALIDARG;
    DispatchTable& table = NewTable(info->name, *info->iid);
    table.dispInterface = info;
    table.dispatchOnly = true;
    table.derivesFromDispatch = true;
    TypeNode node = NewNode(NodeKind::Dispatch, table.name, Utf16FromUtf8(info->doc ? info->doc : ""), table.iid);
    node.table = &table;
    table.primaryNode = AddNode(std::move(node), true);
    return S_OK;
  }

  HRESULT AddCoClass(const CoClassInfo* info) {
    if (!info || !info->name || !info->clsid || (info->interfaceCount && !info->interfaces)) return E_INVALIDARG;
    TypeNode node =
        NewNode(NodeKind::CoClass, Utf16FromUtf8(info->name), Utf16FromUtf8(info->doc ? info->doc : ""), *info->clsid);
    node.coclass = info;
    AddNode(std::move(node), true);
    return S_OK;
  }

  // IUnknown and IDispatch, named so that hosts walking the bases find them; their own members
  // are not described.
  DispatchTable* AddStandIn(const char16_t* name, REFIID iid, UINT slots, bool isDispatch) {
    lib_.tables.push_back(std::make_unique<DispatchTable>());
    DispatchTable& table = *lib_.tables.back();
    table.name = name;
    table.iid = iid;
    table.library = &lib_;
    table.vtableEnd = slots;
    table.derivesFromDispatch = isDispatch;
    TypeNode node = NewNode(NodeKind::Interface, name, u"", iid);
    node.table = &table;
    table.primaryNode = table.interfaceNode = AddNode(std::move(node), false);
    return &table;
  }

  void AddTwins() {
    for (auto& table : lib_.tables) {
      if (!table->dual || table->primaryNode < 0) continue;
      TypeNode twin = lib_.nodes[table->primaryNode];
      twin.kind = NodeKind::Interface;
      int index = AddNode(std::move(twin), false);
      lib_.nodes[index].libraryIndex = lib_.nodes[table->primaryNode].libraryIndex;
      lib_.nodes[index].twin = table->primaryNode;
      lib_.nodes[table->primaryNode].twin = index;
      table->interfaceNode = index;
    }
  }

  HRESULT LinkBase(DispatchTable& table, int depth) {
    if (table.base || table.interfaceInfo == nullptr) {
      if (table.dispatchOnly) table.base = dispatch_;
      if (table.iid == IID_IDispatch) table.base = unknown_;
      return S_OK;
    }
    if (depth > 64) return E_INVALIDARG;  // a cycle of bases
    DispatchTable* base = TableOf(*table.interfaceInfo->base);
    if (!base || base == &table) return E_INVALIDARG;
    if (HRESULT hr = LinkBase(*base, depth + 1); FAILED(hr)) return hr;
    if (table.interfaceInfo->vtableFirst != base->vtableEnd) return E_INVALIDARG;
    table.base = base;
    table.derivesFromDispatch = base->derivesFromDispatch;
    if (table.dual && !table.derivesFromDispatch) return E_INVALIDARG;
    return S_OK;
  }

  HRESULT ResolveMembers(DispatchTable& table) {
    const MemberInfo* members = nullptr;
    UINT count = 0;
    UINT first = 0;
    if (table.interfaceInfo) {
      members = table.interfaceInfo->members;
      count = table.interfaceInfo->memberCount;
      first = table.interfaceInfo->vtableFirst;
    } else if (table.dispInterface) {
      members = table.dispInterface->events;
      count = table.dispInterface->eventCount;
    }
    table.own.resize(count);
    for (UINT i = 0; i < count; ++i) {
      if (!table.dispatchOnly && !members[i].thunk) return E_INVALIDARG;
      UINT slot = table.dispatchOnly ? 0 : first + i;
      if (HRESULT hr = ResolveMember(members[i], slot, table.own[i]); FAILED(hr)) return hr;
    }
    return S_OK;
  }

  // Members of the bases first, root first, then the table's own.
  static void CollectAll(DispatchTable& table) {
    std::vector<const DispatchTable*> chain;
    for (const DispatchTable* t = &table; t && chain.size() < 64; t = t->base) chain.push_back(t);
    for (auto it = chain.rbegin(); it != chain.rend(); ++it)
      for (const ResolvedMember& m : (*it)->own) table.all.push_back(&m);
  }

  HRESULT LinkImplementedTypes() {
    for (std::size_t i = 0; i < lib_.nodes.size(); ++i) {
      TypeNode& node = lib_.nodes[i];
      if (node.kind == NodeKind::Dispatch) {
        node.impl.push_back(dispatch_->primaryNode);
      } else if (node.kind == NodeKind::Interface && node.table->base) {
        node.impl.push_back(node.table->base->interfaceNode);
      } else if (node.kind == NodeKind::CoClass) {
        for (UINT k = 0; k < node.coclass->interfaceCount; ++k) {
          const IID* iid = node.coclass->interfaces[k].iid;
          DispatchTable* table = iid ? TableOf(*iid) : nullptr;
          if (!table) return E_INVALIDARG;
          node.impl.push_back(table->primaryNode);
        }
      }
    }
    return S_OK;
  }

  LibraryIndex& lib_;
  DispatchTable* unknown_ = nullptr;
  DispatchTable* dispatch_ = nullptr;
};

}  // namespace

const DispatchTable* LibraryIndex::FindTable(REFIID iid) const {
  for (const auto& table : tables)
    if (IsEqualIID(table->iid, iid) && (table->interfaceInfo || table->dispInterface)) return table.get();
  return nullptr;
}

int LibraryIndex::FindListed(REFGUID guid) const {
  for (UINT i = 0; i < listedCount; ++i)
    if (IsEqualGUID(nodes[i].guid, guid)) return static_cast<int>(i);
  return -1;
}

int LibraryIndex::ResolveUserType(const TypeDesc* type) const {
  if (!type || !type->guid) return -1;
  int node = FindListed(*type->guid);
  if (node < 0) return -1;
  NodeKind kind = nodes[node].kind;
  switch (type->cls) {
    case TypeClass::Enum: return kind == NodeKind::Enum ? node : -1;
    case TypeClass::Record: return kind == NodeKind::Record ? node : -1;
    case TypeClass::Interface: return kind == NodeKind::Dispatch || kind == NodeKind::Interface ? node : -1;
    default: return -1;
  }
}

std::shared_ptr<LibraryIndex> BuildLibraryIndex(const TypeLibraryInfo* info, HRESULT* hr) {
  auto library = std::make_shared<LibraryIndex>();
  *hr = Builder(*library).Build(info);
  if (FAILED(*hr)) return nullptr;
  return library;
}

}  // namespace kelmira::dispatch
