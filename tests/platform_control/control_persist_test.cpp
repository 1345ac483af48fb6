// Persistence over the property map (stream and storage), the changed mark, property pages,
// miscellaneous status, class information, quick activation and frozen events.
#include "support/advise_recorder.h"
#include "support/event_recorder.h"
#include "support/in_place_site.h"
#include "support/memory_stream.h"
#include "support/test_control.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>

namespace kelmira::test {
namespace {

using PersistTest = ControlTest;

// A control whose every persisted value differs from the defaults.
ComPtr<Object<TestControl>> Changed() {
  auto control = Make<TestControl>();
  control->put_FillColor(RGB(9, 8, 7));
  control->put_Caption(Bstr(u"saved").get());
  control->put_Weight(-4.25);
  SIZEL extent{1234, 567};
  control->SetExtent(DVASPECT_CONTENT, &extent);
  return control;
}

void ExpectSameValues(TestControl& loaded) {
  EXPECT_EQ(std::tuple(loaded.fillColor, loaded.caption, loaded.weight, loaded.sizeExtent_.cx, loaded.sizeExtent_.cy),
            std::tuple(RGB(9, 8, 7), std::u16string(u"saved"), -4.25, 1234, 567));
}

TEST_F(PersistTest, StreamRoundTripFollowsTheChangedMark) {
  auto control = Changed();
  auto stream = StreamOf();
  ASSERT_EQ(control->Save(stream.get(), FALSE), S_OK);
  EXPECT_EQ(control->IsDirty(), S_OK);  // not cleared when not asked
  ASSERT_EQ(control->Save(StreamOf().get(), TRUE), S_OK);
  EXPECT_EQ(control->IsDirty(), S_FALSE);

  // The puts ran on load (and marked the control), then the load cleared the mark.
  auto loaded = Make<TestControl>();
  ASSERT_EQ(loaded->Load(StreamOf(BytesOf(stream.get())).get()), S_OK);
  ExpectSameValues(*loaded);
  EXPECT_EQ(loaded->IsDirty(), S_FALSE);

  // A load that fails keeps the mark.
  std::vector<BYTE> bytes = BytesOf(stream.get());
  bytes.resize(bytes.size() - 3);
  auto failed = Make<TestControl>();
  failed->SetDirty(true);
  EXPECT_EQ(failed->Load(StreamOf(bytes).get()), STG_E_READFAULT);
  EXPECT_EQ(failed->IsDirty(), S_OK);
  EXPECT_EQ(loaded->Load(static_cast<IStream*>(nullptr)), E_POINTER);
  EXPECT_EQ(loaded->Save(static_cast<IStream*>(nullptr), TRUE), E_POINTER);
}

TEST_F(PersistTest, StorageKeepsTheSameStreamAsContents) {
  auto control = Changed();
  ComPtr<IStorage> storage;
  ASSERT_EQ(StgCreateStorageInMemory(&storage), S_OK);
  ASSERT_EQ(control->Save(storage.get(), TRUE), S_OK);
  EXPECT_EQ(control->IsDirty(), S_FALSE);

  ComPtr<IStream> contents;
  ASSERT_EQ(storage->OpenStream(u"Contents", nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE, 0, &contents), S_OK);
  auto fromStream = Make<TestControl>();
  ASSERT_EQ(fromStream->Load(contents.get()), S_OK);
  ExpectSameValues(*fromStream);
  contents.Reset();

  auto fromStorage = Make<TestControl>();
  fromStorage->SetDirty(true);
  ASSERT_EQ(fromStorage->Load(storage.get()), S_OK);
  ExpectSameValues(*fromStorage);
  EXPECT_EQ(fromStorage->IsDirty(), S_FALSE);

  ComPtr<IStorage> empty;
  StgCreateStorageInMemory(&empty);
  EXPECT_EQ(fromStorage->InitNew(empty.get()), S_OK);
  EXPECT_EQ(fromStorage->weight, -4.25);  // InitNew changes nothing
  EXPECT_EQ(fromStorage->Load(empty.get()), STG_E_FILENOTFOUND);
  EXPECT_EQ(fromStorage->Load(static_cast<IStorage*>(nullptr)), E_POINTER);
}

TEST_F(PersistTest, PropertyPagesAreTheMapsInOrderWithoutRepeats) {
  auto control = Make<TestControl>();
  CAUUID pages{};
  ASSERT_EQ(control->GetPages(&pages), S_OK);
  EXPECT_EQ(std::vector<CLSID>(pages.pElems, pages.pElems + pages.cElems),
            (std::vector<CLSID>{CLSID_StockColorPage, CLSID_StockFontPage, CLSID_TestPropertyPage}));
  CoTaskMemFree(pages.pElems);
  EXPECT_EQ(control->GetPages(nullptr), E_POINTER);
}

TEST_F(PersistTest, MiscStatusComesFromTheRegistryElseFromTheClass) {
  auto control = Make<TestControl>();
  DWORD status = 0;
  Make<WindowlessTestControl>()->GetMiscStatus(DVASPECT_CONTENT, &status);
  EXPECT_EQ(status, OLEMISC_ACTIVATEWHENVISIBLE | OLEMISC_INSIDEOUT);

  HKEY misc = nullptr, aspect = nullptr;
  ASSERT_EQ(RegCreateKeyA(HKEY_CLASSES_ROOT, "CLSID\\{3D0B8E51-6A2C-4F1B-8E4D-217A90C35504}\\MiscStatus", &misc),
            ERROR_SUCCESS);
  RegSetValueExA(misc, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>("17"), 3);
  control->GetMiscStatus(DVASPECT_CONTENT, &status);
  EXPECT_EQ(status, 17u);  // the default value when the aspect has no key

  ASSERT_EQ(RegCreateKeyA(misc, "1", &aspect), ERROR_SUCCESS);
  RegSetValueExA(aspect, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>("131473"), 7);
  control->GetMiscStatus(DVASPECT_CONTENT, &status);
  EXPECT_EQ(status, 131473u);
  control->GetMiscStatus(DVASPECT_ICON, &status);
  EXPECT_EQ(status, 17u);
  RegCloseKey(aspect);
  RegCloseKey(misc);
  RegDeleteTreeA(HKEY_CLASSES_ROOT, "CLSID\\{3D0B8E51-6A2C-4F1B-8E4D-217A90C35504}");

  EXPECT_EQ(OleRegGetMiscStatus(CLSID_TestControl, DVASPECT_CONTENT, &status), REGDB_E_CLASSNOTREG);
  EXPECT_EQ(control->GetMiscStatus(DVASPECT_CONTENT, nullptr), E_POINTER);
}

TEST_F(PersistTest, ClassInformationNamesTheDefaultSourceAndTheCoclass) {
  auto control = Make<TestControl>();
  GUID source{};
  ASSERT_EQ(control->GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID, &source), S_OK);
  EXPECT_EQ(source, DIID__ITestControlEvents);
  EXPECT_EQ(control->GetGUID(2, &source), E_FAIL);
  EXPECT_EQ(source, GUID_NULL);
  // The windowless class names no source interface.
  EXPECT_EQ(Make<WindowlessTestControl>()->GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID, &source), E_FAIL);

