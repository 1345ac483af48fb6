// Storage files, format version 1. All integers are little-endian.
//
//   header   8 bytes  magic 89 4B 53 54 47 0D 0A 1A  ("\x89KSTG\r\n\x1A")
//            u32      format version (1)
//            u32      flags, 0
//   body     the root storage:
//              16 bytes  class id (u32, u16, u16, 8 bytes)
//              u32       state bits
//              u32       element count
//              elements, each:
//                u8        kind: 1 storage, 2 stream
//                u16       name length in UTF-16 units (1..31)
//                u16[n]    name
//                stream:   u64 size, then the bytes
//                storage:  a storage record as above (nested at most 64 deep)
//   trailer  u32      CRC-32 (IEEE 802.3, as zlib computes it) of every byte before it
//
// Every version keeps the magic and ends with the CRC, which is checked before anything else is
// believed; lengths and counts are then checked against the bytes that remain before anything
// is allocated, so a truncated, corrupt or lying file gives STG_E_DOCFILECORRUPT. A newer
// version gives STG_E_OLDDLL. Files are written atomically (see atomic_file.h).
#include "com/atomic_file.h"
#include "com/file_errors.h"
#include "com/storage_tree.h"
#include "com/utf16_util.h"

#include <kelmira/platform/com_ptr.h>

#include <array>
#include <cerrno>

namespace kelmira::storage {
namespace {

constexpr unsigned char kMagic[8] = {0x89, 'K', 'S', 'T', 'G', '\r', '\n', 0x1A};
constexpr std::uint32_t kVersion = 1;
constexpr std::size_t kHeaderSize = 16;
constexpr std::size_t kTrailerSize = 4;
constexpr std::uint8_t kKindStorage = 1;
constexpr std::uint8_t kKindStream = 2;
// Smallest possible element: kind, name length, one character, then a stream's size.
constexpr std::size_t kMinElementSize = 1 + 2 + 2 + 8;
// Storage files are read whole; larger ones are refused rather than allocated.
constexpr std::size_t kMaxFileSize = std::size_t{1} << 31;

std::uint32_t Crc32(std::string_view data) {
  static const std::array<std::uint32_t, 256> table = [] {
    std::array<std::uint32_t, 256> t{};
    for (std::uint32_t i = 0; i < 256; ++i) {
      std::uint32_t c = i;
      for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      t[i] = c;
    }
    return t;
  }();
  std::uint32_t crc = 0xFFFFFFFFu;
  for (char ch : data) crc = table[(crc ^ static_cast<unsigned char>(ch)) & 0xFF] ^ (crc >> 8);
  return crc ^ 0xFFFFFFFFu;
}

// ---------------------------------------------------------------------------------------------
// Writing

class Writer {
 public:
  void U8(std::uint8_t v) { out_.push_back(static_cast<char>(v)); }
  void U16(std::uint16_t v) { Le(v, 2); }
  void U32(std::uint32_t v) { Le(v, 4); }
  void U64(std::uint64_t v) { Le(v, 8); }
  void Bytes(const void* p, std::size_t n) { out_.append(static_cast<const char*>(p), n); }
  void Guid(const GUID& g) {
    U32(g.Data1);
    U16(g.Data2);
    U16(g.Data3);
    Bytes(g.Data4, 8);
  }
  std::string& data() { return out_; }

