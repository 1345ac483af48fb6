// The plotting tool's input side: CSV reading with its messages, and the command line.
#include "plot/csv_table.h"
#include "plot/plot_data.h"
#include "plot/plot_options.h"
#include "plot/tick_texts.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <tuple>

using namespace kelmira::plot;

namespace {

using Names = std::vector<std::string>;
using Values = std::vector<double>;

CsvTable Parse(std::string_view text, std::optional<ColumnRef> dates = std::nullopt,
               std::optional<ColumnRef> texts = std::nullopt) {
  CsvError error;
  CsvReadOptions options;
  options.date = dates, options.text = texts;
  auto table = ParseCsv(text, "t.csv", options, &error);
  EXPECT_TRUE(table) << error.message;
  return table ? *table : CsvTable{};
}

std::string ParseError(std::string_view text, const CsvReadOptions& options) {
  CsvError error;
  EXPECT_FALSE(ParseCsv(text, "t.csv", options, &error));
  return error.message;
}

std::string ParseError(std::string_view text, std::optional<ColumnRef> dates = std::nullopt,
                       std::optional<ColumnRef> texts = std::nullopt) {
  CsvReadOptions options;
  options.date = dates, options.text = texts;
  return ParseError(text, options);
}

ParseOutcome Args(std::vector<const char*> args, PlotOptions* options, std::string* error) {
  args.insert(args.begin(), "kelmira-plot");
  return ParsePlotOptions(static_cast<int>(args.size()), args.data(), options, error);
}

}  // namespace

TEST(Csv, HeaderSeparatorsQuotesAndMissingValues) {
  CsvTable t = Parse("# measured\n\"time, s\",temp;x,p\r\n0,1.5,2\n\n1,,-3e2\n2,NaN,+4\n");
  ASSERT_EQ(std::pair(t.names, t.columns[2]), std::pair(Names{"time, s", "temp;x", "p"}, Values{2, -300, 4}));
  EXPECT_TRUE(std::isnan(t.columns[1][1]) && std::isnan(t.columns[1][2]));

  // No header: the columns are numbered; semicolons and tabs separate when no comma does.
  t = Parse("1;2\n3;4\n");
  EXPECT_EQ(std::pair(t.names, t.columns[1]), std::pair(Names{"column 1", "column 2"}, Values{2, 4}));
  t = Parse("a\tb\n1.5\t7\n");
  EXPECT_EQ(std::pair(t.names, t.columns[1]), std::pair(Names{"a", "b"}, Values{7}));
}

TEST(Csv, MalformedInputNamesLineAndColumn) {
  EXPECT_EQ(ParseError("x,temp\n0,1\n1,abc\n"), "t.csv:3: column 2 (temp): 'abc' is not a number");
  EXPECT_EQ(ParseError("1,2\n3,infinite\n"), "t.csv:2: column 2: 'infinite' is not a number");
  EXPECT_EQ(ParseError("n;v\n1;2,5\n"),
            "t.csv:2: column 2 (v): '2,5' is not a number (a decimal comma needs --decimal-comma)");
  EXPECT_EQ(ParseError("x,y\n1,\x01\xff\n"), "t.csv:2: column 2 (y): '\\x01\\xFF' is not a number");
  EXPECT_EQ(ParseError("x,y\n0,1\n\n1,2,3\n"), "t.csv:4: expected 2 cells, found 3");
  EXPECT_EQ(ParseError("x,y\n\"0,1\n"), "t.csv:2: a quoted cell is not closed");
  EXPECT_EQ(ParseError("x,y\n# nothing\n"), "t.csv: no data rows");
  EXPECT_EQ(ParseError(""), "t.csv: no data rows");
  // A date outside the date column is not a number.
  EXPECT_EQ(ParseError("d,v\n2024-01-02,2024-01-03\n", ColumnRef{"d"}),
            "t.csv:2: column 2 (v): '2024-01-03' is not a number");
  EXPECT_EQ(ParseError("d,v\n1,2\n", ColumnRef{"when"}), "t.csv:1: no column named 'when'");

  CsvError error;  // a file that cannot be opened: see the tool's own test
  EXPECT_FALSE(ReadCsvFile("/", {}, &error));
  EXPECT_EQ(error.message, "cannot read '/': it is a directory");
}

