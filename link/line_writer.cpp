#include "link/line_writer.h"

#include <algorithm>

namespace pelmora {
namespace {

constexpr std::size_t kWritePiece = 512;

}  // namespace

LineWriter::Sent LineWriter::send(int port, std::span<const std::uint8_t> frame,
                                  const std::function<bool()>& stillOurs) {
  if (frame.size() < kFrameOverhead || port == kNoPort) return Sent::Nothing;
  tracef(trace_, "GprsPackage len:%d cmd:0X%02x%02x", static_cast<int>(frame.size()), frame[11], frame[12]);
  for (std::size_t done = 0; done < frame.size(); done += kWritePiece) {
    if (!stillOurs() || port_.write(port, frame.subspan(done, std::min(kWritePiece, frame.size() - done))) == 0)
      return Sent::Incomplete;
  }
  return Sent::Whole;
}

LineWriter::Sent LineWriter::sendRequest(int port, CommandType type, const std::function<bool()>& stillOurs) {
  FrameBuffer frame;
  std::size_t length = 0;
  if (buildRequest(makeRequest(type), frame, length, trace_) != kBuildOk) return Sent::Nothing;
  return send(port, std::span<const std::uint8_t>(frame.data(), length), stillOurs);
}

}  // namespace pelmora
