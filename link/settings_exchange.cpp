#include "link/settings_exchange.h"

namespace pelmora {

DecodeResult SettingsExchange::decodeReply(std::span<const std::uint8_t> data) {
  DecodeResult decoded;
  {
    std::lock_guard<std::mutex> hold(settings_.lock);
    decoded = settings_.codec.decodeSettingsBlock(data, settings_.model);
  }
  writable_.store(decoded == DecodeResult::Decoded);
  return decoded;
}

bool SettingsExchange::load(std::span<const std::uint8_t> image) {
  std::lock_guard<std::mutex> hold(settings_.lock);
  if (settings_.codec.decodeSettingsBlock(image, settings_.model) != DecodeResult::Decoded) return false;
  writable_.store(true);
  return true;
}

std::size_t SettingsExchange::buildWriteRequest(const std::function<void(SettingsModel&)>& savePages,
                                                FrameBuffer& frame) {
  std::size_t length = 0;
  std::lock_guard<std::mutex> hold(settings_.lock);
  if (!writable_.load()) return 0;
  if (savePages) savePages(settings_.model);
  CommandRequest request = makeRequest(WriteSettings);
  request.settingsImage = settings_.codec.encodeSettingsBlock(settings_.model);
  if (!request.settingsImage.empty()) buildRequest(request, frame, length, trace_);
  return length;
}

}  // namespace pelmora
