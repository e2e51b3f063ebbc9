// parseReply on arbitrary frames, each in a heap block of exactly its size,
// so that AddressSanitizer sees any read past the frame.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <span>

#include "fuzz/fuzz_check.h"
#include "link/packet.h"

namespace {

using namespace pelmora;

std::size_t bigEndian16(const std::uint8_t* at) { return (std::size_t{at[0]} << 8) | at[1]; }

// The frame as a reply frame should be: "$$", a length field that the bytes
// cover (and a frame buffer holds), CR LF after data and checksum.
bool wellFramed(std::span<const std::uint8_t> frame) {
  if (frame.size() < kFrameOverhead) return false;
  const std::size_t length = bigEndian16(&frame[2]);
  if (length > frame.size() || length > kMaxFrameSize) return false;
  const std::size_t n = length > kFrameOverhead ? length - kFrameOverhead : 0;
  return frame[0] == '$' && frame[1] == '$' && frame[15 + n] == '\r' && frame[16 + n] == '\n';
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::unique_ptr<std::uint8_t[]> copy(new std::uint8_t[size]);
  if (size > 0) std::memcpy(copy.get(), data, size);
  const std::span<const std::uint8_t> frame(copy.get(), size);

  static TrackerReply reply;  // 4 KB: kept off the stack, cleared like the engine does
  reply = TrackerReply{};
  const FrameStatus result = parseReply(frame, reply);
  const bool notAReply = !result && result.error().kind == FrameError::NotAReply;
  FUZZ_CHECK(result || notAReply || result.error().kind == FrameError::UnknownCommand);
  FUZZ_CHECK(!notAReply == wellFramed(frame));
  if (notAReply) return 0;

  const CommandEntry* row = findCommandByReply(static_cast<std::uint16_t>(bigEndian16(&frame[11])));
  FUZZ_CHECK(!result == (row == nullptr));
  if (!result) return 0;

  const std::size_t length = bigEndian16(&frame[2]);
  const std::size_t n = length > kFrameOverhead ? length - kFrameOverhead : 0;
  FUZZ_CHECK(reply.type == row->type);
  switch (reply.type) {
    case ReadSettings:
      FUZZ_CHECK(reply.accepted);
      FUZZ_CHECK(reply.dataLength == n);
      FUZZ_CHECK(std::memcmp(reply.data.data(), &frame[13], n) == 0);
      break;
    case WriteSettings:
    case Handshake:
      FUZZ_CHECK(reply.accepted == (n > 0 && frame[13] == 0x01));
      FUZZ_CHECK(reply.dataLength == 0);
      break;
    default:
      FUZZ_CHECK(false);
  }
  FUZZ_CHECK(reply.trackerId.back() == '\0');
  return 0;
}
