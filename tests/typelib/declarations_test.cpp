// The C++ face of the type library: member signatures, derivation, the record layout, the
// identities that kelmira.h declares and the vtable order hosts compile against.
#include "support/vtable_entry.h"

#include <kelmira/kelmira.h>

#include <gtest/gtest.h>

#include <cstddef>
#include <type_traits>
#include <vector>

namespace kelmira::test {
namespace {

template <class Base, class... Derived>
constexpr bool kAllDerive = ((std::is_base_of_v<Base, Derived> && !std::is_same_v<Base, Derived>)&&...);

template <auto member, class Signature>
constexpr bool kHas = std::is_same_v<decltype(member), Signature>;

// Derivation as hosts bind to it.
static_assert(kAllDerive<IGraphicsLayer, IBackgroundLayer, IGridLayer, ILineLayer, ILineLegendLayer, IContourLayer,
                         IPolarGridLayer, IPolarLayer>);
static_assert(kAllDerive<IAxis, IXAxis, IYAxis> && kAllDerive<IGraphicsContainer, IGraphicsContainerImpl>);
static_assert(kAllDerive<IGraphBase, ILineGraph> && kAllDerive<IDispatch, IGraphicsLayer, ITickLabelList>);
static_assert(!std::is_base_of_v<IGraphicsLayer, ILine> && !std::is_base_of_v<IAxis, IGraphBase>);

// COM layout: a vtable pointer and nothing else, no virtual destructor.
static_assert(sizeof(ILineGraph) == sizeof(void*) && !std::has_virtual_destructor_v<IAxis>);

// Signatures whose shape is easy to get wrong: raw pointers, indexed properties, put order,
// records by value, inherited members.
static_assert(kHas<&ILineData::put_Mask, HRESULT (ILineData::*)(LONG, LONG)>);
static_assert(kHas<&ILineData::GetDataPtrX, HRESULT (ILineData::*)(float**)>);
static_assert(kHas<&ILineData::GetMaskPtr, HRESULT (ILineData::*)(BYTE**)>);
static_assert(kHas<&ILineData::get_DataPtrXDouble, HRESULT (ILineData::*)(double**)>);
static_assert(kHas<&IMatrixData::put_Data, HRESULT (IMatrixData::*)(LONG, LONG, float)>);
static_assert(kHas<&IGraphicsContainer::get_Layers, HRESULT (IGraphicsContainer::*)(VARIANT, IGraphicsLayer**)>);
static_assert(kHas<&IGraphicsContainer::LogicalToScreen,
                   HRESULT (IGraphicsContainer::*)(double, double, LONG*, LONG*, VARIANT_BOOL*)>);
static_assert(kHas<&IGraphicsLayer::Redraw, HRESULT (IGraphicsLayer::*)(DrawLayerInfo)>);
static_assert(kHas<&ILineLayer::AddLine, HRESULT (ILineLayer::*)(BSTR, OLE_COLOR, LONG, ILine**)>);
static_assert(kHas<&IAxis::putref_Font, HRESULT (IAxis::*)(IFontDisp*)>);
static_assert(kHas<&IAxis::get_Window, HRESULT (IAxis::*)(LONG*)>);
static_assert(kHas<&IXAxis::get_step, HRESULT (IAxis::*)(double*)>);
static_assert(kHas<&IGraphBase::get_RightYAxis, HRESULT (IGraphBase::*)(IYAxis**)>);
static_assert(kHas<&IPolarGridLayer::SetGridParameters,
                   HRESULT (IPolarGridLayer::*)(double, OLE_COLOR, LONG, LONG, VARIANT_BOOL*)>);
static_assert(kHas<&IPolarLayer::put_MinValue, HRESULT (IPolarLayer::*)(float)>);
static_assert(kHas<&ITickLabelList::LabelAt, HRESULT (ITickLabelList::*)(VARIANT, VARIANT*)>);

// The record every layer receives by value.
static_assert(sizeof(DrawLayerInfo) == 56 && offsetof(DrawLayerInfo, bottom) == 16 &&
              offsetof(DrawLayerInfo, XScale) == 40 && offsetof(DrawLayerInfo, YScale) == 48);
static_assert(kUnknownEvent == 0 && kEventMouseClick == 1 && kEventMouseDown == 2 && kEventMouseUp == 3 &&
              kEventMouseMove == 4 && kEventMouseDblClick == 5);

static_assert(__uuidof(IXAxis) == IID_IXAxis && __uuidof(ITickLabelList*) == IID_ITickLabelList);

// The axes call a host's label list by vtable entry: LabelAt is entry 8, LabelCount 14 and
// HasLabel 17, counting QueryInterface as 1. A host compiled against another declaration order
// would receive the wrong calls, so the entries are checked on the real vtable.
TEST(TickLabelList, MembersFollowTheDispatchEntries) {
  // Known entries of the bases first: they show that the decoding itself is right.
  EXPECT_EQ((std::vector<std::size_t>{2, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17}),
            (std::vector{EntryOf(&IUnknown::AddRef), EntryOf(&IDispatch::Invoke), EntryOf(&ITickLabelList::LabelAt),
                         EntryOf(&ITickLabelList::SetLabel), EntryOf(&ITickLabelList::AddLabel),
                         EntryOf(&ITickLabelList::InsertLabel), EntryOf(&ITickLabelList::RemoveLabel),
                         EntryOf(&ITickLabelList::Clear), EntryOf(&ITickLabelList::LabelCount),
                         EntryOf(&ITickLabelList::SetLabelCount), EntryOf(&ITickLabelList::ClearLabel),
                         EntryOf(&ITickLabelList::HasLabel)}));
}

}  // namespace
}  // namespace kelmira::test
