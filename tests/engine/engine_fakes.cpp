#include "tests/engine/engine_fakes.h"

#include <algorithm>

namespace pelmora::testing {

int ScriptedPort::doOpen(int port) {
  calls.push_back("open " + std::to_string(port));
  if (!openable.count(port)) return 0;
  openPorts.insert(port);
  return 1;
}

ReadResult ScriptedPort::doRead(int port, std::span<std::uint8_t> buffer) {
  if (disconnected[port]) return {0, true};
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

int ScriptedPort::doWrite(int port, std::span<const std::uint8_t> bytes) {
  writes.emplace_back(port, Bytes(bytes.begin(), bytes.end()));
  if (onWrite) onWrite(port, writes.back().second);
  return 1;
}

int ScriptedPort::doClose(int port) {
  calls.push_back("close " + std::to_string(port));
  openPorts.erase(port);
  return 1;
}

void RecordingWindow::trackerEvent(int kind, std::int32_t value, std::u16string_view text) {
  switch (kind) {
    case TRACKER_EVENT_LOG:
      events.push_back("log:" + std::string(text.begin(), text.end()));
      break;
    case TRACKER_EVENT_SELECT_PORT:
      events.push_back("select:" + std::to_string(value));
      break;
    case TRACKER_EVENT_BUTTONS:
      events.push_back("buttons:" + std::to_string(value));
      break;
    case TRACKER_EVENT_PROGRESS:
      if (recordProgress) events.push_back("progress:" + std::to_string(value));
      break;
    default:
      events.push_back("kind:" + std::to_string(kind));
  }
}

void RecordingWindow::settingsReady() {
  events.push_back("ready");
  if (onSettingsReady) onSettingsReady();
}

Bytes replyFrame(std::uint16_t command, const Bytes& data) {
  const std::size_t length = data.size() + 17;
  Bytes frame{'$', '$', static_cast<std::uint8_t>(length >> 8), static_cast<std::uint8_t>(length & 0xFF),
              0x11, 0x11, 0x11, 0x1F, 0xFF, 0xFF, 0xFF,
              static_cast<std::uint8_t>(command >> 8), static_cast<std::uint8_t>(command & 0xFF)};
  frame.insert(frame.end(), data.begin(), data.end());
  frame.insert(frame.end(), {0x00, 0x00, '\r', '\n'});
  return frame;
}

Bytes handshakeReply() { return replyFrame(0x8803, {0x01}); }

Bytes cat(std::initializer_list<Bytes> parts) {
  Bytes out;
  for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}

}  // namespace pelmora::testing