TEST(Csv, ReadsOnlyTheDrawnColumnsAndCountsInfinities) {
  const char* iris = "sepal_length,sepal_width,species\n5.1,3.5,setosa\n7.0,inf,versicolor\n6.3,1e400,virginica\n";
  EXPECT_EQ(ParseError(iris), "t.csv:2: column 3 (species): 'setosa' is not a number");
  CsvReadOptions options;
  options.numbers = {{"1"}, {"SEPAL_WIDTH"}};
  CsvError error;
  auto t = ParseCsv(iris, "t.csv", options, &error);
  ASSERT_TRUE(t) << error.message;
  EXPECT_EQ(std::tuple(t->IsRead(1), t->IsRead(2), t->columns[1][1], t->columns[1][2], t->notes),
            std::tuple(true, false, INFINITY, INFINITY,
                       Names{"t.csv: column 2 (sepal_width): 2 infinite values drawn as gaps"}));
  t = ParseCsv("v\n-inf\n1e-400\n-1E+400\nNaN\n", "t.csv", {}, &error);
  ASSERT_TRUE(t) << error.message;
  EXPECT_EQ(std::vector(t->columns[0].begin(), t->columns[0].end() - 1), (Values{-INFINITY, 0, -INFINITY}));
  EXPECT_TRUE(std::isnan(t->columns[0][3]));
}

TEST(Csv, SeparatorsAndDecimalComma) {
  struct Case {
    const char* text;
    Separator separator;
    bool decimalComma;
    Names names;
    Values second;
  } cases[] = {
      {"# run\n time  level  flag\n 0.5  -1.25  ok\n 10.0  3e2  a,b\n",
       Separator::Detect,
       false,
       {"time", "level"},
       {-1.25, 300}},
      {"Jahr;Anteil\n2001;12,5\n2002;-3\n", Separator::Detect, true, {"Jahr", "Anteil"}, {12.5, -3}},
      {"t\tv\n1\t2,5\n", Separator::Detect, true, {"t", "v"}, {2.5}},
      {"\"time s\"  v  note\n 1   2   \"a b\"\n 3  4  c\n", Separator::Blanks, false, {"time s", "v"}, {2, 4}},
      {"a;b,c\n1;2,5\n", Separator::Semicolon, true, {"a", "b,c"}, {2.5}},
  };
  for (const Case& c : cases) {
    CsvReadOptions options;
    options.separator = c.separator, options.decimalComma = c.decimalComma;
    options.numbers = {{"1"}, {"2"}};
    CsvError error;
    auto t = ParseCsv(c.text, "t.csv", options, &error);
    ASSERT_TRUE(t) << c.text << error.message;
    EXPECT_EQ(Names(t->names.begin(), t->names.begin() + 2), c.names) << c.text;
    EXPECT_EQ(t->columns[1], c.second) << c.text;
  }
}

TEST(Csv, DateFormats) {
  const double march1 = 45352;
  const std::tuple<const char*, const char*, std::optional<double>> cases[] = {
      {"%d-%b-%y", "01-MAR-24", march1},
      {"%d.%m.%Y", "1.3.2024", march1},
      {"%m/%d/%Y %H:%M", "03/01/2024 18:00", march1 + 0.75},
      {"%Y-%m-%dT%H:%M:%S%z", "2024-03-01T07:30:00+01:30", march1 + 0.25},
      {"%Y-%m-%dT%H:%M:%S%z", "2024-03-01T06:00:00Z", march1 + 0.25},
      {"%Y-%m-%dT%H:%M:%S%z", "2024-03-01T00:00:00-0600", march1 + 0.25},
      {"%d %B %Y", "1 march 2024", march1},
      {"%Y %j %H:%M:%S", "2024 61 00:00:21.6", march1 + 0.00025},
      {"%d/%m/%y %H %p", "31/12/69 12 am", 25568},
      {"%d/%m/%y", "31/12/68", 25568 + 365 * 99 + 25},
      {"%d/%m/%Y", "31/04/2024", std::nullopt},
      {"%Y %j", "2023 366", std::nullopt},
      {"%d-%b-%y", "01-Mar-24x", std::nullopt},
  };
  for (const auto& [format, text, value] : cases) {
    const auto date = ParseDate(text, format);
    ASSERT_EQ(date.has_value(), value.has_value()) << text;
    EXPECT_NEAR(date.value_or(0), value.value_or(0), 1e-9) << text;
  }
}

