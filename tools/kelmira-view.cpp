// kelmira-view: an interactive window on a data file's LineGraph (see view/viewer.h and --help).
// With --script or --snapshot it runs without a display: the script's input events are replayed
// whenever the message loop has nothing left to do, and the window is written as PNG at the end.
// Exit status: 0 closed normally, 1 bad input, a failed save or a script that could not run,
// 2 bad command line.
#include "common/output_file.h"
#include "common/progress_bar.h"
#include "plot/plot_load.h"
#include "view/view_options.h"
#include "view/view_script.h"
#include "view/viewer.h"

#include <kelmira/kelmira.h>
#include <kelmira/platform.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>

namespace {

using kelmira::view::ScriptEvent;
using kelmira::view::Viewer;

// A scripted or snapshot run: what the idle hook drives.
struct Run {
  Viewer* viewer = nullptr;
  std::optional<kelmira::view::ScriptPlayer> player;
  std::string snapshot, scriptName;
  bool finished = false;
  bool failed = false;
};

BOOL OnIdle(void* context) {
  Run& run = *static_cast<Run*>(context);
  if (run.finished || !run.viewer->open()) return FALSE;
  if (run.player && run.player->Step()) return TRUE;
  if (run.player && run.player->failed()) {
    std::fprintf(stderr, "kelmira-view: %s: %s\n", run.scriptName.c_str(), run.player->error().c_str());
    run.failed = true;
  }
  run.finished = true;
  if (!run.failed && !run.snapshot.empty()) {
    run.failed = !run.viewer->Snapshot(run.snapshot);
    if (!run.failed) std::printf("kelmira-view: wrote %s\n", run.snapshot.c_str());
  }
  DestroyWindow(run.viewer->frame());
  return TRUE;
}

// print and snapshot lines of a script.
bool OnCommand(Viewer& viewer, const ScriptEvent& event) {
  if (event.action == kelmira::view::ScriptAction::Snapshot) return viewer.Snapshot(event.text);
  if (event.action == kelmira::view::ScriptAction::Resize)
    return SetWindowPos(viewer.frame(), nullptr, 0, 0, event.width, event.height, SWP_NOMOVE | SWP_NOZORDER) != FALSE;
  const std::string report = viewer.Report(event.text);
  std::printf("%s\n", report.c_str());
  std::fflush(stdout);
  return true;
}

// The words a script may print, checked before anything runs.
std::string CheckPrints(const std::vector<ScriptEvent>& script, const std::string& name) {
  for (const ScriptEvent& event : script)
    if (event.action == kelmira::view::ScriptAction::Print && event.text != "limits" && event.text != "extents" &&
        event.text != "status" && event.text != "title")
      return name + ":" + std::to_string(event.line) + ": cannot print '" + event.text +
             "' (limits, extents, status, title)";
  return {};
}

int RunLoop(Viewer& viewer) {
  MSG msg;
  for (;;) {
    const BOOL got = GetMessageA(&msg, nullptr, 0, 0);
    if (got == 0 || got == -1) break;  // -1: nothing can arrive any more
    if (viewer.PreTranslate(msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return 0;
}

int View(kelmira::view::ViewOptions options) {
  std::optional<std::vector<ScriptEvent>> script;
  std::string error;
  if (!options.script.empty()) {
    script = kelmira::view::ReadScript(options.script, &error);
    if (script) error = CheckPrints(*script, options.script);
    if (!script || !error.empty()) {
      std::fprintf(stderr, "kelmira-view: %s\n", error.c_str());
      return 1;
    }
  }
  // Only the display back-end chosen by the environment overrides the default.
  if (!std::getenv("KELMIRA_DISPLAY")) {
    const HRESULT hr = KelmiraSetDisplayBackend(options.headless() ? "headless" : "sdl");
    if (FAILED(hr)) {
      std::fprintf(stderr, "kelmira-view: cannot open a desktop window (0x%08X); try --snapshot FILE\n",
                   static_cast<unsigned>(hr));
      return 1;
    }
  }
  // A window nobody can see and nothing drives would wait for ever.
  if (!options.headless() && std::strcmp(KelmiraGetDisplayBackend(), "headless") == 0) {
    std::fprintf(stderr,
                 "kelmira-view: the display back-end is headless (KELMIRA_DISPLAY): nothing would be shown; "
                 "use --script or --snapshot to run without a display\n");
    return 1;
  }
  std::vector<std::string> messages;
  std::optional<kelmira::plot::LoadedPlot> loaded;
  {
    kelmira::tools::ProgressBar bar;
    // A saved graph opened alone shows itself, without the demo data.
    if (options.plot.input.empty() && !options.plot.loadFile.empty()) {
      loaded.emplace();
    } else {
      loaded = kelmira::plot::LoadPlot(
          &options.plot, [&bar](double part) { bar(part); }, &messages, &error);
    }
  }
  for (const std::string& message : messages) std::fprintf(stderr, "kelmira-view: %s\n", message.c_str());
  if (!loaded) {
    std::fprintf(stderr, "kelmira-view: %s\n", error.c_str());
    return 1;
  }
  const std::string snapshot = options.snapshot, scriptName = options.script;
  std::unique_ptr<Viewer> viewer = Viewer::Open(std::move(options), std::move(*loaded), &error);
  loaded.reset();
  if (!viewer) {
    std::fprintf(stderr, "kelmira-view: %s\n", error.c_str());
    return 1;
  }
  Run run;
  run.viewer = viewer.get();
  run.snapshot = snapshot;
  run.scriptName = scriptName;
  const bool scripted = script || !snapshot.empty();
  if (script)
    run.player.emplace(std::move(*script), viewer->plotWindow(),
                       [&viewer](const ScriptEvent& event) { return OnCommand(*viewer, event); });
  if (scripted) KelmiraSetIdleHook(&OnIdle, &run);
  RunLoop(*viewer);
  if (scripted) KelmiraSetIdleHook(nullptr, nullptr);
  const int errors = viewer->errors();
  viewer.reset();
  if (scripted && !run.finished) {
    std::fprintf(stderr, "kelmira-view: the window closed before the script ended\n");
    return 1;
  }
  return run.failed || (scripted && errors > 0) ? 1 : 0;
}

}  // namespace

int main(int argc, char** argv) {
  kelmira::view::ViewOptions options;
  std::string error;
  switch (kelmira::view::ParseViewOptions(argc, argv, &options, &error)) {
    case kelmira::plot::ParseOutcome::Help: std::fputs(kelmira::view::ViewUsage(), stdout); return 0;
    case kelmira::plot::ParseOutcome::Error:
      std::fprintf(stderr, "kelmira-view: %s\nTry 'kelmira-view --help'.\n", error.c_str());
      return 2;
    case kelmira::plot::ParseOutcome::Run: break;
  }
  // Refused outputs cost no work and leave every file as it was.
  for (const std::string* path : {&options.snapshot, &options.plot.output, &options.plot.saveFile}) {
    if (path->empty()) continue;
    if (const std::string problem = kelmira::tools::OutputProblem(*path); !problem.empty()) {
      std::fprintf(stderr, "kelmira-view: %s\n", problem.c_str());
      return 1;
    }
  }
  if (FAILED(CoInitialize(nullptr))) return 1;
  const int code = View(std::move(options));
  CoUninitialize();
  return code;
}
