#pragma once
// A synchronous front over one link engine: open a port, wait for the
// tracker, read its settings, write an image; each call returns what
// happened. For a command-line front and for tests; several sessions in one
// process (one per port) share nothing mutable.
//
// The engine's thread runs behind it. Calls are made from one thread.

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "link/clock.h"
#include "link/link_engine.h"
#include "link/serial_port.h"
#include "link/trace.h"
#include "link/tracker_events.h"
#include "settings/shared_settings.h"

namespace pelmora {

// What a front may follow while a call waits, from the engine's thread.
struct SessionHooks {
  std::function<void(std::u16string_view)> log;  // each line the engine logs
  std::function<void(std::uint32_t)> progress;   // milliseconds waited for a reply
};

class TrackerSession {
 public:
  TrackerSession(SerialPort& port, Clock& clock, TraceSink* trace = nullptr, EngineOptions options = {},
                 SessionHooks hooks = {});
  ~TrackerSession();  // ends the engine's thread

  // Asked every 20 ms while a wait that may be given up goes on: true ends
  // the wait (a front that was asked to stop). Empty: never.
  using GiveUp = std::function<bool()>;

  // The port opened (its handshake is on its way), or why not: the kinds of
  // SerialPort::open.
  OpenStatus open(int port);
  // A tracker answered a handshake within `limitMs` (one handshake a second);
  // true as soon as it has, false as soon as the port has hung up or
  // `giveUp` ended the wait.
  bool waitForTracker(std::uint32_t limitMs, const GiveUp& giveUp = {});

  // A read or write that did not end Done fails with how it ended; the
  // message is, for a settings reply not loaded, the engine's own words
  // ("incomplete (100 of 3180 bytes)"), otherwise a few words for the kind.
  using Failure = Error<RequestOutcome>;

  struct TrackerSettings {
    std::vector<std::uint8_t> image;  // as the tracker sent it
    SettingsModel model;              // decoded from it
  };
  // The tracker's settings, or NoReply, NotSent, Damaged, Incomplete,
  // UnknownLayout; GivenUp when `giveUp` ended the wait first (the engine
  // ends the request itself).
  Result<TrackerSettings, RequestOutcome> read(const GiveUp& giveUp = {});
  // Writes `image` (3180 or 3384 bytes; an Extended header goes as zeros):
  // Refused, NoReply, NotSent, or NoSettings for an image the codec
  // refuses. Never given up: once a write is on its way the caller learns
  // how it ended.
  Status<RequestOutcome> write(std::span<const std::uint8_t> image);

  // Every line the engine logged, in order.
  std::vector<std::u16string> log() const;

 private:
  class Listener final : public TrackerWindow {
   public:
    explicit Listener(SessionHooks hooks) : hooks_(std::move(hooks)) {}
    void trackerEvent(TrackerEvent kind, std::int32_t value, std::u16string_view text) override;
    void settingsReady() override {}
    void requestFinished(std::int32_t type, RequestOutcome outcome) override;
    void settingsNotLoaded(RequestOutcome outcome, std::string_view why) override;

    void expect(std::int32_t type);  // before the request goes out
    // How the request ended, or nothing when `giveUp` said so first.
    std::optional<RequestOutcome> wait(std::int32_t type, const GiveUp& giveUp = {});
    std::string notLoaded() const;  // what settingsNotLoaded said about the awaited read
    std::vector<std::u16string> log() const;

   private:
    const SessionHooks hooks_;
    mutable std::mutex lock_;  // everything below: the engine's thread reports, the caller waits
    std::condition_variable finished_;
    std::int32_t awaited_ = 0;
    bool done_ = false;
    RequestOutcome outcome_ = RequestOutcome::NotSent;
    std::string notLoaded_;
    std::vector<std::u16string> log_;
  };

  Clock& clock_;
  SharedSettings settings_;
  Listener listener_;
  LinkEngine engine_;
};

}  // namespace pelmora
