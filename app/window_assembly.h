#pragma once
// What the main window runs on, put together in one place for every front
// that shows it (the Qt window; a Win32 window over the same MainView
// later): the user's settings, the serial port (the system's, or for the
// demo a loopback port with a simulated tracker in this process), port
// discovery, the trace, the saved port index, the settings the pages and
// the link share, the clock, and the link engine. The window receives them
// by reference and only shows.
//
// Lifetimes: the assembly is made before the window and goes after it. The
// engine is made once the window can take its notifications (startLink);
// the window stops it before the window goes (LinkEngine::shutdown), and
// the stopped engine goes first when the assembly does, before the port,
// the settings and the trace it used.

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/port_index_store.h"
#include "link/clock.h"
#include "link/link_engine.h"
#include "link/port_discovery.h"
#include "link/serial_port.h"
#include "link/trace_file.h"
#include "link/tracker_events.h"
#include "settings/history_archive.h"
#include "settings/shared_settings.h"

namespace pelmora {

inline constexpr int kDemoPort = 3;

class MainWindowLogic;

// The window's place on the screen and its size, in pixels.
struct WindowPlace {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
};
// "100,80,900,620": left, top, width, height; nothing for any other text
// or a size below 1.
std::optional<WindowPlace> parseWindowPlace(std::string_view text);
std::string windowPlaceText(const WindowPlace& place);

// What the command line asks of a run.
struct WindowLaunch {
  bool demo = false;      // the simulated tracker on COM3; the user's port map neither used nor changed
  std::string traceFile;  // "": no trace; "-": standard error
  // The window's place neither read nor kept: pictures taken at the template's
  // size, whatever the user's window is, and the user's place left as it was.
  bool screenshots = false;
};

class WindowAssembly {
 public:
  // The parts that differ between runs (and between the program and a test).
  struct Parts {
    std::unique_ptr<TraceFile> trace;  // nullptr: no trace; goes after the port, which may write to it
    std::unique_ptr<SerialPort> port;
    std::unique_ptr<PortDiscovery> discovery;  // nullptr: a port is described by its map entry alone
    std::unique_ptr<PortIndexStore> portIndexStore;
    EngineOptions engineOptions;       // [Link] of the user's settings
    bool verifyAfterWrite = true;      // [General] VerifyAfterWrite
    std::string language;              // [General] Language as written; "" for the system's
    std::vector<std::string> notices;  // for the log pane once the window is up (UTF-8)
    // Where the settings read are kept before each write; nullptr: nothing
    // kept (the demo, whose tracker is simulated).
    std::unique_ptr<HistoryArchive> history;
    std::optional<int> demoPort;       // the simulated tracker's port, for the demo
    bool logTimes = false;             // [Window] LogTimes (on unless the user turns it off)
    std::optional<WindowPlace> place;  // [Window] Geometry
    std::string userSettingsPath;      // where the window's place is kept; "": not kept
  };

  explicit WindowAssembly(Parts parts);
  WindowAssembly(const WindowAssembly&) = delete;
  WindowAssembly& operator=(const WindowAssembly&) = delete;

  SerialPort& port() { return *parts_.port; }
  PortIndexStore& portIndexStore() { return *parts_.portIndexStore; }
  PortDiscovery* discovery() { return parts_.discovery.get(); }
  TraceSink* trace() { return parts_.trace.get(); }
  SharedSettings& settings() { return settings_; }
  Clock& clock() { return clock_; }
  bool verifyAfterWrite() const { return parts_.verifyAfterWrite; }
  const HistoryArchive* history() const { return parts_.history.get(); }
  const std::string& language() const { return parts_.language; }
  const std::vector<std::string>& notices() const { return parts_.notices; }
  const std::optional<WindowPlace>& windowPlace() const { return parts_.place; }
  // Kept in the user's settings for the next start; a failure is not worth a word at closing.
  void keepWindowPlace(const WindowPlace& place);
  // What the logic takes from the run before MainWindowLogic::initialise:
  // the demo's port, the clock of the log's times.
  void configure(MainWindowLogic& logic);

  // Every mapped port with what stands behind it now, for the chooser's words.
  std::vector<PortListing> listPorts();
  // A chooser entry's tooltip: "COM5: /dev/ttyUSB0 (found on this machine)"
  // and what the discovery adds, or "COM7: no device".
  std::string describePort(int port);

  // The link engine, made on the first call, telling `notifications` (the
  // window's, delivered on its thread) what happens; `notifications` must
  // outlive the engine's threads.
  LinkEngine& startLink(TrackerWindow& notifications);
  // nullptr before startLink.
  LinkEngine* engine() { return engine_ ? &*engine_ : nullptr; }

 private:
  Parts parts_;
  SystemClock clock_;
  SharedSettings settings_;
  std::optional<LinkEngine> engine_;  // goes first
};

// The program's own parts: the trace opened (or the reason on standard
// error, and none), the user's settings file read, and the system's serial
// port and discovery with the user's port map, or for the demo the loopback
// port with the Extended demo image, whose tracker writes its lines to the trace.
WindowAssembly::Parts programParts(const WindowLaunch& launch);

}  // namespace pelmora
