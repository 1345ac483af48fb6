// Connection points: advising, raising in connection order, changes made by sinks while an event
// is raised, enumerators, lifetime and AtlAdvise/AtlUnadvise.
#include "support/event_recorder.h"
#include "support/event_source.h"

#include <string>
#include <tuple>

namespace kelmira::test {
namespace {

using ConnectionPoints = EventSourceTest;
using Texts = std::vector<std::string>;
using Hrs = std::vector<HRESULT>;

// Each call as "sink id(vt:value, ...)", arguments in parameter order, marked unless plain.
Texts Shown(const std::vector<EventCall>& log) {
  Texts out;
  for (const EventCall& call : log) {
    std::string text = call.sink + " " + std::to_string(call.id) + "(";
    for (auto arg = call.args.rbegin(); arg != call.args.rend(); ++arg) {
      Variant shown;
      VariantChangeType(&shown, &*arg, 0, VT_BSTR);
      text += (arg == call.args.rbegin() ? "" : ", ") + std::to_string(arg->vt) + ":" +
              std::string(shown.bstrVal, shown.bstrVal + SysStringLen(shown.bstrVal));
    }
    out.push_back(text + (call.plain ? ")" : ") !call"));
  }
  return out;
}

// In connection order (b first), arguments last first; a failing sink (a) and a throwing one (b)
// do not stop the raising. a removes itself and c and advises `late`, which shows in the next
// raising; the point held the only references to a and c, which live until their call returns.
TEST_F(ConnectionPoints, RaisesToEverySinkInOrderAndChangesMadeMeanwhileShowInTheNext) {
  auto a = Recorder("a"), b = Recorder("b"), c = Recorder("c"), d = Recorder("d"), late = Recorder("late");
  const DWORD cookies[] = {Advise(b.get()), Advise(a.get()), Advise(c.get()), Advise(d.get())};
  bool aGone = false, cGone = false;
  a->answer = E_FAIL, a->destroyed = &aGone, b->throws = true, c->destroyed = &cGone;
  a->onInvoke = [&] {
    EXPECT_EQ(std::tuple(point->Unadvise(cookies[1]), point->Unadvise(cookies[2]), aGone),
              std::tuple(S_OK, S_OK, false));
    Advise(late.get());
  };
  a.Reset(), c.Reset();

  EXPECT_EQ(FireEvent(point, 7, LONG(1), 2.5, LONG(3)), S_OK);
  EXPECT_TRUE(aGone && cGone);
  FireEvent(point, 2, {});
  // VT_I4 is 3, VT_R8 5.
  EXPECT_EQ(Shown(log), (Texts{"b 7(3:1, 5:2.5, 3:3)", "a 7(3:1, 5:2.5, 3:3)", "d 7(3:1, 5:2.5, 3:3)", "b 2()", "d 2()",
                               "late 2()"}));
  EXPECT_EQ(std::pair(point->ConnectionCount(), FireEvent(nullptr, 3, {})), std::pair(std::size_t{3}, E_POINTER));
}

// The third connection is made and ended through the container, as AtlAdvise and AtlUnadvise do.
TEST_F(ConnectionPoints, AdviseAsksForTheInterfaceAndHandsOutFreshCookies) {
  auto sink = Recorder("s");
  sink->alsoAnswers = IID_ITestEvents;
  IUnknown* src = static_cast<IConnectionPointContainer*>(source.get());
  DWORD third = 0;
  const DWORD first = Advise(sink.get()), second = Advise(sink.get());  // the same sink twice: two connections
  EXPECT_EQ(point->Unadvise(first), S_OK);
  ASSERT_EQ(AtlAdvise(src, sink.get(), IID_ITestEvents, &third), S_OK);
  EXPECT_TRUE(first != 0 && first != second && third != first && third != second);
  EXPECT_EQ((std::pair{AtlUnadvise(src, IID_ITestEvents, third), point->ConnectionCount()}),
            std::pair(S_OK, std::size_t{1}));
  for (DWORD gone : {first, third, DWORD{0}, DWORD{12345}})
    EXPECT_EQ(point->Unadvise(gone), CONNECT_E_NOCONNECTION) << gone;
  // The last: a source without connection points.
  EXPECT_EQ((Hrs{AtlUnadvise(src, IID_ITestEvents, third), AtlAdvise(src, sink.get(), IID_IOtherEvents, &third),
                 AtlAdvise(nullptr, sink.get(), IID_ITestEvents, &third),
                 AtlAdvise(src, nullptr, IID_ITestEvents, &third), AtlAdvise(src, sink.get(), IID_ITestEvents, nullptr),
                 AtlUnadvise(nullptr, IID_ITestEvents, 1), AtlAdvise(sink.get(), sink.get(), IID_ITestEvents, &third)}),
            (Hrs{CONNECT_E_NOCONNECTION, CONNECT_E_NOCONNECTION, E_INVALIDARG, E_INVALIDARG, E_POINTER, E_INVALIDARG,
                 E_NOINTERFACE}));

  // A dispinterface point takes a sink that only answers IDispatch; an ordinary one does not.
  sink->alsoAnswers = IID_NULL;
  DWORD cookie = 99;
  EXPECT_EQ(point->Advise(sink.get(), &cookie), S_OK);
  ComPtr<IConnectionPoint> notify;
  ASSERT_EQ(source->FindConnectionPoint(IID_IPropertyNotifySink, &notify), S_OK);
  EXPECT_EQ(notify->Advise(sink.get(), &cookie), CONNECT_E_CANNOTCONNECT);
  EXPECT_EQ(cookie, 0u);
  EXPECT_EQ((Hrs{notify->Advise(nullptr, &cookie), notify->Advise(sink.get(), nullptr)}), (Hrs{E_POINTER, E_POINTER}));
}

// A point does not keep its container alive; it lets its sinks go with it.
TEST_F(ConnectionPoints, FindsPointsByInterfaceListsThemInOrderAndOutlivesTheContainer) {
  ComPtr<IConnectionPoint> found;
  EXPECT_EQ(
      (Hrs{source->FindConnectionPoint(IID_IOtherEvents, &found), source->FindConnectionPoint(IID_ITestEvents, nullptr),
           source->AddConnectionPoint(IID_ITestEvents, SinkKind::Dispatch)}),
      (Hrs{CONNECT_E_NOCONNECTION, E_POINTER, E_INVALIDARG}));
  EXPECT_FALSE(found);
  ASSERT_EQ(source->FindConnectionPoint(IID_ITestEvents, &found), S_OK);
  IID iid{};
  ComPtr<IConnectionPointContainer> back;
  EXPECT_EQ((Hrs{found->GetConnectionInterface(&iid), found->GetConnectionPointContainer(&back)}), (Hrs{S_OK, S_OK}));
  EXPECT_EQ(std::pair(iid, back.get()),
            std::pair(IID_ITestEvents, static_cast<IConnectionPointContainer*>(source.get())));
  back.Reset();

  ComPtr<IEnumConnectionPoints> all;
  ASSERT_EQ(source->EnumConnectionPoints(&all), S_OK);
  IConnectionPoint* got[3] = {};
  ULONG fetched = 0;
  EXPECT_EQ(all->Next(3, got, &fetched), S_FALSE);
  ASSERT_EQ(fetched, 2u);
  got[1]->GetConnectionInterface(&iid);
  EXPECT_EQ(std::pair(got[0], iid), std::pair(found.get(), IID_IPropertyNotifySink));
  for (ULONG i = 0; i < fetched; ++i) got[i]->Release();
  all.Reset();

  bool sourceGone = false, sinkGone = false;
  source->destroyed = &sourceGone;
  DWORD cookie = 0;
  {
    auto sink = Recorder("s");
    sink->destroyed = &sinkGone;
    ASSERT_EQ(found->Advise(sink.get(), &cookie), S_OK);
  }
  source.Reset();
  EXPECT_TRUE(sourceGone && sinkGone);
  EXPECT_EQ((Hrs{found->GetConnectionPointContainer(&back), found->Advise(Recorder("late").get(), &cookie),
                 found->Unadvise(1)}),
            (Hrs{E_UNEXPECTED, E_UNEXPECTED, CONNECT_E_NOCONNECTION}));
  EXPECT_EQ(std::pair(back.get(), cookie), std::pair(static_cast<IConnectionPointContainer*>(nullptr), DWORD{0}));
}

TEST_F(ConnectionPoints, WalksASnapshotWithNextSkipResetAndClone) {
  auto a = Recorder("a"), b = Recorder("b"), c = Recorder("c");
  const DWORD cookies[] = {Advise(a.get()), Advise(b.get()), Advise(c.get())};
  ComPtr<IEnumConnections> e;
  ASSERT_EQ(point->EnumConnections(&e), S_OK);
  point->Unadvise(cookies[1]);  // the enumerator keeps its snapshot

  // Next for up to n connections: its answer and the cookies it gave.
  auto next = [](IEnumConnections* from, ULONG n) {
    CONNECTDATA cd[4] = {};
    ULONG got = 0;
    std::pair<HRESULT, std::vector<DWORD>> read{from->Next(n, cd, &got), {}};
    for (ULONG i = 0; i < got; ++i) read.second.push_back((cd[i].pUnk->Release(), cd[i].dwCookie));
    return read;
  };
  CONNECTDATA one{};
  ASSERT_EQ(e->Next(1, &one, nullptr), S_OK);
  EXPECT_EQ(std::pair(one.dwCookie, one.pUnk), std::pair(cookies[0], static_cast<IUnknown*>(a.get())));
  one.pUnk->Release();
  ComPtr<IEnumConnections> clone;
  ASSERT_EQ(e->Clone(&clone), S_OK);
  EXPECT_EQ(next(e.get(), 4), std::pair(S_FALSE, std::vector<DWORD>{cookies[1], cookies[2]}));
  EXPECT_EQ(next(e.get(), 1), std::pair(S_FALSE, std::vector<DWORD>{}));

  // The clone kept the position it was made at.
  EXPECT_EQ(clone->Skip(1), S_OK);
  EXPECT_EQ(next(clone.get(), 1), std::pair(S_OK, std::vector<DWORD>{cookies[2]}));
  EXPECT_EQ((Hrs{clone->Skip(1), clone->Reset(), clone->Skip(3), clone->Reset(), clone->Skip(4),
                 e->Next(2, &one, nullptr), e->Clone(nullptr)}),
            (Hrs{S_FALSE, S_OK, S_OK, S_OK, S_FALSE, E_POINTER, E_POINTER}));
}

}  // namespace
}  // namespace kelmira::test
