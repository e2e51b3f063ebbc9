// Writes the seed corpora of the fuzz targets from the simulated tracker's
// demo images: the frames that carry them, as the request builder makes
// them, and their settings files.
//
//   make_fuzz_seeds <dir>   writes <dir>/<target>/<seed> for every target

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "link/packet.h"
#include "settings/settings_file.h"
#include "tools/simtracker/demo_images.h"

namespace {

using namespace pelmora;
using Bytes = std::vector<std::uint8_t>;

// A request frame of `type`, or with `reply` set the tracker's "$$" answer of
// that command, carrying `data`.
Bytes frame(CommandType type, std::span<const std::uint8_t> data = {}, std::uint8_t reply = 0) {
  CommandRequest request = makeRequest(data.empty() ? type : WriteSettings);
  request.settingsImage = data;
  FrameBuffer built;
  std::size_t length = 0;
  buildRequest(request, built, length, nullptr);
  Bytes bytes(built.begin(), built.begin() + static_cast<std::ptrdiff_t>(length));
  if (reply == 0) return bytes;
  bytes[0] = bytes[1] = '$';
  bytes[12] = reply;
  const std::uint16_t crc = crc16(std::span(bytes).first(length - 4));
  bytes[length - 4] = static_cast<std::uint8_t>(crc >> 8);
  bytes[length - 3] = static_cast<std::uint8_t>(crc);
  return bytes;
}

// The framer target reads chunk sizes from the end of its input, two bytes
// each (the last byte high): the stream cut into chunks of `size`.
Bytes inChunks(Bytes stream, std::size_t size) {
  const std::size_t chunks = (stream.size() + size - 1) / size;
  for (std::size_t i = 0; i < chunks; ++i) stream.insert(stream.end(), {std::uint8_t(size - 1), std::uint8_t((size - 1) >> 8)});
  return stream;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_fuzz_seeds <corpus dir>\n");
    return 2;
  }
  bool written = true;
  const auto put = [&](const char* target, const std::string& name, const Bytes& bytes) {
    const std::filesystem::path dir = std::filesystem::path(argv[1]) / target;
    std::filesystem::create_directories(dir);
    std::ofstream out(dir / name, std::ios::binary | std::ios::trunc);
    written = out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size())) && written;
  };
  const Bytes ok{0x01};
  const Bytes handshake = frame(Handshake, ok, 0x03);
  for (const auto& [name, image] : {std::pair{"basic", sim::basicDemoImage()}, {"extended", sim::extendedDemoImage()}}) {
    const std::string demo = name;
    const Bytes read = frame(ReadSettings, image, 0x01);
    Bytes line = frame(Handshake);  // an echoed request, the handshake's answer, the settings
    line.insert(line.end(), handshake.begin(), handshake.end());
    line.insert(line.end(), read.begin(), read.end());
    put("fuzz_frame_assembler", demo + "_bytewise", inChunks(Bytes(line.begin(), line.begin() + 40), 1));
    put("fuzz_frame_assembler", demo + "_in_reads", inChunks(line, 1000));
    put("fuzz_parse_reply", demo + "_read", read);
    put("fuzz_settings_codec", demo, image);
    put("fuzz_settings_codec", demo + "_short", Bytes(image.begin(), image.begin() + 200));
    const std::string json = settingsJson(*documentFromImage(image, demo));
    put("fuzz_settings_json", demo, Bytes(json.begin(), json.end()));
  }
  put("fuzz_frame_assembler", "frames_described", Bytes(97, 0xFF));  // 0xFF first: the target builds frames
  put("fuzz_parse_reply", "handshake", handshake);
  put("fuzz_parse_reply", "write_refused", frame(WriteSettings, Bytes{0x00}, 0x02));
  put("fuzz_parse_reply", "unknown_command", frame(Handshake, ok, 0x04));
  put("fuzz_parse_reply", "request_echo", frame(ReadSettings));
  int i = 0;  // numbers at the edges of what the conversions take, as UTF-16
  for (const std::u16string_view text : {u"  -42", u"007", u"99999999999", u"-2147483649", u"+7 km/h", u"-1e-3", u"1e400",
                                         u"inf", u"\u0661\u0662", u"\t12\u00e9"})
    put("fuzz_text_conversion", "text" + std::to_string(i++), Bytes(reinterpret_cast<const std::uint8_t*>(text.data()),
                                                                    reinterpret_cast<const std::uint8_t*>(text.data() + text.size())));
  return written ? 0 : 1;
}
