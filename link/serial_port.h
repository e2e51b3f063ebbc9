#pragma once
// Numbered serial ports, as the port chooser shows them ("COM1" .. "COM99";
// COM0 is the chooser's first entry and never opens). Line settings are fixed:
// 9600 baud, 8N1, raw, no flow control, DTR and RTS asserted while open.
//
// The public calls refuse numbers outside 1..99 without touching the
// device; implementations only see valid numbers. Close, read and write of
// one port exclude each other (PosixSerialPort holds a mutex per port).

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "link/port_map.h"
#include "link/wakeup.h"
#include "settings/result.h"

namespace pelmora {

inline constexpr int kNoPort = -1;  // no port open
inline constexpr int kFirstPortNumber = 1;
inline constexpr int kLastPortNumber = 99;
inline constexpr std::size_t kSerialBufferSize = 4096;
inline constexpr std::uint32_t kBaudRate = 9600;

// Why an open failed, for a plain-words log line (link/open_failure_text.h).
enum class OpenFailure {
  OutOfRange,     // 0 or above 99
  NotMapped,      // no device behind this number
  NoSuchDevice,   // the mapped device does not exist
  Busy,           // another program holds it
  AccessDenied,   // no permission (not in the dialout group)
  NotATerminal,   // the device is not a serial line
  Other,
};
const char* describe(OpenFailure failure);  // "busy: another program holds it", ...

// Why a call on a port failed.
enum class PortError {
  OutOfRange,    // the number is not 1..99
  NotOpen,       // the port is not open
  TimedOut,      // the write time-out (19200 / baud ms per byte) cut a write short
  Disconnected,  // the device is gone: a hang-up, an I/O error (a pulled USB adapter)
  DeviceError,   // the device refused the bytes
};
const char* describe(PortError error);  // "the device is gone", ...

// Every failure here carries describe(kind)'s fixed words: reading and
// writing a frame allocate nothing (settings/result.h).
using OpenStatus = Status<OpenFailure, StaticMessage>;
template <class T>
using PortResult = Result<T, PortError, StaticMessage>;
using PortStatus = Status<PortError, StaticMessage>;

class SerialPort {
 public:
  virtual ~SerialPort() = default;

  static constexpr bool inRange(int port) { return port >= kFirstPortNumber && port <= kLastPortNumber; }

  // Resets the slot to the fixed line settings. OutOfRange.
  PortStatus prepare(int port) { return inRange(port) ? doPrepare(port) : outOfRange(); }
  // Opens and configures the port: OutOfRange, NotMapped, NoSuchDevice,
  // Busy (also a port this object has open), AccessDenied, NotATerminal, Other.
  OpenStatus open(int port) { return inRange(port) ? doOpen(port) : staticError(OpenFailure::OutOfRange); }
  // Takes what is queued, at most buffer.size() (never above 4096) bytes,
  // without waiting: the count, 0 when nothing was queued or the port is
  // not open or out of range; Disconnected when the device is gone.
  PortResult<std::size_t> read(int port, std::span<std::uint8_t> buffer) {
    return inRange(port) ? doRead(port, buffer) : std::size_t{0};
  }
  // Success only when the device took every byte: OutOfRange, NotOpen,
  // TimedOut (19200 / baud ms per byte), Disconnected, DeviceError.
  PortStatus write(int port, std::span<const std::uint8_t> bytes) {
    return inRange(port) ? doWrite(port, bytes) : outOfRange();
  }
  // Drops DTR, purges both queues; a closed port stays closed. OutOfRange.
  PortStatus close(int port) { return inRange(port) ? doClose(port) : outOfRange(); }
  // Waits at most `ms` for bytes (or a hang-up) on an open port, or until
  // `wake` is raised. False when this port cannot wait: the caller sleeps instead.
  bool waitReadable(int port, std::uint32_t ms, Wakeup* wake = nullptr) {
    return inRange(port) && doWaitReadable(port, ms, wake);
  }
  // The device the last failed open of this port tried, "" when it tried
  // none (not mapped, out of range) or the last open succeeded.
  std::string lastOpenFailureDevice(int port) const { return inRange(port) ? doLastOpenFailureDevice(port) : ""; }
  // What stands behind each number now, as an open would find it, for the
  // port chooser's words (on Windows: the COM ports Windows lists).
  std::vector<PortMapping> currentMap() const { return doCurrentMap(); }

 private:
  static PortStatus outOfRange() { return staticError(PortError::OutOfRange); }

  virtual PortStatus doPrepare(int port) = 0;
  virtual OpenStatus doOpen(int port) = 0;
  virtual PortResult<std::size_t> doRead(int port, std::span<std::uint8_t> buffer) = 0;
  virtual PortStatus doWrite(int port, std::span<const std::uint8_t> bytes) = 0;
  virtual PortStatus doClose(int port) = 0;
  virtual std::string doLastOpenFailureDevice(int) const { return {}; }
  virtual bool doWaitReadable(int, std::uint32_t, Wakeup*) { return false; }
  virtual std::vector<PortMapping> doCurrentMap() const { return {}; }
};

}  // namespace pelmora
