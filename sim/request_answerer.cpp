#include "sim/request_answerer.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <utility>

#include "link/packet.h"
#include "settings/settings_codec.h"
#include "sim/demo_images.h"

namespace pelmora::sim {
namespace {

constexpr std::size_t kMaxReplyImageSize = kMaxFrameSize - kFrameOverhead;
constexpr std::array<std::uint8_t, 4> kUnknownMagic = {0x05, 0x00, 0x86, 0xF6};

// A "$$" frame with the given id bytes (from the request), command and data.
std::vector<std::uint8_t> replyFrame(std::span<const std::uint8_t> id, std::uint16_t command,
                                     std::span<const std::uint8_t> data, bool badChecksum) {
  const std::size_t length = data.size() + kFrameOverhead;
  std::vector<std::uint8_t> frame;
  frame.reserve(length);
  frame.assign({'$', '$', static_cast<std::uint8_t>(length >> 8), static_cast<std::uint8_t>(length & 0xFF)});
  frame.insert(frame.end(), id.begin(), id.end());
  frame.push_back(static_cast<std::uint8_t>(command >> 8));
  frame.push_back(static_cast<std::uint8_t>(command & 0xFF));
  frame.insert(frame.end(), data.begin(), data.end());
  std::uint16_t crc = crc16(frame);
  if (badChecksum) crc = static_cast<std::uint16_t>(~crc);
  frame.insert(frame.end(), {static_cast<std::uint8_t>(crc >> 8), static_cast<std::uint8_t>(crc & 0xFF), '\r', '\n'});
  return frame;
}

// Deterministic line noise that can never start a frame.
std::uint8_t noiseByte(std::size_t i) {
  const auto b = static_cast<std::uint8_t>((i * 37 + 11) & 0xFF);
  return (b == '$' || b == '@') ? 0x00 : b;
}

const char* requestName(std::uint16_t command) {
  switch (command) {
    case kHandshakeCommand: return "handshake";
    case kReadSettingsCommand: return "read settings";
    case kWriteSettingsCommand: return "write settings";
    default: return "unknown command";
  }
}

}  // namespace

RequestAnswerer::RequestAnswerer(const SimOptions& options)
    : saveWritesTo_(options.saveWritesTo), log_(options.log), behaviour_(options.behaviour), image_(options.image) {
  if (image_.empty() || image_.size() > kMaxReplyImageSize) image_ = basicDemoImage();
}

template <typename Change>
void RequestAnswerer::count(Change change) {
  {
    const std::lock_guard lock(mutex_);
    change(counters_);
  }
  changed_.notify_all();
}

void RequestAnswerer::countReplySent() { count([](SimCounters& c) { ++c.repliesSent; }); }
void RequestAnswerer::countWriteCall() { count([](SimCounters& c) { ++c.writeCalls; }); }
void RequestAnswerer::countHangUp() { count([](SimCounters& c) { ++c.hangUps; }); }

void RequestAnswerer::log(std::string_view line) const {
  if (log_) log_(line);
}

std::vector<ReceivedRequest> RequestAnswerer::receive(std::span<const std::uint8_t> bytes) {
  framer_.append(bytes);
  count([&](SimCounters& c) { c.bytesReceived += bytes.size(); });
  std::vector<ReceivedRequest> toAnswer;
  while (std::optional<ReceivedRequest> request = framer_.next()) {
    bool answerIt = false;
    count([&](SimCounters& c) {
      if (!request->checksumOk) {
        ++c.badChecksums;
        return;
      }
      switch (request->command) {
        case kHandshakeCommand: ++c.handshakes; answerIt = true; break;
        case kReadSettingsCommand: ++c.readSettings; answerIt = true; break;
        case kWriteSettingsCommand: ++c.writeSettings; answerIt = true; break;
        default: ++c.unknownCommands; break;
      }
    });
    char line[96];
    std::snprintf(line, sizeof line, "request: %s, %zu bytes%s", requestName(request->command), request->frame.size(),
                  request->checksumOk ? "" : ", wrong checksum (ignored)");
    log(line);
    if (answerIt) toAnswer.push_back(std::move(*request));
  }
  return toAnswer;
}

std::optional<Answer> RequestAnswerer::answer(const ReceivedRequest& request) {
  const SimBehaviour behaviour = this->behaviour();
  const bool ignored = (behaviour.ignoreReads && request.command == kReadSettingsCommand) ||
                       (behaviour.ignoreWrites && request.command == kWriteSettingsCommand);
  if (behaviour.silent || ignored) {
    count([](SimCounters& c) { ++c.repliesSuppressed; });
    log("silent: no reply");
    return std::nullopt;
  }

  const std::vector<std::uint8_t> reply = replyTo(request, behaviour);
  Answer answer;
  answer.behaviour = behaviour;
  if (behaviour.echo) answer.bytes = request.frame;
  for (std::size_t i = 0; i < behaviour.noiseBytes; ++i) answer.bytes.push_back(noiseByte(i));
  answer.replyStart = answer.bytes.size();
  answer.bytes.insert(answer.bytes.end(), reply.begin(), reply.end());

  char line[96];
  std::snprintf(line, sizeof line, "reply: %s, %zu bytes", requestName(request.command), reply.size());
  log(line);
  return answer;
}

std::vector<std::uint8_t> RequestAnswerer::replyTo(const ReceivedRequest& request, const SimBehaviour& behaviour) {
  const std::span<const std::uint8_t> id = std::span(request.frame).subspan(4, 7);
  std::vector<std::uint8_t> data;
  switch (request.command) {
    case kHandshakeCommand:
      data = {0x01};
      break;
    case kReadSettingsCommand:
      data = image();
      if (behaviour.unknownLayout) std::copy_n(kUnknownMagic.begin(), std::min(data.size(), kUnknownMagic.size()), data.begin());
      if (behaviour.shortImage && *behaviour.shortImage < data.size()) data.resize(*behaviour.shortImage);
      break;
    case kWriteSettingsCommand:
      if (behaviour.refuseWrites) {
        data = {0x00};
      } else {
        storeWrittenImage(request.data(), !behaviour.forgetWrites);
        data = {0x01};
      }
      break;
    default:
      break;
  }
  const bool damaged = behaviour.badChecksum || (behaviour.badSettingsChecksum && request.command == kReadSettingsCommand);
  return replyFrame(id, request.command, data, damaged);
}

void RequestAnswerer::storeWrittenImage(std::span<const std::uint8_t> data, bool takeAsSettings) {
  {
    const std::lock_guard lock(mutex_);
    written_.assign(data.begin(), data.end());
    // A write of the tracker's own layout becomes its settings; the tracker
    // keeps its header, magic and firmware text (a written block has zeros there).
    if (takeAsSettings && !data.empty() && data.size() == image_.size()) {
      const LayoutInfo* layout = layoutOfMagic(settingsLayoutWord(image_));
      const std::size_t from = layout != nullptr && layout->headerSize < image_.size() ? layout->headerSize : 0;
      std::copy(data.begin() + static_cast<std::ptrdiff_t>(from), data.end(), image_.begin() + static_cast<std::ptrdiff_t>(from));
    }
  }
  if (!saveWritesTo_.empty() && !saveImageFile(saveWritesTo_, writtenImage()))
    log("cannot save the written image to " + saveWritesTo_);
}

void RequestAnswerer::setBehaviour(const SimBehaviour& behaviour) {
  const std::lock_guard lock(mutex_);
  behaviour_ = behaviour;
}

SimBehaviour RequestAnswerer::behaviour() const {
  const std::lock_guard lock(mutex_);
  return behaviour_;
}

bool RequestAnswerer::setImage(std::vector<std::uint8_t> image) {
  if (image.empty() || image.size() > kMaxReplyImageSize) return false;
  const std::lock_guard lock(mutex_);
  image_ = std::move(image);
  return true;
}

std::vector<std::uint8_t> RequestAnswerer::image() const {
  const std::lock_guard lock(mutex_);
  return image_;
}

SimCounters RequestAnswerer::counters() const {
  const std::lock_guard lock(mutex_);
  return counters_;
}

bool RequestAnswerer::waitFor(const std::function<bool(const SimCounters&)>& done,
                              std::chrono::milliseconds limit) const {
  std::unique_lock lock(mutex_);
  return changed_.wait_for(lock, limit, [&] { return done(counters_); });
}

std::vector<std::uint8_t> RequestAnswerer::writtenImage() const {
  const std::lock_guard lock(mutex_);
  return written_;
}

bool RequestAnswerer::saveWrittenImage(const std::string& path) const { return saveImageFile(path, writtenImage()); }

}  // namespace pelmora::sim
