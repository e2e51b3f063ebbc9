#pragma once
// What the link engine tells the window, in the window's words: log lines,
// the buttons, the chooser's selection, the progress bar, settings ready and
// the end of each read or write. It remembers whether "Tracker is on line"
// stands, so that each change of the on-line state is reported once.
//
// The on-line reports and the end of a request without its reply come from
// the communication thread alone, so they reach the window in the order the
// changes happened; log lines and the port selection come from any thread.

#include <cstdint>
#include <span>
#include <string_view>

#include "link/packet.h"
#include "link/tracker_events.h"
#include "settings/settings_codec.h"

namespace pelmora {

// Why a read or write ended without a reply.
enum class RequestEnd {
  NotAnswered,  // no tracker has answered on this port: not sent
  NotTaken,     // the port did not take the request whole
  NoReply,      // its 7000 ms passed
};

class EngineNotifier {
 public:
  explicit EngineNotifier(TrackerWindow& window) : window_(window) {}

  void log(std::u16string_view text) { window_.trackerEvent(TrackerEvent::Log, 0, text); }
  // ASCII, at most 255 characters.
  void logf(const char* format, ...) __attribute__((format(printf, 2, 3)));
  void progress(std::int32_t value) { event(TrackerEvent::Progress, value); }
  void selectPort(int port) { event(TrackerEvent::SelectPort, port); }
  void buttons(ButtonsState state) { event(TrackerEvent::Buttons, state); }
  void settingsReady() { window_.settingsReady(); }
  void finished(CommandType type, RequestOutcome outcome) { window_.requestFinished(type, outcome); }

  // --- Communication thread only --------------------------------------
  // "Tracker is on line" and the buttons for it, unless they stand already.
  void reportOnline();
  void reportOffline();
  bool onlineShown() const { return onlineShown_; }
  // A read or write ended without its reply: its line, the buttons back as
  // they were (Read on, and Write if settings may be written), and its end.
  void requestEnded(CommandType type, RequestEnd why);
  // A settings reply was decoded (`decoded`) from `data`: its line, and for
  // a decoded image the window's settings, buttons and a full progress bar;
  // for one not loaded, why not (settingsNotLoaded).
  void settingsRead(DecodeResult decoded, std::span<const std::uint8_t> data);
  void settingsDamaged(const FrameChecksum& checksum);

 private:
  void event(TrackerEvent kind, std::int32_t value) { window_.trackerEvent(kind, value, {}); }
  // Why a settings reply was not loaded, for a front that reports it in its own words.
  void notLoaded(RequestOutcome outcome, const char* format, ...) __attribute__((format(printf, 3, 4)));

  TrackerWindow& window_;
  bool onlineShown_ = false;
};

}  // namespace pelmora
