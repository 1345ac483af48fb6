// The C++ face of the type library: member signatures, derivation, the record layout and the
// identities that kelmira.h declares.
#include <kelmira/kelmira.h>

#include <cstddef>
#include <type_traits>

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

}  // namespace
