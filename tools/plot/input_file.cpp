#include "input_file.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kelmira::plot {
namespace {

struct Descriptor {
  int fd;
  ~Descriptor() {
    if (fd >= 0) close(fd);
  }
};

std::string Hex(unsigned char c) {
  char text[8];
  std::snprintf(text, sizeof text, "\\x%02X", c);
  return text;
}

// The length of the UTF-8 sequence at the start of `s`, or 0 when it is not one.
std::size_t Utf8Length(std::string_view s) {
  const auto lead = static_cast<unsigned char>(s[0]);
  const std::size_t n = lead < 0x80                   ? 1
                        : lead >= 0xC2 && lead < 0xE0 ? 2
                        : lead >= 0xE0 && lead < 0xF0 ? 3
                        : lead >= 0xF0 && lead < 0xF5 ? 4
                                                      : 0;
  if (n == 0 || n > s.size()) return 0;
  for (std::size_t i = 1; i < n; ++i)
    if ((static_cast<unsigned char>(s[i]) & 0xC0) != 0x80) return 0;
  return n;
}

}  // namespace

InputFile::~InputFile() {
  if (map_) munmap(map_, size_);
}

bool InputFile::Open(const std::string& path, std::string* error) {
  const Descriptor file{open(path.c_str(), O_RDONLY | O_CLOEXEC)};
  struct stat info {};
  if (file.fd < 0 || fstat(file.fd, &info) != 0) {
    *error = "cannot open '" + path + "': " + std::strerror(errno);
    return false;
  }
  if (S_ISDIR(info.st_mode)) {
    *error = "cannot read '" + path + "': it is a directory";
    return false;
  }
  if (S_ISREG(info.st_mode) && info.st_size > 0) {
    size_ = static_cast<std::size_t>(info.st_size);
    void* map = mmap(nullptr, size_, PROT_READ, MAP_PRIVATE, file.fd, 0);
    if (map != MAP_FAILED) {
      map_ = map;
      madvise(map_, size_, MADV_SEQUENTIAL);
      return true;
    }
    size_ = 0;
  }
  char buffer[65536];
  for (ssize_t n; (n = read(file.fd, buffer, sizeof buffer)) != 0;) {
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      *error = "cannot read '" + path + "': " + std::strerror(errno);
      return false;
    }
    read_.append(buffer, static_cast<std::size_t>(n));
  }
  return true;
}

std::string_view InputFile::text() const {
  return map_ ? std::string_view(static_cast<const char*>(map_), size_) : std::string_view(read_);
}

void InputFile::Release(std::size_t from, std::size_t to) {
  if (!map_) return;
  const auto page = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
  from = (from + page - 1) / page * page;
  to = to / page * page;
  if (from < to) madvise(static_cast<char*>(map_) + from, to - from, MADV_DONTNEED);
}

std::string EncodingProblem(std::string_view bytes) {
  const auto starts = [bytes](std::string_view mark) { return bytes.substr(0, mark.size()) == mark; };
  if (starts(std::string_view("\xFF\xFE\0\0", 4)) || starts(std::string_view("\0\0\xFE\xFF", 4)))
    return "looks like UTF-32 text; save it as UTF-8 (or ASCII) and try again";
  if (starts("\xFF\xFE") || starts("\xFE\xFF"))
    return "looks like UTF-16 text; save it as UTF-8 (or ASCII) and try again";
  // Text has no NUL bytes. Wide text of mostly ASCII characters has them in every second byte
  // (UTF-16) or in three bytes of four (UTF-32); other bytes with NULs are not text.
  const std::string_view head = bytes.substr(0, std::min<std::size_t>(bytes.size(), 4096) & ~std::size_t{3});
  std::size_t zeros[4] = {}, total = head.size() / 4;
  for (std::size_t i = 0; i < head.size(); ++i) zeros[i % 4] += head[i] == '\0';
  if (head.find('\0') == std::string_view::npos) return {};
  auto mostly = [total](std::size_t n, std::size_t of) { return n * 10 >= of * total * 9; };
  auto rarely = [total](std::size_t n, std::size_t of) { return n * 10 <= of * total; };
  const std::size_t z0 = zeros[0], z1 = zeros[1], z2 = zeros[2], z3 = zeros[3];
  if ((mostly(z1 + z2 + z3, 3) && rarely(z0, 1)) || (mostly(z0 + z1 + z2, 3) && rarely(z3, 1)))
    return "looks like UTF-32 text; save it as UTF-8 (or ASCII) and try again";
  if ((mostly(z1 + z3, 2) && rarely(z0 + z2, 2)) || (mostly(z0 + z2, 2) && rarely(z1 + z3, 2)))
    return "looks like UTF-16 text; save it as UTF-8 (or ASCII) and try again";
  return "is not a text file (it holds NUL bytes)";
}

std::string Printable(std::string_view text) {
  std::string out;
  while (!text.empty()) {
    const auto c = static_cast<unsigned char>(text.front());
    const std::size_t n = Utf8Length(text);
    if (n == 0 || c < 0x20 || c == 0x7F) {
      out += Hex(c);
      text.remove_prefix(1);
    } else {
      out.append(text.substr(0, n));
      text.remove_prefix(n);
    }
  }
  return out;
}

}  // namespace kelmira::plot
