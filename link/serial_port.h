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

namespace pelmora {

inline constexpr int kNoPort = -1;  // no port open
inline constexpr int kFirstPortNumber = 1;
inline constexpr int kLastPortNumber = 99;
inline constexpr std::size_t kSerialBufferSize = 4096;
inline constexpr std::uint32_t kBaudRate = 9600;

// Why the last open of a port failed, for a plain-words log line.
enum class OpenFailure {
  None,
  OutOfRange,     // 0 or above 99
  NotMapped,      // no device behind this number
  NoSuchDevice,   // the mapped device does not exist
  Busy,           // another program holds it
  AccessDenied,   // no permission (not in the dialout group)
  NotATerminal,   // the device is not a serial line
  Other,
};

struct ReadResult {
  std::size_t count = 0;      // bytes placed in the buffer; 0 when nothing was queued or on failure
  bool disconnected = false;  // the device is gone (hang-up, I/O error: a pulled USB adapter)
};

class SerialPort {
 public:
  virtual ~SerialPort() = default;

  static constexpr bool inRange(int port) { return port >= kFirstPortNumber && port <= kLastPortNumber; }

  // 1, or -1 for a number out of range. Resets the slot to the fixed line settings.
  int prepare(int port) { return inRange(port) ? doPrepare(port) : -1; }
  // Nonzero when the port is open and configured, 0 otherwise.
  int open(int port) { return inRange(port) ? doOpen(port) : 0; }
  // Returns what is queued, at most buffer.size() (never above 4096) bytes, without waiting.
  ReadResult read(int port, std::span<std::uint8_t> buffer) {
    return inRange(port) ? doRead(port, buffer) : ReadResult{};
  }
  // 1 when the device took every byte, 0 when it failed or the timeout of
  // 19200 / baud ms per byte cut the write short.
  int write(int port, std::span<const std::uint8_t> bytes) { return inRange(port) ? doWrite(port, bytes) : 0; }
  // 1 when the slot was closed, 0 for a number out of range. Drops DTR, purges both queues.
  int close(int port) { return inRange(port) ? doClose(port) : 0; }
  // Waits at most `ms` for bytes (or a hang-up) on an open port, or until
  // `wake` is raised. False when this port cannot wait: the caller sleeps instead.
  bool waitReadable(int port, std::uint32_t ms, Wakeup* wake = nullptr) {
    return inRange(port) && doWaitReadable(port, ms, wake);
  }
  // Why the last open of this port failed.
  OpenFailure lastOpenFailure(int port) const {
    return inRange(port) ? doLastOpenFailure(port) : OpenFailure::OutOfRange;
  }
  // The device that last open tried, "" when it tried none (not mapped, out of range).
  std::string lastOpenFailureDevice(int port) const { return inRange(port) ? doLastOpenFailureDevice(port) : ""; }
  // What stands behind each number now, as an open would find it, for the
  // port chooser's words; empty where the port cannot say (Windows).
  std::vector<PortMapping> currentMap() const { return doCurrentMap(); }

 private:
  virtual int doPrepare(int port) = 0;
  virtual int doOpen(int port) = 0;
  virtual ReadResult doRead(int port, std::span<std::uint8_t> buffer) = 0;
  virtual int doWrite(int port, std::span<const std::uint8_t> bytes) = 0;
  virtual int doClose(int port) = 0;
  virtual OpenFailure doLastOpenFailure(int) const { return OpenFailure::Other; }
  virtual std::string doLastOpenFailureDevice(int) const { return {}; }
  virtual bool doWaitReadable(int, std::uint32_t, Wakeup*) { return false; }
  virtual std::vector<PortMapping> doCurrentMap() const { return {}; }
};

}  // namespace pelmora
