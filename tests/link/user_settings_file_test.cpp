// The user's settings file: what both fronts read from it, the one value the
// window writes into it (every other byte stays), and files that cannot be used.

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include "link/user_settings_file.h"

namespace pelmora {
namespace {

namespace fs = std::filesystem;

std::string readText(const fs::path& path) {
  std::ifstream file(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(file), {}};
}

void writeText(const fs::path& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

struct SettingsFolder {
  // The process id keeps runs side by side (ctest -j, other checkouts) out of each other's folders.
  SettingsFolder()
      : root(fs::path(::testing::TempDir()) /
             ("pelmora-user-settings-" + std::to_string(::getpid()) + "-" + std::to_string(++count))) {
    fs::remove_all(root);
    fs::create_directories(root);
  }
  ~SettingsFolder() { fs::remove_all(root); }
  std::string file() const { return (root / "KVL" / "COMM.conf").string(); }

  static inline int count = 0;
  fs::path root;
};

TEST(UserSettingsFile, SavingThePortIndexChangesThatValueAndNoOtherByte) {
  const struct {
    const char* label;
    std::optional<std::string> before;  // nothing: no file (nor its folder) yet
    std::string after;
  } rows[] = {
      {"comments, unknown lines, a port given twice, group order, quoted values",
       "; bench 2\n[Ports]\nCOM5=/dev/pts/1\nCOM5=/dev/pts/2\nCOM6=\"/dev/odd;name\"\nnot a key line\n\n"
       "[Link]\nCheckReplyChecksum=no\n\n[General]\nLanguage=ru\nCOMM=3\nVerifyAfterWrite=off\n",
       "; bench 2\n[Ports]\nCOM5=/dev/pts/1\nCOM5=/dev/pts/2\nCOM6=\"/dev/odd;name\"\nnot a key line\n\n"
       "[Link]\nCheckReplyChecksum=no\n\n[General]\nLanguage=ru\nCOMM=7\nVerifyAfterWrite=off\n"},
      {"CRLF", "[General]\r\nCOMM=3\r\n[Ports]\r\nCOM5=/dev/x\r\n", "[General]\r\nCOMM=7\r\n[Ports]\r\nCOM5=/dev/x\r\n"},
      {"no newline at the end", "[Ports]\nCOM5=/dev/x\n[General]\nCOMM=12", "[Ports]\nCOM5=/dev/x\n[General]\nCOMM=7"},
      {"blanks, quotes and a comment after the value", "[general]\nCOMM = \"3\"  ; last port\n",
       "[general]\nCOMM = 7  ; last port\n"},
      {"the first of two entries", "[General]\nCOMM=3\nCOMM=4\n", "[General]\nCOMM=7\nCOMM=4\n"},
      {"keys above the first header are [General]", "COMM=3\n[Ports]\nCOM5=/dev/x\n", "COMM=7\n[Ports]\nCOM5=/dev/x\n"},
      {"a byte order mark", "\xEF\xBB\xBF[General]\nCOMM=3\n", "\xEF\xBB\xBF[General]\nCOMM=7\n"},
      {"[General] without the value", "[General]\nLanguage=ru\n\n[Ports]\nCOM5=/dev/x\n",
       "[General]\nLanguage=ru\nCOMM=7\n\n[Ports]\nCOM5=/dev/x\n"},
      {"no [General] group yet", "[Ports]\nCOM5=/dev/x\n", "[Ports]\nCOM5=/dev/x\n\n[General]\nCOMM=7\n"},
      {"no group yet, CRLF, no newline at the end", "[Ports]\r\nCOM5=/dev/x",
       "[Ports]\r\nCOM5=/dev/x\r\n\r\n[General]\r\nCOMM=7\r\n"},
      {"no file yet", std::nullopt, "[General]\nCOMM=7\n"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    SettingsFolder folder;
    if (row.before) {
      fs::create_directories(fs::path(folder.file()).parent_path());
      writeText(folder.file(), *row.before);
    }
    const SettingsStatus set = setUserSetting(folder.file(), "General", "COMM", "7");
    EXPECT_TRUE(set) << set.error().message;
    EXPECT_EQ(readText(folder.file()), row.after);
    EXPECT_EQ(loadUserSettings(folder.file()).portIndex, "7");
  }
}

// The window and the command-line tool read these values alike (the window
// through the same function; the tool: tests/cli).
TEST(UserSettingsFile, ValuesAsBothFrontsReadThem) {
  const UserSettings settings = parseUserSettings(
      "VerifyAfterWrite=no\n[Ports]\nCOM5=/dev/pts/1\nCOM5=/dev/pts/2\nAutomatic=no\n[Link]\nCheckReplyChecksum=off\n"
      "[General]\nLanguage = \"ru\"\nCOMM=1, 2\n[History]\nKeep=5\n");
  EXPECT_EQ(settings.ports.config.explicitEntries, (std::vector<std::pair<int, std::string>>{{5, "/dev/pts/1"}}));
  EXPECT_FALSE(settings.ports.config.automatic);
  EXPECT_EQ(ignoredEntriesLine(settings.ports.ignored),
            "Port map: ignored COM5=/dev/pts/2 (COM5 is given twice; the first entry holds)");
  EXPECT_FALSE(settings.checkReplyChecksum);
  EXPECT_FALSE(settings.verifyAfterWrite);
  EXPECT_EQ(settings.language, "ru");
  EXPECT_EQ(settings.portIndex, std::nullopt) << "a list is no port index";
  EXPECT_EQ(settings.historyKeep, 5u);
  EXPECT_EQ(parseUserSettings("[History]\nKeep=0\n").historyKeep, 20u) << "none kept is no bound: the default holds";
  EXPECT_EQ(parseUserSettings("[History]\nKeep=5 images\n").historyKeep, 20u);
  const UserSettings defaults = parseUserSettings("");
  EXPECT_TRUE(defaults.ports.config.automatic && defaults.checkReplyChecksum && defaults.verifyAfterWrite);
}

TEST(UserSettingsFile, AFileThatCannotBeUsedIsNotUsedSaysWhyAndIsNotWritten) {
  const std::string kept = "[Ports]\nAutomatic=no\nCOM5=/dev/pts/1\n";
  const struct {
    const char* label;
    std::string content;  // "": a folder
    std::string problem;  // after the path
    SettingsErrorKind kind;
  } rows[] = {
      {"a folder", "", ": is a directory, not a settings file", SettingsErrorKind::BadInput},
      {"binary", kept + std::string("\0\x01\x02", 3), ": not a text file (a NUL byte at byte 37)", SettingsErrorKind::BadInput},
      {"too large", kept + std::string(kMaxUserSettingsBytes, ';'), ": too large for a settings file", SettingsErrorKind::BadInput},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    SettingsFolder folder;
    const fs::path path = folder.file();
    fs::create_directories(row.content.empty() ? path : path.parent_path());
    if (!row.content.empty()) writeText(path, row.content);

    const UserSettings settings = loadUserSettings(path.string());
    ASSERT_TRUE(settings.problem);
    EXPECT_EQ(settings.problem->message, path.string() + row.problem);
    EXPECT_EQ(settings.problem->kind, row.kind);
    EXPECT_TRUE(settings.ports.config.automatic) << "nothing of the file is used";
    EXPECT_TRUE(settings.ports.config.explicitEntries.empty());
    const SettingsStatus set = setUserSetting(path.string(), "General", "COMM", "7");
    ASSERT_FALSE(set);
    EXPECT_EQ(set.error().message, settings.problem->message);
    EXPECT_EQ(set.error().kind, row.kind);
    if (!row.content.empty()) {
      EXPECT_EQ(readText(path), row.content);
    }
    EXPECT_TRUE(fs::is_directory(path) == row.content.empty());
  }
  EXPECT_EQ(unusedSettingsLine(loadUserSettings("/")),
            "Settings file not used: /: is a directory, not a settings file; its port map and every other setting take their "
            "defaults");
  EXPECT_EQ(unusedSettingsLine(loadUserSettings("/nonexistent/COMM.conf")), "");
}

#ifndef _WIN32
// A file kept behind a link (dotfiles) stays behind it, with its mode.
TEST(UserSettingsFile, TheReplacedFileKeepsItsModeAndItsLink) {
  SettingsFolder folder;
  const fs::path real = folder.root / "dotfiles" / "COMM.conf";
  fs::create_directories(real.parent_path());
  fs::create_directories(fs::path(folder.file()).parent_path());
  writeText(real, "[General]\nCOMM=3\n");
  ASSERT_EQ(::chmod(real.c_str(), 0640), 0);
  fs::create_symlink(real, folder.file());

  const SettingsStatus set = setUserSetting(folder.file(), "General", "COMM", "7");
  EXPECT_TRUE(set) << set.error().message;
  EXPECT_TRUE(fs::is_symlink(folder.file()));
  EXPECT_EQ(readText(real), "[General]\nCOMM=7\n");
  struct stat info {};
  ASSERT_EQ(::stat(real.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0640u);
  EXPECT_EQ(std::distance(fs::directory_iterator(real.parent_path()), fs::directory_iterator{}), 1)
      << "no temporary file is left";
}
#endif

}  // namespace
}  // namespace pelmora
