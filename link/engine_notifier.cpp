#include "link/engine_notifier.h"

#include <algorithm>
#include <array>
#include <cstdarg>
#include <cstdio>

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
  char narrow[256];
  va_list args;
  va_start(args, format);
  const int n = std::vsnprintf(narrow, sizeof narrow, format, args);
  va_end(args);
  if (n < 0) return;
  const std::size_t length = std::min(static_cast<std::size_t>(n), sizeof narrow - 1);
  char16_t wide[sizeof narrow];
  for (std::size_t i = 0; i < length; ++i) wide[i] = static_cast<char16_t>(static_cast<unsigned char>(narrow[i]));
  log(std::u16string_view(wide, length));
}

void EngineNotifier::notLoaded(RequestOutcome outcome, const char* format, ...) {
  char why[128];
  va_list args;
  va_start(args, format);
  const int n = std::vsnprintf(why, sizeof why, format, args);
  va_end(args);
  const std::size_t length = n < 0 ? 0 : std::min(static_cast<std::size_t>(n), sizeof why - 1);
  window_.settingsNotLoaded(outcome, std::string_view(why, length));
  finished(ReadSettings, outcome);
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
      notLoaded(RequestOutcome::Incomplete, "incomplete (%zu of %zu bytes)", data.size(),
                settingsLayoutSize(layoutWord));
      return;
    default:
      logf("Unknown setting layout %x, tracker's setting not loaded!", layoutWord);
      notLoaded(RequestOutcome::UnknownLayout, "of an unknown layout %x", layoutWord);
      return;
  }
}

void EngineNotifier::settingsDamaged(const FrameChecksum& checksum) {
  logf("Settings reply damaged (checksum %04x, expected %04x), tracker's setting not loaded!", checksum.carried,
       checksum.computed);
  notLoaded(RequestOutcome::Damaged, "damaged (checksum %04x, expected %04x)", checksum.carried, checksum.computed);
}

}  // namespace pelmora
