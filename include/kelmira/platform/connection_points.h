// Event sources: connection points, the container helper a component embeds, raising an event to
// every connected sink, and AtlAdvise/AtlUnadvise.
//
// A component that raises events derives from ConnectionPointContainerImpl, lists
// IConnectionPointContainer in its interface table and adds one point per outgoing interface in
// FinalConstruct:
//
//   class Axis : public IXAxis, public kelmira::ConnectionPointContainerImpl {
//    public:
//     using Interfaces = kelmira::InterfaceTable<IXAxis, ..., IConnectionPointContainer>;
//     HRESULT FinalConstruct() { return AddConnectionPoint(DIID_IAxisEvents, kelmira::SinkKind::Dispatch); }
//     void Changed() { kelmira::FireEvent(ConnectionPointFor(DIID_IAxisEvents), 3, pAxis, 1.0, 2.0, 3.0); }
//   };
//
// Lifetime: the container holds each of its points with a counted reference; a point's
// back-reference to its container is not counted, so no cycle keeps a source alive. When the
// container goes, its points let go of every sink and forget the container: a client that still
// holds a point gets E_UNEXPECTED from GetConnectionPointContainer and Advise, and
// CONNECT_E_NOCONNECTION from Unadvise.
//
// Raising calls the sinks of a snapshot taken when the raising starts, in connection order. A
// sink unadvised (by itself or by another sink) before its turn is skipped; a sink advised during
// the raising is first called by the next raising.
#pragma once

#include <kelmira/platform/com_object.h>
#include <kelmira/platform/ocidl.h>

#include <cstddef>
#include <initializer_list>
#include <map>
#include <vector>

namespace kelmira {

// What Advise asks a new sink for.
enum class SinkKind {
  Interface,  // the point's interface only
  Dispatch,   // the point's dispinterface, or else IDispatch
};

// A connection point for one outgoing interface. Made by ConnectionPointContainerImpl.
class KELMIRA_API ConnectionPoint : public IConnectionPoint {
 public:
  using Interfaces = InterfaceTable<IConnectionPoint>;
  static constexpr bool kAggregatable = false;

  struct Connection {
    DWORD cookie;
    ComPtr<IUnknown> sink;  // the interface Advise obtained from the sink
  };

  static HRESULT Create(REFIID iid, SinkKind kind, IConnectionPointContainer* container, ComPtr<ConnectionPoint>* out);

  HRESULT STDMETHODCALLTYPE GetConnectionInterface(IID* pIID) override;
  HRESULT STDMETHODCALLTYPE GetConnectionPointContainer(IConnectionPointContainer** ppCPC) override;
  // Cookies count up from 1 and are never reused; CONNECT_E_ADVISELIMIT once they run out.
  HRESULT STDMETHODCALLTYPE Advise(IUnknown* pUnkSink, DWORD* pdwCookie) override;
  HRESULT STDMETHODCALLTYPE Unadvise(DWORD dwCookie) override;
  // Enumerates a snapshot of the connections in connection order.
  HRESULT STDMETHODCALLTYPE EnumConnections(IEnumConnections** ppEnum) override;

  REFIID Iid() const { return iid_; }
  SinkKind Kind() const { return kind_; }
  // The connections now, in connection order; the sinks are referenced by the copy.
  std::vector<Connection> Connections() const;
  bool IsConnected(DWORD cookie) const { return sinks_.count(cookie) != 0; }
  std::size_t ConnectionCount() const { return sinks_.size(); }
  // Called by the container as it goes: forgets it and releases every sink.
  void DetachContainer();

 protected:
  ConnectionPoint(REFIID iid, SinkKind kind, IConnectionPointContainer* container);
  ~ConnectionPoint();

 private:
  IID iid_;
  SinkKind kind_;
  IConnectionPointContainer* container_;     // not counted; null once the container is gone
  std::map<DWORD, ComPtr<IUnknown>> sinks_;  // cookies grow, so key order is connection order
  DWORD nextCookie_ = 1;
};

// IConnectionPointContainer for a component that derives from it. The IUnknown methods come from
// the component's Object<T>.
class KELMIRA_API ConnectionPointContainerImpl : public IConnectionPointContainer {
 public:
  HRESULT STDMETHODCALLTYPE EnumConnectionPoints(IEnumConnectionPoints** ppEnum) override;
  // CONNECT_E_NOCONNECTION for an interface without a point.
  HRESULT STDMETHODCALLTYPE FindConnectionPoint(REFIID riid, IConnectionPoint** ppCP) override;