TEST(Csv, BadRowsAndEncodings) {
  CsvReadOptions options;
  options.skipBadRows = true;
  CsvError error;
  auto t = ParseCsv("x,y\n1,2\n2\n3,x\n4,5\n", "t.csv", options, &error);
  ASSERT_TRUE(t) << error.message;
  EXPECT_EQ(std::pair(t->columns[1], t->notes), std::pair(Values{2, 5}, Names{"skipped 2 bad rows (first: t.csv:3)"}));

  // Read in stretches side by side, rows close up and lines keep their numbers.
  std::string text = "# log\nt,v,note\n";
  for (int i = 0; i < 400; ++i) text += i % 97 == 5 ? "# pause\n\n" : std::to_string(i) + ",inf,a b\n";
  text += "401,1,x\n402,y,x\n403,2,x";
  options.numbers = {{"v"}};
  for (unsigned threads : {1u, 3u, 8u}) {
    options.threads = threads;
    t = ParseCsv(text, "t.csv", options, &error);
    ASSERT_TRUE(t);
    EXPECT_EQ(std::tuple(t->rows(), t->columns[1].back(), t->notes.back()),
              std::tuple(397u, 2.0, "skipped 1 bad row (first: t.csv:409)"))
        << threads;
    options.skipBadRows = false;
    EXPECT_EQ(ParseError(text, options), "t.csv:409: column 2 (v): 'y' is not a number");
    options.skipBadRows = true;
  }

  // Progress climbs to the whole as the rows are read.
  std::string many = "t,v\n";
  for (int i = 0; i < 40000; ++i) many += std::to_string(i) + ",1.5\n";
  Values parts;
  options = {}, options.threads = 1, options.progress = [&parts](double part) { parts.push_back(part); };
  ASSERT_TRUE(ParseCsv(many, "t.csv", options, &error));
  EXPECT_TRUE(parts.size() >= 2 && std::is_sorted(parts.begin(), parts.end()) && parts.back() == 1.0)
      << ::testing::PrintToString(parts);

  using namespace std::string_view_literals;
  const std::pair<std::string_view, const char*> encodings[] = {
      {"\xFF\xFEx\0,\0y\0"sv, "looks like UTF-16 text"},
      {"x\0,\0y\0\n\0"
       "1\0,\0"sv,
       "looks like UTF-16 text"},
      {"\xFF\xFE\0\0x\0\0\0"sv, "looks like UTF-32 text"},
      {"\x89PNG\r\n\x1a\n\0\0\0\rIHDR"sv, "is not a text file (it holds NUL bytes)"},
      {"\x7F"
       "ELF\2\1\1\0\0\0\0\0\0\0\0\0\3\0>\0\1\0\0\0"sv,
       "is not a text file (it holds NUL bytes)"},
  };
  for (const auto& [bytes, message] : encodings)
    EXPECT_EQ(ParseError(bytes), "t.csv: " + std::string(message) +
                                     (message[0] == 'l' ? "; save it as UTF-8 (or ASCII) and try again" : ""));
  EXPECT_EQ(Parse("\xEF\xBB\xBFx,y\n1,2\n").names, (Names{"x", "y"}));
}

TEST(Csv, DatesBecomeAutomationDatesAndTickTextsStayText) {
  EXPECT_EQ(std::tuple(ParseDate("1899-12-30"), ParseDate("2024-03-01"), ParseDate("2024-03-01 06:00")),
            std::tuple(0.0, 45352.0, 45352.25));
  EXPECT_DOUBLE_EQ(*ParseDate("2024-03-01T18:00:36"), 45352.0 + (18 * 3600 + 36) / 86400.0);
  for (const char* bad : {"2024-04-31", "2024-13-01", "2024-3-1", "2024-03-01 25:00", "2024-03-01x", "01/02/2024"})
    EXPECT_FALSE(ParseDate(bad)) << bad;
  EXPECT_EQ(Parse("when,v\n2024-03-01,1\n45353.5,2\n", ColumnRef{"1"}).columns[0], (Values{45352.0, 45353.5}));

  // The tick text column is kept as text.
  CsvTable t = Parse("month,sales\nJan,1\n,2\n", std::nullopt, ColumnRef{"MONTH"});
  EXPECT_EQ(std::tuple(t.textColumn, t.texts, t.columns[1]), std::tuple(0, Names{"Jan", ""}, Values{1, 2}));
  EXPECT_TRUE(std::isnan(t.columns[0][0]));
  // Chosen by number, text in that column alone does not make the first line a header.
  t = Parse("1,Jan\n2,Feb\n", std::nullopt, ColumnRef{"2"});
  EXPECT_EQ(std::pair(t.names, t.texts), std::pair(Names{"column 1", "column 2"}, Names{"Jan", "Feb"}));
  EXPECT_EQ(ParseError("d,v\n1,2\n", std::nullopt, ColumnRef{"label"}), "t.csv:1: no column named 'label'");
  EXPECT_EQ(ParseError("d,v\n1,2\n", ColumnRef{"d"}, ColumnRef{"1"}),
            "t.csv:1: column 1 (d) cannot hold both dates and tick labels");
}

