#include "app/qt/pelmora_app.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QFile>
#include <QString>

#include <cstdio>

#include "app/qt/pelmora_dlg.h"
#include "app/qt/screenshot_tour.h"
#include "app/qt/station_window.h"
#include "app/qt/ui_language.h"
#include "app/window_assembly.h"

namespace pelmora {
namespace {

struct Options {
  bool demo = false;
  QString traceFile;  // empty: no trace
  QString screenshotDir;
  bool station = false;
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
  const QCommandLineOption station(QStringLiteral("station"),
                                   QStringLiteral("Open the provisioning station on the [Ports] entries of the port map."));
  parser.addOption(demo);
  parser.addOption(station);
  parser.addOption(trace);
  parser.addOption(screenshots);
  parser.process(application);
  Options options;
  options.screenshotDir = parser.value(screenshots);
  options.demo = parser.isSet(demo) || parser.isSet(screenshots);
  options.traceFile = parser.value(trace);
  options.station = parser.isSet(station);
  return options;
}

}  // namespace

int CPelmoraApp::run(QApplication& application) {
  const Options options = parseOptions(application);
  WindowAssembly assembly(programParts(
      {options.demo, QFile::encodeName(options.traceFile).toStdString(), !options.screenshotDir.isEmpty()}));
  useLanguage(chooseLanguage(QString::fromStdString(assembly.language()), QLocale::system()));
  if (options.demo) {
    std::printf("pelmora: demo mode, the simulated tracker answers on COM%d\n", kDemoPort);
    std::fflush(stdout);
  }

  if (options.station) {
    openStationWindow(nullptr, assembly.trace());
    return application.exec();
  }
  CPelmoraDlg window(assembly);
  if (options.screenshotDir.isEmpty()) {
    window.exec();
    return 0;
  }
  ScreenshotTour tour(window, options.screenshotDir);
  if (tour.start()) window.exec();
  return tour.succeeded() ? 0 : 1;
}

}  // namespace pelmora
