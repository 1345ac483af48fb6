// In-memory storages and storage files, including damaged files at every byte.
#include "platform_registry/scratch_dir.h"

#include <tuple>
#include <vector>

namespace {

using kelmira::ComPtr;
using kelmira::testing::ReadFile;
using kelmira::testing::ScratchDir;
using kelmira::testing::WriteFile;

constexpr CLSID kRootClass = KELMIRA_GUID(0x12345678, 0x9ABC, 0xDEF0, 1, 2, 3, 4, 5, 6, 7, 8);
constexpr CLSID kSubClass = KELMIRA_GUID(0x87654321, 0, 0, 8, 7, 6, 5, 4, 3, 2, 1);

void WriteText(IStorage* stg, const OLECHAR* name, const std::string& text) {
  ComPtr<IStream> s;
  ASSERT_EQ(stg->CreateStream(name, STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE, 0, 0, &s), S_OK);
  ASSERT_EQ(s->Write(text.data(), static_cast<ULONG>(text.size()), nullptr), S_OK);
}

std::string ReadText(IStorage* stg, const OLECHAR* name) {
  ComPtr<IStream> s;
  if (stg->OpenStream(name, nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE, 0, &s) != S_OK) return "<missing>";
  std::string out;
  char buf[256];
  ULONG n = 0;
  while (s->Read(buf, sizeof buf, &n) == S_OK && n > 0) out.append(buf, n);
  return out;
}

std::vector<std::u16string> Names(IStorage* stg) {
  std::vector<std::u16string> names;
  ComPtr<IEnumSTATSTG> e;
  if (stg->EnumElements(0, nullptr, 0, &e) != S_OK) return names;
  STATSTG st{};
  ULONG n = 0;
  while (e->Next(1, &st, &n) == S_OK && n == 1) {
    names.emplace_back(st.pwcsName);
    CoTaskMemFree(st.pwcsName);
  }
  return names;
}

// A storage with streams, a sub-storage and classes on both.
ComPtr<IStorage> MakeSample() {
  ComPtr<IStorage> root;
  EXPECT_EQ(StgCreateStorageInMemory(&root), S_OK);
  WriteText(root.get(), u"Contents", "graph settings");
  WriteText(root.get(), u"Empty", "");
  EXPECT_EQ(WriteClassStg(root.get(), kRootClass), S_OK);
  ComPtr<IStorage> sub;
  EXPECT_EQ(root->CreateStorage(u"Sub", STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE, 0, 0, &sub), S_OK);
  WriteText(sub.get(), u"Inner", std::string(1000, 'q'));
  EXPECT_EQ(sub->SetClass(kSubClass), S_OK);
  EXPECT_EQ(sub->SetStateBits(0x5, 0xFF), S_OK);
  return root;
}

void ExpectSample(IStorage* root) {
  CLSID clsid{};
  EXPECT_EQ(ReadClassStg(root, &clsid), S_OK);
  EXPECT_EQ(clsid, kRootClass);
  EXPECT_EQ(Names(root), (std::vector<std::u16string>{u"Contents", u"Empty", u"Sub"}));
  EXPECT_EQ(ReadText(root, u"contents"), "graph settings");
  EXPECT_EQ(ReadText(root, u"Empty"), "");
  ComPtr<IStorage> sub;
  ASSERT_EQ(root->OpenStorage(u"SUB", nullptr, STGM_READWRITE | STGM_SHARE_EXCLUSIVE, nullptr, 0, &sub), S_OK);
  EXPECT_EQ(ReadText(sub.get(), u"Inner"), std::string(1000, 'q'));
  STATSTG st{};
  ASSERT_EQ(sub->Stat(&st, STATFLAG_DEFAULT), S_OK);
  EXPECT_EQ(std::tuple(std::u16string(st.pwcsName), st.type, st.clsid, st.grfStateBits),
            std::tuple(std::u16string(u"Sub"), DWORD{STGTY_STORAGE}, kSubClass, DWORD{5}));
  CoTaskMemFree(st.pwcsName);
}

TEST(Storage, CreatesOpensAndReplacesElements) {
  ComPtr<IStorage> root = MakeSample();
  ExpectSample(root.get());
  ComPtr<IStream> s;
  EXPECT_EQ(root->CreateStream(u"CONTENTS", STGM_READWRITE | STGM_SHARE_EXCLUSIVE, 0, 0, &s), STG_E_FILEALREADYEXISTS);
  EXPECT_EQ(ReadText(root.get(), u"Contents"), "graph settings");
  WriteText(root.get(), u"Contents", "new");
  EXPECT_EQ(ReadText(root.get(), u"Contents"), "new");
  EXPECT_EQ(root->OpenStream(u"Nothing", nullptr, STGM_READ, 0, &s), STG_E_FILENOTFOUND);
  EXPECT_EQ(root->OpenStream(u"Sub", nullptr, STGM_READ, 0, &s), STG_E_FILENOTFOUND);  // a storage
  ComPtr<IStorage> sub;
  EXPECT_EQ(root->OpenStorage(u"Contents", nullptr, STGM_READ, nullptr, 0, &sub), STG_E_FILENOTFOUND);
  for (const OLECHAR* bad : {u"", u"a/b", u"a\\b", u"a:b", u"a!b", u"0123456789012345678901234567890123"})
    EXPECT_EQ(root->CreateStream(bad, STGM_CREATE, 0, 0, &s), STG_E_INVALIDNAME);
  EXPECT_EQ(root->CreateStream(nullptr, STGM_CREATE, 0, 0, &s), STG_E_INVALIDNAME);

  // Streams opened twice see each other's writes.
  ComPtr<IStream> a;
  ComPtr<IStream> b;
  ASSERT_EQ(root->OpenStream(u"Empty", nullptr, STGM_READWRITE, 0, &a), S_OK);
  ASSERT_EQ(root->OpenStream(u"Empty", nullptr, STGM_READWRITE, 0, &b), S_OK);
  ASSERT_EQ(a->Write("shared", 6, nullptr), S_OK);
  char buf[8] = {};
  ULONG n = 0;
  EXPECT_EQ(b->Read(buf, 6, &n), S_OK);
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
  EXPECT_EQ(Names(root.get()), (std::vector<std::u16string>{u"Data", u"Empty"}));

  ComPtr<IEnumSTATSTG> e;
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
  ComPtr<IEnumSTATSTG> clone;
  ASSERT_EQ(e->Clone(&clone), S_OK);
  ASSERT_EQ(clone->Next(1, items, &fetched), S_OK);
  EXPECT_EQ(std::u16string(items[0].pwcsName), u"Empty");
  CoTaskMemFree(items[0].pwcsName);
  EXPECT_EQ(e->Skip(5), S_FALSE);
}

TEST(Storage, CopiesIntoOtherStoragesAndIntoItself) {
  ComPtr<IStorage> root = MakeSample();
  ComPtr<IStorage> other;
  ASSERT_EQ(StgCreateStorageInMemory(&other), S_OK);
  ASSERT_EQ(root->CopyTo(0, nullptr, nullptr, other.get()), S_OK);
  ExpectSample(other.get());

  // Into its own sub-storage: copies what was there when the copy started.
  ComPtr<IStorage> sub;
  ASSERT_EQ(root->OpenStorage(u"Sub", nullptr, STGM_READWRITE, nullptr, 0, &sub), S_OK);
  ASSERT_EQ(root->CopyTo(0, nullptr, nullptr, sub.get()), S_OK);
  EXPECT_EQ(Names(sub.get()), (std::vector<std::u16string>{u"Contents", u"Empty", u"Inner", u"Sub"}));

  ComPtr<IStorage> noStreams;
  ASSERT_EQ(StgCreateStorageInMemory(&noStreams), S_OK);
  const IID exclude[] = {IID_IStream};
  OLECHAR subName[] = u"Sub";
  OLECHAR* snb[] = {subName, nullptr};
  ASSERT_EQ(root->CopyTo(1, exclude, snb, noStreams.get()), S_OK);
  EXPECT_TRUE(Names(noStreams.get()).empty());

  ASSERT_EQ(root->MoveElementTo(u"Contents", other.get(), u"Moved", STGMOVE_MOVE), S_OK);
  EXPECT_EQ(ReadText(other.get(), u"Moved"), "graph settings");
  EXPECT_EQ(ReadText(root.get(), u"Contents"), "<missing>");
  ASSERT_EQ(root->MoveElementTo(u"Sub", root.get(), u"Sub2", STGMOVE_COPY), S_OK);
  EXPECT_EQ(Names(root.get()), (std::vector<std::u16string>{u"Empty", u"Sub", u"Sub2"}));
}

// Storage files in a scratch directory; Open leaves the loaded storage in `loaded`.
class StorageFile : public ::testing::Test {
 protected:
  std::string Saved(IStorage* root) {
    EXPECT_EQ(StgSaveStorageToFile(root, path.c_str()), S_OK);
    return ReadFile(path);
  }
  HRESULT Open(const std::string& file) {
    loaded.Reset();
    const HRESULT hr = StgOpenStorageFromFile(file.c_str(), &loaded);
    EXPECT_EQ(SUCCEEDED(hr), loaded.get() != nullptr) << file;
    return hr;
  }
  HRESULT OpenBytes(const std::string& bytes) {
    WriteFile(path, bytes);
    return Open(path);
  }

