// Writing the finished picture: a PNG file, or the PNG bytes on standard output for "-".
#pragma once

#include <kelmira/platform.h>

#include <string>

namespace kelmira::plot {

// False with a message naming the output when the picture cannot be written. "-" never creates a
// file of that name: the PNG goes through a private temporary file that is removed afterwards.
bool WritePicture(HBITMAP picture, const std::string& path, std::string* error);

}  // namespace kelmira::plot