TEST(PlotOptions, ValuesAndErrors) {
  PlotOptions o;
  std::string error;
  ASSERT_EQ(Args({"-o", "a.png", "--size=320x200", "--ylim", "-5:5", "--colors", "red,#00ff00", "--markers", "plus",
                  "--x", "index", "--right-y", "3", "data.csv"},
                 &o, &error),
            ParseOutcome::Run)
      << error;
  EXPECT_EQ(std::tuple(o.output, o.width, o.yLimits->min, o.markers, o.drawStyle, o.xIsIndex, o.input, o.lineColors),
            std::tuple("a.png", 320, -5.0, Markers::Plus, DrawStyle::Points, true, "data.csv",
                       std::vector<COLORREF>{0x0000FF, 0x00FF00}));

  // Print units: pixels at 96 dpi, and the page in points.
  const std::tuple<const char*, int, int, double, double> sizes[] = {{"6inx4in", 576, 384, 432, 288},
                                                                     {"420ptx260pt", 560, 347, 420, 260}};
  for (const auto& [text, w, h, wPt, hPt] : sizes) {
    const auto size = ParsePictureSize(text);
    EXPECT_EQ(std::tuple(size->width, size->height, size->widthPt, size->heightPt), std::tuple(w, h, wPt, hPt)) << text;
  }

  o = PlotOptions{};
  ASSERT_EQ(Args({"--date-x", "--xlim", "2024-03-01,2024-03-02 12:00"}, &o, &error), ParseOutcome::Run) << error;
  EXPECT_EQ(std::pair(o.xLimits->min, o.xLimits->max), std::pair(45352.0, 45353.5));

  const std::string kSizes = "(WxH in pixels, 16 to 16384, or with units: 6inx4in, 16cmx10cm, 420ptx260pt)";
  const std::pair<std::vector<const char*>, std::string> cases[] = {
      {{"--size", "10x10"}, "bad value '10x10' for --size " + kSizes},
      {{"--size", "6in"}, "bad value '6in' for --size " + kSizes},
      {{"-o", "fig.eps"}, "fig.eps: unsupported output format '.eps' (supported: .png, .svg, .pdf)"},
      {{"--dpi", "2400"}, "--dpi 2400 makes the picture 20000x12500 pixels, more than 16384 on a side"},
      {{"--ylim", "5:5"}, "bad value '5:5' for --ylim (MIN:MAX with MIN < MAX)"},
      {{"--width", "0"}, "bad value '0' for --width (1 to 100)"},
      {{"--style", "wavy"}, "bad value 'wavy' for --style (lines, points, linespoints, solid, dash or dot)"},
      {{"--colors", "red,nope"}, "bad colour 'nope' in --colors (#RRGGBB or a colour name)"},
      {{"--frobnicate"}, "unknown option '--frobnicate'"},
      {{"--output"}, "option '--output' needs a value"},
      {{"a.csv", "b.csv"}, "more than one input file given"},
      {{"--date-format-labels", "3"}, "bad value '3' for --date-format-labels (0, 1, 2, 100, 101 or 102)"},
      {{"--font-size", "3"}, "bad value '3' for --font-size (4 to 72 points)"},
      {{"--load="}, "the path for --load is empty"},
      {{"-o", "a.png", "./a.png"}, "'a.png' is both the input and the output"},
      {{"--save", "s", "-o", "s"}, "'s' is both the --save file and the output"},
      {{"--sep", "|"}, "bad value '|' for --sep (',', ';', tab or space)"},
      {{"--date-format", "%d.%m"}, "bad value '%d.%m' for --date-format: it has no year (%Y or %y)"},
      {{"--decimal-comma", "--sep", ","},
       "--decimal-comma cannot go with --sep ',': the comma is the decimal mark then"},
      {{"--legend", "middle"},
       "bad value 'middle' for --legend (upper-right, upper-left, lower-right, lower-left, outside or none)"},
  };
  for (const auto& [args, message] : cases) {
    o = PlotOptions{};
    EXPECT_EQ(Args(args, &o, &error), ParseOutcome::Error) << message;
    EXPECT_EQ(error, message);
  }
  EXPECT_EQ(Args({"--width", "3", "-h"}, &o, &error), ParseOutcome::Help);
  // A marker shape alone draws points (above); a style with markers and no shape takes circles.
  o = PlotOptions{};
  ASSERT_EQ(Args({"--style", "linespoints"}, &o, &error), ParseOutcome::Run);
  EXPECT_EQ(std::pair(o.drawStyle, o.markers), std::pair(DrawStyle::LinesPoints, Markers::Circle));
}

