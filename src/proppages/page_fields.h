// Moving a graph's settings into the page's fields and back.
//
// Numbers are shown as signed decimal integers and decimals with two places ("%.2f"); reading
// back, integer text that is not a number gives 0 and decimals are read as the C library's atof
// reads them in the "C" locale (leading blanks, a sign, digits, a point, an exponent, "inf" and
// "nan"; what follows the number is ignored, no number gives 0.0), whatever locale the host set.
// A failing get or put ends the operation at that step with its error: later fields are neither
// loaded nor written.
//
// The grid-style list holds "Solid", "Dotted", "Dashed" at positions 0, 1, 2. The grid draws
// style 0 solid, 1 dashed and every other value dotted (its initial style is 2), so a list
// position is not written as the style itself: each label maps to the style that draws what it
// says. Solid <-> 0, Dotted <-> 2, Dashed <-> 1; loading selects "Dotted" for every style other
// than 0 and 1, as the grid draws them dotted. What the user picks is what the grid draws, a
// graph opened and applied keeps its look, and Apply writes a style between 0 and 2. With no
// entry selected (the fields were never loaded) the style is left alone.
#pragma once

#include "proppages/colour_table.h"

#include <kelmira/kelmira.h>

namespace kelmira::proppages {

// The list position showing `style`, and the style a position stands for (-1 for none).
int GridStylePosition(LONG style);
LONG GridStyleOfPosition(int position);

// Adds the three grid-style labels to the list, in order.
void FillGridStyleList(HWND list);

// Loads the fields of the page window from the graph; the page's SetDirty(false) runs at its
// step through `clean`.
template <class Clean>
HRESULT LoadFields(HWND page, IGraphBase* graph, ColourTable& colours, Clean&& clean);

// Writes every field of the page window to the graph.
HRESULT ApplyFields(HWND page, IGraphBase* graph, ColourTable& colours);

// The parts of LoadFields before and after the page is made clean.
HRESULT LoadFieldsBeforeClean(HWND page, IGraphBase* graph);
HRESULT LoadFieldsAfterClean(HWND page, IGraphBase* graph, ColourTable& colours);

template <class Clean>
HRESULT LoadFields(HWND page, IGraphBase* graph, ColourTable& colours, Clean&& clean) {
  HRESULT hr = LoadFieldsBeforeClean(page, graph);
  if (FAILED(hr)) return hr;
  clean();
  return LoadFieldsAfterClean(page, graph, colours);
}

}  // namespace kelmira::proppages
