// A sample storage (streams, a sub-storage, classes and state bits) with the check that a storage
// holds exactly it, streams of a storage written and read as text, and storage files made of given
// bytes (with the CRC-32 trailer that lets forged contents reach the parser).
#pragma once

#include "support/scratch_dir.h"

#include <kelmira/platform.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <tuple>
#include <vector>

namespace kelmira::test {

using ElementNames = std::vector<std::u16string>;

inline constexpr CLSID kSampleRootClass = KELMIRA_GUID(0x12345678, 0x9ABC, 0xDEF0, 1, 2, 3, 4, 5, 6, 7, 8);
inline constexpr CLSID kSampleSubClass = KELMIRA_GUID(0x87654321, 0, 0, 8, 7, 6, 5, 4, 3, 2, 1);
inline constexpr DWORD kCreateExclusive = STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE;

inline void WriteText(IStorage* stg, const OLECHAR* name, const std::string& text) {
  ComPtr<IStream> s;
  ASSERT_EQ(stg->CreateStream(name, kCreateExclusive, 0, 0, &s), S_OK);
  ASSERT_EQ(s->Write(text.data(), static_cast<ULONG>(text.size()), nullptr), S_OK);
}

// The stream's first 4096 bytes, or "<missing>".
inline std::string ReadText(IStorage* stg, const OLECHAR* name) {
  ComPtr<IStream> s;
  if (stg->OpenStream(name, nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE, 0, &s) != S_OK) return "<missing>";
  std::string out(4096, '\0');
  ULONG n = 0;
  EXPECT_EQ(s->Read(out.data(), 4096, &n), S_OK);
  return out.substr(0, n);
}

inline ElementNames NamesIn(IStorage* stg) {
  ElementNames names;
  ComPtr<IEnumSTATSTG> e;
  EXPECT_EQ(stg->EnumElements(0, nullptr, 0, &e), S_OK);
  for (STATSTG st{}; e && e->Next(1, &st, nullptr) == S_OK; CoTaskMemFree(st.pwcsName)) names.emplace_back(st.pwcsName);
  return names;
}

// Contents "graph settings", Empty "", and Sub holding Inner (1000 'q').
inline ComPtr<IStorage> MakeSample() {
  ComPtr<IStorage> root, sub;
  EXPECT_EQ(StgCreateStorageInMemory(&root), S_OK);
  WriteText(root.get(), u"Contents", "graph settings");
  WriteText(root.get(), u"Empty", "");
  EXPECT_EQ(WriteClassStg(root.get(), kSampleRootClass), S_OK);
  EXPECT_EQ(root->CreateStorage(u"Sub", kCreateExclusive, 0, 0, &sub), S_OK);
  WriteText(sub.get(), u"Inner", std::string(1000, 'q'));
  EXPECT_EQ(sub->SetClass(kSampleSubClass), S_OK);
  EXPECT_EQ(sub->SetStateBits(0x5, 0xFF), S_OK);
  return root;
}

// Names are looked up in any case.
inline void ExpectSample(IStorage* root) {
  CLSID clsid{};
  ComPtr<IStorage> sub;
  STATSTG st{};
  EXPECT_EQ(ReadClassStg(root, &clsid), S_OK);
  ASSERT_EQ(root->OpenStorage(u"SUB", nullptr, STGM_READWRITE | STGM_SHARE_EXCLUSIVE, nullptr, 0, &sub), S_OK);
  ASSERT_EQ(sub->Stat(&st, STATFLAG_DEFAULT), S_OK);
  const std::u16string name = st.pwcsName;
  CoTaskMemFree(st.pwcsName);
  EXPECT_EQ(std::tuple(clsid, NamesIn(root), ReadText(root, u"contents") + "|" + ReadText(root, u"Empty"),
                       ReadText(sub.get(), u"Inner"), name, st.type, st.clsid, st.grfStateBits),
            std::tuple(kSampleRootClass, ElementNames{u"Contents", u"Empty", u"Sub"}, "graph settings|",
                       std::string(1000, 'q'), u"Sub", DWORD{STGTY_STORAGE}, kSampleSubClass, DWORD{5}));
}

// Writes bytes to path and opens them; a storage comes back exactly when the result is a success.
inline HRESULT OpenStorageBytes(const std::string& path, const std::string& bytes) {
  WriteFile(path, bytes);
  ComPtr<IStorage> loaded;
  const HRESULT hr = StgOpenStorageFromFile(path.c_str(), &loaded);
  EXPECT_EQ(SUCCEEDED(hr), loaded != nullptr);
  return hr;
}

// body followed by its CRC-32 (IEEE, as zlib computes it), little-endian.
inline std::string WithCrc(std::string body) {
  std::uint32_t crc = 0xFFFFFFFFu;
  for (char ch : body) {
    crc ^= static_cast<unsigned char>(ch);
    for (int k = 0; k < 8; ++k) crc = (crc & 1) ? 0xEDB88320u ^ (crc >> 1) : crc >> 1;
  }
  for (int i = 0; i < 4; ++i) body.push_back(static_cast<char>(~crc >> (8 * i)));
  return body;
}

}  // namespace kelmira::test
