#include "view/view_options.h"

#include <cstring>
#include <string_view>
#include <vector>

namespace kelmira::view {

plot::ParseOutcome ParseViewOptions(int argc, const char* const* argv, ViewOptions* options, std::string* error) {
  // The viewer's own options are taken out; the rest is kelmira-plot's.
  std::vector<const char*> rest{argc > 0 ? argv[0] : "kelmira-view"};
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    std::string* target = arg == "--script" ? &options->script : arg == "--snapshot" ? &options->snapshot : nullptr;
    if (!target) {
      rest.push_back(argv[i]);
      continue;
    }
    if (i + 1 >= argc || argv[i + 1][0] == '\0') {
      *error = "option '" + std::string(arg) + "' needs a file name";
      return plot::ParseOutcome::Error;
    }
    *target = argv[++i];
  }
  options->plot.output.clear();
  options->plot.width = 900;
  options->plot.height = 560;
  const plot::ParseOutcome outcome =
      plot::ParsePlotOptions(static_cast<int>(rest.size()), rest.data(), &options->plot, error);
  options->outputGiven = !options->plot.output.empty();
  options->saveGiven = !options->plot.saveFile.empty();
  if (outcome == plot::ParseOutcome::Run && options->plot.output == "-") {
    *error = "-o - is for kelmira-plot; the viewer writes its pictures to files";
    return plot::ParseOutcome::Error;
  }
  if (outcome == plot::ParseOutcome::Run && options->plot.dpi != 96) {
    *error = "--dpi is for kelmira-plot; S writes the window's pixels, or a vector file with -o FILE.svg or .pdf";
    return plot::ParseOutcome::Error;
  }
  return outcome;
}

const char* ViewUsage() {
  static const std::string usage =
      std::string(
          "Usage: kelmira-view [options] [FILE.csv]\n"
          "Opens a window with a line graph of a CSV file (or built-in demo data when no file is\n"
          "given, or the saved graph alone with --load), to explore it with the mouse and keys.\n"
          "\n"
          "Mouse (in the plot):\n"
          "  drag with the left button   zoom to the rectangle (an X range when the graph has a\n"
          "                              right Y axis)\n"
          "  left click                  zoom in by 2 about the point; double click: by 4\n"
          "  right click                 zoom out by 2 about the middle\n"
          "  wheel                       zoom in (away from you) or out about the cursor\n"
          "  back / forward buttons      zoom in about the point / back to the whole data\n"
          "Keys:\n"
          "  1 ... 8    arm a drag tool: point, line, rectangle, circle, X range, Y range,\n"
          "             X line, Y line; the next left drag draws it and the status line shows\n"
          "             its ends in data units. 0 goes back to zooming\n"
          "  + / -      zoom in / out by 2 about the middle\n"
          "  Home       back to the whole data\n"
          "  L          show or hide the legend\n"
          "  P          the property page of the graph (OK or Apply changes the graph)\n"
          "  S          save the window's graph: as the format -o FILE names by its extension\n"
          "             (.png; .svg or .pdf as lines and real text), else as a new FILE-N.png\n"
          "  Ctrl+S     save the graph's settings and view (--save FILE, else a new FILE-N.klg);\n"
          "             open them again with --load\n"
          "  ?          show or hide this list of keys in the window\n"
          "  Q, Escape  quit\n"
          "\n"
          "Viewer options:\n"
          "  -o, --output PATH        the file that S writes (replaced at each S): .png, .svg or .pdf\n"
          "  -s, --size WxH           size of the graph in pixels (default 900x560), or with a unit on\n"
          "                           both sides (6inx4in, 16cmx10cm, 420ptx260pt): a vector file S\n"
          "                           writes at that size has exactly that page\n"
          "      --script FILE        replay the input events of FILE, without a display; one per\n"
          "                           line: move X Y, press|release|click BUTTON [X Y],\n"
          "                           drag X1 Y1 X2 Y2 [STEPS], wheel NOTCHES [X Y], key KEY,\n"
          "                           type TEXT, print limits|extents|status|title,\n"
          "                           snapshot FILE, resize W H.\n"
          "                           Points are pixels of the plot area from its top left, or\n"
          "                           percentages of it (50% 50%); BUTTON is left, right, middle,\n"
          "                           x1 or x2; KEY as named above (ctrl+s, home, escape, 3, ?)\n"
          "      --snapshot FILE      without a display: write the window as PNG after the script\n"
          "                           (or after the first paint) and quit\n"
          "\n"
          "Data options (as kelmira-plot):\n") +
      plot::PlotDataOptionsUsage() +
      "  -h, --help               show this text\n"
      "\n" +
      plot::PlotDataNotes() +
      "The window needs a display (DISPLAY or WAYLAND_DISPLAY); KELMIRA_DISPLAY=headless|sdl\n"
      "chooses the back-end (default: sdl, or headless with --script or --snapshot).\n"
      "Exit status: 0 closed normally, 1 bad input, a failed save or a script that could not\n"
      "run, 2 bad command line.\n";
  return usage.c_str();
}

}  // namespace kelmira::view
