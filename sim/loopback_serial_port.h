#pragma once
// A serial port whose other end is a simulated tracker in this process: the
// demo on every system, no pseudo-terminal or device needed. One port
// number opens; every other one is NotMapped.
//
//   write  the request bytes reach the tracker at once (RequestAnswerer);
//          each answer is queued behind the ones before it
//   read   what the line has carried of the queued answers by now, paced at
//          the behaviour's baud like the tracker on a pseudo-terminal (10
//          bits a byte: 9600 baud is about 1.04 ms a byte), on `clock`
//   wait   until the next byte is due, `ms` pass, or the wakeup is raised,
//          through the clock (a fake clock's sleep only moves its time)
//   close  drops what is queued and any request cut off
//
// A write made while another thread waits on the port is seen when that
// wait ends (the engine's one communication thread both writes and waits).
// The line's behaviour beyond the answers themselves (write sizes and gaps,
// hang-ups) is the pseudo-terminal's alone.

#include <cstddef>
#include <cstdint>
#include <deque>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "link/clock.h"
#include "link/serial_port.h"
#include "sim/request_answerer.h"

namespace pelmora::sim {

class LoopbackSerialPort final : public SerialPort {
 public:
  // `clock` must outlive the port; without one the port keeps a system clock of its own.
  LoopbackSerialPort(int port, const SimOptions& options, Clock& clock);
  LoopbackSerialPort(int port, const SimOptions& options);
  LoopbackSerialPort(const LoopbackSerialPort&) = delete;
  LoopbackSerialPort& operator=(const LoopbackSerialPort&) = delete;

  int number() const { return port_; }
  // The tracker at the other end: its behaviour, image and record.
  RequestAnswerer& tracker() { return answers_; }
  const RequestAnswerer& tracker() const { return answers_; }

 private:
  // One answer on its way: its bytes leave the tracker from `startMs` on.
  struct Transmission {
    std::vector<std::uint8_t> bytes;
    std::uint64_t startMs = 0;
    std::uint32_t baud = 0;
    std::size_t taken = 0;  // bytes the tool has read
  };

  PortStatus doPrepare(int) override { return {}; }
  OpenStatus doOpen(int port) override;
  PortResult<std::size_t> doRead(int port, std::span<std::uint8_t> buffer) override;
  PortStatus doWrite(int port, std::span<const std::uint8_t> bytes) override;
  PortStatus doClose(int port) override;
  bool doWaitReadable(int port, std::uint32_t ms, Wakeup* wake) override;
  std::vector<PortMapping> doCurrentMap() const override;

  // The bytes of the front answer the line has carried and the tool not yet read.
  std::size_t carried(std::uint64_t nowMs) const;  // the caller holds mutex_
  // The milliseconds until the next byte is carried; nullopt with nothing queued.
  std::optional<std::uint64_t> untilNextByte(std::uint64_t nowMs) const;  // the caller holds mutex_

  const int port_;
  std::optional<SystemClock> ownClock_;
  Clock& clock_;
  RequestAnswerer answers_;

  mutable std::mutex mutex_;  // makes open, close, read, write and the wait's look exclude each other
  bool open_ = false;
  std::deque<Transmission> queued_;
  std::uint64_t lineFreeMs_ = 0;  // when the last queued answer has left the tracker
};

}  // namespace pelmora::sim
