#pragma once
// The group "[Ports]" of the user's settings file, read as written:
//
//   [Ports]
//   COM5=/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0
//   COM7=/dev/odd;name,with\backslash
//   Automatic=no
//
// A value is taken literally from after the first "=" to the end of the line,
// blanks around it dropped: ";", "," and "\" are part of the path. A value in
// double quotes loses them, and inside them "\\" and "\"" stand for "\" and
// '"' (that is how the settings library writes such a value back). The first
// entry of a port holds; a later one is listed as ignored. Automatic
// takes yes/no, true/false, on/off or 1/0, in any case. Every entry that is
// not used is listed with the reason, for the log line at start.

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "link/port_map.h"

namespace pelmora {

struct IgnoredPortEntry {
  std::string entry;   // as written, "COM101=/dev/ttyUSB3"
  std::string reason;  // "there is no COM101: ports are COM1 to COM99"
};

struct PortsGroup {
  PortMapConfig config;
  std::vector<IgnoredPortEntry> ignored;
  std::vector<std::pair<std::string, std::string>> values;  // every key and its value as read, in file order
};

// yes/no, true/false, on/off, 1/0 in any case; nothing for another word.
std::optional<bool> switchWord(std::string_view value);

// The "[Ports]" group of a whole settings file's text (link/ini_text.h).
PortsGroup parsePortsGroup(std::string_view fileText);

// The same from keys and values already read (settings stored elsewhere than in a file).
PortsGroup portsGroupFrom(std::span<const std::pair<std::string, std::string>> values);

// "Port map: ignored COM101=/dev/x (there is no COM101: ...); ...", or "" when nothing was ignored.
std::string ignoredEntriesLine(std::span<const IgnoredPortEntry> ignored);

}  // namespace pelmora