  ComPtr<ITypeInfo> info;
  ASSERT_EQ(control->GetClassInfo(&info), S_OK);
  TYPEATTR* attr = nullptr;
  ASSERT_EQ(info->GetTypeAttr(&attr), S_OK);
  EXPECT_EQ(attr->guid, CLSID_TestControl);
  info->ReleaseTypeAttr(attr);
}

TEST_F(PersistTest, QuickActivateConnectsSiteViewSinkAndEvents) {
  auto control = Make<TestControl>();
  auto site = Make<InPlaceSite>();
  auto events = EventRecorder::Make();
  auto view = Make<AdviseRecorder>();
  QACONTAINER container{};
  container.cbSize = sizeof(container);
  container.pClientSite = site.get();
  container.pAdviseSink = view.get();
  container.pUnkEventSink = static_cast<IDispatch*>(events.get());
  QACONTROL answer{};
  answer.cbSize = sizeof(answer);
  ASSERT_EQ(control->QuickActivate(&container, &answer), S_OK);
  EXPECT_NE(answer.dwEventCookie, 0u);
  EXPECT_EQ(answer.dwPropNotifyCookie, 0u);  // the control has no property-change point
  EXPECT_EQ(control->ClientSite(), static_cast<IOleClientSite*>(site.get()));

  control->put_Weight(1.0);
  EXPECT_EQ(view->viewChanges.size(), 1u);
  FireEvent(control->ConnectionPointFor(DIID__ITestControlEvents), 1, LONG{3}, LONG{4});
  ASSERT_EQ(events->Ids(), std::vector<DISPID>{1});
  EXPECT_EQ(events->Calls()[0].Longs(), (std::vector<LONG>{3, 4}));

  QACONTROL small{};
  small.cbSize = 4;
  EXPECT_EQ(control->QuickActivate(&container, &small), E_INVALIDARG);
  EXPECT_EQ(control->QuickActivate(nullptr, &answer), E_POINTER);
  control->SetClientSite(nullptr);
}

TEST_F(PersistTest, FrozenEventsNestAndNeverCountBelowZero) {
  auto control = Make<TestControl>();
  std::vector<bool> frozen;
  for (BOOL freeze : {TRUE, TRUE, FALSE, FALSE, FALSE, TRUE}) {
    control->FreezeEvents(freeze);
    frozen.push_back(control->EventsFrozen());
  }
  EXPECT_EQ(frozen, (std::vector<bool>{true, true, true, false, false, true}));
}

}  // namespace
}  // namespace kelmira::test
