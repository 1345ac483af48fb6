// Connection points: advising, raising in connection order, changes made by sinks while an event
// is raised, enumerators, lifetime and AtlAdvise/AtlUnadvise.
#include "event_sink.h"

#include <gtest/gtest.h>

using kelmira::ComPtr;
using kelmira::ConnectionPoint;

namespace {

// Each call as "sink id(arguments)", arguments in parameter order; anything other than a plain
// method call without named arguments or result shows as a mark.
std::vector<std::string> Calls(const std::vector<SinkCall>& log) {
  std::vector<std::string> out;
  for (const SinkCall& call : log) {
    std::string text = call.sink + " " + std::to_string(call.id) + "(";
    for (auto arg = call.args.rbegin(); arg != call.args.rend(); ++arg) {
      kelmira::Variant shown;
      VariantChangeType(&shown, &*arg, 0, VT_BSTR);
      const std::u16string value(shown.bstrVal, SysStringLen(shown.bstrVal));
      text += (arg == call.args.rbegin() ? "" : ", ") + std::to_string(arg->vt) + ":";
      text += std::string(value.begin(), value.end());
    }
    text += ")";
    if (call.riid != IID_NULL || call.lcid != LOCALE_USER_DEFAULT) text += " !context";
    if (call.flags != DISPATCH_METHOD || call.namedArgs || call.wantsResult) text += " !call";
    out.push_back(text);
  }
  return out;
}

using Texts = std::vector<std::string>;

// A source with its dispinterface point, and the log its sinks write to.
class ConnectionPoints : public ::testing::Test {
 protected:
  std::vector<SinkCall> log;
  ComPtr<kelmira::Object<Source>> source = MakeSource();
  ConnectionPoint* point = source->Events();
};

DWORD Advise(ConnectionPoint* point, IUnknown* sink) {
  DWORD cookie = 0;
  EXPECT_EQ(point->Advise(sink, &cookie), S_OK);
  return cookie;
}

// A failing sink (a) and a throwing one (b) do not stop the raising.
TEST_F(ConnectionPoints, RaisesToEverySinkInConnectionOrderWithArgumentsLastFirst) {
  auto a = Sink::Make("a", &log), b = Sink::Make("b", &log), c = Sink::Make("c", &log);
  a->answer = E_FAIL;
  b->throws = true;
  Advise(point, b.get());
  Advise(point, a.get());
  Advise(point, c.get());

  EXPECT_EQ(kelmira::FireEvent(point, 7, LONG(1), 2.5, LONG(3)), S_OK);

  // VT_I4 is 3, VT_R8 5.
  EXPECT_EQ(Calls(log), (Texts{"b 7(3:1, 5:2.5, 3:3)", "a 7(3:1, 5:2.5, 3:3)", "c 7(3:1, 5:2.5, 3:3)"}));

  log.clear();
  EXPECT_EQ(kelmira::FireEvent(point, 3, {}), S_OK);
  EXPECT_EQ(Calls(log), (Texts{"b 3()", "a 3()", "c 3()"}));
  EXPECT_EQ(kelmira::FireEvent(nullptr, 3, {}), E_POINTER);
}

TEST_F(ConnectionPoints, SinksUnadvisedDuringRaisingAreSkippedAndStayAliveUntilTheirCallReturns) {
  auto a = Sink::Make("a", &log), b = Sink::Make("b", &log), c = Sink::Make("c", &log), d = Sink::Make("d", &log);
  DWORD ca = Advise(point, a.get());
  Advise(point, b.get());
  DWORD cc = Advise(point, c.get());
  Advise(point, d.get());
  bool aGone = false, cGone = false;
  a->destroyed = &aGone;
  c->destroyed = &cGone;
  // a removes itself and c; afterwards the point held the only references to both.
  a->onInvoke = [&] {
    EXPECT_EQ(point->Unadvise(ca), S_OK);
    EXPECT_EQ(point->Unadvise(cc), S_OK);
  };
  a.Reset();
  c.Reset();

  kelmira::FireEvent(point, 1, {});

  EXPECT_EQ(Calls(log), (Texts{"a 1()", "b 1()", "d 1()"}));
  EXPECT_TRUE(aGone);
  EXPECT_TRUE(cGone);
  EXPECT_EQ(point->ConnectionCount(), 2u);
}

TEST_F(ConnectionPoints, SinkAdvisedDuringRaisingIsFirstCalledByTheNextRaising) {
  auto a = Sink::Make("a", &log), b = Sink::Make("b", &log), late = Sink::Make("late", &log);
  Advise(point, a.get());
  Advise(point, b.get());
  a->onInvoke = [&] {
    DWORD cookie = 0;
    EXPECT_EQ(point->Advise(late.get(), &cookie), S_OK);
    a->onInvoke = nullptr;
  };
  kelmira::FireEvent(point, 1, {});
  EXPECT_EQ(Calls(log), (Texts{"a 1()", "b 1()"}));
  log.clear();
  kelmira::FireEvent(point, 1, {});
  EXPECT_EQ(Calls(log), (Texts{"a 1()", "b 1()", "late 1()"}));
}

TEST_F(ConnectionPoints, AdviseAsksForTheInterfaceAndHandsOutFreshCookies) {
  auto sink = Sink::Make("s", &log);

  DWORD first = Advise(point, sink.get());
  DWORD second = Advise(point, sink.get());  // the same sink twice is two connections
  EXPECT_NE(first, 0u);
  EXPECT_NE(first, second);
  EXPECT_EQ(point->Unadvise(first), S_OK);
  DWORD third = Advise(point, sink.get());
  EXPECT_NE(third, first);
  EXPECT_NE(third, second);
  EXPECT_EQ(point->Unadvise(first), CONNECT_E_NOCONNECTION);
  EXPECT_EQ(point->Unadvise(0), CONNECT_E_NOCONNECTION);
  EXPECT_EQ(point->Unadvise(12345), CONNECT_E_NOCONNECTION);

  // A dispinterface point takes a sink that only answers IDispatch; an ordinary one does not.
  sink->answersEvents = false;
  DWORD cookie = 99;
  EXPECT_EQ(point->Advise(sink.get(), &cookie), S_OK);
  ComPtr<IConnectionPoint> notify;
  ASSERT_EQ(source->FindConnectionPoint(IID_IPropertyNotifySink, &notify), S_OK);
  EXPECT_EQ(notify->Advise(sink.get(), &cookie), CONNECT_E_CANNOTCONNECT);
  EXPECT_EQ(cookie, 0u);
  EXPECT_EQ(notify->Advise(nullptr, &cookie), E_POINTER);
  EXPECT_EQ(notify->Advise(sink.get(), nullptr), E_POINTER);
}

TEST_F(ConnectionPoints, FindsPointsByInterfaceAndListsThemInOrder) {
  ComPtr<IConnectionPoint> found;
  EXPECT_EQ(source->FindConnectionPoint(IID_IOtherEvents, &found), CONNECT_E_NOCONNECTION);
  EXPECT_FALSE(found);
  EXPECT_EQ(source->FindConnectionPoint(IID_ITestEvents, nullptr), E_POINTER);
  EXPECT_EQ(source->AddConnectionPoint(IID_ITestEvents, kelmira::SinkKind::Dispatch), E_INVALIDARG);
  ASSERT_EQ(source->FindConnectionPoint(IID_ITestEvents, &found), S_OK);

  IID iid{};
  EXPECT_EQ(found->GetConnectionInterface(&iid), S_OK);
  EXPECT_EQ(iid, IID_ITestEvents);
  ComPtr<IConnectionPointContainer> back;
  ASSERT_EQ(found->GetConnectionPointContainer(&back), S_OK);
  EXPECT_EQ(back.get(), static_cast<IConnectionPointContainer*>(source.get()));

  ComPtr<IEnumConnectionPoints> all;
  ASSERT_EQ(source->EnumConnectionPoints(&all), S_OK);
  IConnectionPoint* got[3] = {};
  ULONG fetched = 0;
  EXPECT_EQ(all->Next(3, got, &fetched), S_FALSE);
  ASSERT_EQ(fetched, 2u);
  IID second{};
  got[1]->GetConnectionInterface(&second);
  EXPECT_EQ(std::pair(got[0], second), std::pair(found.get(), IID_IPropertyNotifySink));
  for (ULONG i = 0; i < fetched; ++i) got[i]->Release();
}

TEST_F(ConnectionPoints, WalksASnapshotWithNextSkipResetAndClone) {
  auto a = Sink::Make("a", &log), b = Sink::Make("b", &log), c = Sink::Make("c", &log);
  DWORD cookies[] = {Advise(point, a.get()), Advise(point, b.get()), Advise(point, c.get())};

  ComPtr<IEnumConnections> e;
  ASSERT_EQ(point->EnumConnections(&e), S_OK);
  point->Unadvise(cookies[1]);  // the enumerator keeps its snapshot

  CONNECTDATA cd[4] = {};
  ULONG n = 0;
  EXPECT_EQ(e->Next(1, cd, nullptr), S_OK);
  EXPECT_EQ(std::pair(cd[0].dwCookie, cd[0].pUnk),
            std::pair(cookies[0], static_cast<IUnknown*>(static_cast<IDispatch*>(a.get()))));
  cd[0].pUnk->Release();

  ComPtr<IEnumConnections> clone;
  ASSERT_EQ(e->Clone(&clone), S_OK);
  EXPECT_EQ(e->Next(4, cd, &n), S_FALSE);
  ASSERT_EQ(n, 2u);
  EXPECT_EQ(std::pair(cd[0].dwCookie, cd[1].dwCookie), std::pair(cookies[1], cookies[2]));
  for (ULONG i = 0; i < n; ++i) cd[i].pUnk->Release();
  EXPECT_EQ(e->Next(1, cd, &n), S_FALSE);
  EXPECT_EQ(n, 0u);

  // The clone kept the position it was made at.
  EXPECT_EQ(clone->Skip(1), S_OK);
  EXPECT_EQ(clone->Next(1, cd, &n), S_OK);
  EXPECT_EQ(cd[0].dwCookie, cookies[2]);
  cd[0].pUnk->Release();
  EXPECT_EQ(clone->Skip(1), S_FALSE);
  EXPECT_EQ(clone->Reset(), S_OK);
  EXPECT_EQ(clone->Skip(3), S_OK);
  EXPECT_EQ(clone->Reset(), S_OK);
  EXPECT_EQ(clone->Skip(4), S_FALSE);

  EXPECT_EQ(e->Next(2, cd, nullptr), E_POINTER);
  EXPECT_EQ(e->Clone(nullptr), E_POINTER);
}

TEST_F(ConnectionPoints, DoesNotKeepItsContainerAlive) {
  bool sourceGone = false, sinkGone = false;
  source->destroyed = &sourceGone;
  ComPtr<IConnectionPoint> held;
  ASSERT_EQ(source->FindConnectionPoint(IID_ITestEvents, &held), S_OK);
  {
    auto sink = Sink::Make("s", &log);
    sink->destroyed = &sinkGone;
    DWORD cookie = 0;
    ASSERT_EQ(held->Advise(sink.get(), &cookie), S_OK);
  }

  source.Reset();
  EXPECT_TRUE(sourceGone && sinkGone);  // the sink is let go with the container

  ComPtr<IConnectionPointContainer> back;
  EXPECT_EQ(held->GetConnectionPointContainer(&back), E_UNEXPECTED);
  EXPECT_FALSE(back);
  auto late = Sink::Make("late", &log);
  DWORD cookie = 7;
  EXPECT_EQ(held->Advise(late.get(), &cookie), E_UNEXPECTED);
  EXPECT_EQ(cookie, 0u);
  EXPECT_EQ(held->Unadvise(1), CONNECT_E_NOCONNECTION);
}

TEST_F(ConnectionPoints, ConnectsAndDisconnectsThroughTheSourcesContainer) {
  auto sink = Sink::Make("s", &log);
  IUnknown* src = static_cast<IConnectionPointContainer*>(source.get());

  DWORD cookie = 0;
  ASSERT_EQ(AtlAdvise(src, sink.get(), IID_ITestEvents, &cookie), S_OK);
  EXPECT_NE(cookie, 0u);
  kelmira::FireEvent(point, 5, {});
  EXPECT_EQ(log.size(), 1u);
  EXPECT_EQ(AtlUnadvise(src, IID_ITestEvents, cookie), S_OK);
  EXPECT_EQ(AtlUnadvise(src, IID_ITestEvents, cookie), CONNECT_E_NOCONNECTION);
  EXPECT_EQ(point->ConnectionCount(), 0u);

  EXPECT_EQ(AtlAdvise(src, sink.get(), IID_IOtherEvents, &cookie), CONNECT_E_NOCONNECTION);
  EXPECT_EQ(AtlAdvise(nullptr, sink.get(), IID_ITestEvents, &cookie), E_INVALIDARG);
  EXPECT_EQ(AtlAdvise(src, nullptr, IID_ITestEvents, &cookie), E_INVALIDARG);
  EXPECT_EQ(AtlAdvise(src, sink.get(), IID_ITestEvents, nullptr), E_POINTER);
  EXPECT_EQ(AtlUnadvise(nullptr, IID_ITestEvents, 1), E_INVALIDARG);
  // A source without connection points.
  EXPECT_EQ(AtlAdvise(sink.get(), sink.get(), IID_ITestEvents, &cookie), E_NOINTERFACE);
}

}  // namespace
