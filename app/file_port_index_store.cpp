#include "app/file_port_index_store.h"

#include "link/user_settings_file.h"
#include "settings/utf.h"

namespace pelmora {
namespace {

constexpr std::string_view kGroup = "General";
constexpr std::string_view kValueName = "COMM";

}  // namespace

std::optional<std::u16string> FilePortIndexStore::readPortIndex() {
  const std::optional<std::string> value = loadUserSettings(path_).portIndex;
  if (!value) return std::nullopt;
  const std::u16string text = utf16FromUtf8(*value);
  if (2 * (text.size() + 1) > kMaxValueBytes) return std::nullopt;
  return text;
}

void FilePortIndexStore::writePortIndex(std::u16string_view text) {
  std::string value;  // the window stores decimal text: ASCII
  for (const char16_t unit : text) value += unit < 0x80 ? static_cast<char>(unit) : '?';
  (void)setUserSetting(path_, kGroup, kValueName, value);
}

}  // namespace pelmora
