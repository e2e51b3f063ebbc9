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
//   [History]
//   Keep=20                 the before-images kept per tracker (settings/history_archive.h)
//   [Window]
//   Geometry=100,80,900,620 the window's place and size, left,top,width,height (written by the window)
//   LogTimes=0              no time before each log entry
//
// The file is optional. One that exists but cannot be used (a folder, not
// readable, not text, too large) is not used at all: every value takes its
// default and `problem` says why (CannotRead or BadInput, as readRegularFile
// in settings/atomic_file.h; BadInput for a NUL byte), for the log and
// standard error.
//
// Nothing here writes the file but setUserSetting, which changes one key's
// value and leaves every other byte as it was.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "link/port_map_file.h"
#include "settings/settings_error.h"

namespace pelmora {

struct UserSettings {
  std::string path;
  PortsGroup ports;                      // ports.ignored lists the entries not used, with the reason
  bool checkReplyChecksum = true;        // [Link] CheckReplyChecksum
  bool verifyAfterWrite = true;          // [General] VerifyAfterWrite
  std::size_t historyKeep = 20;          // [History] Keep; a value that is no whole number above 0 keeps 20
  std::string language;                  // [General] Language as written; "" when absent
  std::optional<std::string> portIndex;  // [General] COMM; nothing when absent or not one text
  bool logTimes = true;                  // [Window] LogTimes
  std::string windowGeometry;            // [Window] Geometry as written; "" when absent
  std::optional<SettingsError> problem;  // "<path>: is a directory, not a settings file"; none when the file was used or is absent
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
// the value is already there. When it did not, the file is as it was and
// the error says why: the file cannot be used (`problem` above) or
// CannotWrite.
SettingsStatus setUserSetting(const std::string& path, std::string_view group, std::string_view key,
                              std::string_view value);

}  // namespace pelmora
