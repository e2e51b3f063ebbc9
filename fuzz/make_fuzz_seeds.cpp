// Writes the seed corpora of the fuzz targets: real frames and settings
// images as the project's own code makes them (the request builder, the
// simulated tracker's demo images, the codec).
//
//   make_fuzz_seeds <dir>   writes <dir>/<target>/<seed> for every target

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <span>
#include <string>
#include <vector>

#include "link/packet.h"
#include "settings/settings_codec.h"
#include "settings/settings_file.h"
#include "tools/simtracker/demo_images.h"

namespace {

using namespace pelmora;
using Bytes = std::vector<std::uint8_t>;

Bytes request(CommandType type, std::span<const std::uint8_t> image = {}) {
  CommandRequest r = makeRequest(type);
  r.settingsImage = image;
  FrameBuffer frame;
  std::size_t length = 0;
  buildRequest(r, frame, length, nullptr);
  return Bytes(frame.begin(), frame.begin() + static_cast<std::ptrdiff_t>(length));
}

Bytes reply(std::uint16_t command, std::span<const std::uint8_t> data) {
  Bytes frame = {'$', '$'};
  const std::size_t length = data.size() + kFrameOverhead;
  frame.push_back(static_cast<std::uint8_t>(length >> 8));
  frame.push_back(static_cast<std::uint8_t>(length & 0xFF));
  for (const std::uint8_t b : encodeTrackerId(kDefaultTrackerId)) frame.push_back(b);
  frame.push_back(static_cast<std::uint8_t>(command >> 8));
  frame.push_back(static_cast<std::uint8_t>(command & 0xFF));
  frame.insert(frame.end(), data.begin(), data.end());
  const std::uint16_t crc = crc16(frame);
  frame.push_back(static_cast<std::uint8_t>(crc >> 8));
  frame.push_back(static_cast<std::uint8_t>(crc & 0xFF));
  frame.push_back('\r');
  frame.push_back('\n');
  return frame;
}

Bytes cat(std::initializer_list<Bytes> parts) {
  Bytes all;
  for (const Bytes& p : parts) all.insert(all.end(), p.begin(), p.end());
  return all;
}

// The framer target reads chunk sizes from the end of its input, two bytes
// each (the last byte high): these chunks, then the stream.
Bytes inChunks(const Bytes& stream, std::vector<std::size_t> sizes) {
  Bytes input = stream;
  for (auto it = sizes.rbegin(); it != sizes.rend(); ++it) {
    const std::size_t v = *it - 1;
    input.push_back(static_cast<std::uint8_t>(v & 0xFF));
    input.push_back(static_cast<std::uint8_t>(v >> 8));
  }
  return input;
}

Bytes utf16(std::u16string_view text) {
  Bytes bytes;
  for (const char16_t unit : text) {
    bytes.push_back(static_cast<std::uint8_t>(unit & 0xFF));
    bytes.push_back(static_cast<std::uint8_t>(unit >> 8));
  }
  return bytes;
}

bool write(const std::filesystem::path& dir, const std::string& name, const Bytes& bytes) {
  std::filesystem::create_directories(dir);
  std::ofstream out(dir / name, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_fuzz_seeds <corpus dir>\n");
    return 2;
  }
  const std::filesystem::path root = argv[1];
  const Bytes basic = sim::basicDemoImage();
  const Bytes extended = sim::extendedDemoImage();
  const Bytes ok = {0x01};
  const Bytes refused = {0x00};
  const Bytes handshake = reply(0x8803, ok);
  const Bytes readBasic = reply(0x8801, basic);
  const Bytes readExtended = reply(0x8801, extended);

  // The image a write sends after reading the Extended demo tracker.
  SettingsCodec codec;
  SettingsModel model;
  codec.decodeSettingsBlock(extended, model);
  const std::span<const std::uint8_t> encoded = codec.encodeSettingsBlock(model);
  const Bytes writeRequest = request(WriteSettings, encoded);

  bool ok_ = true;
  const auto put = [&](const char* target, const std::string& name, const Bytes& bytes) {
    ok_ = write(root / target, name, bytes) && ok_;
  };

  put("fuzz_frame_assembler", "handshake_whole", inChunks(handshake, {17}));
  put("fuzz_frame_assembler", "handshake_bytewise", inChunks(handshake, std::vector<std::size_t>(17, 1)));
  put("fuzz_frame_assembler", "echo_then_reply", inChunks(cat({request(Handshake), handshake}), {20, 14}));
  put("fuzz_frame_assembler", "noise_two_replies",
      inChunks(cat({Bytes{0x00, 0x24, 0x41, 0x40, 0x0D, 0x0A}, reply(0x8802, ok), handshake}), {3, 30, 7}));
  put("fuzz_frame_assembler", "read_reply_basic", inChunks(readBasic, {1000, 1000, 1000, 197}));
  Bytes described = {0xFF};  // the target builds well-formed frames from what follows
  for (int i = 0; i < 96; ++i) described.push_back(static_cast<std::uint8_t>(i * 7));
  put("fuzz_frame_assembler", "frames_described", described);

  put("fuzz_parse_reply", "handshake", handshake);
  put("fuzz_parse_reply", "write_ok", reply(0x8802, ok));
  put("fuzz_parse_reply", "write_refused", reply(0x8802, refused));
  put("fuzz_parse_reply", "unknown_command", reply(0x8804, ok));
  put("fuzz_parse_reply", "request_echo", request(ReadSettings));
  put("fuzz_parse_reply", "read_extended", readExtended);

  put("fuzz_settings_codec", "basic_demo", basic);
  put("fuzz_settings_codec", "extended_demo", extended);
  put("fuzz_settings_codec", "extended_short", Bytes(extended.begin(), extended.begin() + 200));
  put("fuzz_settings_codec", "write_payload", Bytes(writeRequest.begin() + 13, writeRequest.end() - 4));
  put("fuzz_settings_codec", "unknown_layout", Bytes{0x05, 0x00, 0x86, 0xF6, 0x31, 0x00});

  const auto jsonBytes = [](const std::string& json) { return Bytes(json.begin(), json.end()); };
  put("fuzz_settings_json", "basic_demo", jsonBytes(settingsJson(*documentFromImage(basic, "basic"))));
  put("fuzz_settings_json", "extended_demo", jsonBytes(settingsJson(*documentFromImage(extended, "extended"))));
  put("fuzz_settings_json", "profile",
      jsonBytes(R"({"pelmora-settings": 1, "fields": {"SmsReportInterval": 45, "ApnName": "fleet", "LowPowerAlarmVoltage": 3.7,)"
           R"( "Opaque4": {"hex": "01020304"}, "KeySlot[2].PhoneNumber": "+15550100"}})"));

  const std::u16string_view texts[] = {u"123",     u"  -42",    u"007",   u"99999999999", u"-2147483649",
                                       u"+7 km/h", u"3.5",      u"-1e-3", u"1e400",       u"inf",
                                       u"\u0661\u0662", u"\t12\u00e9"};
  int i = 0;
  for (const std::u16string_view text : texts) put("fuzz_text_conversion", "text" + std::to_string(i++), utf16(text));

  return ok_ ? 0 : 1;
}
