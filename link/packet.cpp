// Building request frames and parsing reply frames.

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <span>
#include <string_view>

#include "link/packet.h"

namespace pelmora {
namespace {

constexpr std::uint8_t kRequestMarker = '@';
constexpr std::uint8_t kReplyMarker = '$';
constexpr std::size_t kLengthOffset = 2;
constexpr std::size_t kIdOffset = 4;
constexpr std::size_t kCommandOffset = 11;
constexpr std::size_t kDataOffset = 13;
constexpr std::size_t kMaxDataSize = kMaxFrameSize - kFrameOverhead;

void putBigEndian16(std::uint8_t* at, std::uint16_t value) {
  at[0] = static_cast<std::uint8_t>(value >> 8);
  at[1] = static_cast<std::uint8_t>(value & 0xFFu);
}

std::uint16_t getBigEndian16(const std::uint8_t* at) {
  return static_cast<std::uint16_t>((at[0] << 8) | at[1]);
}

// A write request is traced as lines of eight "%x" bytes, then one line with
// the remaining bytes as "%x," items; that last line is traced even when empty.
void traceHexDump(std::span<const std::uint8_t> bytes, TraceSink* trace) {
  if (trace == nullptr) return;
  const std::size_t fullLines = bytes.size() / 8;
  for (std::size_t line = 0; line < fullLines; ++line) {
    const std::uint8_t* b = bytes.data() + line * 8;
    tracef(trace, "%x,%x,%x,%x,%x,%x,%x,%x\r\n", b[0], b[1], b[2], b[3], b[4], b[5], b[6], b[7]);
  }
  char rest[8 * 3 + 1] = {};
  std::size_t used = 0;
  for (const std::uint8_t byte : bytes.subspan(fullLines * 8)) {
    const int written = std::snprintf(rest + used, sizeof rest - used, "%x,", byte);
    if (written > 0) used += static_cast<std::size_t>(written);
  }
  trace->trace(std::string_view(rest, used));
}

struct FrameErrorText {
  FrameError error;
  const char* text;
};

constexpr std::array<FrameErrorText, 3> kFrameErrorTexts{{
    {FrameError::NoDataRule, "no data rule for this request"},
    {FrameError::NotAReply, "not a reply frame"},
    {FrameError::UnknownCommand, "a reply to no known command"},
}};

}  // namespace

const char* describe(FrameError error) {
  for (const FrameErrorText& entry : kFrameErrorTexts)
    if (entry.error == error) return entry.text;
  return "";
}

FrameResult<std::size_t> buildRequest(const CommandRequest& request, FrameBuffer& frame, TraceSink* trace) {
  std::span<const std::uint8_t> data;
  switch (request.type) {
    case ReadSettings:
    case Handshake:
      break;
    case WriteSettings:
      data = request.settingsImage;
      break;
    default:
      return staticError(FrameError::NoDataRule);
  }
  // Data that cannot fit the 4096-byte frame is refused like a type without a rule.
  if (data.size() > kMaxDataSize) return staticError(FrameError::NoDataRule);

  const std::size_t length = data.size() + kFrameOverhead;
  frame[0] = kRequestMarker;
  frame[1] = kRequestMarker;
  putBigEndian16(&frame[kLengthOffset], static_cast<std::uint16_t>(length));
  const TrackerIdBytes id = encodeTrackerId(std::string_view(request.trackerId.data(), request.trackerId.size()));
  std::copy(id.begin(), id.end(), frame.begin() + kIdOffset);
  putBigEndian16(&frame[kCommandOffset], request.command);
  std::copy(data.begin(), data.end(), frame.begin() + kDataOffset);

  const std::size_t checked = kDataOffset + data.size();
  putBigEndian16(&frame[checked], crc16(std::span(frame).first(checked)));
  frame[checked + 2] = '\r';
  frame[checked + 3] = '\n';

  if (request.type == WriteSettings) traceHexDump(std::span(frame).first(checked), trace);
  return length;
}

FrameStatus parseReply(std::span<const std::uint8_t> frame, TrackerReply& reply) {
  const auto notAReply = staticError(FrameError::NotAReply);
  if (frame.size() < kFrameOverhead) return notAReply;
  // The length field is believed only as far as the bytes given reach.
  const std::size_t length = getBigEndian16(&frame[kLengthOffset]);
  if (length > frame.size() || length > kMaxFrameSize) return notAReply;
  const std::size_t n = length > kFrameOverhead ? length - kFrameOverhead : 0;

  if (frame[0] != kReplyMarker || frame[1] != kReplyMarker) return notAReply;
  if (frame[15 + n] != '\r' || frame[16 + n] != '\n') return notAReply;
  // The checksum is deliberately not examined.

  const CommandEntry* row = findCommandByReply(getBigEndian16(&frame[kCommandOffset]));
  if (row == nullptr) return staticError(FrameError::UnknownCommand);

  const std::span<const std::uint8_t> data = frame.subspan(kDataOffset, n);
  reply.type = row->type;
  if (row->type == ReadSettings) {
    reply.accepted = true;
    std::copy(data.begin(), data.end(), reply.data.begin());
    reply.dataLength = static_cast<std::uint32_t>(n);
  } else {
    reply.accepted = n > 0 && data[0] == 0x01;
    reply.dataLength = 0;
  }
  reply.trackerId = decodeTrackerId(frame.subspan<kIdOffset, 7>());
  return {};
}

FrameChecksum frameChecksum(std::span<const std::uint8_t> frame) {
  const std::size_t length = getBigEndian16(&frame[kLengthOffset]);
  const std::size_t checked = kDataOffset + (length > kFrameOverhead ? length - kFrameOverhead : 0);
  return {getBigEndian16(&frame[checked]), crc16(frame.first(checked))};
}

}  // namespace pelmora
