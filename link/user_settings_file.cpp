#include "link/user_settings_file.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "link/ini_text.h"

namespace pelmora {
namespace {

namespace fs = std::filesystem;

struct FileText {
  std::string text;     // "" for a file that is absent
  std::string problem;  // why the file cannot be used
};

// The whole file, or why it cannot be used as a settings file; never blocks
// on a fifo or a device, which are no settings files.
FileText readSettingsText(const std::string& path) {
  std::error_code error;
  const fs::file_status status = fs::status(path, error);
  if (status.type() == fs::file_type::not_found) return {};
  if (error) return {{}, path + " cannot be read (" + error.message() + ")"};
  if (fs::is_directory(status)) return {{}, path + " is a folder, not a file"};
  if (!fs::is_regular_file(status)) return {{}, path + " is not a regular file"};
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) return {{}, path + " cannot be read (" + std::generic_category().message(errno) + ")"};
  FileText read;
  char buffer[8192];
  std::size_t got = 0;
  while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0 && read.text.size() <= kMaxUserSettingsBytes)
    read.text.append(buffer, got);
  const bool failed = std::ferror(file) != 0;
  std::fclose(file);
  if (failed) return {{}, path + " cannot be read"};
  if (read.text.size() > kMaxUserSettingsBytes)
    return {{}, path + " is too large for a settings file (over " + std::to_string(kMaxUserSettingsBytes) + " bytes)"};
  if (const std::size_t nul = read.text.find('\0'); nul != std::string::npos)
    return {{}, path + " is not a text file (a NUL byte at byte " + std::to_string(nul) + ")"};
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
  return replaceFileContents(path, changed);
}

}  // namespace pelmora
