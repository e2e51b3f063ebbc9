#include "link/port_map_file.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdio>
#include <optional>

#include "link/ini_text.h"
#include "link/port_name.h"
#include "link/serial_port.h"

namespace pelmora {
namespace {

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

PortsGroup parsePortsGroup(std::string_view fileText) {
  std::vector<std::pair<std::string, std::string>> values;
  for (const IniEntry& entry : iniEntries(fileText))
    if (inGroup(entry.group, "Ports")) values.emplace_back(std::string(entry.key), literalValue(entry.raw));
  return portsGroupFrom(values);
}

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
