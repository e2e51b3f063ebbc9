// The user's settings file: the saved port index (organisation "KVL",
// application "COMM", value "COMM") and the [Ports] group of the port map.
// XDG_CONFIG_HOME points at a temporary folder for the whole test process.

#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QTextStream>

#include <gtest/gtest.h>

#include "app/qt/port_map_settings.h"
#include "app/qt/settings_port_index_store.h"

namespace pelmora::testing {
namespace {

QString userSettingsFile() {
  return QString::fromLocal8Bit(qgetenv("XDG_CONFIG_HOME")) + QStringLiteral("/KVL/COMM.conf");
}

TEST(QtUserSettings, PortIndexLivesInKvlCommAndTheFileComesWithTheFirstSave) {
  ASSERT_FALSE(qgetenv("XDG_CONFIG_HOME").isEmpty());
  const QString file = userSettingsFile();
  QFile::remove(file);
  {
    QSettings settings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("KVL"), QStringLiteral("COMM"));
    SettingsPortIndexStore store(settings);
    EXPECT_EQ(store.readPortIndex(), std::nullopt);
    EXPECT_FALSE(QFile::exists(file));  // reading makes nothing

    store.writePortIndex(u"7");
    EXPECT_TRUE(QFile::exists(file));
  }
  QFile written(file);
  ASSERT_TRUE(written.open(QIODevice::ReadOnly | QIODevice::Text));
  EXPECT_TRUE(QString::fromUtf8(written.readAll()).contains(QStringLiteral("COMM=7")));
}

TEST(QtUserSettings, PortIndexThatCannotBeReadWholeReadsAsNothing) {
  QTemporaryDir folder;
  const QString path = folder.filePath(QStringLiteral("COMM.conf"));
  QSettings settings(path, QSettings::IniFormat);
  SettingsPortIndexStore store(settings);

  // 129 units and the terminator fill the 260 bytes; one more does not fit.
  store.writePortIndex(std::u16string(129, u'1'));
  EXPECT_EQ(store.readPortIndex(), std::optional<std::u16string>(std::u16string(129, u'1')));
  store.writePortIndex(std::u16string(130, u'1'));
  EXPECT_EQ(store.readPortIndex(), std::nullopt);
  settings.setValue(QStringLiteral("COMM"), QStringList{QStringLiteral("1"), QStringLiteral("2")});
  EXPECT_EQ(store.readPortIndex(), std::nullopt);
}

// The [Ports] rules are the port map file's; here only what QSettings would
// misread (a ';' or ',' in a value) and the defaults of a missing file.
TEST(QtUserSettings, PortsGroupValuesAreReadAsWritten) {
  QTemporaryDir folder;
  const QString path = folder.filePath(QStringLiteral("COMM.conf"));
  {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Text));
    QTextStream(&file) << "[General]\nCOMM=5\n\n[Ports]\nCOM5=/dev/odd;name,with\nAutomatic=false\n";
  }
  QSettings settings(path, QSettings::IniFormat);
  const PortMapConfig config = readPortMap(settings);
  EXPECT_FALSE(config.automatic);
  EXPECT_EQ(config.explicitEntries, (std::vector<std::pair<int, std::string>>{{5, "/dev/odd;name,with"}}));
  QSettings empty(folder.filePath(QStringLiteral("none.conf")), QSettings::IniFormat);
  EXPECT_TRUE(readPortMap(empty).automatic);
}

}  // namespace
}  // namespace pelmora::testing