  // The point for iid, or null; no reference is added.
  ConnectionPoint* ConnectionPointFor(REFIID iid) const;

  ConnectionPointContainerImpl(const ConnectionPointContainerImpl&) = delete;
  ConnectionPointContainerImpl& operator=(const ConnectionPointContainerImpl&) = delete;

 protected:
  ConnectionPointContainerImpl();
  ~ConnectionPointContainerImpl();

  // Adds a point; EnumConnectionPoints lists them in the order added. E_INVALIDARG if iid
  // already has one.
  HRESULT AddConnectionPoint(REFIID iid, SinkKind kind);

 private:
  std::vector<ComPtr<ConnectionPoint>> points_;
};

// Raises an event: IDispatch::Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD) on every
// sink with the arguments, given in declaration order, placed last-first in rgvarg; no named
// arguments, no result. The arguments are lent, not owned. What sinks return is ignored. A sink of
// an Interface-kind point is asked for IDispatch and skipped without it. Returns S_OK, or
// E_POINTER for a null point.
KELMIRA_API HRESULT FireEventArgv(ConnectionPoint* point, DISPID id, const VARIANT* args, std::size_t count);
KELMIRA_API HRESULT FireEvent(ConnectionPoint* point, DISPID id, std::initializer_list<VARIANT> args);

// Event arguments from plain values (lent to the sinks, never freed here).
inline VARIANT MakeEventArg(LONG v) {
  VARIANT r{};
  r.vt = VT_I4;
  r.lVal = v;
  return r;
}
inline VARIANT MakeEventArg(ULONG v) {
  VARIANT r{};
  r.vt = VT_UI4;
  r.ulVal = v;
  return r;
}
inline VARIANT MakeEventArg(bool v) {
  VARIANT r{};
  r.vt = VT_BOOL;
  r.boolVal = v ? VARIANT_TRUE : VARIANT_FALSE;
  return r;
}
inline VARIANT MakeEventArg(float v) {
  VARIANT r{};
  r.vt = VT_R4;
  r.fltVal = v;
  return r;
}
inline VARIANT MakeEventArg(double v) {
  VARIANT r{};
  r.vt = VT_R8;
  r.dblVal = v;
  return r;
}
inline VARIANT MakeEventArg(IDispatch* v) {
  VARIANT r{};
  r.vt = VT_DISPATCH;
  r.pdispVal = v;
  return r;
}
inline VARIANT MakeEventArg(IUnknown* v) {
  VARIANT r{};
  r.vt = VT_UNKNOWN;
  r.punkVal = v;
  return r;
}
inline VARIANT MakeEventArg(BSTR v) {
  VARIANT r{};
  r.vt = VT_BSTR;
  r.bstrVal = v;
  return r;
}
inline VARIANT MakeEventArg(const VARIANT& v) { return v; }

// Calls f(I*) for each sink of a snapshot taken now, skipping those unadvised before their turn.
// For points whose sinks answered interface I.
template <class I, class F>
void ForEachSink(ConnectionPoint* point, F&& f) {
  if (!point) return;
  const auto snapshot = point->Connections();
  for (const auto& connection : snapshot)
    if (point->IsConnected(connection.cookie)) f(static_cast<I*>(connection.sink.get()));
}

// FireEvent(point, id, a, b, c) with a, b, c converted by MakeEventArg.
// clang-format off
template <class... A>
  requires(sizeof...(A) > 0)
HRESULT FireEvent(ConnectionPoint* point, DISPID id, const A&... args) {
  // clang-format on
  const VARIANT argv[] = {MakeEventArg(args)...};
  return FireEventArgv(point, id, argv, sizeof...(A));
}

}  // namespace kelmira

// Connects sink to source's connection point for iid and returns the cookie. E_INVALIDARG for a
// null source or sink, E_POINTER for a null cookie; otherwise what FindConnectionPoint or Advise
// answers.
KELMIRA_EXTERN_C HRESULT AtlAdvise(IUnknown* pUnkCP, IUnknown* pUnk, REFIID iid, DWORD* pdw);
// Disconnects the connection `dw` from source's connection point for iid.
KELMIRA_EXTERN_C HRESULT AtlUnadvise(IUnknown* pUnkCP, REFIID iid, DWORD dw);
