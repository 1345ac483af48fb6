// In-memory storages and storage files, including damaged files at every byte.
#include "support/storage_file_bytes.h"
#include "support/storage_sample.h"

namespace {

using kelmira::ComPtr;
using namespace kelmira::test;
using namespace std::string_literals;
TEST(Storage, CreatesOpensAndReplacesElements) {
  ComPtr<IStorage> root = MakeSample(), sub;
  ComPtr<IStream> s, a, b;
  EXPECT_EQ(root->CreateStream(u"CONTENTS", STGM_READWRITE | STGM_SHARE_EXCLUSIVE, 0, 0, &s), STG_E_FILEALREADYEXISTS);
  EXPECT_EQ(ReadText(root.get(), u"Contents"), "graph settings");
  WriteText(root.get(), u"Contents", "new");
  EXPECT_EQ(ReadText(root.get(), u"Contents"), "new");
  EXPECT_EQ(root->OpenStream(u"Nothing", nullptr, STGM_READ, 0, &s), STG_E_FILENOTFOUND);
  EXPECT_EQ(root->OpenStream(u"Sub", nullptr, STGM_READ, 0, &s), STG_E_FILENOTFOUND);  // a storage
  EXPECT_EQ(root->OpenStorage(u"Contents", nullptr, STGM_READ, nullptr, 0, &sub), STG_E_FILENOTFOUND);
  for (const OLECHAR* bad : std::initializer_list<const OLECHAR*>{u"", u"a/b", u"a\\b", u"a:b", u"a!b",
                                                                  u"0123456789012345678901234567890123", nullptr})
    EXPECT_EQ(root->CreateStream(bad, STGM_CREATE, 0, 0, &s), STG_E_INVALIDNAME);

  // Streams opened twice see each other's writes.
  ASSERT_EQ(root->OpenStream(u"Empty", nullptr, STGM_READWRITE, 0, &a), S_OK);
  ASSERT_EQ(root->OpenStream(u"Empty", nullptr, STGM_READWRITE, 0, &b), S_OK);
  ASSERT_EQ(a->Write("shared", 6, nullptr), S_OK);
  char buf[8] = {};
  EXPECT_EQ(b->Read(buf, 6, nullptr), S_OK);
  EXPECT_STREQ(buf, "shared");
}

TEST(Storage, DestroysRenamesAndEnumerates) {
  ComPtr<IStorage> root = MakeSample();
  EXPECT_EQ(root->RenameElement(u"Contents", u"Sub"), STG_E_FILEALREADYEXISTS);
  EXPECT_EQ(root->RenameElement(u"Missing", u"Other"), STG_E_FILENOTFOUND);
  EXPECT_EQ(root->RenameElement(u"Contents", u"Data"), S_OK);
  EXPECT_EQ(ReadText(root.get(), u"Data"), "graph settings");
  EXPECT_EQ(root->DestroyElement(u"Sub"), S_OK);
  EXPECT_EQ(root->DestroyElement(u"Sub"), STG_E_FILENOTFOUND);
  EXPECT_EQ(NamesIn(root.get()), (ElementNames{u"Data", u"Empty"}));

  ComPtr<IEnumSTATSTG> e, clone;
  ASSERT_EQ(root->EnumElements(0, nullptr, 0, &e), S_OK);
  STATSTG items[3] = {};
  ULONG fetched = 0;
  EXPECT_EQ(e->Next(3, items, &fetched), S_FALSE);
  ASSERT_EQ(fetched, 2u);
  EXPECT_EQ(items[0].cbSize.QuadPart, 14u);
  for (ULONG i = 0; i < fetched; ++i) CoTaskMemFree(items[i].pwcsName);
  EXPECT_EQ(e->Next(2, items, nullptr), STG_E_INVALIDPARAMETER);
  EXPECT_EQ(e->Reset(), S_OK);
  EXPECT_EQ(e->Skip(1), S_OK);
  ASSERT_EQ(e->Clone(&clone), S_OK);
  ASSERT_EQ(clone->Next(1, items, &fetched), S_OK);
  EXPECT_EQ(std::u16string(items[0].pwcsName), u"Empty");
  CoTaskMemFree(items[0].pwcsName);
  EXPECT_EQ(e->Skip(5), S_FALSE);
}

TEST(Storage, CopiesIntoOtherStoragesAndIntoItself) {
  ComPtr<IStorage> root = MakeSample(), other, sub, noStreams;
  ASSERT_EQ(StgCreateStorageInMemory(&other), S_OK);
  ASSERT_EQ(root->CopyTo(0, nullptr, nullptr, other.get()), S_OK);
  ExpectSample(other.get());

  // Into its own sub-storage: copies what was there when the copy started.
  ASSERT_EQ(root->OpenStorage(u"Sub", nullptr, STGM_READWRITE, nullptr, 0, &sub), S_OK);
  ASSERT_EQ(root->CopyTo(0, nullptr, nullptr, sub.get()), S_OK);
  EXPECT_EQ(NamesIn(sub.get()), (ElementNames{u"Contents", u"Empty", u"Inner", u"Sub"}));

  // Excluding streams and the sub-storage by name leaves nothing.
  ASSERT_EQ(StgCreateStorageInMemory(&noStreams), S_OK);
  const IID exclude[] = {IID_IStream};
  OLECHAR subName[] = u"Sub";
  OLECHAR* snb[] = {subName, nullptr};
  ASSERT_EQ(root->CopyTo(1, exclude, snb, noStreams.get()), S_OK);
  EXPECT_TRUE(NamesIn(noStreams.get()).empty());

  ASSERT_EQ(root->MoveElementTo(u"Contents", other.get(), u"Moved", STGMOVE_MOVE), S_OK);
  EXPECT_EQ(ReadText(other.get(), u"Moved") + "|" + ReadText(root.get(), u"Contents"), "graph settings|<missing>");
  ASSERT_EQ(root->MoveElementTo(u"Sub", root.get(), u"Sub2", STGMOVE_COPY), S_OK);
  EXPECT_EQ(NamesIn(root.get()), (ElementNames{u"Empty", u"Sub", u"Sub2"}));
}

TEST(StorageFile, RoundTripsAndReportsMissingFiles) {
  ScratchDir dir;
  const std::string path = dir / "graph.stg";
  ComPtr<IStorage> root = MakeSample(), loaded;
  ASSERT_EQ(StgSaveStorageToFile(root.get(), path.c_str()), S_OK);
  const std::string first = ReadFile(path);
  ASSERT_EQ(StgOpenStorageFromFile(path.c_str(), &loaded), S_OK);
  ExpectSample(loaded.get());
  // Saving again gives the same bytes, and leaves no temporary file.
  ASSERT_EQ(StgSaveStorageToFile(loaded.get(), path.c_str()), S_OK);
  EXPECT_EQ(ReadFile(path), first);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);

