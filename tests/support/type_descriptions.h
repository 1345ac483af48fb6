// Owners of the descriptions an ITypeInfo hands out, and the short texts the type information
// tests compare them with.
#pragma once

#include <kelmira/platform.h>

#include <gtest/gtest.h>

#include <string>
#include <type_traits>

namespace kelmira::test {

// A TYPEATTR, FUNCDESC (index: the function) or VARDESC (index: the variable), released with the
// type info that gave it.
template <class T>
class Described {
 public:
  explicit Described(ITypeInfo* info, UINT index = 0) : info_(info) {
    HRESULT hr = E_FAIL;
    if constexpr (std::is_same_v<T, TYPEATTR>) hr = info->GetTypeAttr(&desc_);
    if constexpr (std::is_same_v<T, FUNCDESC>) hr = info->GetFuncDesc(index, &desc_);
    if constexpr (std::is_same_v<T, VARDESC>) hr = info->GetVarDesc(index, &desc_);
    EXPECT_EQ(S_OK, hr) << "index " << index;
  }
  ~Described() {
    if (!desc_) return;
    if constexpr (std::is_same_v<T, TYPEATTR>) info_->ReleaseTypeAttr(desc_);
    if constexpr (std::is_same_v<T, FUNCDESC>) info_->ReleaseFuncDesc(desc_);
    if constexpr (std::is_same_v<T, VARDESC>) info_->ReleaseVarDesc(desc_);
  }
  Described(const Described&) = delete;
  Described& operator=(const Described&) = delete;
  const T* operator->() const { return desc_; }

 private:
  ComPtr<ITypeInfo> info_;
  T* desc_ = nullptr;
};
using AttrOf = Described<TYPEATTR>;
using FuncOf = Described<FUNCDESC>;
using VarOf = Described<VARDESC>;

// The name of the type (MEMBERID_NIL) or of one of its members; "?" when there is none.
std::u16string NameOf(ITypeInfo* info, MEMBERID memid = MEMBERID_NIL);
ComPtr<ITypeInfo> RefOf(ITypeInfo* info, HREFTYPE href);
// The type info of implemented type `index` (UINT(-1): the vtable view of a dual interface).
ComPtr<ITypeInfo> ImplOf(ITypeInfo* info, UINT index);

// A type as "kind Name", then its counts of functions, variables, implemented types and vtable
// slots where they are not 0, a record's size and the type flags:
// "dispatch ITestThing funcs 19 impls 1 slots 7 dual oleauto dispatchable".
std::string Summary(ITypeInfo* info);
// A coclass's or interface's implemented types with their flags: "ITestThing default, ITestBase".
std::string Implemented(ITypeInfo* info);

// Function `index` as "memid kind Name(parameters) result", each parameter with its flags and
// default, "optional N" at the end when it has N optional VARIANT parameters:
// "0x25 dispatch func Scale(in R8, in opt =3 I4, in opt =7 eTestShape) void".
std::string Signature(ITypeInfo* info, UINT index);
// The index of the function with this member id and kind.
UINT FuncIndex(ITypeInfo* info, MEMBERID memid, INVOKEKIND kind);

}  // namespace kelmira::test
