#include "link/win32_serial_port.h"

#include "link/port_name.h"
#include "link/system_serial_port.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <algorithm>
#include <cstring>

namespace pelmora {
namespace {

static_assert(sizeof(DCB) <= 64 && sizeof(COMMTIMEOUTS) <= 32);

// Reads return at once with what is queued. A write may take 19200 / baud ms
// per byte, twice its time on the line, as on POSIX: a stalled adapter then
// fails the write instead of holding the engine's thread for ever (a
// multiplier and constant of 0 would mean no time-out at all, hence at least 1).
COMMTIMEOUTS timeoutsFor(std::uint32_t baud) {
  COMMTIMEOUTS timeouts{};
  timeouts.ReadIntervalTimeout = MAXDWORD;
  timeouts.WriteTotalTimeoutMultiplier = std::max<DWORD>(1, 19200 / std::max<std::uint32_t>(baud, 1));
  return timeouts;
}

struct ErrorRule {
  DWORD error;
  OpenFailure failure;
};

// CreateFileW and SetCommState errors in plain words. Windows gives a COM port
// to one program at a time and answers ERROR_ACCESS_DENIED to the next one.
constexpr std::array kOpenErrors{
    ErrorRule{ERROR_FILE_NOT_FOUND, OpenFailure::NoSuchDevice},
    ErrorRule{ERROR_PATH_NOT_FOUND, OpenFailure::NoSuchDevice},
    ErrorRule{ERROR_DEVICE_REMOVED, OpenFailure::NoSuchDevice},
    ErrorRule{ERROR_DEVICE_NOT_CONNECTED, OpenFailure::NoSuchDevice},
    ErrorRule{ERROR_ACCESS_DENIED, OpenFailure::Busy},
    ErrorRule{ERROR_SHARING_VIOLATION, OpenFailure::Busy},
    ErrorRule{ERROR_INVALID_FUNCTION, OpenFailure::NotATerminal},
    ErrorRule{ERROR_NOT_SUPPORTED, OpenFailure::NotATerminal},
};

// What ReadFile, WriteFile and ClearCommError answer once a USB adapter is
// pulled (each driver has its own choice). Wine answers ERROR_NOT_READY for a
// pseudo-terminal whose other side has gone.
constexpr std::array<DWORD, 8> kDeviceGoneErrors{
    ERROR_DEVICE_REMOVED, ERROR_BAD_COMMAND,          ERROR_OPERATION_ABORTED, ERROR_ACCESS_DENIED,
    ERROR_GEN_FAILURE,    ERROR_DEVICE_NOT_CONNECTED, ERROR_NOT_READY,         ERROR_IO_DEVICE,
};

OpenFailure openFailureFor(DWORD error) {
  for (const ErrorRule& rule : kOpenErrors) {
    if (rule.error == error) return rule.failure;
  }
  return OpenFailure::Other;
}

bool deviceGone(DWORD error) {
  return std::find(kDeviceGoneErrors.begin(), kDeviceGoneErrors.end(), error) != kDeviceGoneErrors.end();
}

// The fixed line in the device control block; false for settings this port cannot give.
bool makeLineSettings(DCB& dcb, std::uint32_t baud, std::uint8_t byteSize, std::uint8_t parity, std::uint8_t stopBits,
                      std::uint8_t flowControl) {
  if (byteSize != 8 || parity != 0 || stopBits != 0 || flowControl != 0) return false;
  dcb.DCBlength = sizeof(DCB);
  dcb.BaudRate = baud;
  dcb.ByteSize = 8;
  dcb.Parity = NOPARITY;
  dcb.StopBits = ONESTOPBIT;
  dcb.fBinary = TRUE;
  dcb.fParity = FALSE;
  dcb.fOutxCtsFlow = FALSE;
  dcb.fOutxDsrFlow = FALSE;
  dcb.fDtrControl = DTR_CONTROL_ENABLE;
  dcb.fRtsControl = RTS_CONTROL_ENABLE;
  dcb.fDsrSensitivity = FALSE;
  dcb.fOutX = FALSE;
  dcb.fInX = FALSE;
  dcb.fErrorChar = FALSE;
  dcb.fNull = FALSE;
  dcb.fAbortOnError = FALSE;  // a line error must not stall every later read until cleared
  return true;
}

HANDLE handleOf(void* handle) { return static_cast<HANDLE>(handle); }

}  // namespace

Win32SerialPort::Win32SerialPort() {
  for (int port = kFirstPortNumber; port <= kLastPortNumber; ++port) slots_[port].reset(port);
}

Win32SerialPort::~Win32SerialPort() {
  for (Slot& s : slots_) {
    const std::lock_guard lock(s.mutex);
    if (s.open) closeSlot(s);
  }
}

std::wstring Win32SerialPort::devicePathFor(int port) { return L"\\\\.\\COM" + std::to_wstring(port); }

std::vector<PortMapping> listedComPorts() {
  std::vector<PortMapping> map;
  HKEY key = nullptr;
  if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, KEY_READ, &key) != ERROR_SUCCESS)
    return map;
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
      map.push_back({*number, "\\\\.\\" + comPortName(*number), false});
  }
  ::RegCloseKey(key);
  std::sort(map.begin(), map.end(), [](const PortMapping& a, const PortMapping& b) { return a.port < b.port; });
  map.erase(std::unique(map.begin(), map.end(), [](const PortMapping& a, const PortMapping& b) { return a.port == b.port; }),
            map.end());
  return map;
}

