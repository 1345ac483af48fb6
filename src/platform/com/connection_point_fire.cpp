// Raising an event to every sink of a point.
#include <kelmira/platform/connection_points.h>
#include <kelmira/platform/guarded.h>

#include <vector>

namespace kelmira {
namespace {

// The sink's IDispatch, with a reference of its own; null if it has none.
ComPtr<IDispatch> DispatchOf(const ConnectionPoint& point, IUnknown* sink) {
  // A dispinterface sink answered the point's interface or IDispatch: either is an IDispatch.
  if (point.Kind() == SinkKind::Dispatch) return ComPtr<IDispatch>(static_cast<IDispatch*>(sink));
  ComPtr<IDispatch> disp;
  sink->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&disp));
  return disp;
}

void InvokeSink(IDispatch* sink, DISPID id, const std::vector<VARIANT>& reversed) {
  // Each sink gets its own copy of the argument array, so one that scribbles on it cannot
  // change what the next one sees.
  std::vector<VARIANT> argv = reversed;
  DISPPARAMS params{argv.empty() ? nullptr : argv.data(), nullptr, static_cast<UINT>(argv.size()), 0};
  // A sink's failure never stops the raising.
  (void)Guarded([&] {
    return sink->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, nullptr, nullptr, nullptr);
  });
}

}  // namespace

HRESULT FireEventArgv(ConnectionPoint* point, DISPID id, const VARIANT* args, std::size_t count) {
  if (!point) return E_POINTER;
  if (count && !args) return E_POINTER;
  return Guarded([&] {
    std::vector<VARIANT> reversed(count);
    for (std::size_t i = 0; i < count; ++i) reversed[count - 1 - i] = args[i];
    // The snapshot holds every sink alive through the raising, even one unadvised meanwhile.
    const auto snapshot = point->Connections();
    for (const auto& connection : snapshot) {
      if (!point->IsConnected(connection.cookie)) continue;
      ComPtr<IDispatch> disp = DispatchOf(*point, connection.sink.get());
      if (disp) InvokeSink(disp.get(), id, reversed);
    }
  });
}

HRESULT FireEvent(ConnectionPoint* point, DISPID id, std::initializer_list<VARIANT> args) {
  return FireEventArgv(point, id, args.begin(), args.size());
}

}  // namespace kelmira
