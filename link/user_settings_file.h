#pragma once
// The user's settings file, shared by the window and the command-line tool:
// ~/.config/KVL/COMM.conf ($XDG_CONFIG_HOME honoured) on Linux,
// %APPDATA%\KVL\COMM.conf on Windows. Both read it here, by one set of rules
// (link/ini_text.h, link/port_map_file.h):
//
//   [General]
//   COMM=5                  the window's last chosen port (written by the window)
//   Language=ru             en or ru; otherwise the locale decides
//   VerifyAfterWrite=false  no read-back after the window's write
//   [Link]
//   CheckReplyChecksum=false
//   [Ports]                 the port map
//
// The file is optional. One that exists but cannot be used (a folder, not
// readable, not text, too large) is not used at all: every value takes its
// default and `problem` says why, for the log and standard error.
//
// Nothing here writes the file but setUserSetting, which changes one key's
// value and leaves every other byte as it was.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "link/port_map_file.h"

namespace pelmora {

struct UserSettings {
  std::string path;
  PortsGroup ports;                      // ports.ignored lists the entries not used, with the reason
  bool checkReplyChecksum = true;        // [Link] CheckReplyChecksum
  bool verifyAfterWrite = true;          // [General] VerifyAfterWrite
  std::string language;                  // [General] Language as written; "" when absent
  std::optional<std::string> portIndex;  // [General] COMM; nothing when absent or not one text
  std::string problem;                   // "<path>: is a directory, not a settings file"; "" when the file was used or is absent
};

// A settings file larger than this is not one.
inline constexpr std::size_t kMaxUserSettingsBytes = 1024 * 1024;

std::string userSettingsPath();
UserSettings loadUserSettings(const std::string& path);
inline UserSettings loadUserSettings() { return loadUserSettings(userSettingsPath()); }

// The values of a whole file's text (path and problem left empty).
UserSettings parseUserSettings(std::string_view text);

// "Settings file not used: <problem>; ..." for the log and standard error,
// or "" when there is no problem.
std::string unusedSettingsLine(const UserSettings& settings);

// Sets `key` of `group` to `value` in the file at `path` (made with its
// folder when absent), every other byte as it was; nothing is written when
// the value is already there. The reason when it did not: the file cannot
// be used (as above) or not be written; the file is then as it was.
std::optional<std::string> setUserSetting(const std::string& path, std::string_view group, std::string_view key,
                                          std::string_view value);

}  // namespace pelmora
