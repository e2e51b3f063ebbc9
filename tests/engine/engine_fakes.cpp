#include "tests/engine/engine_fakes.h"

#include <algorithm>

#include "link/packet.h"

namespace pelmora::testing {

PortResult<std::size_t> ScriptedPort::doRead(int port, std::span<std::uint8_t> buffer) {
  if (!openPorts.count(port)) return std::size_t{0};
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
  return n;
}

void RecordingWindow::trackerEvent(TrackerEvent kind, std::int32_t value, std::u16string_view text) {
  static const char* const prefixes[] = {"log:", "select:", "buttons:", "progress:"};  // by kind
  if (kind == TrackerEvent::Progress && !recordProgress) return;
  record(prefixes[static_cast<int>(kind)] + (kind == TrackerEvent::Log ? std::string(text.begin(), text.end()) : std::to_string(value)));
}

std::vector<std::string> RecordingWindow::events() const {
  const std::lock_guard<std::mutex> hold(mutex_);
  return events_;
}

std::vector<std::string> RecordingWindow::take() {
  const std::lock_guard<std::mutex> hold(mutex_);
  return std::exchange(events_, {});
}

void RecordingWindow::after(std::string event, std::function<void()> action) {
  const std::lock_guard<std::mutex> hold(mutex_);
  hooks_.emplace_back(std::move(event), std::move(action));
}

void RecordingWindow::record(std::string event) {
  std::function<void()> action;
  {
    const std::lock_guard<std::mutex> hold(mutex_);
    const auto hook = std::find_if(hooks_.begin(), hooks_.end(), [&](const auto& h) { return h.first == event; });
    if (hook != hooks_.end()) {
      action = std::move(hook->second);
      hooks_.erase(hook);
    }
    events_.push_back(std::move(event));
  }
  if (action) action();  // outside the lock: it may notify again
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

}  // namespace pelmora::testing
