// A registered type library as the engine uses it: the plain tables of dispatch_impl.h resolved
// once at registration (parameter names parsed, defaults converted, bases and user-defined types
// linked, every type given a node that an ITypeInfo can stand for).
#pragma once

#include <kelmira/platform/dispatch_impl.h>

#include <memory>
#include <string>
#include <vector>

namespace kelmira {

namespace dispatch {

// Members take at most this many parameters, so a call needs no heap.
inline constexpr UINT kMaxParams = 32;
// Memory ids of enumeration constants and record fields.
inline constexpr MEMBERID kFirstVarId = 0x40000000;

struct ResolvedParam {
  std::u16string name;
  const TypeDesc* type = nullptr;
  bool out = false;
  bool retval = false;
  bool optional = false;
  bool hasDefault = false;
  Variant defaultValue;
};

struct ResolvedMember {
  const MemberInfo* info = nullptr;
  std::u16string name;
  std::vector<ResolvedParam> params;  // every C++ parameter, retval included
  UINT dispatchCount = 0;             // parameters seen through IDispatch: all but the retval
  UINT vtableSlot = 0;                // 0 for events
};

enum class NodeKind : BYTE { Enum, Record, Dispatch, Interface, CoClass };

class LibraryIndex;

// One type as an ITypeInfo shows it.
struct TypeNode {
  NodeKind kind = NodeKind::Enum;
  std::u16string name;
  std::u16string doc;
  GUID guid{};
  int libraryIndex = -1;  // position in ITypeLib, -1 when not listed
  const EnumInfo* enumInfo = nullptr;
  const RecordTypeInfo* record = nullptr;
  const DispatchTable* table = nullptr;  // Dispatch and Interface nodes
  const CoClassInfo* coclass = nullptr;
  int twin = -1;          // the other view of a dual interface
  std::vector<int> impl;  // nodes behind GetRefTypeOfImplType(0..)
  std::vector<std::u16string> varNames;
};

}  // namespace dispatch

// An interface or event interface with its members, own and inherited.
class DispatchTable {
 public:
  std::u16string name;
  IID iid{};
  const InterfaceInfo* interfaceInfo = nullptr;  // null for event interfaces and stand-ins
  const DispInterfaceInfo* dispInterface = nullptr;
  bool dual = false;
  bool dispatchOnly = false;  // an event interface: no vtable to call
  bool derivesFromDispatch = false;
  UINT vtableEnd = 0;  // slots including the bases'
  const DispatchTable* base = nullptr;
  std::vector<dispatch::ResolvedMember> own;
  std::vector<const dispatch::ResolvedMember*> all;  // base members first
  dispatch::LibraryIndex* library = nullptr;
  int primaryNode = -1;    // the type info GetTypeInfo answers with
  int interfaceNode = -1;  // the vtable view, -1 for event interfaces
};

namespace dispatch {

class LibraryIndex : public std::enable_shared_from_this<LibraryIndex> {
 public:
  const TypeLibraryInfo* info = nullptr;
  std::u16string name;
  std::u16string doc;
  std::string modulePath;       // the binary that holds the tables
  std::vector<TypeNode> nodes;  // the listed types first, in library order
  UINT listedCount = 0;
  std::vector<std::unique_ptr<DispatchTable>> tables;

  const DispatchTable* FindTable(REFIID iid) const;
  // The listed node of a GUID, or -1.
  int FindListed(REFGUID guid) const;
  // The node a user-defined parameter type refers to (enum, record, interface), or -1.
  int ResolveUserType(const TypeDesc* type) const;
};

// Resolves tables; null with *hr set when they are inconsistent.
std::shared_ptr<LibraryIndex> BuildLibraryIndex(const TypeLibraryInfo* info, HRESULT* hr);

// The process-wide registry.
std::vector<std::shared_ptr<LibraryIndex>> RegisteredLibraries();
std::shared_ptr<LibraryIndex> FindRegisteredLibrary(REFGUID libid, WORD major, WORD minor);

// The engine, shared by DispatchImpl and ITypeInfo::Invoke / GetIDsOfNames.
HRESULT InvokeTable(const DispatchTable& table, void* self, DISPID id, WORD flags, DISPPARAMS* params, VARIANT* result,
                    EXCEPINFO* excepInfo, UINT* argErr);
HRESULT NamesToIds(const DispatchTable& table, LPOLESTR* names, UINT count, DISPID* ids);

// Type information objects.
HRESULT MakeTypeInfo(const std::shared_ptr<LibraryIndex>& library, int node, ITypeInfo** out);
HRESULT MakeTypeLib(const std::shared_ptr<LibraryIndex>& library, ITypeLib** out);
HRESULT MakeRecordInfo(const std::shared_ptr<LibraryIndex>& library, int node, IRecordInfo** out);

// Descriptions handed to callers (CoTaskMemAlloc blocks, freed by the Release functions).
TYPEATTR* BuildTypeAttr(const LibraryIndex& library, const TypeNode& node);
FUNCDESC* BuildFuncDesc(const LibraryIndex& library, const ResolvedMember& member, bool dispatchView);
void FreeFuncDesc(FUNCDESC* desc);
VARDESC* BuildVarDesc(const LibraryIndex& library, const TypeNode& node, UINT index);
void FreeVarDesc(VARDESC* desc);

// Record fields as variants, for IRecordInfo.
HRESULT FieldToVariant(const TypeDesc* type, const void* field, VARIANT* out);
HRESULT VariantToField(const TypeDesc* type, const VARIANT* value, void* field);
void ClearField(const TypeDesc* type, void* field);
HRESULT CopyField(const TypeDesc* type, const void* from, void* to);

}  // namespace dispatch
}  // namespace kelmira
