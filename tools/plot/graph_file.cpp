#include "graph_file.h"

#include "common/output_file.h"
#include "common/hresult_text.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <unistd.h>

namespace kelmira::plot {
namespace {

std::string Hex(HRESULT hr) { return tools::HresultText(hr); }

// A memory stream holding bytes, positioned at its start.
ComPtr<IStream> StreamOver(const std::vector<char>& bytes) {
  ComPtr<IStream> stream;
  if (FAILED(CreateStreamOnHGlobal(nullptr, TRUE, &stream))) return {};
  ULONG written = 0;
  if (FAILED(stream->Write(bytes.data(), static_cast<ULONG>(bytes.size()), &written)) || written != bytes.size())
    return {};
  LARGE_INTEGER zero{};
  if (FAILED(stream->Seek(zero, STREAM_SEEK_SET, nullptr))) return {};
  return stream;
}

ULONGLONG Position(IStream* stream) {
  LARGE_INTEGER zero{};
  ULARGE_INTEGER position{};
  return SUCCEEDED(stream->Seek(zero, STREAM_SEEK_CUR, &position)) ? position.QuadPart : 0;
}

}  // namespace

bool LoadGraphFile(const std::string& path, IPersistStreamInit* graph, std::string* error) {
  std::error_code ec;
  if (std::filesystem::is_directory(path, ec)) {
    *error = "cannot read '" + path + "': it is a directory";
    return false;
  }
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    *error = "cannot open '" + path + "': " + std::strerror(errno);
    return false;
  }
  const std::vector<char> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  if (in.bad() || bytes.size() > 0x7FFFFFFF) {
    *error = "cannot read '" + path + "'";
    return false;
  }
  ComPtr<IStream> stream = StreamOver(bytes);
  if (!stream) {
    *error = "out of memory reading '" + path + "'";
    return false;
  }
  CLSID clsid{};
  if (FAILED(ReadClassStm(stream.get(), &clsid)) || !IsEqualGUID(clsid, CLSID_LineGraph)) {
    *error = "'" + path + "' is not a graph saved by kelmira-plot --save";
    return false;
  }
  const HRESULT hr = graph->Load(stream.get());
  if (FAILED(hr)) {
    *error = "'" + path + "' is damaged or truncated: the graph cannot be read from it (" + Hex(hr) + ")";
    return false;
  }
  if (Position(stream.get()) != bytes.size()) {
    *error = "'" + path + "' is damaged: it goes on after the graph's settings";
    return false;
  }
  return true;
}

bool GraphFileBytes(IPersistStreamInit* graph, std::vector<char>* bytes, std::string* error) {
  ComPtr<IStream> stream;
  HRESULT hr = CreateStreamOnHGlobal(nullptr, TRUE, &stream);
  if (SUCCEEDED(hr)) hr = WriteClassStm(stream.get(), CLSID_LineGraph);
  if (SUCCEEDED(hr)) hr = graph->Save(stream.get(), TRUE);
  HGLOBAL block = nullptr;
  if (SUCCEEDED(hr)) hr = GetHGlobalFromStream(stream.get(), &block);
  if (FAILED(hr)) {
    *error = "the graph's settings cannot be saved (" + Hex(hr) + ")";
    return false;
  }
  const auto* data = static_cast<const char*>(GlobalLock(block));
  const ULONGLONG size = Position(stream.get());
  if (!data || size > GlobalSize(block)) {
    if (data) GlobalUnlock(block);
    *error = "the graph's settings cannot be saved";
    return false;
  }
  bytes->assign(data, data + size);
  GlobalUnlock(block);
  return true;
}

PendingFile::~PendingFile() {
  if (temp_.empty()) return;
  std::error_code ec;
  std::filesystem::remove(temp_, ec);
}

bool PendingFile::Write(const std::string& path, const std::vector<char>& bytes, std::string* error) {
  path_ = tools::OutputTarget(path);  // a link is written through, not replaced
  temp_ = path_ + ".tmp-" + std::to_string(getpid());
  std::ofstream out(temp_, std::ios::binary | std::ios::trunc);
  if (out) out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (out) out.close();
  if (!out) {
    *error = "cannot write '" + path + "': " + std::strerror(errno);
    return false;
  }
  return true;
}

bool PendingFile::Commit(std::string* error) {
  std::error_code ec;
  std::filesystem::rename(temp_, path_, ec);
  if (ec) {
    *error = "cannot write '" + path_ + "': " + ec.message();
    return false;
  }
  temp_.clear();
  return true;
}

}  // namespace kelmira::plot
