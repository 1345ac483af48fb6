// The process's FreeType library and its loaded faces.
//
// FreeType objects are not thread-safe per library, so every call into FreeType holds the lock
// returned by LockFreeType(). Faces stay loaded for the life of the process; there are only a
// handful of font files on a system that the library ever picks.
#pragma once

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_ADVANCES_H
#include FT_SIZES_H

#include <mutex>
#include <string>

namespace kelmira::gdi {

std::unique_lock<std::mutex> LockFreeType();

// The face at `index` in the file at `path`, loaded once; null when FreeType cannot read it or
// the face has no scalable outlines. The caller holds the FreeType lock.
FT_Face LoadFace(const std::string& path, int index);

// False once the faces were released at process exit; objects that outlive them (sizes of
// cached fonts) must not touch FreeType then.
bool FacesAlive();

}  // namespace kelmira::gdi
