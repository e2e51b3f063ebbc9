#include "link/frame_assembler.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "tests/engine/engine_fakes.h"

namespace pelmora {
namespace {

using testing::Bytes;
using testing::cat;
using testing::replyFrame;

void feed(FrameAssembler& a, const Bytes& bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    auto space = a.freeSpace();
    const std::size_t n = std::min(space.size(), bytes.size() - done);
    ASSERT_GT(n, 0u);
    std::copy_n(bytes.begin() + static_cast<std::ptrdiff_t>(done), n, space.begin());
    a.commit(n);
    done += n;
  }
}

TEST(FrameAssembler, FindsFramesAmongNoiseAndKeepsWhatFollows) {
  struct Case {
    const char* label;
    Bytes input;
    std::vector<std::size_t> frames;  // lengths delivered, in order
  };
  const Bytes hs = replyFrame(0x8803, {0x01});
  const Bytes read = replyFrame(0x8801, Bytes(3384, 0x41));
  Bytes noCrLf = hs;
  noCrLf[noCrLf.size() - 1] = 'X';
  const Case cases[] = {
      {"one frame", hs, {18}},
      {"noise before", cat({Bytes{0x00, 0x24, 0x0D, 0x0A, 0x40}, hs}), {18}},
      {"two frames in one read", cat({hs, hs}), {18, 18}},
      {"echo then reply", cat({testing::kReadRequest, read}), {17, 3401}},
      {"no CR LF at the end", noCrLf, {}},
      {"length below a frame, CR LF where it says", Bytes{'$', '$', 0x00, 0x06, '\r', '\n', 0, 0}, {}},
      {"cut-off frame", Bytes(hs.begin(), hs.end() - 1), {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    FrameAssembler a;
    feed(a, c.input);
    FrameBuffer out{};
    std::vector<std::size_t> got;
    while (std::size_t n = a.takeFrame(out)) got.push_back(n);
    EXPECT_EQ(got, c.frames);
  }
}

TEST(FrameAssembler, TellsAFrameOnItsWayAndRecoversFromOverflow) {
  FrameAssembler a;
  const Bytes read = replyFrame(0x8801, Bytes(3384, 0x41));
  feed(a, Bytes(read.begin(), read.begin() + 3));
  EXPECT_TRUE(a.holdsFrameStart());  // marker seen, length still to come
  feed(a, Bytes(read.begin() + 3, read.begin() + 100));
  EXPECT_TRUE(a.holdsFrameStart());
  a.clear();
  feed(a, Bytes(100, 0x55));
  EXPECT_FALSE(a.holdsFrameStart());

  // Noise that fills the storage is dropped; a frame start inside it survives.
  a.clear();
  feed(a, cat({Bytes(3000, 0x55), Bytes(read.begin(), read.begin() + 1096)}));
  ASSERT_TRUE(a.full());
  FrameBuffer out{};
  EXPECT_EQ(a.takeFrame(out), 0u);
  a.discardStale();
  EXPECT_EQ(a.size(), 1096u);
  feed(a, Bytes(read.begin() + 1096, read.end()));
  EXPECT_EQ(a.takeFrame(out), 3401u);
  EXPECT_TRUE(std::equal(read.begin(), read.end(), out.begin()));

  a.clear();
  feed(a, Bytes(4096, 0x55));
  a.discardStale();
  EXPECT_EQ(a.size(), 0u);
}

}  // namespace
}  // namespace pelmora
