// FreeType library and face cache.
#include "gdi/font_library.h"

#include <atomic>
#include <map>
#include <utility>

namespace kelmira::gdi {
namespace {

std::atomic<bool> gFacesAlive{true};

std::mutex& FreeTypeMutex() {
  static std::mutex mutex;
  return mutex;
}

// Faces and the library are released at exit in the right order: faces first.
class FaceStore {
 public:
  ~FaceStore() {
    gFacesAlive = false;
    for (auto& entry : faces_)
      if (entry.second) FT_Done_Face(entry.second);
    if (library_) FT_Done_FreeType(library_);
  }

  FT_Face Load(const std::string& path, int index) {
    auto key = std::make_pair(path, index);
    auto it = faces_.find(key);
    if (it != faces_.end()) return it->second;
    FT_Face face = Open(path, index);
    faces_.emplace(std::move(key), face);  // failures are remembered too
    return face;
  }

 private:
  FT_Face Open(const std::string& path, int index) {
    if (!library_ && FT_Init_FreeType(&library_) != 0) {
      library_ = nullptr;
      return nullptr;
    }
    FT_Face face = nullptr;
    if (FT_New_Face(library_, path.c_str(), index, &face) != 0) return nullptr;
    if (!FT_IS_SCALABLE(face) || face->units_per_EM == 0) {
      FT_Done_Face(face);
      return nullptr;
    }
    FT_Select_Charmap(face, FT_ENCODING_UNICODE);
    return face;
  }

  FT_Library library_ = nullptr;
  std::map<std::pair<std::string, int>, FT_Face> faces_;
};

}  // namespace

std::unique_lock<std::mutex> LockFreeType() { return std::unique_lock(FreeTypeMutex()); }

bool FacesAlive() { return gFacesAlive; }

FT_Face LoadFace(const std::string& path, int index) {
  static FaceStore store;
  return store.Load(path, index);
}

}  // namespace kelmira::gdi
