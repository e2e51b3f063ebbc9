#pragma once
// The settings image between the shared model and the line: a read reply
// decoded into the model, the model encoded into a write request, an image
// from elsewhere loaded as if read; and whether what the model holds may be
// written (the last read or load was decoded, and no refused read followed).
// Each decode and encode runs under the settings lock.

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>

#include "link/packet.h"
#include "link/trace.h"
#include "link/tracker_events.h"
#include "settings/result.h"
#include "settings/shared_settings.h"

namespace pelmora {

class SettingsExchange {
 public:
  SettingsExchange(SharedSettings& settings, TraceSink* trace) : settings_(settings), trace_(trace) {}

  // A settings reply's data into the model; writable() follows the result.
  DecodeResult decodeReply(std::span<const std::uint8_t> data);
  // A damaged settings reply: nothing may be written until a read succeeds.
  void refuse() { writable_.store(false); }
  // False, with nothing changed, for an image the codec refuses.
  bool load(std::span<const std::uint8_t> image);
  // When settings may be written: runs `savePages` (the pages store their
  // controls into the model), encodes the model and builds the write request
  // into `frame`, all under one lock, so that a late read reply cannot be
  // decoded in between. The request's length, or NoSettings with nothing
  // run or built: nothing may be written, or the codec refused the model.
  Result<std::size_t, RequestOutcome, StaticMessage> buildWriteRequest(
      const std::function<void(SettingsModel&)>& savePages, FrameBuffer& frame);
  bool writable() const { return writable_.load(); }

 private:
  SharedSettings& settings_;
  TraceSink* trace_;
  std::atomic<bool> writable_{false};
};

}  // namespace pelmora
