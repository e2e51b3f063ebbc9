#include "link/user_settings_file.h"

#include <filesystem>
#include <system_error>

#include "link/ini_text.h"
#include "settings/atomic_file.h"

namespace pelmora {
namespace {

namespace fs = std::filesystem;

struct FileText {
  std::string text;     // "" for a file that is absent
  std::string problem;  // why the file cannot be used
};

// The whole file ("" when absent), or why it cannot be used as a settings
// file; never opens a FIFO or a device, which are no settings files.
FileText readSettingsText(const std::string& path) {
  std::error_code error;
  if (fs::symlink_status(path, error).type() == fs::file_type::not_found) return {};
  FileContents file = readRegularFile(path, kMaxUserSettingsBytes, "settings file");
  if (file.error) return {{}, file.error->message};
  FileText read{std::string(file.bytes.begin(), file.bytes.end()), {}};
  if (const std::size_t nul = read.text.find('\0'); nul != std::string::npos)
    return {{}, path + ": not a text file (a NUL byte at byte " + std::to_string(nul) + ")"};
  return read;
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
  if (const std::optional<std::string_view> raw = firstRawValue(text, "General", "COMM"))
    settings.portIndex = libraryValue(*raw);
  return settings;
}

UserSettings loadUserSettings(const std::string& path) {
  const FileText file = readSettingsText(path);
  UserSettings settings = file.problem.empty() ? parseUserSettings(file.text) : UserSettings{};
  settings.path = path;
  settings.problem = file.problem;
  return settings;
}

std::string unusedSettingsLine(const UserSettings& settings) {
  if (settings.problem.empty()) return {};
  return "Settings file not used: " + settings.problem +
         "; its port map and every other setting take their defaults";
}

std::optional<std::string> setUserSetting(const std::string& path, std::string_view group, std::string_view key,
                                          std::string_view value) {
  const FileText file = readSettingsText(path);
  if (!file.problem.empty()) return file.problem;
  const std::string changed = withIniValue(file.text, group, key, value);
  if (changed == file.text) return std::nullopt;
  std::error_code made;
  if (const std::filesystem::path folder = std::filesystem::path(path).parent_path(); !folder.empty())
    std::filesystem::create_directories(folder, made);
  // Not secret, and readable by the user's other tools as before.
  if (const std::optional<FileError> error = writeFileAtomically(path, changed, 0644)) return error->message;
  return std::nullopt;
}

}  // namespace pelmora
