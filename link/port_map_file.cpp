#include "link/port_map_file.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdio>
#include <optional>

#include "link/port_name.h"
#include "link/serial_port.h"

namespace pelmora {
namespace {

std::string_view trimmed(std::string_view text) {
  const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  return text;
}

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
         });
}

// "\"a\\\\b\"" gives "a\\b"; an unquoted value stays as it is.
std::string literalValue(std::string_view value) {
  if (value.size() < 2 || value.front() != '"' || value.back() != '"') return std::string(value);
  std::string result;
  value = value.substr(1, value.size() - 2);
  for (std::size_t i = 0; i < value.size(); ++i) {
    if (value[i] == '\\' && i + 1 < value.size() && (value[i + 1] == '\\' || value[i + 1] == '"')) ++i;
    result += value[i];
  }
  return result;
}

struct Word {
  std::string_view text;
  bool yes;
};
constexpr std::array<Word, 8> kSwitchWords = {{
    {"yes", true}, {"true", true}, {"on", true}, {"1", true},
    {"no", false}, {"false", false}, {"off", false}, {"0", false},
}};

}  // namespace

std::optional<bool> switchWord(std::string_view value) {
  for (const Word& word : kSwitchWords)
    if (equalsIgnoringCase(value, word.text)) return word.yes;
  return std::nullopt;
}

PortsGroup portsGroupFrom(std::span<const std::pair<std::string, std::string>> values) {
  PortsGroup group;
  group.values.assign(values.begin(), values.end());
  const std::string range = comPortName(kFirstPortNumber) + " to " + comPortName(kLastPortNumber);
  for (const auto& [key, value] : values) {
    const auto ignore = [&, &key = key, &value = value](std::string reason) {
      group.ignored.push_back({key + "=" + value, std::move(reason)});
    };
    if (equalsIgnoringCase(key, "Automatic")) {
      if (const std::optional<bool> on = switchWord(value))
        group.config.automatic = *on;
      else
        ignore("not a yes or no word; automatic numbering stays " +
               std::string(group.config.automatic ? "on" : "off"));
      continue;
    }
    const std::optional<int> port = comPortNumber(key);
    if (!port) {
      ignore("not a port name (" + range + ") nor Automatic");
      continue;
    }
    if (!SerialPort::inRange(*port)) {
      ignore("there is no " + comPortName(*port) + ": ports are " + range);
      continue;
    }
    if (value.empty()) {
      ignore("no device given");
      continue;
    }
    const auto earlier = std::find_if(group.config.explicitEntries.begin(), group.config.explicitEntries.end(),
                                      [&, &value = value](const auto& entry) {
                                        return entry.first == *port || sameDevice(entry.second, value);
                                      });
    if (earlier != group.config.explicitEntries.end()) {
      ignore(earlier->first == *port ? comPortName(*port) + " is given twice; the first entry holds"
                                     : "the same device as " + comPortName(earlier->first));
      continue;
    }
    group.config.explicitEntries.emplace_back(*port, value);
  }
  return group;
}

std::vector<std::pair<std::string, std::string>> readSettingsGroup(std::string_view fileText, std::string_view group) {
  std::vector<std::pair<std::string, std::string>> values;
  bool inGroup = false;
  while (!fileText.empty()) {
    const std::size_t end = std::min(fileText.find('\n'), fileText.size());
    const std::string_view line = trimmed(fileText.substr(0, end));
    fileText.remove_prefix(std::min(end + 1, fileText.size()));
    if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
      inGroup = trimmed(line.substr(1, line.size() - 2)) == group;
      continue;
    }
    if (!inGroup || line.empty() || line.front() == ';' || line.front() == '#') continue;
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos) {
      values.emplace_back(std::string(line), std::string());
      continue;
    }
    values.emplace_back(std::string(trimmed(line.substr(0, equals))), literalValue(trimmed(line.substr(equals + 1))));
  }
  return values;
}

PortsGroup parsePortsGroup(std::string_view fileText) { return portsGroupFrom(readSettingsGroup(fileText, "Ports")); }

std::string ignoredEntriesLine(std::span<const IgnoredPortEntry> ignored) {
  if (ignored.empty()) return {};
  std::string line = "Port map: ignored ";
  for (std::size_t i = 0; i < ignored.size(); ++i) {
    if (i > 0) line += "; ";
    line += ignored[i].entry + " (" + ignored[i].reason + ")";
  }
  return line;
}

}  // namespace pelmora
