#include "app/qt/pelmora_app.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QFile>
#include <QString>

#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "app/file_port_index_store.h"
#include "app/qt/pelmora_dlg.h"
#include "app/qt/port_chooser.h"
#include "app/qt/qt_text.h"
#include "app/qt/screenshot_tour.h"
#include "app/qt/ui_language.h"
#include "link/port_discovery.h"
#include "link/port_map.h"
#include "link/port_map_file.h"
#include "link/system_serial_port.h"
#include "link/trace_file.h"
#include "link/user_settings_file.h"
#include "sim/demo_images.h"
#include "sim/loopback_serial_port.h"

namespace pelmora {
namespace {

constexpr int kDemoPort = 3;

struct Options {
  bool demo = false;
  QString traceFile;  // empty: no trace
  QString screenshotDir;
};

Options parseOptions(QApplication& application) {
  QCommandLineParser parser;
  parser.setApplicationDescription(QStringLiteral("Configures GPS trackers over a serial line."));
  parser.addHelpOption();
  parser.addVersionOption();
  const QCommandLineOption demo(QStringLiteral("demo"),
                                QStringLiteral("Run against a simulated tracker on COM3; no tracker needed."));
  const QCommandLineOption trace(QStringLiteral("trace"),
                                 QStringLiteral("Write the diagnostic trace to <file>, appended (\"-\": standard error)."),
                                 QStringLiteral("file"));
  const QCommandLineOption screenshots(
      QStringLiteral("screenshots"),
      QStringLiteral("Read the simulated tracker once, write a PNG of every tab into <dir> and quit."),
      QStringLiteral("dir"));
  parser.addOption(demo);
  parser.addOption(trace);
  parser.addOption(screenshots);
  parser.process(application);
  Options options;
  options.screenshotDir = parser.value(screenshots);
  options.demo = parser.isSet(demo) || parser.isSet(screenshots);
  options.traceFile = parser.value(trace);
  return options;
}

}  // namespace

int CPelmoraApp::run(QApplication& application) {
  const Options options = parseOptions(application);
  // Without the trace when it cannot be written (the reason is on standard error).
  const std::unique_ptr<TraceFile> trace =
      options.traceFile.isEmpty() ? nullptr : TraceFile::open(QFile::encodeName(options.traceFile).toStdString(), "pelmora");

  // Read here, not through QSettings, which would write the whole file back at the first save.
  UserSettings userSettings = loadUserSettings();
  useLanguage(chooseLanguage(QString::fromStdString(userSettings.language), QLocale::system()));

  std::unique_ptr<SerialPort> port;
  std::string ignoredEntries;
  const std::string unusedSettings = unusedSettingsLine(userSettings);
  if (options.demo) {
    sim::SimOptions simOptions;
    simOptions.image = sim::extendedDemoImage();
    if (TraceSink* sink = trace.get()) {
      simOptions.log = [sink](std::string_view line) {
        tracef(sink, "Simulated tracker: %.*s", static_cast<int>(line.size()), line.data());
      };
    }
    port = std::make_unique<sim::LoopbackSerialPort>(kDemoPort, simOptions);
    std::printf("pelmora: demo mode, the simulated tracker answers on COM%d\n", kDemoPort);
    std::fflush(stdout);
  } else {
    port = makeSystemSerialPort(userSettings.ports.config);
    ignoredEntries = ignoredEntriesLine(userSettings.ports.ignored);
  }

  const std::unique_ptr<PortDiscovery> discovery = makePortDiscovery();
  // The simulated tracker is no device: what the system says of devices does not describe it.
  const auto listing = [&port, &discovery, demo = options.demo] {
    std::vector<PortListing> ports;
    for (const PortMapping& mapping : port->currentMap())
      ports.push_back({mapping.port, mapping.devicePath, mapping.explicitEntry,
                       demo ? PortDescription{mapping.devicePath, {}, std::nullopt} : discovery->describe(mapping.devicePath)});
    return ports;
  };
  FilePortIndexStore portIndexStore(userSettings.path);
  // [Link] CheckReplyChecksum=false: for a tracker whose firmware computes the reply checksum differently.
  const EngineOptions engineOptions{userSettings.checkReplyChecksum};
  WindowServices services{*port, portIndexStore, trace.get(),
                          [&listing](int number) {
                            for (const PortListing& entry : listing())
                              if (entry.port == number) return QString::fromStdString(describePortListing(entry));
                            return QStringLiteral("COM%1: no device").arg(number);
                          },
                          engineOptions, discovery.get(),
                          // [General] VerifyAfterWrite=false: no read-back after a write.
                          userSettings.verifyAfterWrite};

  int exitCode = 0;
  {
    CPelmoraDlg window(services);
    if (auto* chooser = window.findChild<PortChooser*>(); chooser != nullptr && !options.demo)
      chooser->follow(*discovery, listing);
    for (const std::string& line : {unusedSettings, ignoredEntries}) {
      if (line.empty()) continue;
      const QString text = QString::fromStdString(line);
      window.logic().appendLog(toU16View(text));
    }
    if (options.screenshotDir.isEmpty()) {
      window.exec();
    } else {
      ScreenshotTour tour(window, options.screenshotDir);
      if (tour.start()) window.exec();
      exitCode = tour.succeeded() ? 0 : 1;
    }
  }
  return exitCode;
}

}  // namespace pelmora