  EXPECT_EQ(StgOpenStorageFromFile((dir / "none.stg").c_str(), &loaded), STG_E_FILENOTFOUND);
  EXPECT_EQ(StgSaveStorageToFile(root.get(), (dir / "no/none.stg").c_str()), STG_E_PATHNOTFOUND);
  EXPECT_EQ(StgOpenStorageFromFile(dir.path().c_str(), &loaded), STG_E_ACCESSDENIED);
}

TEST(StorageFile, EveryTruncationAndEveryFlippedByteIsRejected) {
  ScratchDir dir;
  const std::string path = dir / "graph.stg";
  ASSERT_EQ(StgSaveStorageToFile(MakeSample().get(), path.c_str()), S_OK);
  const std::string good = ReadFile(path);
  for (std::size_t cut = 0; cut < good.size(); ++cut)
    EXPECT_EQ(OpenStorageBytes(path, good.substr(0, cut)), STG_E_DOCFILECORRUPT) << "cut at " << cut;
  for (std::size_t i = 0; i < good.size(); ++i) {
    std::string bad = good;
    bad[i] = static_cast<char>(bad[i] ^ 0x41);
    EXPECT_TRUE(FAILED(OpenStorageBytes(path, bad))) << "byte " << i;
  }
  EXPECT_EQ(OpenStorageBytes(path, good + "x"), STG_E_DOCFILECORRUPT);
}

TEST(StorageFile, LyingFieldsBehindAValidChecksumAreRejected) {
  ScratchDir dir;
  const std::string path = dir / "graph.stg";
  ComPtr<IStorage> root;
  ASSERT_EQ(StgCreateStorageInMemory(&root), S_OK);
  WriteText(root.get(), u"S", "abc");
  ASSERT_EQ(StgSaveStorageToFile(root.get(), path.c_str()), S_OK);
  const std::string body = ReadFile(path).substr(0, ReadFile(path).size() - 4);
  // Layout: header 16, class id 16, state bits 4, count 4, kind 1, name length 2, name 2, size 8.
  constexpr std::size_t kCount = 36, kNameLength = 41, kSize = 45;
  auto forge = [&](std::size_t offset, std::string_view bytes) {
    std::string b = body;
    b.replace(offset, bytes.size(), bytes);
    return OpenStorageBytes(path, WithCrc(b));
  };
  // Counts too large or leaving bytes over, sizes past the end, name lengths too long or zero, an
  // unknown kind, a name with a slash.
  const std::pair<std::size_t, std::string> lies[] = {{kCount, "\0\0\0\0"s},      {kSize, std::string(8, '\xFF')},
                                                      {kNameLength, "\0\0"s},     {kSize, "\x04\0\0\0\0\0\0\0"s},
                                                      {kNameLength, "\x20\0"s},   {kCount, std::string(4, '\xFF')},
                                                      {kNameLength - 1, "\x03"s}, {kNameLength + 2, "/\0"s}};
  for (const auto& [offset, bytes] : lies) EXPECT_EQ(forge(offset, bytes), STG_E_DOCFILECORRUPT) << offset;
  EXPECT_EQ(forge(8, "\x02\0\0\0"s), STG_E_OLDDLL);  // newer version

  // Any single changed byte with a matching checksum: an error or a storage, never a crash.
  for (std::size_t i = 8; i < body.size(); ++i)
    for (char delta : {'\x01', '\x80', '\x7F'}) forge(i, std::string(1, static_cast<char>(body[i] ^ delta)));
}

TEST(StorageFile, DeepNestingIsBounded) {
  ScratchDir dir;
  ComPtr<IStorage> root, current;
  ASSERT_EQ(StgCreateStorageInMemory(&root), S_OK);
  current = root;
  for (int i = 0; i < 70; ++i) {
    ComPtr<IStorage> next;
    ASSERT_EQ(current->CreateStorage(u"d", STGM_CREATE, 0, 0, &next), S_OK);
    current = next;
  }
  EXPECT_EQ(StgSaveStorageToFile(root.get(), (dir / "deep.stg").c_str()), STG_E_CANTSAVE);
  EXPECT_FALSE(std::filesystem::exists(dir / "deep.stg"));
}

}  // namespace
