// Log axes and Y offsets: how kelmira-plot turns values into what the graph stores, and labels the
// axes with the true values.
//
// The graph stores Y in single precision and spaces ticks evenly, so a log axis stores log10 of
// the values and a Y axis that needs more digits than a float holds stores values minus an offset;
// either way the axis gets a tick label list that writes the true value of each tick it draws.
#pragma once

#include "plot_data.h"
#include "plot_options.h"

#include <string>
#include <vector>

namespace kelmira::plot {

enum class ScaleAxis { X, Y, RightY };

// Takes log10 of the log axes' values (values <= 0 become gaps), subtracts the Y offsets and
// turns the given limits the same way. Returns the warnings for stderr: the values left out of a
// log scale, and the Y columns that still lose more than a tenth of a pixel in single precision.
// columnNames are the file's column names, for the messages. A value that the offset puts beyond
// single precision is an error: nothing is returned and *error says which.
std::vector<std::string> ApplyScales(PlotData* data, PlotOptions* options, const std::vector<std::string>& columnNames,
                                     std::string* error);

// The offset --y-offset auto takes for a range: a multiple of a power of ten at least the range's
// span, near its middle.
double AutoOffset(Range r);

// True when the axis is labelled through a tick label list: log, drawn with an offset, or with
// values whose plain labels would run to many digits (from 1e6, or a span below 1e-4).
bool HasScaleLabels(const PlotOptions& options, ScaleAxis axis);

// The step of a log axis over [min, max] in decades, `pixels` long, whose labels need `room`
// pixels each: tenths of a decade labelled at 1, 2 and 5 when labels and grid lines have room,
// else whole decades. Below 0.7 decades (fewer than two of 1, 2 and 5 in view), or zoomed in so
// far that 2 and 5 would sit a pixel off, the plain step with every tick labelled.
double LogStep(double min, double max, double pixels, double room);

// The text at a tick of a labelled axis with `step` and `perUnit` pixels per unit (a decade on a
// log axis); "" for an unlabelled log tick. Log labels carry the digits that place them within
// half a pixel.
std::string ScaleLabel(const PlotOptions& options, ScaleAxis axis, double value, double step, double perUnit);

// The step the grid takes by itself on a date axis (in days): the 1-2-5 step in days, hours,
// minutes or seconds, whichever first gives at least half a unit; at least a second.
double CalendarStep(double spanDays, int count);

// The values of the ticks a Y axis `height` pixels high with `margin` draws over [start, end],
// from the top down.
std::vector<double> DrawnTicksY(double start, double end, double step, long height, long margin);

}  // namespace kelmira::plot