  ScratchDir dir;
  const std::string path = dir / "graph.stg";
  ComPtr<IStorage> loaded;
};

TEST_F(StorageFile, RoundTripsAndReportsMissingFiles) {
  ComPtr<IStorage> root = MakeSample();
  const std::string first = Saved(root.get());
  ASSERT_EQ(Open(path), S_OK);
  ExpectSample(loaded.get());
  // Saving again gives the same bytes, and leaves no temporary file.
  EXPECT_EQ(Saved(loaded.get()), first);
  int entries = 0;
  for (const auto& e : std::filesystem::directory_iterator(dir.path())) entries += e.is_regular_file();
  EXPECT_EQ(entries, 1);

  EXPECT_EQ(Open(dir / "none.stg"), STG_E_FILENOTFOUND);
  EXPECT_EQ(Open(dir / "no/none.stg"), STG_E_PATHNOTFOUND);
  EXPECT_EQ(StgSaveStorageToFile(root.get(), (dir / "no/none.stg").c_str()), STG_E_PATHNOTFOUND);
  EXPECT_EQ(Open(dir.path()), STG_E_ACCESSDENIED);
}

TEST_F(StorageFile, EveryTruncationAndEveryFlippedByteIsRejected) {
  const std::string good = Saved(MakeSample().get());
  for (std::size_t cut = 0; cut < good.size(); ++cut)
    EXPECT_EQ(OpenBytes(good.substr(0, cut)), STG_E_DOCFILECORRUPT) << "cut at " << cut;
  for (std::size_t i = 0; i < good.size(); ++i) {
    std::string bad = good;
    bad[i] = static_cast<char>(bad[i] ^ 0x41);
    EXPECT_TRUE(FAILED(OpenBytes(bad))) << "byte " << i;
  }
  EXPECT_EQ(OpenBytes(good + "x"), STG_E_DOCFILECORRUPT);
}

// The file's trailer is a CRC-32 of everything before it; these tests forge it to reach the
// parser with lying contents.
std::string WithCrc(std::string body) {
  std::uint32_t crc = 0xFFFFFFFFu;
  for (char ch : body) {
    crc ^= static_cast<unsigned char>(ch);
    for (int k = 0; k < 8; ++k) crc = (crc & 1) ? 0xEDB88320u ^ (crc >> 1) : crc >> 1;
  }
  crc ^= 0xFFFFFFFFu;
  for (int i = 0; i < 4; ++i) body.push_back(static_cast<char>(crc >> (8 * i)));
  return body;
}

TEST_F(StorageFile, LyingFieldsBehindAValidChecksumAreRejected) {
  ComPtr<IStorage> root;
  ASSERT_EQ(StgCreateStorageInMemory(&root), S_OK);
  WriteText(root.get(), u"S", "abc");
  const std::string good = Saved(root.get());
  const std::string body = good.substr(0, good.size() - 4);
  // Layout: header 16, class id 16, state bits 4, count 4, kind 1, name length 2, name 2, size 8.
  constexpr std::size_t kCount = 36, kNameLength = 41, kSize = 45;
  auto forge = [&](std::size_t offset, std::string_view bytes) {
    std::string b = body;
    b.replace(offset, bytes.size(), bytes);
    return OpenBytes(WithCrc(b));
  };
  const std::pair<std::size_t, std::string> lies[] = {{kSize, std::string(8, '\xFF')},
                                                      {kSize, std::string("\x04\0\0\0\0\0\0\0", 8)},
                                                      {kCount, std::string(4, '\xFF')},
                                                      {kCount, std::string("\0\0\0\0", 4)},  // trailing bytes
                                                      {kNameLength, std::string("\x20\0", 2)},
                                                      {kNameLength, std::string("\0\0", 2)},
                                                      {kNameLength - 1, "\x03"},                  // unknown kind
                                                      {kNameLength + 2, std::string("/\0", 2)}};  // bad name
  for (const auto& [offset, bytes] : lies) EXPECT_EQ(forge(offset, bytes), STG_E_DOCFILECORRUPT) << offset;
  EXPECT_EQ(forge(8, std::string("\x02\0\0\0", 4)), STG_E_OLDDLL);  // newer version

  // Any single changed byte with a matching checksum: an error or a storage, never a crash.
  for (std::size_t i = 8; i < body.size(); ++i) {
    for (char delta : {'\x01', '\x80', '\x7F'}) {
      std::string b = body;
      b[i] = static_cast<char>(b[i] ^ delta);
      OpenBytes(WithCrc(b));
    }
  }
}

TEST_F(StorageFile, DeepNestingIsBounded) {
  ComPtr<IStorage> root;
  ASSERT_EQ(StgCreateStorageInMemory(&root), S_OK);
  ComPtr<IStorage> current = root;
  for (int i = 0; i < 70; ++i) {
    ComPtr<IStorage> next;
    ASSERT_EQ(current->CreateStorage(u"d", STGM_CREATE, 0, 0, &next), S_OK);
    current = next;
  }
  EXPECT_EQ(StgSaveStorageToFile(root.get(), path.c_str()), STG_E_CANTSAVE);
  EXPECT_FALSE(std::filesystem::exists(path));
}

}  // namespace
