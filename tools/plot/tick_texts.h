// Texts for the X ticks from a column of the CSV (--xticklabels).
//
// The X axis labels the k-th tick it draws with the k-th entry of a label list, so the tool works
// out which ticks the axis will draw, with the axis's own rule: the multiples of the step from
// trunc(start / step) up to the end, each drawn when its pixel
// left + margin + trunc((value - start) * (width - 2 * margin) / (end - start)) lies within
// [left + margin, right - margin].
#pragma once

#include "plot_data.h"

#include <string>
#include <vector>

namespace kelmira::plot {

// A step of 1, 2 or 5 times a power of ten giving at most `count` steps over the range, so that
// row texts have room; at least 1 when `whole`, so that ticks fall on rows at whole values.
double RowStep(double range, int count, bool whole);
// The step the grid would choose itself: 1, 2 or 5 times a power of ten giving at least `count`.
double GridStep(double range, int count);

// The values of the ticks an X axis `width` pixels wide with `margin` draws over [start, end].
std::vector<double> DrawnTicks(double start, double end, double step, long width, long margin);

// One text per tick: the text of the row whose X is the tick's value, or "" when no row is there.
std::vector<std::string> TickTexts(const PlotData& data, const std::vector<double>& ticks);

// True when every finite X value (or the row number) is a whole number.
bool WholeX(const PlotData& data);

}  // namespace kelmira::plot
