// Persistence over the property map (stream and storage), the changed mark, property pages,
// miscellaneous status, class information, quick activation and frozen events.
#include "support/advise_recorder.h"
#include "support/event_recorder.h"
#include "support/in_place_site.h"
#include "support/memory_stream.h"
#include "support/test_control.h"

#include <tuple>

namespace kelmira::test {
namespace {

using PersistTest = ControlTest;
using Hrs = std::vector<HRESULT>;

TEST_F(PersistTest, StreamAndStorageRoundTripsFollowTheChangedMark) {
  // Every persisted value differs from the defaults.
  auto control = Make<TestControl>();
  control->put_FillColor(RGB(9, 8, 7));
  control->put_Weight(-4.25);
  SIZEL extent{1234, 567};
  control->SetExtent(DVASPECT_CONTENT, &extent);
  auto values = [](TestControl& c) {
    return std::tuple(c.fillColor, c.weight, c.sizeExtent_.cx, c.sizeExtent_.cy, c.IsDirty());
  };
  const auto saved = std::tuple(RGB(9, 8, 7), -4.25, 1234, 567, S_FALSE);

  auto stream = StreamOf();
  ComPtr<IStorage> storage;
  ASSERT_EQ(StgCreateStorageInMemory(&storage), S_OK);
  ASSERT_EQ(control->Save(stream.get(), FALSE), S_OK);
  EXPECT_EQ(control->IsDirty(), S_OK);  // not cleared when not asked
  ASSERT_EQ(control->Save(storage.get(), TRUE), S_OK);
  EXPECT_EQ(control->IsDirty(), S_FALSE);

  // The puts ran on load (and marked the control), then the load cleared the mark; the storage
  // holds the stream as "Contents".
  auto fromStream = Make<TestControl>(), fromStorage = Make<TestControl>(), failed = Make<TestControl>();
  ASSERT_EQ(fromStream->Load(StreamOf(BytesOf(stream.get())).get()), S_OK);
  ASSERT_EQ(fromStorage->Load(storage.get()), S_OK);
  EXPECT_EQ(std::pair(values(*fromStream), values(*fromStorage)), std::pair(saved, saved));
  ComPtr<IStream> contents;
  ASSERT_EQ(storage->OpenStream(u"Contents", nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE, 0, &contents), S_OK);
  EXPECT_EQ(BytesOf(contents.get()), BytesOf(stream.get()));

  // A load that fails keeps the mark; InitNew changes nothing.
  std::vector<BYTE> bytes = BytesOf(stream.get());
  bytes.resize(bytes.size() - 3);
  failed->SetDirty(true);
  ComPtr<IStorage> empty;
  StgCreateStorageInMemory(&empty);
  EXPECT_EQ(
      (Hrs{failed->Load(StreamOf(bytes).get()), failed->IsDirty(), fromStorage->InitNew(empty.get()),
           fromStorage->Load(empty.get()), fromStorage->Load(static_cast<IStorage*>(nullptr)),
           fromStorage->Load(static_cast<IStream*>(nullptr)), fromStorage->Save(static_cast<IStream*>(nullptr), TRUE)}),
      (Hrs{STG_E_READFAULT, S_OK, S_OK, STG_E_FILENOTFOUND, E_POINTER, E_POINTER, E_POINTER}));
  EXPECT_EQ(values(*fromStorage), saved);
}

TEST_F(PersistTest, MiscStatusComesFromTheRegistryElseFromTheClass) {
  auto control = Make<TestControl>();
  DWORD status[5] = {};
  Make<WindowlessTestControl>()->GetMiscStatus(DVASPECT_CONTENT, &status[0]);
  HKEY misc = nullptr, aspect = nullptr;
  ASSERT_EQ(RegCreateKeyA(HKEY_CLASSES_ROOT, "CLSID\\{3D0B8E51-6A2C-4F1B-8E4D-217A90C35504}\\MiscStatus", &misc),
            ERROR_SUCCESS);
  RegSetValueExA(misc, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>("17"), 3);
  control->GetMiscStatus(DVASPECT_CONTENT, &status[1]);  // the default value when the aspect has no key
  ASSERT_EQ(RegCreateKeyA(misc, "1", &aspect), ERROR_SUCCESS);
  RegSetValueExA(aspect, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>("131473"), 7);
  control->GetMiscStatus(DVASPECT_CONTENT, &status[2]), control->GetMiscStatus(DVASPECT_ICON, &status[3]);
  RegCloseKey(aspect), RegCloseKey(misc);
  RegDeleteTreeA(HKEY_CLASSES_ROOT, "CLSID\\{3D0B8E51-6A2C-4F1B-8E4D-217A90C35504}");
  EXPECT_EQ(std::vector<DWORD>(status, status + 4),
            (std::vector<DWORD>{OLEMISC_ACTIVATEWHENVISIBLE | OLEMISC_INSIDEOUT, 17, 131473, 17}));

  EXPECT_EQ((Hrs{OleRegGetMiscStatus(CLSID_TestControl, DVASPECT_CONTENT, &status[4]),
                 control->GetMiscStatus(DVASPECT_CONTENT, nullptr)}),
            (Hrs{REGDB_E_CLASSNOTREG, E_POINTER}));
}

// IOleControl, IQuickActivate and IProvideClassInfo2, and the property pages in map order without
// repeats. The windowless class names no source interface.
TEST_F(PersistTest, ControlInformationQuickActivationAndFrozenEvents) {
  auto control = Make<TestControl>();
  auto site = Make<InPlaceSite>();
  auto events = EventRecorder::Make();
  auto view = Make<AdviseRecorder>();
  QACONTAINER container{};
  container.cbSize = sizeof(container);
  container.pClientSite = site.get();
  container.pAdviseSink = view.get();
  container.pUnkEventSink = static_cast<IDispatch*>(events.get());
  QACONTROL answer{sizeof(QACONTROL), 0, 0, 0, 0, 0}, small{4, 0, 0, 0, 0, 0};
  ASSERT_EQ(control->QuickActivate(&container, &answer), S_OK);
  // The control has no property-change point.
  EXPECT_EQ(std::tuple(answer.dwEventCookie != 0, answer.dwPropNotifyCookie, control->ClientSite()),
            std::tuple(true, 0u, static_cast<IOleClientSite*>(site.get())));

  control->put_Weight(1.0);
  EXPECT_EQ(view->viewChanges.size(), 1u);
  FireEvent(control->ConnectionPointFor(DIID__ITestControlEvents), 1, LONG{3}, LONG{4});
  ASSERT_EQ(events->Ids(), std::vector<DISPID>{1});
  EXPECT_EQ(events->Calls()[0].Longs(), (std::vector<LONG>{3, 4}));
  EXPECT_EQ((Hrs{control->QuickActivate(&container, &small), control->QuickActivate(nullptr, &answer)}),
            (Hrs{E_INVALIDARG, E_POINTER}));
  control->SetClientSite(nullptr);

  CAUUID pages{};
  ASSERT_EQ(control->GetPages(&pages), S_OK);
  EXPECT_EQ(std::vector<CLSID>(pages.pElems, pages.pElems + pages.cElems),
            (std::vector<CLSID>{CLSID_StockColorPage, CLSID_StockFontPage, CLSID_TestPropertyPage}));
  CoTaskMemFree(pages.pElems);

  GUID source{}, none{};
  EXPECT_EQ((Hrs{control->GetPages(nullptr), control->GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID, &source),
                 control->GetGUID(2, &none),
                 Make<WindowlessTestControl>()->GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID, &none)}),
            (Hrs{E_POINTER, S_OK, E_FAIL, E_FAIL}));
  EXPECT_EQ(std::pair(source, none), std::pair(DIID__ITestControlEvents, GUID_NULL));

  ComPtr<ITypeInfo> info;
  ASSERT_EQ(control->GetClassInfo(&info), S_OK);
  TYPEATTR* attr = nullptr;
  ASSERT_EQ(info->GetTypeAttr(&attr), S_OK);
  EXPECT_EQ(attr->guid, CLSID_TestControl);
  info->ReleaseTypeAttr(attr);

  std::vector<bool> frozen;
  for (BOOL freeze : {TRUE, TRUE, FALSE, FALSE, FALSE, TRUE})
    frozen.push_back((control->FreezeEvents(freeze), control->EventsFrozen()));
  EXPECT_EQ(frozen, (std::vector<bool>{true, true, true, false, false, true}));
}

}  // namespace
}  // namespace kelmira::test
