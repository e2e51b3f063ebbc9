// The frame path: checksum, building the write request, assembling a reply.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <numeric>

#include "bench/bench_images.h"
#include "link/clock.h"
#include "link/frame_assembler.h"
#include "link/packet.h"
#include "link/trace_writer.h"

namespace pelmora::bench {
namespace {

constexpr std::size_t kWriteFrameSize = 3401;
constexpr std::size_t kReplyChunk = 64;

// A reply frame of 3401 bytes carrying the Extended image, as the tracker sends it.
FrameBuffer extendedReply() {
  const auto& image = extendedImage().bytes;
  FrameBuffer frame{};
  const std::size_t length = image.size() + kFrameOverhead;
  frame[0] = '$';
  frame[1] = '$';
  frame[2] = static_cast<std::uint8_t>(length >> 8);
  frame[3] = static_cast<std::uint8_t>(length & 0xFF);
  const TrackerIdBytes id = encodeTrackerId(kDefaultTrackerId);
  std::copy(id.begin(), id.end(), frame.begin() + 4);
  frame[11] = 0x88;
  frame[12] = 0x01;
  std::copy(image.begin(), image.end(), frame.begin() + 13);
  const std::uint16_t crc = crc16(std::span<const std::uint8_t>(frame.data(), 13 + image.size()));
  frame[13 + image.size()] = static_cast<std::uint8_t>(crc >> 8);
  frame[14 + image.size()] = static_cast<std::uint8_t>(crc & 0xFF);
  frame[15 + image.size()] = '\r';
  frame[16 + image.size()] = '\n';
  return frame;
}

// The checksum of a write request covers everything but itself and CR LF.
void BM_Crc16WriteFrame(benchmark::State& state) {
  std::vector<std::uint8_t> bytes(kWriteFrameSize - 4);
  std::iota(bytes.begin(), bytes.end(), std::uint8_t{0});
  for (auto _ : state) benchmark::DoNotOptimize(crc16(bytes));
  state.SetLabel("crc16 over the 3397 checksummed bytes of a write request");
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
}
BENCHMARK(BM_Crc16WriteFrame);

// The write request as "Write Settings" builds it: image copied in, checksum,
// and (with a trace) the hex dump of 3397 bytes in lines of eight.
void BM_BuildWriteRequest(benchmark::State& state, bool withTrace) {
  std::FILE* devNull = withTrace ? std::fopen("/dev/null", "w") : nullptr;
  SystemClock clock;
  TraceWriter writer(clock, devNull);
  CommandRequest request = makeRequest(WriteSettings);
  request.settingsImage = extendedImage().bytes;
  FrameBuffer frame;
  std::size_t length = 0;
  for (auto _ : state) {
    const FrameResult<std::size_t> built = buildRequest(request, frame, withTrace ? &writer : nullptr);
    length = built ? *built : 0;
    benchmark::DoNotOptimize(frame.data());
  }
  if (length != kWriteFrameSize) state.SkipWithError("the write request is not 3401 bytes");
  state.SetLabel(withTrace ? "buildRequest: 3401-byte write request with its hex dump traced to /dev/null"
                           : "buildRequest: 3401-byte write request without a trace");
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kWriteFrameSize));
  if (devNull != nullptr) std::fclose(devNull);
}
BENCHMARK_CAPTURE(BM_BuildWriteRequest, no_trace, false);
BENCHMARK_CAPTURE(BM_BuildWriteRequest, trace_to_dev_null, true);

// The receive framer fed as the communication thread feeds it: a piece per
// read, a look for a complete frame after each.
void BM_AssembleReply(benchmark::State& state) {
  const std::size_t chunk = static_cast<std::size_t>(state.range(0));
  const FrameBuffer reply = extendedReply();
  const std::size_t length = extendedImage().bytes.size() + kFrameOverhead;
  FrameAssembler assembler;
  FrameBuffer out;
  for (auto _ : state) {
    std::size_t got = 0;
    for (std::size_t at = 0; at < length && got == 0; at += chunk) {
      const std::size_t n = std::min(chunk, length - at);
      std::memcpy(assembler.freeSpace().data(), reply.data() + at, n);
      assembler.commit(n);
      got = assembler.takeFrame(out);
    }
    if (got != length) {
      state.SkipWithError("the reply was not assembled");
      break;
    }
    benchmark::DoNotOptimize(out.data());
  }
  state.SetLabel(chunk == kReplyChunk ? "FrameAssembler: 3401-byte reply arriving in 64-byte reads"
                                      : "FrameAssembler: 3401-byte reply arriving in one read");
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * length));
}
BENCHMARK(BM_AssembleReply)->Arg(kReplyChunk)->Arg(4096)->ArgName("chunk");

}  // namespace
}  // namespace pelmora::bench
