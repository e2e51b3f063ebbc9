// Ports on Windows: Windows' own COM numbers, opened as \\.\COMn by the
// serial port; the port map of the settings file does not apply.
#include "cli/port_target.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <algorithm>
#include <cstdlib>

#include "link/port_name.h"
#include "link/serial_port.h"
#include "link/shown_text.h"

namespace pelmora::cli {
namespace {

// The COM ports present, as Windows lists them for the device manager
// (HKLM\HARDWARE\DEVICEMAP\SERIALCOMM: one value a port, its data "COM3").
std::vector<int> presentComPorts() {
  std::vector<int> ports;
  HKEY key = nullptr;
  if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, KEY_READ, &key) != ERROR_SUCCESS)
    return ports;
  for (DWORD index = 0;; ++index) {
    wchar_t valueName[256];
    DWORD nameLength = 256;
    wchar_t data[32] = {};
    DWORD dataBytes = sizeof data - sizeof(wchar_t);  // room for the terminator the registry may leave out
    DWORD type = 0;
    const LONG result = ::RegEnumValueW(key, index, valueName, &nameLength, nullptr, &type,
                                        reinterpret_cast<BYTE*>(data), &dataBytes);
    if (result == ERROR_NO_MORE_ITEMS) break;
    if (result != ERROR_SUCCESS || type != REG_SZ) continue;
    std::string name;
    for (const wchar_t* c = data; *c != L'\0'; ++c) name += *c < 0x80 ? static_cast<char>(*c) : '?';
    if (const std::optional<int> number = comPortNumber(name); number && SerialPort::inRange(*number))
      ports.push_back(*number);
  }
  ::RegCloseKey(key);
  std::sort(ports.begin(), ports.end());
  ports.erase(std::unique(ports.begin(), ports.end()), ports.end());
  return ports;
}

}  // namespace

std::optional<SettingsError> portMapProblem(const UserSettings&) { return std::nullopt; }

const char* portNamingHelp() {
  return R"help(Ports: COMn, Windows' own numbers (Device Manager, "Ports (COM & LPT)").
Settings: %APPDATA%\KVL\COMM.conf ([Link] CheckReplyChecksum), optional.)help";
}

// Any number in range: a COM port without a device fails at open, and says so.
CliResult<PortTarget> resolvePortTarget(const std::string& name, const PortMapConfig& map,
                                        std::span<const PortTarget>) {
  const int number = portArgumentNumber(name);
  if (!SerialPort::inRange(number))
    return CliError{kExitBadInput, shown(name) + ": not a port (name COM" + std::to_string(kFirstPortNumber) +
                                       " to COM" + std::to_string(kLastPortNumber) + ", as the device manager shows it)"};
  return PortTarget{name, number, map};
}

bool sameTarget(const PortTarget& a, const PortTarget& b) { return a.number == b.number; }

bool targetPresent(const PortTarget& target) {
  for (const int number : presentComPorts())
    if (number == target.number) return true;
  return false;
}

std::vector<PortMapping> presentPorts(const PortMapConfig&) {
  std::vector<PortMapping> ports;
  for (const int number : presentComPorts()) ports.push_back({number, "\\\\.\\" + comPortName(number), false});
  return ports;
}

}  // namespace pelmora::cli
