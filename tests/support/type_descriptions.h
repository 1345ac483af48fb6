// Owners of the descriptions an ITypeInfo hands out, and the short texts the type information
// tests compare them with.
#pragma once

#include <kelmira/platform.h>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

namespace kelmira::test {

// A TYPEATTR, FUNCDESC (index: the function) or VARDESC (index: the variable), released with the
// type info that gave it.
template <class T>
using Described = std::unique_ptr<T, std::function<void(T*)>>;
Described<TYPEATTR> AttrOf(ITypeInfo* info);
Described<FUNCDESC> FuncOf(ITypeInfo* info, UINT index);
Described<VARDESC> VarOf(ITypeInfo* info, UINT index);

// The name of the type (MEMBERID_NIL) or of one of its members; "?" when there is none.
std::string NameOf(ITypeInfo* info, MEMBERID memid = MEMBERID_NIL);
ComPtr<ITypeInfo> RefOf(ITypeInfo* info, HREFTYPE href);
// The type info of implemented type `index` (UINT(-1): the vtable view of a dual interface).
ComPtr<ITypeInfo> ImplOf(ITypeInfo* info, UINT index);

// A type as "kind Name", then its counts of functions, variables and vtable slots where they
// are not 0, a record's size, the type flags and the implemented types with theirs:
// "dispatch ITestThing funcs 19 slots 7 dual oleauto dispatchable: IDispatch",
// "coclass TestThing cancreate control: ITestThing default, ITestBase, _ITestEvents default source".
std::string Summary(ITypeInfo* info);

// Function `index` as "memid kind Name(parameters) result", each parameter with its flags and
// default, "optional N" at the end when it has N optional VARIANT parameters:
// "0x25 dispatch func Scale(in R8, in opt =3 I4, in opt =7 eTestShape) void".
std::string Signature(ITypeInfo* info, UINT index);

}  // namespace kelmira::test
