// The module's string table: the texts a property page reports about itself by identifier.
#pragma once

#include <kelmira/platform/types.h>

namespace kelmira::proppages {

constexpr UINT kPageTitleString = 141;
constexpr UINT kPageHelpFileString = 142;
constexpr UINT kPageDocString = 143;

// The string of `id`; null when the table has none.
const char* LoadModuleString(UINT id);

}  // namespace kelmira::proppages
