// Reading straight into the lines gives the lines, ranges and messages that reading into columns
// gives, whatever the stretches and the rows lost between them.
#include "plot/plot_scales.h"
#include "plot/plot_sinks.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace kelmira::plot;

namespace {

auto Ends(const std::optional<Range>& r) { return r ? std::pair(r->min, r->max) : std::pair(-1.0, -2.0); }

}  // namespace

TEST(LineSink, FillsTheLinesAsTheColumnsWould) {
  std::string text = "# logger 7\nt,a,b,c\n";  // comments, blank lines, bad rows and gaps in every stretch
  for (int i = 0; i < 90; ++i) {
    text += i % 17 == 3 ? "# pause\n" : i % 13 == 5 ? "\n" : i % 19 == 7 ? "4,x,1,1\n" : "";
    const std::string a = i % 7 == 2 ? "" : i == 30 ? "inf" : std::to_string(std::sin(i) * 1e3 + 1e6);
    const std::string c = i == 20 ? "1e39" : i == 70 ? "-3e39" : "1";
    text += (i % 11 == 4 ? "" : std::to_string(i * 0.5)) + "," + a + "," + std::to_string(i % 5 - 2) + "," + c + "\n";
  }
  const std::vector<std::vector<const char*>> cases = {{},
                                                       {"-y", "a", "--right-y", "b"},
                                                       {"-y", "b,c"},
                                                       {"--xlim", "5:20"},
                                                       {"-x", "index"},
                                                       {"-x", "b", "-y", "a,a"},
                                                       {"-y", "d"},
                                                       {"-y", "a,b", "--logx", "--logy", "--xlim", "2:30"},
                                                       {"-y", "a", "--y-offset", "1e39"},
                                                       {"--logy2", "--right-y", "b", "-y", "a", "--y-offset", "1e6"},
                                                       {"-y", "b", "--right-y", "a", "--y-offset", "auto"}};
  for (const auto& args : cases)
    for (unsigned threads : {1u, 3u}) {
      std::vector<const char*> argv = {"kelmira-plot", "t.csv"};
      argv.insert(argv.end(), args.begin(), args.end());
      PlotOptions options;
      std::string message, expected;
      ASSERT_EQ(ParsePlotOptions(static_cast<int>(argv.size()), argv.data(), &options, &message), ParseOutcome::Run);
      CsvReadOptions read;
      read.skipBadRows = true, read.threads = threads;
      CsvError error;
      auto want = SelectSeries(*ParseCsv(text, "t.csv", read, &error), options, &expected);
      LineSink sink(options);
      read.sink = &sink;
      ASSERT_TRUE(ParseCsv(text, "t.csv", read, &error)) << error.message;
      auto got = sink.Select(&message);
      if (sink.ReadAgain() && ParseCsv(text, "t.csv", read, &error)) got = sink.Select(&message);  // no guess made
      ASSERT_EQ(message, expected);
      if (!want) continue;
      PlotOptions scaled = options;
      std::string wantError, gotError;
      const auto warnings = ApplyScales(&*want, &options, {"t", "a", "b", "c"}, &wantError);
      ASSERT_EQ(std::pair(ApplyScales(&*got, &scaled, {"t", "a", "b", "c"}, &gotError), gotError),
                std::pair(warnings, wantError));
      if (!wantError.empty()) continue;
      const FilledLines lines = sink.TakeLines();
      ASSERT_EQ(std::pair(lines.size(), got->points()), std::pair(want->series.size(), want->points()));
      EXPECT_EQ(Ends(XRange(*got)), Ends(XRange(*want)));
      for (bool right : {false, true}) {
        EXPECT_EQ(Ends(DataRange(*got, right)), Ends(DataRange(*want, right)));
        if (options.xLimits) {
          EXPECT_EQ(Ends(DataRange(*got, right, *options.xLimits)), Ends(DataRange(*want, right, *options.xLimits)));
        }
      }
      for (std::size_t k = 0; k < lines.size(); ++k) {
        float* y = nullptr;
        BYTE* mask = nullptr;
        double* x = nullptr;
        lines[k]->GetDataPtr(&y), lines[k]->GetMaskPtr(&mask), lines[k]->get_DataPtrXDouble(&x);
        std::size_t shown = 0;
        for (std::size_t i = 0; i < want->points(); ++i) {
          const double v = want->series[k].y[i], at = want->xIsIndex ? 0.0 : want->x[i];
          const bool show = std::isfinite(v) && std::isfinite(at);
          shown += show;
          ASSERT_EQ(std::tuple(y[i], mask[i], x ? x[i] : 0.0),
                    std::tuple(show ? static_cast<float>(v) : 0.0f, BYTE{show}, show ? at : 0.0))
              << k << " " << i << " " << threads;
        }
        EXPECT_EQ(got->series[k].gathered.shown, shown);
      }
    }
}

TEST(Csv, TextColumnsAreLeftOutOfEveryColumnWithANote) {
  const struct {
    std::string text;
    std::vector<ColumnRef> kept;
    std::string said;  // the note, or the error
    std::vector<bool> read;
  } cases[] = {
      {"id,name,score\n1,Ann,3.5\n2,,4\n",
       {},
       "t.csv: column 2 (name) holds text, not numbers: left out of the drawn columns",
       {true, false, true}},
      {"id,name,score,grade\n1,Ann,3.5,B\n",
       {},
       "t.csv: column 2 (name), column 4 (grade) hold text, not numbers: left out of the drawn columns",
       {true, false, true, false}},
      {"id,name,score\n1,Ann,3.5\n", {{"name"}}, "t.csv:2: column 2 (name): 'Ann' is not a number", {}},
      {"id,code,score\n1,A1,3\n2,7,4\n", {}, "t.csv:2: column 2 (code): 'A1' is not a number", {}},  // a typo
  };
  for (const auto& c : cases) {
    CsvReadOptions read;
    read.leaveOutText = c.kept;
    CsvError error;
    const auto table = ParseCsv(c.text, "t.csv", read, &error);
    std::vector<bool> isRead;
    for (std::size_t k = 0; table && k < table->names.size(); ++k) isRead.push_back(table->IsRead(k));
    const std::string said = table && !table->notes.empty() ? table->notes.front() : error.message;
    EXPECT_EQ(std::pair(said, isRead), std::pair(c.said, c.read));
  }
}