std::vector<PortMapping> Win32SerialPort::doCurrentMap() const { return listedComPorts(); }

OpenStatus Win32SerialPort::doOpen(int port) {
  Slot& s = slots_[port];
  const std::lock_guard lock(s.mutex);
  const auto fail = [](OpenFailure why, HANDLE h) {
    if (h != INVALID_HANDLE_VALUE) ::CloseHandle(h);
    return staticError(why);
  };
  if (s.open) return fail(OpenFailure::Busy, INVALID_HANDLE_VALUE);

  const HANDLE h = ::CreateFileW(devicePathFor(port).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                 FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return fail(openFailureFor(::GetLastError()), h);

  DCB saved{};
  saved.DCBlength = sizeof(DCB);
  COMMTIMEOUTS savedTimeouts{};
  if (!::GetCommState(h, &saved) || !::GetCommTimeouts(h, &savedTimeouts))
    return fail(openFailureFor(::GetLastError()), h);
  DCB line = saved;
  if (!makeLineSettings(line, s.baudRate, s.byteSize, s.parity, s.stopBits, s.flowControl))
    return fail(OpenFailure::Other, h);
  COMMTIMEOUTS timeouts = timeoutsFor(s.baudRate);
  if (!::SetupComm(h, kSerialBufferSize, kSerialBufferSize) || !::SetCommState(h, &line) ||
      !::SetCommTimeouts(h, &timeouts))
    return fail(openFailureFor(::GetLastError()), h);
  ::PurgeComm(h, PURGE_RXABORT | PURGE_TXABORT | PURGE_RXCLEAR | PURGE_TXCLEAR);
  // The block already asks for both lines; a port without modem lines
  // refuses these calls, which is not a failure.
  ::EscapeCommFunction(h, SETDTR);
  ::EscapeCommFunction(h, SETRTS);

  std::memcpy(s.saved.dcb.data(), &saved, sizeof saved);
  std::memcpy(s.saved.timeouts.data(), &savedTimeouts, sizeof savedTimeouts);
  s.handle = h;
  s.open = 1;
  return {};
}

PortResult<std::size_t> Win32SerialPort::doRead(int port, std::span<std::uint8_t> buffer) {
  Slot& s = slots_[port];
  const std::lock_guard lock(s.mutex);
  if (!s.open) return std::size_t{0};

  // A failure that is not a removed device reads as nothing queued.
  const auto failed = [](DWORD error) -> PortResult<std::size_t> {
    if (deviceGone(error)) return staticError(PortError::Disconnected);
    return std::size_t{0};
  };
  DWORD lineErrors = 0;
  COMSTAT status{};
  if (!::ClearCommError(handleOf(s.handle), &lineErrors, &status)) return failed(::GetLastError());
  const std::size_t wanted = std::min({static_cast<std::size_t>(status.cbInQue), buffer.size(), kSerialBufferSize});
  if (wanted == 0) return std::size_t{0};

  DWORD got = 0;
  if (!::ReadFile(handleOf(s.handle), buffer.data(), static_cast<DWORD>(wanted), &got, nullptr))
    return failed(::GetLastError());
  return std::size_t{got};
}

PortStatus Win32SerialPort::doWrite(int port, std::span<const std::uint8_t> bytes) {
  Slot& s = slots_[port];
  const std::lock_guard lock(s.mutex);
  if (!s.open) return staticError(PortError::NotOpen);

  // One call, so that the time-out bounds the whole write. When it runs out,
  // WriteFile answers TRUE with fewer bytes written (or FALSE, by driver):
  // either way the frame did not go out whole.
  DWORD written = 0;
  if (!::WriteFile(handleOf(s.handle), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr)) {
    const DWORD error = ::GetLastError();
    if (deviceGone(error)) return staticError(PortError::Disconnected);
    return staticError(error == ERROR_SEM_TIMEOUT || error == ERROR_TIMEOUT ? PortError::TimedOut
                                                                           : PortError::DeviceError);
  }
  if (written != bytes.size()) return staticError(PortError::TimedOut);
  return {};
}

PortStatus Win32SerialPort::doClose(int port) {
  Slot& s = slots_[port];
  const std::lock_guard lock(s.mutex);
  if (s.open) closeSlot(s);
  return {};
}

void Win32SerialPort::closeSlot(Slot& s) {
  const HANDLE h = handleOf(s.handle);
  s.open = 0;
  ::EscapeCommFunction(h, CLRDTR);
  ::PurgeComm(h, PURGE_RXABORT | PURGE_TXABORT | PURGE_RXCLEAR | PURGE_TXCLEAR);
  DCB saved{};
  COMMTIMEOUTS savedTimeouts{};
  std::memcpy(&saved, s.saved.dcb.data(), sizeof saved);
  std::memcpy(&savedTimeouts, s.saved.timeouts.data(), sizeof savedTimeouts);
  ::SetCommState(h, &saved);
  ::SetCommTimeouts(h, &savedTimeouts);
  ::CloseHandle(h);
  s.handle = nullptr;
}

}  // namespace pelmora

namespace pelmora {

// Windows' own COM numbers: the port map does not apply.
std::unique_ptr<SerialPort> makeSystemSerialPort(const PortMapConfig& /*map*/) {
  return std::make_unique<Win32SerialPort>();
}

}  // namespace pelmora
