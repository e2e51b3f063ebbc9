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

Result<std::size_t, RequestOutcome, StaticMessage> SettingsExchange::buildWriteRequest(
    const std::function<void(SettingsModel&)>& savePages, FrameBuffer& frame) {
  const Error<RequestOutcome, StaticMessage> noSettings{RequestOutcome::NoSettings, "no settings to write"};
  std::lock_guard<std::mutex> hold(settings_.lock);
  if (!writable_.load()) return noSettings;
  if (savePages) savePages(settings_.model);
  CommandRequest request = makeRequest(WriteSettings);
  request.settingsImage = settings_.codec.encodeSettingsBlock(settings_.model);
  if (request.settingsImage.empty()) return noSettings;
  const FrameResult<std::size_t> length = buildRequest(request, frame, trace_);
  if (!length) return noSettings;
  return *length;
}

}  // namespace pelmora
