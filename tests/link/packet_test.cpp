#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <string_view>
#include <vector>

#include "link/packet.h"
#include "tests/engine/engine_fakes.h"

namespace pelmora {
namespace {

using Bytes = std::vector<std::uint8_t>;
using ::testing::ElementsAre;

Bytes asBytes(std::string_view text) { return Bytes(text.begin(), text.end()); }

Bytes built(const CommandRequest& request, TraceSink* trace = nullptr) {
  FrameBuffer frame{};
  const FrameResult<std::size_t> length = buildRequest(request, frame, trace);
  EXPECT_TRUE(length) << length.error().message;
  return Bytes(frame.begin(), frame.begin() + static_cast<std::ptrdiff_t>(length ? *length : 0));
}

TEST(Crc16, KermitCheckValue) {
  EXPECT_EQ(crc16(asBytes("123456789")), 0x2189);
}

// A request carries its id as packed decimal; buildRequest hands it the whole
// 14-character array, so the 14th character never counts.
TEST(TrackerId, Encode) {
  const struct {
    const char* label;
    std::string_view text;
    TrackerIdBytes bytes;
  } encoded[] = {
      {"default id", "1111111", {0x11, 0x11, 0x11, 0x1F, 0xFF, 0xFF, 0xFF}},
      {"14 digits lose the 14th", "12345678901234", {0x12, 0x34, 0x56, 0x78, 0x90, 0x12, 0x3F}},
      {"letter between digits", "1A3", {0x1F, 0x3F, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}},
      {"embedded NUL ends the text", std::string_view("12\0" "34", 5), {0x12, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}},
  };
  for (const auto& row : encoded) EXPECT_EQ(encodeTrackerId(row.text), row.bytes) << row.label;
}

TEST(BuildRequest, WriteRequestHexDump) {
  testing::RecordingTrace trace;
  built(makeRequest(WriteSettings), &trace);  // 13 dumped bytes: one line of eight, five left
  EXPECT_THAT(trace.lines, ElementsAre("40,40,0,11,11,11,11,1f\r\n", "ff,ff,ff,88,2,"));

  trace.lines.clear();
  const std::uint8_t image[] = {0xAB, 0x00, 0x10};  // 16 dumped bytes: two lines and an empty rest
  CommandRequest request = makeRequest(WriteSettings);
  request.settingsImage = image;
  built(request, &trace);
  EXPECT_THAT(trace.lines, ElementsAre("40,40,0,14,11,11,11,1f\r\n", "ff,ff,ff,88,2,ab,0,10\r\n", ""));

  trace.lines.clear();
  built(makeRequest(ReadSettings), &trace);
  built(makeRequest(Handshake), &trace);
  EXPECT_TRUE(trace.lines.empty());
}

TEST(BuildRequest, Refusals) {
  FrameBuffer frame{};
  CommandRequest unknown = makeRequest(Handshake);
  unknown.type = 36;
  const FrameResult<std::size_t> noRule = buildRequest(unknown, frame, nullptr);
  ASSERT_FALSE(noRule);
  EXPECT_EQ(noRule.error().kind, FrameError::NoDataRule);

  // The largest image that still fits the 4096-byte frame, and one byte more.
  Bytes image(4096 - 17);
  CommandRequest write = makeRequest(WriteSettings);
  write.settingsImage = image;
  const FrameResult<std::size_t> largest = buildRequest(write, frame, nullptr);
  ASSERT_TRUE(largest);
  EXPECT_EQ(*largest, 4096u);
  image.push_back(0);
  write.settingsImage = image;
  const FrameResult<std::size_t> tooLarge = buildRequest(write, frame, nullptr);
  ASSERT_FALSE(tooLarge);
  EXPECT_EQ(tooLarge.error().kind, FrameError::NoDataRule);
}

// The length, checksum and data of a write request are checked by the
// simulated tracker in the fault matrix and the session test, which take
// only a well-formed write with the image where they expect it.
//
// Which byte strings are no reply at all, the status each command's reply
// carries (a bad checksum does not change it) and the data it hands on are
// checked by the parse fuzz target against its own rules, on frames that end
// exactly where the sanitizer would see a read past them.

}  // namespace
}  // namespace pelmora
