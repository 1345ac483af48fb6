// Finding a line of a line layer by a VARIANT index: a string selects the first line whose name
// equals it without regard to case (A-Z equal a-z, every other character must match, a null
// string or name counts as empty), anything else is a zero-based position.
#pragma once

#include <kelmira/kelmira.h>

#include <cstddef>
#include <optional>
#include <vector>

#include "module/name_compare.h"

namespace kelmira::layers {

// S_OK with *position set, or with it empty when no line is found (a position outside the list
// included). A VARIANT that cannot be copied or converted to a 32-bit integer gives the
// conversion's error. A line whose name cannot be read is passed over.
HRESULT FindLine(const std::vector<ComPtr<ILine>>& lines, const VARIANT& index, std::optional<std::size_t>* position);

}  // namespace kelmira::layers
