#include "plot_options.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <cstring>
#include <filesystem>

namespace kelmira::plot {
namespace {

constexpr COLORREF Rgb(unsigned r, unsigned g, unsigned b) { return r | (g << 8) | (b << 16); }

struct NamedColor {
  const char* name;
  COLORREF value;
};

constexpr NamedColor kColorNames[] = {
    {"black", Rgb(0, 0, 0)},      {"white", Rgb(255, 255, 255)},  {"red", Rgb(255, 0, 0)},
    {"green", Rgb(0, 128, 0)},    {"blue", Rgb(0, 0, 255)},       {"yellow", Rgb(255, 255, 0)},
    {"cyan", Rgb(0, 255, 255)},   {"magenta", Rgb(255, 0, 255)},  {"gray", Rgb(128, 128, 128)},
    {"grey", Rgb(128, 128, 128)}, {"silver", Rgb(192, 192, 192)}, {"orange", Rgb(255, 165, 0)},
    {"purple", Rgb(128, 0, 128)}, {"brown", Rgb(165, 42, 42)},    {"navy", Rgb(0, 0, 128)},
    {"teal", Rgb(0, 128, 128)},   {"maroon", Rgb(128, 0, 0)},     {"olive", Rgb(128, 128, 0)},
};

std::optional<double> ParseDouble(std::string_view text) {
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  double value = 0;
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || end != text.data() + text.size() || !std::isfinite(value)) return std::nullopt;
  return value;
}

std::optional<int> ParseInt(std::string_view text) {
  int value = 0;
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

// "MIN:MAX" (or "MIN,MAX") with MIN < MAX; with dateX the ends may also be dates.
std::optional<Range> ParseRange(std::string_view text, bool dates) {
  std::size_t colon = text.find(':');
  if (colon == std::string_view::npos || dates) colon = text.find(',');
  if (colon == std::string_view::npos) return std::nullopt;
  auto end = [dates](std::string_view s) -> std::optional<double> {
    if (auto v = ParseDouble(s)) return v;
    if (dates) return ParseDate(s);
    return std::nullopt;
  };
  auto lo = end(text.substr(0, colon));
  auto hi = end(text.substr(colon + 1));
  if (!lo || !hi || !(*lo < *hi)) return std::nullopt;
  return Range{*lo, *hi};
}

std::optional<int> ParseStyle(std::string_view text) {
  if (text == "solid") return 0;
  if (text == "dash" || text == "dashed") return 1;
  if (text == "dot" || text == "dotted") return 2;
  return std::nullopt;
}

std::optional<LegendPlace> ParseLegendPlace(std::string_view text) {
  constexpr std::pair<const char*, LegendPlace> kPlaces[] = {
      {"upper-right", LegendPlace::UpperRight}, {"upper-left", LegendPlace::UpperLeft},
      {"lower-right", LegendPlace::LowerRight}, {"lower-left", LegendPlace::LowerLeft},
      {"outside", LegendPlace::Outside},        {"none", LegendPlace::None}};
  for (const auto& [name, place] : kPlaces)
    if (text == name) return place;
  return std::nullopt;
}

std::vector<std::string_view> SplitList(std::string_view text) {
  std::vector<std::string_view> items;
  while (true) {
    std::size_t comma = text.find(',');
    items.push_back(text.substr(0, comma));
    if (comma == std::string_view::npos) break;
    text.remove_prefix(comma + 1);
  }
  return items;
}

bool SameFile(const std::string& a, const std::string& b) {
  if (a.empty() || b.empty()) return false;
  auto resolved = [](const std::string& path) {
    std::error_code ec;
    auto full = std::filesystem::weakly_canonical(std::filesystem::absolute(path, ec), ec);
    return ec ? std::filesystem::path(path) : full;
  };
  return resolved(a) == resolved(b);
}

// The output's extension in lower case; none for standard output.
std::string Extension(const std::string& path) {
  std::string extension = path == "-" ? "" : std::filesystem::path(path).extension().string();
  for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return extension;
}

}  // namespace

// Ten colours from the well-known categorical palettes (Paul Tol's and Tableau's), chosen so that
// every pair stays apart (CIELAB distance at least 14) for normal vision and simulated protanopia,
// deuteranopia and tritanopia, each with a contrast of at least 2.5 on white; the first five are
// the farthest apart.
const std::vector<COLORREF> kDefaultPalette = {
    Rgb(0x33, 0x22, 0x88), Rgb(0xCC, 0x33, 0x11), Rgb(0x44, 0xAA, 0x99), Rgb(0x94, 0x67, 0xBD), Rgb(0x88, 0x22, 0x55),
    Rgb(0xFF, 0x7F, 0x0E), Rgb(0x8C, 0x56, 0x4B), Rgb(0xEE, 0x33, 0x77), Rgb(0x22, 0x88, 0x33), Rgb(0xE3, 0x77, 0xC2)};

PictureFormat OutputFormat(const std::string& path) {
  const std::string extension = Extension(path);
  return extension == ".svg" ? PictureFormat::Svg : extension == ".pdf" ? PictureFormat::Pdf : PictureFormat::Png;
}

std::string OutputFormatProblem(const std::string& path) {
  const std::string extension = Extension(path);
  if (extension.empty() || extension == ".png" || OutputFormat(path) != PictureFormat::Png) return {};
  return path + ": unsupported output format '" + extension + "' (supported: .png, .svg, .pdf)";
}

std::optional<PictureSize> ParsePictureSize(std::string_view text) {
  // One side: a whole number of pixels, or a number with a unit, in points.
  struct Side {
    double value = 0;
    bool points = false;
  };
  auto side = [](std::string_view s) -> std::optional<Side> {
    constexpr std::pair<std::string_view, double> kUnits[] = {
        {"in", 72.0}, {"cm", 72.0 / 2.54}, {"mm", 72.0 / 25.4}, {"pt", 1.0}};
    for (const auto& [unit, points] : kUnits) {
      if (!s.ends_with(unit)) continue;
      const auto v = ParseDouble(s.substr(0, s.size() - unit.size()));
      if (!v || *v <= 0 || *v > 1e6) return std::nullopt;
      return Side{*v * points, true};
    }
    const auto v = ParseInt(s);
    if (!v) return std::nullopt;
    return Side{static_cast<double>(*v), false};
  };
  const std::size_t x = text.find('x');
  if (x == std::string_view::npos) return std::nullopt;
  const auto w = side(text.substr(0, x)), h = side(text.substr(x + 1));
  if (!w || !h || w->points != h->points) return std::nullopt;
  PictureSize size;
  size.width = static_cast<int>(std::lround(w->points ? w->value * 4 / 3 : w->value));
  size.height = static_cast<int>(std::lround(h->points ? h->value * 4 / 3 : h->value));
  if (w->points) size.widthPt = w->value, size.heightPt = h->value;
  if (size.width < 16 || size.height < 16 || size.width > 16384 || size.height > 16384) return std::nullopt;
  return size;
}

std::optional<COLORREF> ParseColor(std::string_view text) {
  for (const NamedColor& c : kColorNames)
    if (text == c.name) return c.value;
  if (!text.empty() && text.front() == '#') text.remove_prefix(1);
  if (text.size() != 6) return std::nullopt;
  unsigned rgb = 0;
  auto [end, ec] = std::from_chars(text.data(), text.data() + 6, rgb, 16);
  if (ec != std::errc() || end != text.data() + 6) return std::nullopt;
  return Rgb((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

const char* PlotDataOptionsUsage() {
  return "  -x, --x COLUMN           column holding X: a header name or a number from 1 (default 1);\n"
         "                           'index' plots against the point number 1, 2, ...\n"
         "  -y, --y COLUMNS          comma-separated columns to draw (default: all but X, --right-y\n"
         "                           and --xticklabels; columns of text, such as names, are left\n"
         "                           out with a note)\n"
         "      --right-y COLUMNS    comma-separated columns drawn against the right Y axis, which\n"
         "                           shows their own range (without them the right axis is hidden)\n"
         "      --xlim MIN:MAX       X limits (default: the data's range); the Y axes then fit the\n"
         "                           points inside them\n"
         "      --ylim MIN:MAX       Y limits (default: the drawn columns' range)\n"
         "      --right-ylim MIN:MAX limits of the right Y axis (default: its columns' range)\n"
         "      --date-x             X holds dates: YYYY-MM-DD[ HH:MM[:SS]] or day numbers since\n"
         "                           1899-12-30; the grid steps in days, hours, minutes or seconds\n"
         "                           and the X axis shows dates (--xlim then takes MIN,MAX, each a\n"
         "                           number or a date)\n"
         "      --date-format-labels N  how the X axis writes dates: 0 MM/DD, 1 Mon DD, 2 Month DD,\n"
         "                           100 DD/MM, 101 DD Mon, 102 DD Month (default 0)\n"
         "      --date-format FMT    X holds dates written as FMT (implies --date-x), with the fields\n"
         "                           %Y %y %m %d %b %B %j %H %M %S %p %z and literal text, e.g.\n"
         "                           %d-%b-%y, %d.%m.%Y, %m/%d/%Y or %Y-%m-%dT%H:%M:%S%z. %y takes\n"
         "                           69-99 as 1969-1999 and 00-68 as 2000-2068; %b reads Jan..Dec\n"
         "                           in any case; %S may have a fraction; %z (+hhmm, +hh:mm or Z)\n"
         "                           converts to UTC\n"
         "      --xticklabels COLUMN label the X ticks with the texts of a column: each tick gets the\n"
         "                           text of the row at its X; the ticks then fall on whole steps.\n"
         "                           When X is not given and this is the first column, X is the\n"
         "                           row number\n"
         "      --title TEXT         graph title (default: the file's name)\n"
         "      --xlabel TEXT        X axis title (default: the X column's name)\n"
         "      --ylabel TEXT        left Y axis title (default: the drawn columns' names)\n"
         "      --y2label TEXT       right Y axis title (default: the --right-y columns' names)\n"
         "      --font-size N        text size of the title and the axes in points, 4 to 72\n"
         "      --background COLOR   plot background (default white)\n"
         "      --grid-color COLOR   grid and frame colour (default #a0a0a0)\n"
         "      --grid-style STYLE   solid, dash or dot (default dot)\n"
         "      --no-grid            no grid lines (the frame stays)\n"
         "      --no-border          no frame around the plot\n"
         "      --colors C1,C2,...   line colours, used in turn; when they run out the lines repeat\n"
         "                           them dashed, then dotted (default: ten colours that stay apart\n"
         "                           for colour-blind readers)\n"
         "      --style STYLE        lines, points (markers only) or linespoints; or the dash of the\n"
         "                           lines: solid, dash or dot (default lines, solid). A line with a\n"
         "                           single point shows it as a marker\n"
         "      --width N            line width in pixels, 1 to 100 (default 1); wider lines are solid\n"
         "      --markers SHAPE      marker shape: circle, plus or cross (default circle); alone it\n"
         "                           draws points only\n"
         "      --legend PLACE       upper-right, upper-left, lower-right, lower-left, outside (right\n"
         "                           of the plot) or none (default upper-right with more than one\n"
         "                           line, none with one)\n"
         "      --logx, --logy, --logy2  log scale on the X, left Y or right Y axis, labelled with\n"
         "                           the true values; values <= 0 are left out (and counted)\n"
         "      --y-offset auto|VALUE  store Y relative to an offset (VALUE for both Y axes, auto a\n"
         "                           round value near the middle of each), for values such as\n"
         "                           1e9 + small changes that single precision would blur; the\n"
         "                           labels show the true values\n"
         "      --save FILE          after drawing, write the graph's settings (title, axes, colours,\n"
         "                           grid, fonts; not the data) to FILE\n"
         "      --load FILE          start from a graph written by --save; options given here\n"
         "                           override its settings, the limits follow the data\n"
         "      --sep SEP            cell separator: ',', ';', tab or space (runs of blanks, as in\n"
         "                           aligned .dat files); default: found from the first lines\n"
         "      --decimal-comma      numbers are written 3,14; cells are then separated by ';',\n"
         "                           tabs or blanks\n"
         "      --skip-bad-rows      skip rows with a wrong number of cells or a drawn cell that is\n"
         "                           not a number, and count them on stderr (default: the first\n"
         "                           one is an error)\n";
}

const char* PlotDataNotes() {
  return "COLOR is #RRGGBB or a name (black, white, red, green, blue, gray, orange, ...).\n"
         "Empty cells and NaN/NA hide a point; inf, -inf and numbers too large for a double are\n"
         "drawn as gaps and counted on stderr; '#' starts a comment line. Only the drawn columns\n"
         "(X, --y, --right-y, --xticklabels) are read: the others may hold anything.\n";
}

const char* PlotUsage() {
  static const std::string usage =
      std::string(
          "Usage: kelmira-plot [options] [FILE.csv]\n"
          "Draws the columns of a CSV file (or built-in demo data when no file is given) as a line\n"
          "graph with a title, axes and a grid, and writes the picture as a PNG, SVG or PDF file.\n"
          "\n"
          "  -o, --output PATH        file to write (default kelmira-plot.png), in the format its\n"
          "                           extension names: .png, or .svg and .pdf for vector files whose\n"
          "                           lines stay sharp at any zoom and whose text is real text\n"
          "                           (searchable in a PDF); '-' writes the PNG to standard output\n"
          "  -s, --size WxH           picture size in pixels (default 800x500), or with a unit on both\n"
          "                           sides for print: 6inx4in, 16cmx10cm, 160mmx100mm, 420ptx260pt\n"
          "                           (a point is 4/3 pixel at 96 dpi; a vector page gets exactly\n"
          "                           this size)\n"
          "      --dpi N              PNG only: draw the picture N/96 times as large, text and lines\n"
          "                           too, for print at N dots per inch (default 96, 24 to 2400)\n") +
      PlotDataOptionsUsage() +
      "  -h, --help               show this text\n"
      "\n" +
      PlotDataNotes() +
      "Exit status: 0 written, 1 bad input file or failure to draw or write, 2 bad "
      "command line.\n";
  return usage.c_str();
}

ParseOutcome ParsePlotOptions(int argc, const char* const* argv, PlotOptions* options, std::string* error) {
  auto fail = [error](std::string message) {
    *error = std::move(message);
    return ParseOutcome::Error;
  };
  std::optional<std::string> xlim, ylim, rightYlim;
  std::optional<DrawStyle> drawStyle;
  for (int i = 1; i < argc; ++i) {
    std::string_view arg = argv[i];
    if (arg == "-h" || arg == "--help") return ParseOutcome::Help;
    if (arg == "--date-x") {
      options->dateX = true;
      continue;
    }
    if (arg == "--no-grid") {
      options->grid = false;
      continue;
    }
    if (arg == "--no-border") {
      options->border = false;
      continue;
    }
    if (arg == "--decimal-comma" || arg == "--skip-bad-rows") {
      (arg == "--decimal-comma" ? options->decimalComma : options->skipBadRows) = true;
      continue;
    }
    if (arg == "--logx" || arg == "--logy" || arg == "--logy2") {
      (arg == "--logx" ? options->logX : arg == "--logy" ? options->logY : options->logRightY) = true;
      continue;
    }
    if (arg.empty() || arg.front() != '-' || arg == "-") {
      if (!options->input.empty()) return fail("more than one input file given");
      options->input = std::string(arg);
      continue;
    }
    // Every other option takes a value, as the next argument or after '='.
    std::string_view name = arg, value;
    bool haveValue = false;
    if (std::size_t eq = arg.find('='); eq != std::string_view::npos && arg.starts_with("--")) {
      name = arg.substr(0, eq);
      value = arg.substr(eq + 1);
      haveValue = true;
    }
    static constexpr const char* kValued[] = {
        "-o",           "--output",   "-s",      "--size",  "-x",           "--x",           "-y",
        "--y",          "--right-y",  "--xlim",  "--ylim",  "--right-ylim", "--background",  "--grid-color",
        "--grid-style", "--colors",   "--style", "--width", "--markers",    "--title",       "--xlabel",
        "--ylabel",     "--y2label",  "--save",  "--load",  "--font-size",  "--xticklabels", "--date-format-labels",
        "--legend",     "--y-offset", "--dpi"};
    static constexpr const char* kReaderValued[] = {"--sep", "--date-format"};
    bool known = false;
    for (const char* k : kValued) known = known || name == k;
    for (const char* k : kReaderValued) known = known || name == k;
    if (!known) return fail("unknown option '" + std::string(arg) + "'");
    if (!haveValue) {
      if (i + 1 >= argc) return fail("option '" + std::string(name) + "' needs a value");
      value = argv[++i];
    }
    const std::string bad = "bad value '" + std::string(value) + "' for " + std::string(name);

    if (name == "-o" || name == "--output") {
      if (value.empty()) return fail("the output path is empty");
      if (std::string problem = OutputFormatProblem(std::string(value)); !problem.empty()) return fail(problem);
      options->output = std::string(value);
    } else if (name == "-s" || name == "--size") {
      const auto size = ParsePictureSize(value);
      if (!size) return fail(bad + " (WxH in pixels, 16 to 16384, or with units: 6inx4in, 16cmx10cm, 420ptx260pt)");
      options->width = size->width;
      options->height = size->height;
      options->pageWidthPt = size->widthPt;
      options->pageHeightPt = size->heightPt;
    } else if (name == "--dpi") {
      const auto dpi = ParseInt(value);
      if (!dpi || *dpi < 24 || *dpi > 2400) return fail(bad + " (24 to 2400)");
      options->dpi = *dpi;
    } else if (name == "-x" || name == "--x") {
      options->xIsIndex = value == "index";
      options->xColumn = ColumnRef{std::string(value)};
    } else if (name == "-y" || name == "--y" || name == "--right-y") {
      auto& columns = name == "--right-y" ? options->rightYColumns : options->yColumns;
      columns.clear();
      for (std::string_view item : SplitList(value)) {
        if (item.empty()) return fail(bad + " (an empty column name)");
        columns.push_back(ColumnRef{std::string(item)});
      }
    } else if (name == "--xticklabels") {
      if (value.empty()) return fail(bad + " (a column name or number)");
      options->xTickLabels = ColumnRef{std::string(value)};
    } else if (name == "--title" || name == "--xlabel" || name == "--ylabel" || name == "--y2label") {
      auto& text = name == "--title"    ? options->title
                   : name == "--xlabel" ? options->xLabel
                   : name == "--ylabel" ? options->yLabel
                                        : options->y2Label;
      text = std::string(value);
    } else if (name == "--save" || name == "--load") {
      if (value.empty()) return fail("the path for " + std::string(name) + " is empty");
      (name == "--save" ? options->saveFile : options->loadFile) = std::string(value);
    } else if (name == "--font-size") {
      auto size = ParseInt(value);
      if (!size || *size < 4 || *size > 72) return fail(bad + " (4 to 72 points)");
      options->fontSize = *size;
    } else if (name == "--date-format-labels") {
      auto format = ParseInt(value);
      if (!format ||
          (*format != 0 && *format != 1 && *format != 2 && *format != 100 && *format != 101 && *format != 102))
        return fail(bad + " (0, 1, 2, 100, 101 or 102)");
      options->dateLabelFormat = *format;
    } else if (name == "--sep") {
      const std::pair<std::string_view, Separator> kSeparators[] = {
          {",", Separator::Comma}, {";", Separator::Semicolon}, {"tab", Separator::Tab}, {"space", Separator::Blanks}};
      options->separator = Separator::Detect;
      for (auto [text, separator] : kSeparators)
        if (value == text) options->separator = separator;
      if (options->separator == Separator::Detect) return fail(bad + " (',', ';', tab or space)");
    } else if (name == "--date-format") {
      if (const std::string problem = DateFormatProblem(value); !problem.empty()) return fail(bad + ": " + problem);
      options->dateFormat = std::string(value);
      options->dateX = true;
    } else if (name == "--y-offset") {
      options->yOffsetAuto = value == "auto";
      options->yOffset = options->yOffsetAuto ? std::nullopt : ParseDouble(value);
      if (!options->yOffsetAuto && !options->yOffset) return fail(bad + " (auto or a number)");
    } else if (name == "--xlim") {
      xlim = std::string(value);
    } else if (name == "--ylim") {
      ylim = std::string(value);
    } else if (name == "--right-ylim") {
      rightYlim = std::string(value);
    } else if (name == "--background" || name == "--grid-color") {
      auto color = ParseColor(value);
      if (!color) return fail(bad + " (#RRGGBB or a colour name)");
      (name == "--background" ? options->background : options->gridColor) = *color;
    } else if (name == "--style" && (value == "lines" || value == "points" || value == "linespoints")) {
      drawStyle = value == "lines" ? DrawStyle::Lines : value == "points" ? DrawStyle::Points : DrawStyle::LinesPoints;
    } else if (name == "--legend") {
      auto place = ParseLegendPlace(value);
      if (!place) return fail(bad + " (upper-right, upper-left, lower-right, lower-left, outside or none)");
      options->legend = *place;
    } else if (name == "--grid-style" || name == "--style") {
      auto style = ParseStyle(value);
      if (!style)
        return fail(
            bad + (name == "--style" ? " (lines, points, linespoints, solid, dash or dot)" : " (solid, dash or dot)"));
      if (name == "--style")
        options->lineStyle = *style;
      else
        options->gridStyle = *style;
    } else if (name == "--colors") {
      options->lineColors.clear();
      for (std::string_view item : SplitList(value)) {
        auto color = ParseColor(item);
        if (!color) return fail("bad colour '" + std::string(item) + "' in --colors (#RRGGBB or a colour name)");
        options->lineColors.push_back(*color);
      }
    } else if (name == "--width") {
      auto width = ParseInt(value);
      if (!width || *width < 1 || *width > 100) return fail(bad + " (1 to 100)");
      options->lineWidth = *width;
    } else if (name == "--markers") {
      if (value == "circle")
        options->markers = Markers::Circle;
      else if (value == "plus")
        options->markers = Markers::Plus;
      else if (value == "cross")
        options->markers = Markers::Cross;
      else if (value == "none")
        options->markers = Markers::None;
      else
        return fail(bad + " (circle, plus, cross or none)");
    }
  }
  // A marker shape alone means points; a style with markers and no shape uses circles.
  options->drawStyle = drawStyle.value_or(options->markers == Markers::None ? DrawStyle::Lines : DrawStyle::Points);
  if (options->drawStyle != DrawStyle::Lines && options->markers == Markers::None) options->markers = Markers::Circle;
  // Ranges are read last: whether they may hold dates depends on --date-x.
  struct {
    std::optional<std::string>* text;
    std::optional<Range>* range;
    const char* name;
    bool dates;
  } ranges[] = {{&xlim, &options->xLimits, "--xlim", options->dateX},
                {&ylim, &options->yLimits, "--ylim", false},
                {&rightYlim, &options->rightYLimits, "--right-ylim", false}};
  for (auto& r : ranges) {
    if (!*r.text) continue;
    *r.range = ParseRange(**r.text, r.dates);
    if (!*r.range)
      return fail("bad value '" + **r.text + "' for " + r.name +
                  (r.dates ? " (MIN,MAX with MIN < MAX)" : " (MIN:MAX with MIN < MAX)"));
  }
  // A log axis shows only positive values and has its own labels.
  const struct {
    bool log;
    const std::optional<Range>& limits;
    const char* name;
  } logs[] = {{options->logX, options->xLimits, "--logx"},
              {options->logY, options->yLimits, "--logy"},
              {options->logRightY, options->rightYLimits, "--logy2"}};
  for (const auto& l : logs)
    if (l.log && l.limits && l.limits->min <= 0) return fail(std::string(l.name) + " needs limits above 0");
  if (options->logX && (options->dateX || options->xTickLabels || options->xIsIndex))
    return fail(std::string("--logx cannot be used with ") + (options->dateX      ? "--date-x"
                                                              : options->xIsIndex ? "--x index"
                                                                                  : "--xticklabels"));
  if (options->logY && options->logRightY && (options->yOffset || options->yOffsetAuto))
    return fail("--y-offset needs an axis that is not a log axis");
  // Writing a file that is also read, or both outputs to one file, would destroy one of them.
  const struct {
    const std::string& written;
    const std::string& other;
    const char* what;
  } clashes[] = {{options->output, options->input, "the input and the output"},
                 {options->output, options->loadFile, "the --load file and the output"},
                 {options->output, options->saveFile, "the --save file and the output"},
                 {options->saveFile, options->input, "the input and the --save file"}};
  for (const auto& c : clashes)
    if (c.written != "-" && SameFile(c.written, c.other)) return fail("'" + c.written + "' is both " + c.what);
  if (options->decimalComma && options->separator == Separator::Comma)
    return fail("--decimal-comma cannot go with --sep ',': the comma is the decimal mark then");
  if (options->dpi != 96 && OutputFormat(options->output) != PictureFormat::Png)
    return fail("--dpi is for PNG output; a vector file has no pixels (--size sets its page)");
  if (const long long w = ScaledPixels(options->width, options->dpi), h = ScaledPixels(options->height, options->dpi);
      w > 16384 || h > 16384)
    return fail("--dpi " + std::to_string(options->dpi) + " makes the picture " + std::to_string(w) + "x" +
                std::to_string(h) + " pixels, more than 16384 on a side");
  if (options->lineColors.empty()) options->lineColors = kDefaultPalette;
  return ParseOutcome::Run;
}

}  // namespace kelmira::plot
