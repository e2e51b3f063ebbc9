#pragma once
// The conversation with the tracker.
//
// Three kinds of work share the state below:
//  - the communication thread (started once) collects reply frames and acts
//    on them: handshake replies keep the on-line state, a settings reply is
//    decoded into the model, a write reply is logged;
//  - scan threads ("Scan Ports") try ports 0..99 until a tracker answers;
//  - request procedures on the window's thread: the handshake every second,
//    "Read Settings", "Write Settings", opening the port the user picked.
// Replies are dispatched by their own command, never matched to requests,
// and no request is ever resent.
//
// Everything the engine tells the user goes through TrackerWindow, delivered
// synchronously. communicationPass() and scanStep() run one step on the
// calling thread, so tests drive the engine on a fake clock and port.

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <span>
#include <thread>
#include <vector>

#include "link/clock.h"
#include "link/frame_assembler.h"
#include "link/packet.h"
#include "link/serial_port.h"
#include "link/trace.h"
#include "link/tracker_events.h"
#include "settings/shared_settings.h"

namespace pelmora {

inline constexpr int kNoPort = -1;
inline constexpr int kScanPortCount = kLastPortNumber + 1;  // ports 0..99, as the chooser lists them
inline constexpr std::uint32_t kHandshakeTimeoutMs = 4000;
inline constexpr std::uint32_t kRequestTimeoutMs = 7000;

// Where a scan stands between two steps.
struct ScanState {
  std::uint32_t generation = 0;  // the scan press this state belongs to
  int port = 0;          // the port tried next, or being waited on
  int checksLeft = 0;    // > 0 while waiting for a handshake reply on `port`
  bool pauseNext = false;  // the step just made was a check: 500 ms before the next
};

enum class ScanStep {
  Continue,  // call again (after 500 ms when ScanState::pauseNext)
  Found,     // "Tracker is on port %d" and the chooser selection were sent
  Exhausted, // all ports tried: "Tracker is off line "
  Stopped,   // scanStop, a newer scan, or shutdown
};

enum class ReceiveResult {
  Frame,     // a complete frame is in replyFrame
  TimedOut,  // replyTimeoutMs passed with no frame
  PortGone,  // the port was closed, changed or disconnected during the wait
};

class LinkEngine {
 public:
  LinkEngine(SerialPort& port, Clock& clock, TrackerWindow& window, SharedSettings& settings, TraceSink* trace);
  ~LinkEngine();  // stops and joins every thread it started
  LinkEngine(const LinkEngine&) = delete;
  LinkEngine& operator=(const LinkEngine&) = delete;

  // --- Threads ---------------------------------------------------------
  void startCommunication();  // once, when the window initialises
  // "Scan Ports": a scan from port 0. A scan already running ends at its
  // next check; the new one starts once it has ended. Only one runs at a time.
  void startScan();
  // A port selection by the user: a running scan ends at its next check.
  void stopScan() { scanStop_.store(1); }
  // Asks every thread to end without waiting for them...
  void requestStop();
  // ...and true once they all have (joined). The window keeps handling
  // notifications between polls, since senders wait for it.
  bool tryJoinAll();
  void shutdown();  // requestStop() and join

  // --- Request procedures (the window's thread; a scan also opens ports) --
  void runHandshake();
  void requestReadSettings();
  // Runs `savePages` (the pages store their controls into the model) and the
  // encode under the settings lock, then sends the write request.
  void requestWriteSettings(const std::function<void(SettingsModel&)>& savePages);
  bool openTrackerPort(int port);
  // Why the last open of `port` failed, for a plain-words log line.
  OpenFailure lastOpenFailure(int port) const { return port_.lastOpenFailure(port); }

  // --- Single steps, for the threads and for tests ---------------------
  void communicationPass();
  ScanStep scanStep(ScanState& scan);
  ScanState newScan();  // what startScan does before its thread runs
  void scanPorts(ScanState scan);  // a scan thread's body: scanStep until it ends
  // 0 when written, 1 when nothing was written (no frame, no port).
  int sendPacket(std::span<const std::uint8_t> frame);
  ReceiveResult receiveFrame(std::size_t& frameLength);

  // --- Shared link state --------------------------------------------------
  int currentPort() const { return currentPort_.load(); }
  bool trackerOnline() const { return trackerOnline_.load() != 0; }
  bool onlineShown() const { return onlineShown_.load() != 0; }
  std::uint32_t replyTimeoutMs() const { return replyTimeoutMs_.load(); }
  bool sendBusy() const { return sendBusy_.load() != 0; }
  int scanStopFlag() const { return scanStop_.load(); }
  std::span<const std::uint8_t> replyFrame() const { return replyFrame_; }

 private:
  void postLog(std::u16string_view text);
  void postLogf(const char* format, ...) __attribute__((format(printf, 2, 3)));
  void notify(int kind, std::int32_t value);
  void handleReply(const TrackerReply& reply);
  void reportOffline();
  void portDisconnected(int port);
  void closePort(int port);
  void sleepUnlessStopping(std::uint32_t ms);
  int sendRequest(CommandType type);

  SerialPort& port_;
  Clock& clock_;
  TrackerWindow& window_;
  SharedSettings& settings_;
  TraceSink* trace_;

  std::atomic<int> currentPort_{kNoPort};
  std::atomic<std::uint32_t> replyTimeoutMs_{5000};
  std::atomic<std::uint64_t> requestDeadlineMs_{0};  // 7000 ms after the last read or write request went out
  std::atomic<int> sendBusy_{0};
  std::atomic<int> trackerOnline_{0};
  std::atomic<int> onlineShown_{0};
  std::atomic<int> scanStop_{0};
  std::atomic<std::uint32_t> scanGeneration_{0};
  std::atomic<bool> stopping_{false};

  // Communication thread only.
  FrameBuffer replyFrame_{};
  FrameAssembler assembler_;
  int assemblerPort_ = kNoPort;
  TrackerReply reply_{};

  std::mutex portLock_;     // opening and closing ports: one at a time
  std::mutex scanRunLock_;  // held by the one scan that runs
  struct Worker {
    std::thread thread;
    std::unique_ptr<std::atomic<bool>> done;
  };
  void startWorker(std::function<void()> body);
  void joinFinishedWorkers();  // the caller holds workersLock_
  std::mutex workersLock_;  // the list of threads below
  std::vector<Worker> workers_;
  bool communicationStarted_ = false;
};

}  // namespace pelmora
