#pragma once
// Request frames onto the line, for the communication thread. A frame goes
// to the port in 512-byte pieces, so that a port change waits at most for
// one piece (half a second at 9600 baud), not for a whole settings image.

#include <cstdint>
#include <functional>
#include <span>

#include "link/packet.h"
#include "link/serial_port.h"
#include "link/trace.h"

namespace pelmora {

// Why a request did not go onto the line whole.
enum class SendError {
  NothingSent,  // no frame, or no port open
  CutShort,     // the port refused the frame, cut it short, or was left meanwhile
};
const char* describe(SendError error);  // "not sent whole", ...
// With describe()'s fixed words: sending allocates nothing (settings/result.h).
using SendStatus = Status<SendError, StaticMessage>;

class LineWriter {
 public:
  LineWriter(SerialPort& port, TraceSink* trace) : port_(port), trace_(trace) {}

  // `frame` to `port` (kNoPort: none open), whole: NothingSent, CutShort.
  // `stillOurs` is asked before each piece, and false ends the write there.
  SendStatus send(int port, std::span<const std::uint8_t> frame, const std::function<bool()>& stillOurs);
  // A request without data (handshake, read), built from the command table: as send().
  SendStatus sendRequest(int port, CommandType type, const std::function<bool()>& stillOurs);

 private:
  SerialPort& port_;
  TraceSink* trace_;
};

}  // namespace pelmora
