#include "tests/engine/engine_fakes.h"

#include <algorithm>

#include "link/packet.h"

namespace pelmora::testing {

ReadResult ScriptedPort::doRead(int port, std::span<std::uint8_t> buffer) {
  if (!openPorts.count(port)) return {};
  std::size_t n = 0;
  auto& queue = incoming_[port];
  while (!queue.empty() && queue.front().at <= clock_.now && n < buffer.size()) {
    Bytes& bytes = queue.front().bytes;
    const std::size_t take = std::min(bytes.size(), buffer.size() - n);
    std::copy_n(bytes.begin(), take, buffer.begin() + static_cast<std::ptrdiff_t>(n));
    n += take;
    bytes.erase(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(take));
    if (bytes.empty()) queue.pop_front();
  }
  return {n, false};
}

void RecordingWindow::trackerEvent(int kind, std::int32_t value, std::u16string_view text) {
  if (kind == TRACKER_EVENT_LOG) {
    events.push_back("log:" + std::string(text.begin(), text.end()));
  } else if (kind != TRACKER_EVENT_PROGRESS || recordProgress) {
    static const std::map<int, std::string> names = {{TRACKER_EVENT_SELECT_PORT, "select:"},
                                                     {TRACKER_EVENT_BUTTONS, "buttons:"},
                                                     {TRACKER_EVENT_PROGRESS, "progress:"}};
    const auto name = names.find(kind);
    events.push_back(name != names.end() ? name->second + std::to_string(value) : "kind:" + std::to_string(kind));
  } else {
    return;
  }
  if (const auto hook = onEvent) hook(events.back());
}

Bytes replyFrame(std::uint16_t command, const Bytes& data) {
  const std::size_t length = data.size() + 17;
  Bytes frame{'$', '$', static_cast<std::uint8_t>(length >> 8), static_cast<std::uint8_t>(length & 0xFF),
              0x11, 0x11, 0x11, 0x1F, 0xFF, 0xFF, 0xFF,
              static_cast<std::uint8_t>(command >> 8), static_cast<std::uint8_t>(command & 0xFF)};
  const Bytes checked = cat({frame, data});
  const std::uint16_t crc = crc16(checked);
  return cat({checked, {static_cast<std::uint8_t>(crc >> 8), static_cast<std::uint8_t>(crc & 0xFF), '\r', '\n'}});
}

Bytes cat(std::initializer_list<Bytes> parts) {
  Bytes out;
  for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}

}  // namespace pelmora::testing
