#pragma once
// The simulated tracker's own replies, byte for byte, as the tool's end of
// a line receives them: one table for every line the tracker answers on
// (a pseudo-terminal, the loopback port).

#include <functional>
#include <vector>

#include "link/serial_port.h"
#include "sim/request_answerer.h"

namespace pelmora::sim {

using Bytes = std::vector<std::uint8_t>;

struct TrackerLine {
  SerialPort& tool;  // the tool's end, port 1, open
  const RequestAnswerer& record;
  std::function<void(const SimBehaviour&)> setBehaviour;
  bool writesInPieces = false;  // the tracker hands its replies to the line in writes that it counts
};

// An Extended tracker whose replies are not paced.
SimOptions unpacedExtendedTracker();

// One request after another, each under its own behaviour. Replies come in
// order, so each row's reply is the next bytes on the line.
void answersEachRequestAsItsBehaviourSays(const TrackerLine& line);

}  // namespace pelmora::sim
