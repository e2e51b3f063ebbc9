#pragma once
// Reading the line and cutting reply frames out of it, for the
// communication thread: what the current port delivers goes into a frame
// assembler, which starts empty whenever the port changes; a wait for bytes
// lies on the port's descriptor where it has one. Communication thread only.

#include <cstddef>
#include <cstdint>

#include "link/clock.h"
#include "link/frame_assembler.h"
#include "link/packet.h"
#include "link/serial_port.h"
#include "link/trace.h"
#include "link/wakeup.h"

namespace pelmora {

class LineReader {
 public:
  LineReader(SerialPort& port, Clock& clock, TraceSink* trace) : port_(port), clock_(clock), trace_(trace) {}

  // A wait for a frame on `port` begins at `nowMs`: what another port left is dropped.
  void beginWait(int port, std::uint64_t nowMs);
  // A frame has begun and its bytes kept coming in the last second: a
  // reply is on its way, and its wait goes on.
  bool arriving(std::uint64_t nowMs) const;
  // Moves the first complete frame held to `out`: its length, or 0.
  std::size_t takeFrame(FrameBuffer& out) { return assembler_.takeFrame(out); }
  // When the storage is full without a frame, drops the stale bytes.
  void makeRoom();
  // Reads what `port` has queued into free storage (SerialPort::read);
  // take() keeps it.
  PortResult<std::size_t> read(int port) { return port_.read(port, assembler_.freeSpace()); }
  void take(std::size_t count);
  // Until bytes come on `port` (at most 100 ms) or `wake` is raised.
  void waitForBytes(int port, Wakeup& wake);
  // Nothing held is taken (a port change, or a wait given up).
  void clear() { assembler_.clear(); }

 private:
  SerialPort& port_;
  Clock& clock_;
  TraceSink* trace_;
  FrameAssembler assembler_;
  int heldPort_ = kNoPort;  // the port whose bytes the assembler holds
  std::uint64_t lastArrivalMs_ = 0;
};

}  // namespace pelmora
