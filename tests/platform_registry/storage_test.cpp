// In-memory storages and storage files, including damaged files at every byte.
#include "support/storage_sample.h"

namespace {

using kelmira::ComPtr;
using namespace kelmira::test;
using namespace std::string_literals;
using Codes = std::vector<HRESULT>;

TEST(Storage, CreatesOpensReplacesRenamesDestroysEnumeratesAndCopies) {
  ComPtr<IStorage> root = MakeSample(), sub;
  ComPtr<IStream> s;
  // Sub is a storage, Contents a stream.
  EXPECT_EQ((Codes{root->CreateStream(u"CONTENTS", STGM_READWRITE | STGM_SHARE_EXCLUSIVE, 0, 0, &s),
                   root->OpenStream(u"Nothing", nullptr, STGM_READ, 0, &s),
                   root->OpenStream(u"Sub", nullptr, STGM_READ, 0, &s),
                   root->OpenStorage(u"Contents", nullptr, STGM_READ, nullptr, 0, &sub)}),
            (Codes{STG_E_FILEALREADYEXISTS, STG_E_FILENOTFOUND, STG_E_FILENOTFOUND, STG_E_FILENOTFOUND}));
  const std::string kept = ReadText(root.get(), u"Contents");
  WriteText(root.get(), u"Contents", "new");
  EXPECT_EQ(kept + "|" + ReadText(root.get(), u"Contents"), "graph settings|new");
  for (const OLECHAR* bad : std::initializer_list<const OLECHAR*>{u"", u"a/b", u"a\\b", u"a:b", u"a!b",
                                                                  u"0123456789012345678901234567890123", nullptr})
    EXPECT_EQ(root->CreateStream(bad, STGM_CREATE, 0, 0, &s), STG_E_INVALIDNAME);
  // A stream opened from the storage writes the element's own bytes.
  ASSERT_EQ(root->OpenStream(u"Empty", nullptr, STGM_READWRITE, 0, &s), S_OK);
  ASSERT_EQ(s->Write("shared", 6, nullptr), S_OK);
  EXPECT_EQ(ReadText(root.get(), u"Empty"), "shared");

  EXPECT_EQ(
      (Codes{root->RenameElement(u"Contents", u"Sub"), root->RenameElement(u"Missing", u"Other"),
             root->RenameElement(u"Contents", u"Data"), root->DestroyElement(u"Sub"), root->DestroyElement(u"Sub")}),
      (Codes{STG_E_FILEALREADYEXISTS, STG_E_FILENOTFOUND, S_OK, S_OK, STG_E_FILENOTFOUND}));
  EXPECT_EQ(ReadText(root.get(), u"Data"), "new");
  EXPECT_EQ(NamesIn(root.get()), (ElementNames{u"Data", u"Empty"}));

  ComPtr<IEnumSTATSTG> e, clone;
  ASSERT_EQ(root->EnumElements(0, nullptr, 0, &e), S_OK);
  STATSTG items[3] = {};
  ULONG fetched = 0;
  EXPECT_EQ((std::tuple{e->Next(3, items, &fetched), fetched, items[0].cbSize.QuadPart}), std::tuple(S_FALSE, 2u, 3u));
  for (ULONG i = 0; i < fetched; ++i) CoTaskMemFree(items[i].pwcsName);
  EXPECT_EQ((Codes{e->Next(2, items, nullptr), e->Reset(), e->Skip(1), e->Clone(&clone), e->Skip(5),
                   e->Next(1, items, nullptr)}),
            (Codes{STG_E_INVALIDPARAMETER, S_OK, S_OK, S_OK, S_FALSE, S_FALSE}));
  ASSERT_EQ(clone->Next(1, items, &fetched), S_OK);
  EXPECT_EQ(std::u16string(items[0].pwcsName), u"Empty");
  CoTaskMemFree(items[0].pwcsName);

  // Copies into other storages and into a storage's own sub-storage.
  ComPtr<IStorage> sample = MakeSample(), other, inner, noStreams;
  const IID exclude[] = {IID_IStream};
  OLECHAR subName[] = u"Sub";
  OLECHAR* snb[] = {subName, nullptr};
  // Into its own sub-storage a copy takes what was there when it started; excluding streams and
  // the sub-storage by name leaves nothing.
  ASSERT_EQ((Codes{StgCreateStorageInMemory(&other), StgCreateStorageInMemory(&noStreams),
                   sample->CopyTo(0, nullptr, nullptr, other.get()), sample->CopyTo(1, exclude, snb, noStreams.get()),
                   sample->OpenStorage(u"Sub", nullptr, STGM_READWRITE, nullptr, 0, &inner),
                   sample->CopyTo(0, nullptr, nullptr, inner.get())}),
            Codes(6, S_OK));
  ExpectSample(other.get());
  EXPECT_EQ(std::pair(NamesIn(inner.get()), NamesIn(noStreams.get())),
            std::pair(ElementNames{u"Contents", u"Empty", u"Inner", u"Sub"}, ElementNames{}));

  ASSERT_EQ((Codes{sample->MoveElementTo(u"Contents", other.get(), u"Moved", STGMOVE_MOVE),
                   sample->MoveElementTo(u"Sub", sample.get(), u"Sub2", STGMOVE_COPY)}),
            Codes(2, S_OK));
  EXPECT_EQ(ReadText(other.get(), u"Moved") + "|" + ReadText(sample.get(), u"Contents"), "graph settings|<missing>");
  EXPECT_EQ(NamesIn(sample.get()), (ElementNames{u"Empty", u"Sub", u"Sub2"}));
}

TEST(StorageFile, RoundTripsAndRejectsEveryTruncationFlippedByteAndLyingField) {
  ScratchDir dir;
  const std::string path = dir / "graph.stg";
  ComPtr<IStorage> root = MakeSample(), loaded, deep;
  ASSERT_EQ(StgSaveStorageToFile(root.get(), path.c_str()), S_OK);
  const std::string good = ReadFile(path);
  ASSERT_EQ(StgOpenStorageFromFile(path.c_str(), &loaded), S_OK);
  ExpectSample(loaded.get());
  // Saving again gives the same bytes, and leaves no temporary file.
  ASSERT_EQ(StgSaveStorageToFile(loaded.get(), path.c_str()), S_OK);
  EXPECT_EQ(ReadFile(path), good);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);

