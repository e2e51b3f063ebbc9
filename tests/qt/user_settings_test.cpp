// The user's settings file as earlier versions of the window wrote it
// through QSettings (organisation "KVL", application "COMM"): the window now
// reads it without QSettings and must read the same, and its save changes
// the port index alone. XDG_CONFIG_HOME points at a temporary folder for the
// whole test process.

#include <QByteArray>
#include <QFile>
#include <QSettings>
#include <QStringList>
#include <QVariant>

#include <gtest/gtest.h>

#include <memory>

#include "app/file_port_index_store.h"
#include "link/user_settings_file.h"

namespace pelmora::testing {
namespace {

QByteArray fileBytes(const std::string& path) {
  QFile file(QString::fromStdString(path));
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// QSettings as the earlier window made it; it writes its file when it goes.
std::unique_ptr<QSettings> windowSettings() {
  return std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("KVL"),
                                     QStringLiteral("COMM"));
}

TEST(QtUserSettings, PortIndexLivesInKvlCommAndTheFileComesWithTheFirstSave) {
  ASSERT_FALSE(qgetenv("XDG_CONFIG_HOME").isEmpty());
  const std::string path = userSettingsPath();
  EXPECT_EQ(QString::fromStdString(path), windowSettings()->fileName());
  QFile::remove(QString::fromStdString(path));
  FilePortIndexStore store(path);
  EXPECT_EQ(store.readPortIndex(), std::nullopt);
  EXPECT_FALSE(QFile::exists(QString::fromStdString(path)));  // reading makes nothing

  store.writePortIndex(u"7");
  EXPECT_EQ(fileBytes(path), QByteArray("[General]\nCOMM=7\n"));
  EXPECT_EQ(windowSettings()->value(QStringLiteral("COMM")), QVariant(QStringLiteral("7")));
  QFile::remove(QString::fromStdString(path));
}

// Each value written by QSettings as the earlier window did, then read by the store.
TEST(QtUserSettings, ThePortIndexQSettingsWroteReadsTheSame) {
  const struct {
    const char* label;
    QVariant written;
    std::optional<std::u16string> read;
  } rows[] = {
      {"a number", QStringLiteral("7"), u"7"},
      {"negative", QStringLiteral("-1"), u"-1"},
      {"empty", QString(), u""},
      {"quoted for its comma", QStringLiteral("1,2"), u"1,2"},
      {"escaped", QStringLiteral("a\\b\"c\td"), u"a\\b\"c\td"},
      {"a leading @", QStringLiteral("@5"), u"@5"},
      {"not ASCII", QString::fromUtf8("порт"), u"порт"},
      // 129 units and the terminator fill the 260 bytes; one more does not fit.
      {"129 units", QString(129, u'1'), std::u16string(129, u'1')},
      {"130 units", QString(130, u'1'), std::nullopt},
      {"a list", QStringList{QStringLiteral("1"), QStringLiteral("2")}, std::nullopt},
      {"bytes", QByteArray("12"), std::nullopt},
  };
  const std::string path = userSettingsPath();
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    QFile::remove(QString::fromStdString(path));
    windowSettings()->setValue(QStringLiteral("COMM"), row.written);
    EXPECT_EQ(FilePortIndexStore(path).readPortIndex(), row.read);
  }
  QFile::remove(QString::fromStdString(path));
}

// A file QSettings wrote whole: the other values read as QSettings reads
// them (the [Ports] values as written), and a save changes one line.
TEST(QtUserSettings, AFileQSettingsWroteKeepsEveryOtherByteAtTheSave) {
  const std::string path = userSettingsPath();
  QFile::remove(QString::fromStdString(path));
  {
    const std::unique_ptr<QSettings> settings = windowSettings();
    settings->setValue(QStringLiteral("COMM"), QStringLiteral("5"));
    settings->setValue(QStringLiteral("Language"), QStringLiteral("ru"));
    settings->setValue(QStringLiteral("VerifyAfterWrite"), false);
    settings->setValue(QStringLiteral("Link/CheckReplyChecksum"), QStringLiteral("no"));
    settings->setValue(QStringLiteral("Ports/COM5"), QStringLiteral("/dev/odd;name,with"));
    settings->setValue(QStringLiteral("Ports/Automatic"), QStringLiteral("false"));
  }
  const QByteArray before = fileBytes(path);
  ASSERT_TRUE(before.contains("COMM=5\n"));

  const UserSettings read = loadUserSettings(path);
  EXPECT_FALSE(read.problem) << read.problem->message;
  EXPECT_EQ(read.language, "ru");
  EXPECT_FALSE(read.verifyAfterWrite);
  EXPECT_FALSE(read.checkReplyChecksum);
  EXPECT_FALSE(read.ports.config.automatic);
  EXPECT_EQ(read.ports.config.explicitEntries, (std::vector<std::pair<int, std::string>>{{5, "/dev/odd;name,with"}}));

  FilePortIndexStore(path).writePortIndex(u"12");
  QByteArray expected = before;
  expected.replace("COMM=5\n", "COMM=12\n");
  EXPECT_EQ(fileBytes(path), expected);
  QFile::remove(QString::fromStdString(path));
}

}  // namespace
}  // namespace pelmora::testing