TEST(PlotData, SelectsColumnsAndRanges) {
  CsvTable t = Parse("t,a,b,c\n0,1,10,\n1,3,,100\n2,2,30,300\n");
  PlotOptions o;
  o.rightYColumns = {ColumnRef{"C"}};
  std::string error;
  auto data = SelectSeries(t, o, &error);
  ASSERT_TRUE(data) << error;
  ASSERT_EQ(data->series.size(), 3u);
  EXPECT_EQ(std::pair(data->series[2].name, data->series[2].rightY), std::pair(std::string("c"), true));
  // Missing values are left out.
  EXPECT_EQ(std::tuple(DataRange(*data, false)->min, DataRange(*data, false)->max, DataRange(*data, true)->min,
                       XRange(*data)->max),
            std::tuple(1.0, 30.0, 100.0, 2.0));

  // A first column of tick texts makes X the row number and is not drawn.
  o = PlotOptions{};
  data = SelectSeries(Parse("m,a\nJan,1\nFeb,2\n", std::nullopt, ColumnRef{"m"}), o, &error);
  ASSERT_TRUE(data) << error;
  EXPECT_EQ(std::tuple(data->xIsIndex, data->xName, data->series.size(), data->tickTexts),
            std::tuple(true, "m", 1u, Names{"Jan", "Feb"}));
  o.yColumns = {ColumnRef{"m"}};
  EXPECT_FALSE(SelectSeries(Parse("m,a\nJan,1\n", std::nullopt, ColumnRef{"m"}), o, &error));
  EXPECT_EQ(error, "column 'm' (for --y) holds the tick labels, not numbers");

  o = PlotOptions{};
  for (auto [csv, y, message] :
       {std::tuple("x\n1\n2\n", "", "nothing to draw: the data has no column besides X"),
        {"x,y\n1,\n2,NA\n", "", "nothing to draw: every value of the drawn columns is missing"},
        {"x,y\n1,2\n", "zzz", "no column 'zzz' (for --y) in the data"},
        {"x,y\n1,1e308\n", "y",
         "column 'y': 1e+308 is beyond the single precision Y is drawn in (at most 3.40282e+38)"}}) {
    if (*y) o.yColumns = {ColumnRef{y}};
    EXPECT_FALSE(SelectSeries(Parse(csv), o, &error));
    EXPECT_EQ(error, message);
  }

  // A flat series still gets a range that can be shown.
  data = SelectSeries(Parse("x,y\n1,7\n2,7\n"), PlotOptions{}, &error);
  ASSERT_TRUE(data);
  EXPECT_LT(DataRange(*data, false)->min, 7);
  EXPECT_GT(DataRange(*data, false)->max, 7);
}

TEST(TickTexts, TicksTheAxisDrawsAndTheirRows) {
  // 10,000 rows on 100 pixels: the multiple 0 lies less than a pixel left of X = 1 and is drawn.
  EXPECT_EQ(DrawnTicks(1, 10000, 2000, 102, 1), (Values{0, 2000, 4000, 6000, 8000, 10000}));
  EXPECT_EQ(DrawnTicks(1, 10, 2, 102, 1), (Values{2, 4, 6, 8, 10}));
  EXPECT_EQ(std::tuple(RowStep(9, 4, true), RowStep(0.9, 4, true), RowStep(0.9, 4, false), RowStep(3000, 8, true),
                       GridStep(13, 6), GridStep(100, 4)),
            std::tuple(5.0, 1.0, 0.5, 500.0, 2.0, 20.0));

  PlotData byIndex, byX;
  byIndex.xIsIndex = true, byIndex.tickTexts = {"a", "b", "c"};
  EXPECT_EQ(TickTexts(byIndex, {0, 1, 2.5, 3, 4}), (Names{"", "a", "", "c", ""}));
  byX.x = {10, 20, std::nan(""), 30}, byX.tickTexts = {"a", "b", "c", "d"};
  EXPECT_EQ(TickTexts(byX, {10, 15, 30}), (Names{"a", "", "d"}));
}
