// The widgets need a QApplication for the whole run; the user's settings
// file must never be touched, so the settings folder is a fresh temporary
// one for each test process.

#include <QApplication>
#include <QByteArray>
#include <QStyleFactory>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "app/qt/dialog_units.h"

int main(int argc, char* argv[]) {
  ::testing::InitGoogleTest(&argc, argv);
  // Listing the tests (CTest's discovery) needs no display.
  if (GTEST_FLAG_GET(list_tests)) return RUN_ALL_TESTS();

  QTemporaryDir configHome;
  if (!configHome.isValid()) return 2;
  qputenv("XDG_CONFIG_HOME", QFile::encodeName(configHome.path()));
  qputenv("XDG_DATA_HOME", QFile::encodeName(configHome.path()));  // the settings kept before writes

  QApplication application(argc, argv);
  QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
  QApplication::setFont(pelmora::templateFont(u"MS Shell Dlg", 9));
  return RUN_ALL_TESTS();
}
