// The file --save writes and --load reads: the graph's class id, then the stream the graph writes
// through IPersistStreamInit. The class id lets a wrong file be told from a damaged one, and a
// file must end where the graph's stream ends.
#pragma once

#include <kelmira/kelmira.h>

#include <string>
#include <vector>

namespace kelmira::plot {

// Loads path into graph. False with a message naming the file when it cannot be read, is not a
// saved graph, or is damaged or truncated.
bool LoadGraphFile(const std::string& path, IPersistStreamInit* graph, std::string* error);

// The bytes of the file for graph's current settings; false with a message when saving fails.
bool GraphFileBytes(IPersistStreamInit* graph, std::vector<char>* bytes, std::string* error);

// A file written next to its final place and renamed into it by Commit, so that a failure leaves
// neither a partial file nor a damaged earlier one. Uncommitted, it is removed when destroyed.
class PendingFile {
 public:
  PendingFile() = default;
  PendingFile(const PendingFile&) = delete;
  PendingFile& operator=(const PendingFile&) = delete;
  ~PendingFile();

  bool Write(const std::string& path, const std::vector<char>& bytes, std::string* error);
  bool Commit(std::string* error);

 private:
  std::string path_, temp_;
};

}  // namespace kelmira::plot
