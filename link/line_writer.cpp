#include "link/line_writer.h"

#include <algorithm>

namespace pelmora {
namespace {

constexpr std::size_t kWritePiece = 512;

}  // namespace

const char* describe(SendError error) {
  return error == SendError::NothingSent ? "nothing sent: no frame, or no port open" : "not sent whole";
}

SendStatus LineWriter::send(int port, std::span<const std::uint8_t> frame, const std::function<bool()>& stillOurs) {
  if (frame.size() < kFrameOverhead || port == kNoPort) return staticError(SendError::NothingSent);
  tracef(trace_, "GprsPackage len:%d cmd:0X%02x%02x", static_cast<int>(frame.size()), frame[11], frame[12]);
  for (std::size_t done = 0; done < frame.size(); done += kWritePiece) {
    if (!stillOurs() || !port_.write(port, frame.subspan(done, std::min(kWritePiece, frame.size() - done))))
      return staticError(SendError::CutShort);
  }
  return {};
}

SendStatus LineWriter::sendRequest(int port, CommandType type, const std::function<bool()>& stillOurs) {
  FrameBuffer frame;
  const FrameResult<std::size_t> length = buildRequest(makeRequest(type), frame, trace_);
  if (!length) return staticError(SendError::NothingSent);
  return send(port, std::span<const std::uint8_t>(frame.data(), *length), stillOurs);
}

}  // namespace pelmora
