// The bytes of an input file, and whether they are text the reader can take.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace kelmira::plot {

// A regular file is mapped, so that a large one is not copied; pipes and devices are read.
class InputFile {
 public:
  InputFile() = default;
  ~InputFile();
  InputFile(const InputFile&) = delete;
  InputFile& operator=(const InputFile&) = delete;

  // False with a message ("cannot open 'PATH': ...") when the file cannot be read.
  bool Open(const std::string& path, std::string* error);
  std::string_view text() const;
  // The bytes from `from` to `to` are read once: dropping their pages keeps memory to the arrays
  // being filled. Safe from several threads.
  void Release(std::size_t from, std::size_t to);

 private:
  void* map_ = nullptr;
  std::size_t size_ = 0;
  std::string read_;
};

// What is wrong with bytes that are not UTF-8 (or ASCII) text, as "looks like UTF-16 text; ...";
// empty when they are text.
std::string EncodingProblem(std::string_view bytes);

// `text` fit for a message: control bytes and bytes that are not UTF-8 are written as \xNN.
std::string Printable(std::string_view text);

}  // namespace kelmira::plot
