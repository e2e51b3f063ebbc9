// The receive framer fed arbitrary bytes in arbitrary chunks, as reads from
// the line deliver them. The bytes come from the front of the input, the
// chunk sizes from its back.
//
// Every frame delivered must start with "@@" or "$$", carry its own length
// (17..4096), end with CR LF, and be a run of bytes that really came down
// the line in that order.
//
// An input that starts with 0xFF describes instead a line of well-formed
// frames (up to 4096 bytes, no marker pair inside them) with noise between
// them: then every frame must come out, whole, once and in order.

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <vector>

#include "fuzz/fuzz_check.h"
#include "link/frame_assembler.h"

namespace {

using pelmora::FrameAssembler;
using pelmora::FrameBuffer;

class Line {
 public:
  // Takes every complete frame, as the engine does one wait after another.
  void takeFrames() {
    for (;;) {
      const std::size_t before = assembler_.size();
      const std::size_t length = assembler_.takeFrame(frame_);
      if (length == 0) {
        FUZZ_CHECK(assembler_.size() == before);
        return;
      }
      FUZZ_CHECK(length >= 17 && length <= 4096);
      FUZZ_CHECK((frame_[0] == '@' && frame_[1] == '@') || (frame_[0] == '$' && frame_[1] == '$'));
      FUZZ_CHECK(((std::size_t{frame_[2]} << 8) | frame_[3]) == length);
      FUZZ_CHECK(frame_[length - 2] == '\r' && frame_[length - 1] == '\n');
      delivered_.emplace_back(frame_.begin(), frame_.begin() + static_cast<std::ptrdiff_t>(length));
      // The assembler drops the bytes before the frame and the frame itself.
      const std::size_t dropped = before - assembler_.size();
      FUZZ_CHECK(dropped >= length && dropped <= before);
      const std::size_t start = base_ + dropped - length;
      FUZZ_CHECK(start + length <= stream_.size());
      FUZZ_CHECK(std::memcmp(stream_.data() + start, frame_.data(), length) == 0);
      base_ += dropped;
    }
  }

  void read(std::span<const std::uint8_t> chunk) {
    while (!chunk.empty()) {
      if (assembler_.full()) {
        const std::size_t before = assembler_.size();
        assembler_.discardStale();
        FUZZ_CHECK(!assembler_.full());
        base_ += before - assembler_.size();
      }
      const std::span<std::uint8_t> space = assembler_.freeSpace();
      const std::size_t n = std::min(space.size(), chunk.size());
      std::copy_n(chunk.begin(), n, space.begin());
      assembler_.commit(n);
      stream_.insert(stream_.end(), chunk.begin(), chunk.begin() + static_cast<std::ptrdiff_t>(n));
      chunk = chunk.subspan(n);
      takeFrames();
      // Asked by the engine when its wait runs out; must hold up on any bytes.
      static_cast<void>(assembler_.holdsFrameStart());
    }
  }

  const std::vector<std::vector<std::uint8_t>>& delivered() const { return delivered_; }

 private:
  FrameAssembler assembler_;
  FrameBuffer frame_{};
  std::vector<std::uint8_t> stream_;  // everything read so far
  std::size_t base_ = 0;              // position in stream_ of the assembler's first byte
  std::vector<std::vector<std::uint8_t>> delivered_;
};

// Bytes that can never be part of a marker pair.
std::vector<std::uint8_t> unmarked(std::vector<std::uint8_t> bytes) {
  for (std::uint8_t& b : bytes)
    if (b == '$' || b == '@') b = 0;
  return bytes;
}

void feed(Line& line, const std::vector<std::uint8_t>& stream, FuzzedDataProvider& input) {
  std::span<const std::uint8_t> rest(stream);
  while (!rest.empty()) {
    // Sizes from the input while it lasts, then the rest at once.
    const std::size_t wanted = input.remaining_bytes() > 0 ? input.ConsumeIntegralInRange<std::size_t>(1, 4096) : rest.size();
    const std::size_t chunk = std::min(rest.size(), wanted);
    line.read(rest.first(chunk));
    rest = rest.subspan(chunk);
  }
}

void wellFormedFrames(FuzzedDataProvider& input) {
  std::vector<std::uint8_t> stream;
  std::vector<std::vector<std::uint8_t>> sent;
  const int frames = input.ConsumeIntegralInRange(1, 8);
  for (int f = 0; f < frames; ++f) {
    const std::vector<std::uint8_t> noise = unmarked(input.ConsumeBytes<std::uint8_t>(input.ConsumeIntegralInRange(0, 64)));
    stream.insert(stream.end(), noise.begin(), noise.end());
    const std::uint8_t marker = input.ConsumeBool() ? '$' : '@';
    const std::size_t n = input.ConsumeIntegralInRange<std::size_t>(0, 4096 - 17);
    std::vector<std::uint8_t> frame = {marker, marker, static_cast<std::uint8_t>((n + 17) >> 8),
                                       static_cast<std::uint8_t>((n + 17) & 0xFF)};
    std::vector<std::uint8_t> body = unmarked(input.ConsumeBytes<std::uint8_t>(9 + n + 2));  // id, command, data, checksum
    body.resize(9 + n + 2, 0x00);
    frame.insert(frame.end(), body.begin(), body.end());
    frame.push_back('\r');
    frame.push_back('\n');
    stream.insert(stream.end(), frame.begin(), frame.end());
    sent.push_back(std::move(frame));
  }
  Line line;
  feed(line, stream, input);
  FUZZ_CHECK(line.delivered() == sent);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > 0 && data[0] == 0xFF) {
    FuzzedDataProvider described(data + 1, size - 1);
    wellFormedFrames(described);
    return 0;
  }
  FuzzedDataProvider input(data, size);
  Line line;
  while (input.remaining_bytes() > 0) {
    const std::size_t chunkSize = input.ConsumeIntegralInRange<std::size_t>(1, 4096);
    const std::vector<std::uint8_t> chunk = input.ConsumeBytes<std::uint8_t>(chunkSize);
    line.read(chunk);
  }
  return 0;
}
