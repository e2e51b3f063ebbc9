// pelmora.exe: the window on Windows.
//   pelmora [--demo] [--trace FILE] [--self-test [--port COMn]] [--screenshots DIR] [--version]
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "app/win32/main_window.h"
#include "app/win32/screenshot_tour.h"
#include "app/win32/self_test.h"
#include "app/win32/ui_language.h"
#include "app/window_assembly.h"
#include "link/port_name.h"
#include "link/serial_port.h"
#include "settings/utf.h"
#include "pelmora_version.h"

namespace {

struct Options {
  pelmora::WindowLaunch launch;
  bool selfTest = false;
  std::optional<int> selfTestPort;  // --port: the self-test on this COM number instead of the demo's
  std::string screenshotDir;        // --screenshots: "" for none
  bool version = false;
  std::string problem;  // a word the program does not know, or an option without its value
};

// The message for an option given last without its value, else "".
std::string missingValue(const std::string& option) {
  if (option == "--trace") return "--trace: the trace file is missing";
  if (option == "--port") return "--port: the port (COMn) is missing";
  if (option == "--screenshots") return "--screenshots: the folder is missing";
  return {};
}

Options parseOptions() {
  Options options;
  int count = 0;
  wchar_t** words = ::CommandLineToArgvW(::GetCommandLineW(), &count);
  std::vector<std::string> args;
  for (int i = 1; i < count; ++i) {
    const std::wstring word(words[i]);
    args.push_back(pelmora::utf8FromUtf16(std::u16string(word.begin(), word.end())));
  }
  ::LocalFree(words);
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--demo") {
      options.launch.demo = true;
    } else if (args[i] == "--self-test") {
      options.selfTest = true;
    } else if (args[i] == "--port" && i + 1 < args.size()) {
      options.selfTestPort = pelmora::comPortNumber(args[++i]);
      if (!options.selfTestPort || *options.selfTestPort > pelmora::kLastPortNumber)
        options.problem =
            "--port " + args[i] + ": not a port (COM0 to COM" + std::to_string(pelmora::kLastPortNumber) + ")";
    } else if (args[i] == "--screenshots" && i + 1 < args.size()) {
      options.screenshotDir = args[++i];
      options.launch.demo = true;  // the pictures show the demo tracker's settings
      options.launch.screenshots = true;
    } else if (args[i] == "--version" || args[i] == "-v") {
      options.version = true;
    } else if (args[i] == "--trace" && i + 1 < args.size()) {
      options.launch.traceFile = args[++i];
    } else {
      options.problem = missingValue(args[i]);
      if (options.problem.empty())
        options.problem = args[i] + ": not an option (--demo, --trace FILE, --self-test [--port COMn], "
                                    "--screenshots DIR, --version)";
    }
    if (!options.problem.empty()) return options;
  }
  // Without a port the script runs against the demo's simulated tracker only.
  if (options.selfTest && !options.selfTestPort) options.launch.demo = true;
  if (options.selfTestPort && !options.selfTest) {
    options.problem = "--port: only with --self-test";
  } else if (options.selfTestPort && options.launch.demo) {
    options.problem = "--port: not with --demo or --screenshots (the demo tracker answers on COM" +
                      std::to_string(pelmora::kDemoPort) + " only)";
  } else if (options.selfTest && !options.screenshotDir.empty()) {
    options.problem = "--screenshots: not with --self-test (each drives the window on its own)";
  }
  return options;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int showCommand) {
  const Options options = parseOptions();
  if (options.version) {
    std::printf("pelmora %s\n", pelmora::kPelmoraVersion);
    return 0;
  }
  if (!options.problem.empty()) {
    std::fprintf(stderr, "pelmora: %s\n", options.problem.c_str());
    return 2;
  }
  INITCOMMONCONTROLSEX classes{sizeof classes, ICC_STANDARD_CLASSES | ICC_TAB_CLASSES | ICC_INTERNET_CLASSES |
                                                   ICC_PROGRESS_CLASS | ICC_BAR_CLASSES};
  ::InitCommonControlsEx(&classes);

  pelmora::WindowAssembly assembly(pelmora::programParts(options.launch));
  pelmora::useLanguage(pelmora::chooseLanguage(assembly.language(), pelmora::systemLanguageIsRussian()));
  if (options.launch.demo) {
    std::printf("pelmora: demo mode, the simulated tracker answers on COM%d\n", pelmora::kDemoPort);
    std::fflush(stdout);
  }
  pelmora::Win32MainWindow window(assembly);
  if (!window.made()) {
    std::fprintf(stderr, "pelmora: the window cannot be made here (no display?)\n");
    return 1;
  }
  window.show(showCommand);
  std::optional<pelmora::SelfTest> selfTest;
  if (options.selfTest) selfTest.emplace(window, assembly, options.selfTestPort);
  std::optional<pelmora::ScreenshotTour> tour;
  if (!options.screenshotDir.empty()) {
    tour.emplace(window, options.screenshotDir);
    if (!tour->start()) window.close();
  }

  MSG message{};
  while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
    if (window.preTranslate(message)) continue;
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
  }
  if (selfTest) return selfTest->passed() ? 0 : 1;
  if (tour) return tour->succeeded() ? 0 : 1;
  return 0;
}