 private:
  void Le(std::uint64_t v, int n) {
    for (int i = 0; i < n; ++i) out_.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
  }
  std::string out_;
};

HRESULT WriteStream(IStream* stream, Writer& w) {
  STATSTG st{};
  if (HRESULT hr = stream->Stat(&st, STATFLAG_NONAME); FAILED(hr)) return hr;
  CoTaskMemFree(st.pwcsName);
  LARGE_INTEGER zero{0};
  if (HRESULT hr = stream->Seek(zero, STREAM_SEEK_SET, nullptr); FAILED(hr)) return hr;
  std::size_t sizePos = w.data().size();
  w.U64(0);  // patched below with what was actually read
  std::uint64_t total = 0;
  char chunk[65536];
  while (true) {
    ULONG got = 0;
    HRESULT hr = stream->Read(chunk, sizeof chunk, &got);
    if (FAILED(hr)) return hr;
    if (got == 0) break;
    w.Bytes(chunk, got);
    total += got;
  }
  for (int i = 0; i < 8; ++i) w.data()[sizePos + i] = static_cast<char>((total >> (8 * i)) & 0xFF);
  return S_OK;
}

// Any IStorage, through its interface.
HRESULT WriteStorage(IStorage* stg, Writer& w, int depth) {
  if (depth > kMaxDepth) return STG_E_CANTSAVE;
  STATSTG self{};
  if (HRESULT hr = stg->Stat(&self, STATFLAG_NONAME); FAILED(hr)) return hr;
  CoTaskMemFree(self.pwcsName);
  w.Guid(self.clsid);
  w.U32(self.grfStateBits);
  ComPtr<IEnumSTATSTG> elements;
  if (HRESULT hr = stg->EnumElements(0, nullptr, 0, &elements); FAILED(hr)) return hr;
  if (!elements) return E_UNEXPECTED;
  std::size_t countPos = w.data().size();
  w.U32(0);  // patched below
  std::uint32_t count = 0;
  while (true) {
    STATSTG st{};
    ULONG fetched = 0;
    HRESULT hr = elements->Next(1, &st, &fetched);
    if (FAILED(hr)) return hr;
    if (fetched == 0) break;
    std::u16string name(utf16::View(st.pwcsName));
    CoTaskMemFree(st.pwcsName);
    if (!IsValidName(name)) return STG_E_INVALIDNAME;
    if (st.type != STGTY_STREAM && st.type != STGTY_STORAGE) continue;
    w.U8(st.type == STGTY_STREAM ? kKindStream : kKindStorage);
    w.U16(static_cast<std::uint16_t>(name.size()));
    for (char16_t c : name) w.U16(c);
    if (st.type == STGTY_STREAM) {
      ComPtr<IStream> stream;
      hr = stg->OpenStream(name.c_str(), nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE, 0, &stream);
      if (SUCCEEDED(hr)) hr = stream ? WriteStream(stream.get(), w) : E_UNEXPECTED;
    } else {
      ComPtr<IStorage> sub;
      hr = stg->OpenStorage(name.c_str(), nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE, nullptr, 0, &sub);
      if (SUCCEEDED(hr)) hr = sub ? WriteStorage(sub.get(), w, depth + 1) : E_UNEXPECTED;
    }
    if (FAILED(hr)) return hr;
    ++count;
  }
  for (int i = 0; i < 4; ++i) w.data()[countPos + i] = static_cast<char>((count >> (8 * i)) & 0xFF);
  return S_OK;
}

// ---------------------------------------------------------------------------------------------
// Reading

class Reader {
 public:
  explicit Reader(std::string_view data) : data_(data) {}
  std::size_t left() const { return data_.size() - pos_; }
  bool U8(std::uint8_t* v) { return Le(v, 1); }
  bool U16(std::uint16_t* v) { return Le(v, 2); }
  bool U32(std::uint32_t* v) { return Le(v, 4); }
  bool U64(std::uint64_t* v) { return Le(v, 8); }
  bool Bytes(std::size_t n, std::string_view* out) {
    if (n > left()) return false;
    *out = data_.substr(pos_, n);
    pos_ += n;
    return true;
  }
  bool Guid(GUID* g) {
    std::string_view d4;
    if (!U32(&g->Data1) || !U16(&g->Data2) || !U16(&g->Data3) || !Bytes(8, &d4)) return false;
    std::memcpy(g->Data4, d4.data(), 8);
    return true;
  }

