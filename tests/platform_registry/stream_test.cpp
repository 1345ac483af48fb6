// Memory streams, file streams and the class id helpers.
#include "support/scratch_dir.h"
#include "support/stream_bytes.h"

#include <cstring>
#include <tuple>
#include <vector>

namespace {

using kelmira::ComPtr;
using namespace kelmira::test;
using Codes = std::vector<HRESULT>;

TEST(MemoryStream, ReadsWritesAndSeeks) {
  ComPtr<IStream> s = MemoryStream("hello world");
  ULARGE_INTEGER pos{};
  // Reading past the end succeeds with fewer bytes.
  EXPECT_EQ((std::tuple{s->Seek(LARGE_INTEGER{-5}, STREAM_SEEK_END, &pos), pos.QuadPart, Read(s.get()), Read(s.get())}),
            std::tuple(S_OK, 6u, "world", ""));

  // Seeking before the start or past the 64-bit range fails and leaves the position.
  for (auto [move, origin] : {std::pair{-12LL, DWORD{STREAM_SEEK_END}}, {0, 7}, {INT64_MAX, STREAM_SEEK_CUR}})
    EXPECT_EQ(s->Seek(LARGE_INTEGER{move}, origin, &pos), STG_E_INVALIDFUNCTION);
  EXPECT_EQ(PositionOf(s.get()), 11u);

  // Writing after a gap zero-fills it.
  ULONG n = 0, none = 1;
  STATSTG st{};
  EXPECT_EQ((Codes{s->Seek(LARGE_INTEGER{14}, STREAM_SEEK_SET, nullptr), s->Write("!", 1, nullptr),
                   s->Stat(&st, STATFLAG_NONAME), s->Read(nullptr, 1, &n), s->Write(nullptr, 1, &n)}),
            (Codes{S_OK, S_OK, S_OK, STG_E_INVALIDPOINTER, STG_E_INVALIDPOINTER}));
  EXPECT_EQ(std::tuple(st.type, st.cbSize.QuadPart, st.pwcsName), std::tuple(DWORD{STGTY_STREAM}, 15u, nullptr));
  EXPECT_EQ(Block(s.get()), std::string("hello world\0\0\0!", 15));

  // Shrinking keeps the position; sizes beyond the block's reach fail and change nothing.
  EXPECT_EQ((std::tuple{s->SetSize(ULARGE_INTEGER{3}), PositionOf(s.get()), Read(s.get())}), std::tuple(S_OK, 15u, ""));
  EXPECT_EQ((Codes{s->SetSize(ULARGE_INTEGER{0x80000000ull}),
                   s->Seek(LARGE_INTEGER{0x7FFFFFFFFFFFFFF0}, STREAM_SEEK_SET, nullptr), s->Write("x", 1, &none)}),
            (Codes{STG_E_MEDIUMFULL, S_OK, STG_E_MEDIUMFULL}));
  EXPECT_EQ(none, 0u);
  EXPECT_EQ(Block(s.get()), "hel");
}

TEST(Stream, ClonesShareBytesButNotPositionKeepTheBlockAliveCopyAndFilesWork) {
  ComPtr<IStream> s = MemoryStream("abc"), clone;
  EXPECT_EQ((std::tuple{s->Clone(&clone), PositionOf(clone.get()), clone->Write("def", 3, nullptr), PositionOf(s.get()),
                        Read(s.get())}),
            std::tuple(S_OK, 3u, S_OK, 3u, "def"));

  // Copying into a clone of itself (the same block) must not deadlock.
  EXPECT_EQ((std::tuple{s->Seek(LARGE_INTEGER{0}, STREAM_SEEK_SET, nullptr),
                        s->CopyTo(clone.get(), ULARGE_INTEGER{4}, nullptr, nullptr), Block(s.get())}),
            std::tuple(S_OK, S_OK, "abcdefabcd"));

  // The block lives while a clone does, even after the original goes, and is freed with the last
  // stream; one the caller keeps is not.
  HGLOBAL h = nullptr, kept = GlobalAlloc(GHND, 4);
  ASSERT_NE(kept, nullptr);
  std::memcpy(GlobalLock(kept), "wxyz", 4);
  GlobalUnlock(kept);
  ASSERT_EQ(GetHGlobalFromStream(s.get(), &h), S_OK);
  s.Reset();
  EXPECT_EQ(GlobalSize(h), 10u);
  clone.Reset();
  EXPECT_EQ((std::tuple{CreateStreamOnHGlobal(kept, FALSE, &s), Read(s.get())}), std::tuple(S_OK, "wxyz"));
  s.Reset();
  EXPECT_EQ(std::pair(GlobalSize(h), GlobalSize(kept)), std::pair(SIZE_T{0}, SIZE_T{4}));
  EXPECT_EQ(std::pair(GlobalFree(h), GlobalFree(kept)), std::pair(h, HGLOBAL{}));  // one already gone
  EXPECT_EQ(CreateStreamOnHGlobal(kept, FALSE, &s), E_INVALIDARG);                 // freed handle
  EXPECT_EQ(GlobalAlloc(GMEM_FIXED, SIZE_T{1} << 40), nullptr);

  // Copies to another stream go in chunks to the end of the source.
  std::string big(200000, 'x');
  for (std::size_t i = 0; i < big.size(); ++i) big[i] = static_cast<char>(i * 7);
  ComPtr<IStream> src = MemoryStream(big), dst = MemoryStream(), ids = MemoryStream();
  ASSERT_EQ(src->Seek(LARGE_INTEGER{10}, STREAM_SEEK_SET, nullptr), S_OK);
  ULARGE_INTEGER read{}, written{};
  ASSERT_EQ(src->CopyTo(dst.get(), ULARGE_INTEGER{~0ull}, &read, &written), S_OK);
  EXPECT_EQ(std::pair(read.QuadPart, written.QuadPart), std::pair(big.size() - 10, big.size() - 10));
  EXPECT_EQ(Block(dst.get()), big.substr(10));
  EXPECT_EQ(src->CopyTo(nullptr, ULARGE_INTEGER{4}, &read, &written), STG_E_INVALIDPOINTER);

  // Class ids go into a stream in their little-endian layout; a short one is not read.
  constexpr CLSID kId = KELMIRA_GUID(0x01020304, 0x0506, 0x0708, 9, 10, 11, 12, 13, 14, 15, 16);
  EXPECT_EQ((std::tuple{WriteClassStm(ids.get(), kId), Block(ids.get())}),
            std::tuple(S_OK, "\4\3\2\1\6\5\x08\7\x09\x0a\x0b\x0c\x0d\x0e\x0f\x10"));
  CLSID back{};
  EXPECT_EQ((Codes{ids->Seek(LARGE_INTEGER{0}, STREAM_SEEK_SET, nullptr), ReadClassStm(ids.get(), &back),
                   ids->Seek(LARGE_INTEGER{-8}, STREAM_SEEK_END, nullptr), ReadClassStm(ids.get(), &back)}),
            (Codes{S_OK, S_OK, S_OK, STG_E_READFAULT}));
  EXPECT_EQ(back, kId);

  // File streams write, read and report open errors.
  ScratchDir dir;
  const std::string path = dir / "data.bin";
  ComPtr<IStream> file;
  EXPECT_EQ((Codes{SHCreateStreamOnFileA(path.c_str(), STGM_READ, &file),
                   SHCreateStreamOnFileA((dir / "missing/data.bin").c_str(), STGM_CREATE | STGM_WRITE, &file),
                   SHCreateStreamOnFileA(dir.path().c_str(), STGM_WRITE, &file),
                   SHCreateStreamOnFileA(dir.path().c_str(), STGM_READ, &file),
                   SHCreateStreamOnFileA(path.c_str(), 3, &file)}),
            (Codes{STG_E_FILENOTFOUND, STG_E_PATHNOTFOUND, STG_E_ACCESSDENIED, STG_E_ACCESSDENIED, STG_E_INVALIDFLAG}));
  EXPECT_EQ(file.get(), nullptr);

  ASSERT_EQ(SHCreateStreamOnFileA(path.c_str(), STGM_CREATE | STGM_READWRITE, &file), S_OK);
  ULARGE_INTEGER pos{};
  STATSTG st{};
  EXPECT_EQ((std::tuple{file->Write("0123456789", 10, nullptr), file->Commit(STGC_DEFAULT), ReadFile(path),
                        file->Seek(LARGE_INTEGER{-4}, STREAM_SEEK_END, &pos), pos.QuadPart, Read(file.get()),
                        file->SetSize(ULARGE_INTEGER{5}), file->Stat(&st, STATFLAG_NONAME), st.cbSize.QuadPart}),
            std::tuple(S_OK, S_OK, "0123456789", S_OK, 6u, "6789", S_OK, S_OK, 5u));

  // Access modes are enforced.
  char buf[1];
  ULONG n = 0;
  ComPtr<IStream> reading, writing;
  ASSERT_EQ((Codes{SHCreateStreamOnFileA(path.c_str(), STGM_READ, &reading),
                   SHCreateStreamOnFileA(path.c_str(), STGM_WRITE, &writing)}),
            Codes(2, S_OK));
  EXPECT_EQ((Codes{reading->Write("x", 1, &n), reading->SetSize(ULARGE_INTEGER{0}), writing->Read(buf, 1, &n)}),
            (Codes{STG_E_ACCESSDENIED, STG_E_ACCESSDENIED, STG_E_ACCESSDENIED}));
  EXPECT_EQ(ReadFile(path), "01234");

  // A full device gives STG_E_MEDIUMFULL.
  if (SHCreateStreamOnFileA("/dev/full", STGM_WRITE, &file) != S_OK) GTEST_SKIP() << "no /dev/full";
  n = 1;
  EXPECT_EQ((std::tuple{file->Write("x", 1, &n), n}), std::tuple(STG_E_MEDIUMFULL, 0u));
}

}  // namespace
