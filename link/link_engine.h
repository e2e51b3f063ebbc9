#pragma once
// The conversation with the tracker.
//
// Three kinds of work share the state below:
//  - the communication thread (started once) is the only one that writes to
//    the line: it takes the requests queued by the others (handshake, "Read
//    Settings", "Write Settings"), collects reply frames and acts on them;
//  - scan threads ("Scan Ports") try ports 0..99 until a tracker answers;
//  - the window's thread queues requests and opens the port the user picked.
//
// What the engine claims follows what happened on the current port:
//  - every port change (a choice, a scan step, a hang-up) ends the on-line
//    state with one off-line report; a frame from an earlier port is dropped;
//  - a read or write is sent only to a port whose tracker answered a
//    handshake since it was opened;
//  - a read or write is outstanding until its reply or its deadline (7000 ms
//    from sending); a reply nobody waits for is ignored with one line;
//  - a settings reply that is damaged (checksum), incomplete or of an unknown
//    layout is not loaded, and no write goes out until a read succeeds.
// No request is ever resent.
//
// Everything the engine tells the user goes through TrackerWindow, delivered
// synchronously. communicationPass(), serviceRequests() and scanStep() run
// one step on the calling thread, so tests drive the engine on a fake clock and port.
//
// The engine coordinates parts that do one job each: LineReader (reading
// the line, cutting frames), LineWriter (requests onto the line),
// OutstandingRequests (the read and write waiting for their reply, and
// their deadlines), PortScan ("Scan Ports"), SettingsExchange (the image
// between model and line), EngineNotifier (what the window is told) and
// WorkerThreads.

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <span>
#include <string>

#include "link/clock.h"
#include "link/engine_notifier.h"
#include "link/line_reader.h"
#include "link/line_writer.h"
#include "link/outstanding_request.h"
#include "link/packet.h"
#include "link/port_scan.h"
#include "link/request_queue.h"
#include "link/serial_port.h"
#include "link/settings_exchange.h"
#include "link/trace.h"
#include "link/tracker_events.h"
#include "link/worker_threads.h"
#include "settings/shared_settings.h"

namespace pelmora {

inline constexpr std::uint32_t kHandshakeTimeoutMs = 4000;

struct EngineOptions {
  // Off for a tracker whose firmware computes the reply checksum differently.
  bool checkReplyChecksum = true;
};

class LinkEngine final : private ScanLink {
 public:
  LinkEngine(SerialPort& port, Clock& clock, TrackerWindow& window, SharedSettings& settings, TraceSink* trace,
             EngineOptions options = {});
  ~LinkEngine();  // stops and joins every thread it started
  LinkEngine(const LinkEngine&) = delete;
  LinkEngine& operator=(const LinkEngine&) = delete;

  // --- Threads ---------------------------------------------------------
  void startCommunication();  // once, when the window initialises
  // "Scan Ports": a scan from port 0. A scan already running ends at its
  // next check; the new one starts once it has ended. Only one runs at a time.
  void startScan();
  // A port selection by the user: a running scan ends at its next check.
  void stopScan() { scan_.stop(); }
  // Asks every thread to end without waiting for them...
  void requestStop();
  // ...and true once they all have (joined). The window keeps handling
  // notifications between polls, since senders wait for it.
  bool tryJoinAll() { return workers_.joinFinished(); }
  void shutdown();  // requestStop() and join

  // --- Requests (any thread; the communication thread sends them) -------
  void runHandshake();
  void requestReadSettings();
  // Without settings that may be written (none read yet, or the last read
  // refused) logs one line and queues nothing. Otherwise runs `savePages`
  // (the pages store their controls into the model) and the encode under
  // the settings lock, and queues the write request.
  void requestWriteSettings(const std::function<void(SettingsModel&)>& savePages);
  // Settings from elsewhere (a saved image) as if read: false, with nothing
  // changed, for an image the codec refuses.
  bool loadSettings(std::span<const std::uint8_t> image) { return settings_.load(image); }
  // Closes the current port, opens `port` and queues a handshake. A running
  // scan that has been stopped no longer opens or closes anything, so the
  // port chosen by the user stays open. Fails as SerialPort::open, whose
  // failure kinds a plain-words log line explains (link/open_failure_text.h).
  OpenStatus openTrackerPort(int port);
  // The device the last failed open of `port` tried, for that line.
  std::string lastOpenFailureDevice(int port) const { return port_.lastOpenFailureDevice(port); }

