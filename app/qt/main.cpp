#include <QApplication>
#include <QStyleFactory>

#include <cstdio>
#include <cstring>

#include "app/qt/dialog_units.h"
#include "app/qt/pelmora_app.h"
#include "pelmora_version.h"

int main(int argc, char* argv[]) {
  // Answered before Qt looks for a display, so that it works on any terminal.
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--version") == 0 || std::strcmp(argv[i], "-v") == 0) {
      std::printf("pelmora %s\n", pelmora::kPelmoraVersion);
      return 0;
    }
  }
  QApplication application(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Pelmora"));
  QApplication::setApplicationVersion(QString::fromLatin1(pelmora::kPelmoraVersion));
  QApplication::setOrganizationName(QStringLiteral("KVL"));
  // Lets Wayland compositors find the desktop entry and so the icon.
  QGuiApplication::setDesktopFileName(QStringLiteral("org.pelmora.Pelmora"));
  // One look on every desktop, the one the screenshots show.
  QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
  // Menus and messages in the pages' font, not whatever face fontconfig picks first.
  QApplication::setFont(pelmora::templateFont(u"MS Shell Dlg", 9));
  pelmora::CPelmoraApp app;
  return app.run(application);
}
