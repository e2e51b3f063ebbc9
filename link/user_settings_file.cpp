#include "link/user_settings_file.h"

#include <charconv>
#include <filesystem>
#include <system_error>

#include "link/ini_text.h"
#include "settings/atomic_file.h"

namespace pelmora {
namespace {

namespace fs = std::filesystem;

// The whole file ("" when absent), or why it cannot be used as a settings
// file; never opens a FIFO or a device, which are no settings files.
SettingsResult<std::string> readSettingsText(const std::string& path) {
  std::error_code error;
  if (fs::symlink_status(path, error).type() == fs::file_type::not_found) return std::string();
  const SettingsResult<std::vector<std::uint8_t>> file = readRegularFile(path, kMaxUserSettingsBytes, "settings file");
  if (!file) return file.error();
  std::string text(file->begin(), file->end());
  if (const std::size_t nul = text.find('\0'); nul != std::string::npos)
    return SettingsError{SettingsErrorKind::BadInput,
                         path + ": not a text file (a NUL byte at byte " + std::to_string(nul) + ")"};
  return text;
}

// A yes/no value of `group`: `absent` when missing or another word.
bool switchValue(std::string_view text, std::string_view group, std::string_view key, bool absent) {
  const std::optional<std::string_view> raw = firstRawValue(text, group, key);
  if (!raw) return absent;
  const std::optional<std::string> value = libraryValue(*raw);
  return value ? switchWord(*value).value_or(absent) : absent;
}

}  // namespace

UserSettings parseUserSettings(std::string_view text) {
  UserSettings settings;
  settings.ports = parsePortsGroup(text);
  settings.checkReplyChecksum = switchValue(text, "Link", "CheckReplyChecksum", true);
  settings.verifyAfterWrite = switchValue(text, "General", "VerifyAfterWrite", true);
  if (const std::optional<std::string_view> raw = firstRawValue(text, "General", "Language"))
    settings.language = libraryValue(*raw).value_or("");
  if (const std::optional<std::string_view> raw = firstRawValue(text, "History", "Keep")) {
    const std::string value = libraryValue(*raw).value_or("");
    std::size_t keep = 0;
    const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), keep);
    if (error == std::errc() && end == value.data() + value.size() && keep > 0) settings.historyKeep = keep;
  }
  settings.logTimes = switchValue(text, "Window", "LogTimes", true);
  // Written quoted by the window; "100,80,900,620" typed by hand without quotes reads as a list, taken as written.
  if (const std::optional<std::string_view> raw = firstRawValue(text, "Window", "Geometry"))
    settings.windowGeometry = libraryValue(*raw).value_or(std::string(*raw));
  if (const std::optional<std::string_view> raw = firstRawValue(text, "General", "COMM"))
    settings.portIndex = libraryValue(*raw);
  return settings;
}

UserSettings loadUserSettings(const std::string& path) {
  const SettingsResult<std::string> file = readSettingsText(path);
  UserSettings settings = file ? parseUserSettings(*file) : UserSettings{};
  settings.path = path;
  if (!file) settings.problem = file.error();
  return settings;
}

std::string unusedSettingsLine(const UserSettings& settings) {
  if (!settings.problem) return {};
  return "Settings file not used: " + settings.problem->message +
         "; its port map and every other setting take their defaults";
}

SettingsStatus setUserSetting(const std::string& path, std::string_view group, std::string_view key,
                              std::string_view value) {
  const SettingsResult<std::string> file = readSettingsText(path);
  if (!file) return file.error();
  const std::string changed = withIniValue(*file, group, key, value);
  if (changed == *file) return {};
  std::error_code made;
  if (const std::filesystem::path folder = std::filesystem::path(path).parent_path(); !folder.empty())
    std::filesystem::create_directories(folder, made);
  // Not secret, and readable by the user's other tools as before.
  return writeFileAtomically(path, changed, 0644);
}

}  // namespace pelmora