  // --- Single steps, for the threads and for tests ---------------------
  void communicationPass();
  // Sends what is queued (the communication thread's part of each wait);
  // true when a request was taken.
  bool serviceRequests();
  ScanStep scanStep(ScanState& scan) { return scan_.step(scan, *this); }
  ScanState newScan() { return scan_.begin(); }  // what startScan does before its thread runs

  // --- Shared link state --------------------------------------------------
  int currentPort() const { return currentPort_.load(); }
  bool trackerOnline() const { return trackerOnline_.load() != 0; }
  // Raised when the tracker goes on or off line and at every port change,
  // for one thread outside that waits for either (a TrackerSession).
  Wakeup& onlineChanged() { return onlineChanged_; }
  std::uint32_t replyTimeoutMs() const { return replyTimeoutMs_.load(); }
  int scanStopFlag() const { return scan_.stopFlag(); }
  // The last read was decoded and no refused one followed: a write may go out.
  bool settingsWritable() const { return settings_.writable(); }
  // Settings were read on this port and the tracker stayed on line since:
  // a write goes to the tracker they came from.
  bool trackerSameSinceRead() const {
    const std::uint32_t read = readEpoch_.load();
    return read != 0 && read == portEpoch_.load();
  }

 private:
  enum class Received { Frame, TimedOut, PortGone };

  // ScanLink
  Opened openForScan(int port, const ScanState& scan) override;
  Answer trackerAnswered(const ScanState& scan) override;

  void handleReply(const TrackerReply& reply, std::span<const std::uint8_t> frame);
  void handleSettingsReply(const TrackerReply& reply);
  void countDamaged(bool damaged);
  void reportOffline();
  bool noticePortChange();  // true when the port changed since the last call
  void portDisconnected(int port);
  void changePort(int port);  // the caller holds portLock_
  void setOnline(bool online);
  void pauseBetweenPasses();
  void sendQueued(const QueuedRequest& request, std::span<const std::uint8_t> writeFrame);
  // A handshake or read built here, or the write request `writeFrame`, to the current port.
  SendStatus send(CommandType type, std::span<const std::uint8_t> writeFrame = {});
  Received receiveFrame(std::size_t& frameLength);
  // What the port's open answered; nothing when `scan` was stopped first
  // and no port was touched.
  std::optional<OpenStatus> openPort(int port, const ScanState* scan);

  SerialPort& port_;
  Clock& clock_;
  TraceSink* trace_;
  const EngineOptions options_;

  std::atomic<int> currentPort_{kNoPort};
  // Counts port changes; a request or frame belongs to the epoch it was made in.
  std::atomic<std::uint32_t> portEpoch_{1};
  std::atomic<std::uint32_t> answeredEpoch_{0};  // the epoch whose tracker answered a handshake
  std::atomic<std::uint32_t> readEpoch_{0};      // the epoch settings were read in; 0 after an off-line report
  std::atomic<std::uint32_t> replyTimeoutMs_{5000};
  RequestQueue requests_;
  std::atomic<int> trackerOnline_{0};
  Wakeup onlineChanged_;
  std::atomic<bool> stopping_{false};
  std::atomic<bool> communicationStarted_{false};

  EngineNotifier notifier_;
  SettingsExchange settings_;
  PortScan scan_{notifier_, clock_, stopping_};

  // Communication thread only.
  std::uint32_t seenEpoch_ = 1;  // the port epoch the on-line state was last reported for
  // Damaged replies in a row on this port epoch; two in a row say once how to turn the check off.
  std::uint32_t damagedInARow_ = 0;
  OutstandingRequests outstanding_;
  LineReader reader_{port_, clock_, trace_};
  LineWriter writer_{port_, trace_};
  FrameBuffer sendFrame_{};
  FrameBuffer replyFrame_{};
  TrackerReply reply_{};

  // Opening and closing ports one at a time, the epoch with them, and a
  // scan's check that it is still the current one before it touches a port.
  mutable std::mutex portLock_;
  WorkerThreads workers_;  // last: its threads end before the rest goes
};

}  // namespace pelmora
