// The cells of one line of a CSV or whitespace-separated file, and the numbers in them.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kelmira::plot {

enum class Separator { Detect, Comma, Semicolon, Tab, Blanks };

// An empty cell, NaN, NA or null (any case): a point that is not there.
bool IsMissing(std::string_view cell);

// A decimal number taking the whole cell: "inf", "-inf" and numbers beyond a double are
// infinities, numbers too small for one are 0. With `decimalComma`, "3,14" is 3.14.
std::optional<double> ParseNumber(std::string_view cell, bool decimalComma = false);
// The same for the reader's inner loop: no optional to pass through memory.
bool ParseNumber(std::string_view cell, bool decimalComma, double* value);

// Splits a line into trimmed cells; quotes group separators and "" is a quote. The cells point
// into `line` or, when quoted, into `scratch`. False on a quote that is not closed.
bool SplitCells(std::string_view line, Separator separator, std::vector<std::string_view>* cells, std::string* scratch);

// The separator that splits every sample line into the same number (above one) of cells: a tab,
// a semicolon, a comma (never with `decimalComma`), or else runs of blanks.
Separator DetectSeparator(const std::vector<std::string_view>& lines, bool decimalComma);

}  // namespace kelmira::plot