 private:
  template <class T>
  bool Le(T* v, std::size_t n) {
    if (n > left()) return false;
    std::uint64_t x = 0;
    for (std::size_t i = 0; i < n; ++i)
      x |= static_cast<std::uint64_t>(static_cast<unsigned char>(data_[pos_ + i])) << (8 * i);
    pos_ += n;
    *v = static_cast<T>(x);
    return true;
  }
  std::string_view data_;
  std::size_t pos_ = 0;
};

bool ReadElement(Reader& r, Node& node, int depth);

bool ReadNode(Reader& r, Node& node, int depth) {
  if (depth > kMaxDepth) return false;
  std::uint32_t count = 0;
  if (!r.Guid(&node.clsid) || !r.U32(&node.stateBits) || !r.U32(&count)) return false;
  if (count > r.left() / kMinElementSize) return false;  // a lying count
  for (std::uint32_t i = 0; i < count; ++i)
    if (!ReadElement(r, node, depth)) return false;
  return true;
}

bool ReadElement(Reader& r, Node& node, int depth) {
  std::uint8_t kind = 0;
  std::uint16_t length = 0;
  if (!r.U8(&kind) || !r.U16(&length) || length == 0 || length > kMaxNameLength) return false;
  std::u16string name;
  for (std::uint16_t i = 0; i < length; ++i) {
    std::uint16_t c = 0;
    if (!r.U16(&c)) return false;
    name.push_back(static_cast<char16_t>(c));
  }
  if (!IsValidName(name) || node.elements.count(name)) return false;
  Element e{name, nullptr, nullptr};
  if (kind == kKindStream) {
    std::uint64_t size = 0;
    std::string_view bytes;
    if (!r.U64(&size) || size > r.left() || !r.Bytes(static_cast<std::size_t>(size), &bytes)) return false;
    e.stream = std::make_shared<memory::Block>();
    e.stream->bytes.assign(bytes.begin(), bytes.end());
  } else if (kind == kKindStorage) {
    e.storage = std::make_shared<Node>();
    if (!ReadNode(r, *e.storage, depth + 1)) return false;
  } else {
    return false;
  }
  node.elements.emplace(name, std::move(e));
  return true;
}

HRESULT Parse(std::string_view data, std::shared_ptr<Node>* out) {
  if (data.size() < kHeaderSize + kTrailerSize || std::memcmp(data.data(), kMagic, sizeof kMagic) != 0)
    return STG_E_DOCFILECORRUPT;
  std::string_view covered = data.substr(0, data.size() - kTrailerSize);
  Reader trailer(data.substr(covered.size()));
  std::uint32_t crc = 0;
  if (!trailer.U32(&crc) || crc != Crc32(covered)) return STG_E_DOCFILECORRUPT;
  Reader r(covered.substr(sizeof kMagic));
  std::uint32_t version = 0;
  std::uint32_t flags = 0;
  if (!r.U32(&version) || !r.U32(&flags)) return STG_E_DOCFILECORRUPT;
  if (version > kVersion) return STG_E_OLDDLL;
  if (version != kVersion || flags != 0) return STG_E_DOCFILECORRUPT;
  auto root = std::make_shared<Node>();
  if (!ReadNode(r, *root, 0) || r.left() != 0) return STG_E_DOCFILECORRUPT;
  *out = std::move(root);
  return S_OK;
}

}  // namespace
}  // namespace kelmira::storage

HRESULT StgSaveStorageToFile(IStorage* pstg, LPCSTR pszFile) {
  using namespace kelmira::storage;
  if (!pstg || !pszFile || !*pszFile) return STG_E_INVALIDPOINTER;
  return StorageGuarded([&] {
    Writer w;
    w.Bytes(kMagic, sizeof kMagic);
    w.U32(kVersion);
    w.U32(0);
    if (HRESULT hr = WriteStorage(pstg, w, 0); FAILED(hr)) return hr;
    w.U32(Crc32(w.data()));
    std::string path(pszFile);
    int err = kelmira::files::WriteFileAtomically(path, w.data());
    if (err == 0) return S_OK;
    if (err == ENOSPC || err == EDQUOT || err == EFBIG || err == EIO) return kelmira::files::WriteErrorToHResult(err);
    return kelmira::files::OpenErrorToHResult(err, path);
  });
}

HRESULT StgOpenStorageFromFile(LPCSTR pszFile, IStorage** ppstg) {
  using namespace kelmira::storage;
  if (!ppstg) return STG_E_INVALIDPOINTER;
  *ppstg = nullptr;
  if (!pszFile || !*pszFile) return STG_E_INVALIDNAME;
  return StorageGuarded([&] {
    std::string path(pszFile);
    std::string data;
    int err = kelmira::files::ReadWholeFile(path, kMaxFileSize, &data);
    if (err == EFBIG) return STG_E_DOCFILECORRUPT;
    if (err == EISDIR || err == EINVAL) return STG_E_ACCESSDENIED;
    if (err == EIO) return STG_E_READFAULT;
    if (err != 0) return kelmira::files::OpenErrorToHResult(err, path);
    std::shared_ptr<Node> root;
    if (HRESULT hr = Parse(data, &root); FAILED(hr)) return hr;
    return CreateStorageObject(std::move(root), {}, ppstg);
  });
}
