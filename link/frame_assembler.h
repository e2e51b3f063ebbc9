#pragma once
// Collects bytes from the line until a complete frame stands in them.
//
// A frame starts with "@@" or "$$", carries its total length (17..4096)
// big-endian at +2 and ends with CR LF. Bytes before a frame are noise and
// dropped; bytes after it are kept for the next frame, so two replies that
// arrive in one read are both delivered. Fixed 4096-byte storage.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

#include "link/packet.h"

namespace pelmora {

class FrameAssembler {
 public:
  static constexpr std::size_t kCapacity = kMaxFrameSize;

  // Where the next read goes; never more than what still fits.
  std::span<std::uint8_t> freeSpace() { return std::span(bytes_).subspan(count_); }
  // Takes `count` bytes that were just read into freeSpace().
  void commit(std::size_t count);

  // Moves the first complete frame to the start of `out` and returns its
  // length, or returns 0 when none is complete yet.
  std::size_t takeFrame(FrameBuffer& out);

  // True when a frame has begun whose length is plausible but whose bytes
  // have not all arrived yet: a reply is on its way.
  bool holdsFrameStart() const;

  bool full() const { return count_ == kCapacity; }
  // The storage is full without a complete frame: drop the bytes before the
  // next frame start (all of them if there is none).
  void discardStale();

  void clear() { count_ = 0; }
  std::size_t size() const { return count_; }

 private:
  void dropFront(std::size_t n);

  std::array<std::uint8_t, kCapacity> bytes_{};
  std::size_t count_ = 0;
};

}  // namespace pelmora
