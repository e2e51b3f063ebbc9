#pragma once
// The tool's side of a serial line at a fixed speed, for the harness.
//
// A pseudo-terminal carries bytes at once, and the simulated tracker paces
// only what it sends. This port paces what the tool sends, the way a UART
// does: a write is queued (up to 4096 bytes, as a serial driver's buffer;
// a write that does not fit waits for room) and returns, and a transmitter
// hands the bytes on in pieces, each once its last byte would have left the
// line at 10 bits per byte. A 3401-byte write request is therefore complete
// at the tracker 3.5 s after it was written at 9600 baud, and frames written
// meanwhile follow it. Closing or opening a port drops what it had queued,
// as the purge at open and close does. Everything else goes straight to the
// wrapped port.

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

#include "link/serial_port.h"

namespace pelmora::bench {

class PacedSerialPort final : public SerialPort {
 public:
  PacedSerialPort(SerialPort& line, std::uint32_t baud);
  ~PacedSerialPort() override;
  PacedSerialPort(const PacedSerialPort&) = delete;
  PacedSerialPort& operator=(const PacedSerialPort&) = delete;

 private:
  PortStatus doPrepare(int port) override { return line_.prepare(port); }
  OpenStatus doOpen(int port) override;
  PortResult<std::size_t> doRead(int port, std::span<std::uint8_t> buffer) override { return line_.read(port, buffer); }
  // Only the tool's direction is paced: a reply is waited for on the real descriptor.
  bool doWaitReadable(int port, std::uint32_t ms, Wakeup* wake) override { return line_.waitReadable(port, ms, wake); }
  // Queued, or NotOpen once the port is being torn down.
  PortStatus doWrite(int port, std::span<const std::uint8_t> bytes) override;
  PortStatus doClose(int port) override;

  void transmit();
  void drop(int port);  // the caller holds mutex_

  struct Pending {
    int port;
    std::vector<std::uint8_t> bytes;
    std::size_t sent = 0;
  };

  SerialPort& line_;
  std::uint32_t baud_;
  std::mutex mutex_;  // the queue, its size, the drop count and the stop flag
  std::condition_variable changed_;
  std::deque<Pending> queue_;
  std::size_t queued_ = 0;
  std::uint64_t drops_ = 0;
  bool stop_ = false;
  std::thread transmitter_;
};

}  // namespace pelmora::bench
