#pragma once
// Frames spoken with the tracker: "@@" requests and "$$" replies.
//
//   offset  size  field
//   0       2     marker "@@" (request) or "$$" (reply)
//   2       2     total length, big-endian (data length + 17)
//   4       7     tracker id, packed decimal
//   11      2     command, big-endian
//   13      n     data
//   13+n    2     CRC-16/KERMIT over bytes 0..12+n, high byte first
//   15+n    2     CR LF
//
// Frames live in fixed 4096-byte buffers; nothing here allocates, failures
// included: they carry describe(kind)'s fixed words (settings/result.h).

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "link/trace.h"
#include "settings/result.h"

namespace pelmora {

inline constexpr std::size_t kMaxFrameSize = 4096;
inline constexpr std::size_t kFrameOverhead = 17;  // a frame without data
using FrameBuffer = std::array<std::uint8_t, kMaxFrameSize>;

// CRC-16/KERMIT (reflected 0x1021, start 0, no final XOR), table-driven.
std::uint16_t crc16(std::span<const std::uint8_t> bytes);

// Packed decimal id: two digits per byte, first digit in the high nibble;
// any non-digit, the end of the text and everything after it give 0xF.
// At most 13 digits are used; the 14th position is always treated as the end.
using TrackerIdBytes = std::array<std::uint8_t, 7>;
TrackerIdBytes encodeTrackerId(std::string_view idText);

// Up to 14 characters and a terminator. 0xFF ends the text; a high nibble
// always gives nibble + '0' (so 0xA..0xF give ':'..'?'); a low nibble 0xF ends it.
using TrackerIdText = std::array<char, 15>;
TrackerIdText decodeTrackerId(std::span<const std::uint8_t, 7> bytes);

enum CommandType : std::int32_t {
  ReadSettings = 33,
  WriteSettings = 34,
  Handshake = 35,
};

struct CommandEntry {
  std::int32_t type;
  std::array<char16_t, 21> name;  // empty in every row
  std::uint16_t command;          // put into requests
  std::uint16_t replyCommand;     // replies are matched against it
  std::uint16_t extraCode1;       // not read by the link
  std::uint16_t extraCode2;       // not read by the link
};

// Searched from the first row; the first match wins.
extern const std::array<CommandEntry, 3> kCommandTable;
const CommandEntry* findCommandByType(std::int32_t type);
const CommandEntry* findCommandByReply(std::uint16_t replyCommand);

inline constexpr std::string_view kDefaultTrackerId = "1111111";

struct CommandRequest {
  std::int32_t type = 0;
  std::uint16_t command = 0;
  std::array<char, 14> trackerId{};  // up to 13 digits, NUL-terminated
  // The data of a WriteSettings request: the encoded settings image
  // (3180 or 3384 bytes), or empty when the layout is unknown.
  std::span<const std::uint8_t> settingsImage;
};

// A zero-cleared request of `type` with the table's command and the id "1111111".
CommandRequest makeRequest(CommandType type);

struct TrackerReply {
  std::int32_t type = 0;
  bool accepted = false;  // a settings reply always; a handshake or write reply whose first data byte is 1
  std::array<std::uint8_t, kMaxFrameSize> data{};
  std::uint32_t dataLength = 0;
  TrackerIdText trackerId{};
};

// Why a frame was not built or not understood.
enum class FrameError {
  NoDataRule,      // the request's type has no data rule, or its data cannot fit a frame
  NotAReply,       // no "$$", no CR LF after data and checksum, or a length field the bytes do not cover
  UnknownCommand,  // the reply's command is in no table row
};
const char* describe(FrameError error);  // "not a reply frame", ...
template <class T>
using FrameResult = Result<T, FrameError, StaticMessage>;
using FrameStatus = Status<FrameError, StaticMessage>;

// Builds the frame for `request` into `frame`: its length, or
//   NoDataRule  nothing built
// A WriteSettings request also dumps its bytes to `trace` in hex.
FrameResult<std::size_t> buildRequest(const CommandRequest& request, FrameBuffer& frame, TraceSink* trace);

// Parses a received frame. Never reads outside `frame`. Success: type,
// acceptance, data (ReadSettings only) and id are set. Otherwise
//   NotAReply       the frame's shape is not a reply's
//   UnknownCommand  the frame is a reply to no command of the table
// The checksum is not examined here: see frameChecksum.
FrameStatus parseReply(std::span<const std::uint8_t> frame, TrackerReply& reply);

// The checksum a frame carries and the one its bytes give. Only for a frame
// that parseReply understood (its length field fits the bytes given).
struct FrameChecksum {
  std::uint16_t carried = 0;
  std::uint16_t computed = 0;
  bool matches() const { return carried == computed; }
};
FrameChecksum frameChecksum(std::span<const std::uint8_t> frame);

}  // namespace pelmora
