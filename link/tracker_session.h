#pragma once
// One tracker on one port, synchronously: each call returns when its
// exchange with the tracker is over. The command-line tool's front on the
// link engine; the engine does the talking, as it does for the window.
//
// A session owns its serial port, settings, engine and the engine's thread,
// so several sessions in one process (one per port) share nothing mutable.
//
//     TrackerSession session(std::move(port), options);
//     if (auto r = session.connect(5); !r.ok()) fail(r.message);
//     if (auto r = session.readSettings(); !r.ok()) fail(r.message);
//     session.withSettings([](const SettingsCodec& codec, const SettingsModel& model) { ... });
//     if (auto r = session.writeSettings(target); !r.ok()) fail(r.message);

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

#include "link/clock.h"
#include "link/link_engine.h"
#include "link/serial_port.h"
#include "link/trace.h"
#include "settings/shared_settings.h"

namespace pelmora {

enum class SessionStatus {
  Ok,
  PortUnusable,  // the port did not open (no device, busy, no permission)
  NoTracker,     // nothing answered the handshake
  Failed,        // the tracker did not answer the request, refused it, or sent what cannot be used
};

struct SessionResult {
  SessionStatus status = SessionStatus::Ok;
  std::string message;  // plain words; empty when Ok
  OpenFailure openFailure = OpenFailure::None;  // PortUnusable: why
  bool ok() const { return status == SessionStatus::Ok; }
};

struct SessionOptions {
  TraceSink* trace = nullptr;
  EngineOptions engine;
  // Every line the engine logs, from the engine's thread (--verbose).
  std::function<void(std::u16string_view)> log;
  // Milliseconds waited for a reply, from the engine's thread.
  std::function<void(std::uint32_t)> progress;
};

class TrackerSession final : private TrackerWindow {
 public:
  TrackerSession(std::unique_ptr<SerialPort> port, SessionOptions options);
  ~TrackerSession() override;  // stops the engine's thread, closes the port
  TrackerSession(const TrackerSession&) = delete;
  TrackerSession& operator=(const TrackerSession&) = delete;

  // Opens `port` and waits (handshaking every second, as the window does)
  // until the tracker answers or the handshake's 4000 ms have passed.
  SessionResult connect(int port);
  // The whole settings image, decoded into this session's settings.
  SessionResult readSettings();
  // Writes the settings read last with `target`'s changes laid over them.
  SessionResult writeSettings(const SettingsModel& target);

  // Runs `use` with this session's codec and model, under their lock.
  void withSettings(const std::function<void(const SettingsCodec&, const SettingsModel&)>& use);

  SerialPort& serialPort() { return *port_; }

 private:
  void trackerEvent(int kind, std::int32_t value, std::u16string_view text) override;
  void settingsReady() override {}
  void requestEnded(CommandType type, RequestEnd end) override;
  SessionResult waitForEnd(CommandType type, std::uint32_t limitMs);

  std::unique_ptr<SerialPort> port_;
  SessionOptions options_;
  SystemClock clock_;
  SharedSettings settings_;

  std::mutex lock_;  // the state below, which the engine's thread reports into
  std::condition_variable changed_;
  bool online_ = false;
  std::optional<RequestEnd> readEnd_;
  std::optional<RequestEnd> writeEnd_;
  std::string lastLine_;  // the engine's last log line: why a request ended as it did

  LinkEngine engine_;  // last: its thread stops before the members it reports into go
};

}  // namespace pelmora
