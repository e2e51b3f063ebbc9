#include "cli/port_target.h"

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace pelmora::cli {

int comPortNumber(const std::string& name) {
  std::string digits = name;
  if (digits.size() > 3 && (digits.compare(0, 3, "COM") == 0 || digits.compare(0, 3, "com") == 0)) {
    digits = digits.substr(3);
  }
  if (digits.empty() || digits.size() > 3 || digits.find_first_not_of("0123456789") != std::string::npos) return 0;
  return std::atoi(digits.c_str());
}

UserSettings loadUserSettings() {
  std::ifstream file(userSettingsPath());
  if (!file) return {};
  std::ostringstream read;
  read << file.rdbuf();
  const std::string text = read.str();
  UserSettings settings{parsePortsGroup(text)};
  for (const auto& [key, value] : readSettingsGroup(text, "Link")) {
    if (key == "CheckReplyChecksum") settings.checkReplyChecksum = switchWord(value).value_or(true);
  }
  return settings;
}

}  // namespace pelmora::cli
