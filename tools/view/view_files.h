// The files the viewer writes on S and Ctrl+S. A name the user gave is written (and replaced)
// each time; otherwise each save takes the first free name STEM-1.EXT, STEM-2.EXT, ..., reserved
// by creating it exclusively, so that no existing file is ever replaced.
#pragma once

#include <kelmira/kelmira.h>

#include <string>

namespace kelmira::view {

// STEM: the data file's path without its extension, or "kelmira-view" for the demo data.
std::string SaveStem(const std::string& input);

// Empty with a message in *error when no free name can be made (an unwritable directory).
std::string ReserveFreshName(const std::string& stem, const char* extension, std::string* error);

// The window's pixels as PNG.
bool SaveWindowPicture(HWND window, const std::string& path, std::string* error);
// The graph attached to `host` as lines and text, in the vector format the path's extension names,
// on a page of widthPt x heightPt (0, 0: 0.75 pt a pixel).
bool SaveGraphVector(HWND host, IGraphBase* graph, const std::string& path, double widthPt, double heightPt,
                     std::string* error);
// The graph's stream (its settings and view), written beside and renamed into place.
bool SaveGraphStream(IPersistStreamInit* graph, const std::string& path, std::string* error);

}  // namespace kelmira::view
