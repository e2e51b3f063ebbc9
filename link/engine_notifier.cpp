#include "link/engine_notifier.h"

#include <algorithm>
#include <array>
#include <cstdarg>
#include <optional>
#include <string_view>

#include "link/formatted_text.h"
#include "settings/utf.h"

namespace pelmora {
namespace {

struct EndWords {
  RequestEnd why;
  RequestOutcome outcome;
  std::u16string_view read;
  std::u16string_view write;
};

constexpr std::array kEndWords{
    EndWords{RequestEnd::NotAnswered, RequestOutcome::NotSent,
             u"Read settings: no tracker has answered on this port, nothing sent",
             u"Write settings: no tracker has answered on this port, nothing sent"},
    EndWords{RequestEnd::NotTaken, RequestOutcome::NotSent,
             u"Read settings: the port did not take the request, nothing asked",
             u"Write settings: the port did not take the whole request, nothing written"},
    EndWords{RequestEnd::NoReply, RequestOutcome::NoReply, u"Read settings: no reply from the tracker",
             u"Write settings: no reply from the tracker"},
};

}  // namespace

void EngineNotifier::logf(const char* format, ...) {
  std::array<char, 256> text;
  va_list args;
  va_start(args, format);
  const std::optional<std::string_view> line = vformatInto(text, format, args);
  va_end(args);
  if (line) log(utf16FromUtf8(*line));
}

void EngineNotifier::notLoaded(RequestOutcome outcome, const char* format, ...) {
  std::array<char, 128> why;
  va_list args;
  va_start(args, format);
  const std::optional<std::string_view> text = vformatInto(why, format, args);
  va_end(args);
  if (text) window_.settingsNotLoaded(outcome, *text);
}

void EngineNotifier::reportOnline() {
  if (onlineShown_) return;
  log(u"Tracker is on line");
  buttons(BUTTONS_ONLINE);
  onlineShown_ = true;
}

void EngineNotifier::reportOffline() {
  log(u"Tracker is off line");
  buttons(BUTTONS_OFFLINE);
  onlineShown_ = false;
}

void EngineNotifier::requestEnded(CommandType type, RequestEnd why) {
  const auto words = std::find_if(kEndWords.begin(), kEndWords.end(), [why](const EndWords& w) { return w.why == why; });
  log(type == ReadSettings ? words->read : words->write);
  if (onlineShown_) buttons(BUTTONS_ONLINE);
  finished(type, words->outcome);
}

void EngineNotifier::settingsRead(DecodeResult decoded, std::span<const std::uint8_t> data) {
  const std::uint32_t layoutWord = settingsLayoutWord(data);
  switch (decoded) {
    case DecodeResult::Decoded:
      log(u"Get Tracker's setting ok!");
      settingsReady();
      buttons(BUTTONS_SETTINGS_READ);
      progress(100);
      finished(ReadSettings, RequestOutcome::Done);
      return;
    case DecodeResult::Incomplete:
      logf("Tracker's setting incomplete (%zu of %zu bytes), not loaded!", data.size(), settingsLayoutSize(layoutWord));
      notLoaded(RequestOutcome::Incomplete, "incomplete (%zu of %zu bytes)", data.size(), settingsLayoutSize(layoutWord));
      finished(ReadSettings, RequestOutcome::Incomplete);
      return;
    default:
      logf("Unknown setting layout %x, tracker's setting not loaded!", layoutWord);
      notLoaded(RequestOutcome::UnknownLayout, "of an unknown layout %x", layoutWord);
      finished(ReadSettings, RequestOutcome::UnknownLayout);
      return;
  }
}

void EngineNotifier::settingsDamaged(const FrameChecksum& checksum) {
  logf("Settings reply damaged (checksum %04x, expected %04x), tracker's setting not loaded!", checksum.carried,
       checksum.computed);
  notLoaded(RequestOutcome::Damaged, "damaged (checksum %04x, expected %04x)", checksum.carried, checksum.computed);
  finished(ReadSettings, RequestOutcome::Damaged);
}

}  // namespace pelmora
