// Opens arbitrary bytes as a storage file and reads everything in it; a file that opens is
// written again, and the copy must open and hold exactly the same elements.
#include "fuzz_host.h"

#include <fstream>

namespace kelmira::fuzz {
namespace {

// Names, kinds, class ids and stream contents of a storage, depth first.
void List(IStorage* storage, std::string& out) {
  ComPtr<IEnumSTATSTG> elements;
  FUZZ_CHECK(SUCCEEDED(storage->EnumElements(0, nullptr, 0, &elements)));
  STATSTG stat{};
  ULONG fetched = 0;
  while (elements->Next(1, &stat, &fetched) == S_OK && fetched == 1) {
    const std::u16string name = stat.pwcsName;
    CoTaskMemFree(stat.pwcsName);
    out.append(reinterpret_cast<const char*>(name.data()), 2 * name.size()).push_back(char('0' + stat.type));
    if (stat.type == STGTY_STREAM) {
      ComPtr<IStream> stream;
      FUZZ_CHECK(SUCCEEDED(storage->OpenStream(name.c_str(), nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE, 0, &stream)));
      char buffer[4096];
      ULONG got = 0;
      while (SUCCEEDED(stream->Read(buffer, sizeof buffer, &got)) && got) out.append(buffer, got);
    } else if (stat.type == STGTY_STORAGE) {
      ComPtr<IStorage> child;
      FUZZ_CHECK(
          SUCCEEDED(storage->OpenStorage(name.c_str(), nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE, nullptr, 0, &child)));
      out += "{";
      List(child.get(), out);
      out += "}";
    }
  }
}

}  // namespace
}  // namespace kelmira::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace kelmira;
  using namespace kelmira::fuzz;
  const std::string in = (FuzzScratch() / "in.stg").string(), out = (FuzzScratch() / "out.stg").string();
  std::ofstream(in, std::ios::binary | std::ios::trunc).write(reinterpret_cast<const char*>(data), size);
  ComPtr<IStorage> storage;
  if (FAILED(StgOpenStorageFromFile(in.c_str(), &storage))) return 0;
  std::string listing;
  List(storage.get(), listing);
  FUZZ_CHECK(SUCCEEDED(StgSaveStorageToFile(storage.get(), out.c_str())));
  ComPtr<IStorage> copy;
  FUZZ_CHECK(SUCCEEDED(StgOpenStorageFromFile(out.c_str(), &copy)));
  std::string copied;
  List(copy.get(), copied);
  FUZZ_CHECK(copied == listing);
  return 0;
}