  for (std::size_t cut = 0; cut < good.size(); ++cut)
    EXPECT_EQ(OpenStorageBytes(path, good.substr(0, cut)), STG_E_DOCFILECORRUPT) << "cut at " << cut;
  for (std::size_t i = 0; i < good.size(); ++i) {
    std::string bad = good;
    bad[i] = static_cast<char>(bad[i] ^ 0x41);
    EXPECT_TRUE(FAILED(OpenStorageBytes(path, bad))) << "byte " << i;
  }
  EXPECT_EQ(OpenStorageBytes(path, good + "x"), STG_E_DOCFILECORRUPT);

  EXPECT_EQ((Codes{StgOpenStorageFromFile((dir / "none.stg").c_str(), &loaded),
                   StgSaveStorageToFile(root.get(), (dir / "no/none.stg").c_str()),
                   StgOpenStorageFromFile(dir.path().c_str(), &loaded)}),
            (Codes{STG_E_FILENOTFOUND, STG_E_PATHNOTFOUND, STG_E_ACCESSDENIED}));
  // Nesting deeper than a file may hold is refused before anything is written.
  ComPtr<IStorage> current = root;
  for (int i = 0; i < 70; ++i, current = deep) ASSERT_EQ(current->CreateStorage(u"d", STGM_CREATE, 0, 0, &deep), S_OK);
  EXPECT_EQ(StgSaveStorageToFile(root.get(), (dir / "deep.stg").c_str()), STG_E_CANTSAVE);
  EXPECT_FALSE(std::filesystem::exists(dir / "deep.stg"));

  // Fields that lie behind a valid checksum are rejected too.
  ComPtr<IStorage> small;
  ASSERT_EQ(StgCreateStorageInMemory(&small), S_OK);
  WriteText(small.get(), u"S", "abc");
  ASSERT_EQ(StgSaveStorageToFile(small.get(), path.c_str()), S_OK);
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

}  // namespace
