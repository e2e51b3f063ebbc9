#include <QApplication>
#include <QStyleFactory>

#include "app/qt/dialog_units.h"
#include "app/qt/pelmora_app.h"

int main(int argc, char* argv[]) {
  QApplication application(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Pelmora"));
  QApplication::setApplicationVersion(QStringLiteral("1.0.03"));
  QApplication::setOrganizationName(QStringLiteral("KVL"));
  // One look on every desktop, the one the screenshots show.
  QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
  // Menus and messages in the pages' font, not whatever face fontconfig picks first.
  QApplication::setFont(pelmora::templateFont(u"MS Shell Dlg", 9));
  pelmora::CPelmoraApp app;
  return app.run(application);
}
