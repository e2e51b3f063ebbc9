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

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <thread>
#include <vector>

#include "link/clock.h"
#include "link/frame_assembler.h"
#include "link/packet.h"
#include "link/request_queue.h"
#include "link/serial_port.h"
#include "link/trace.h"
#include "link/tracker_events.h"
#include "settings/shared_settings.h"

namespace pelmora {

inline constexpr int kNoPort = -1;
inline constexpr int kScanPortCount = kLastPortNumber + 1;  // ports 0..99, as the chooser lists them
inline constexpr std::uint32_t kHandshakeTimeoutMs = 4000;
inline constexpr std::uint32_t kRequestTimeoutMs = 7000;

struct EngineOptions {
  // Off for a tracker whose firmware computes the reply checksum differently.
  bool checkReplyChecksum = true;
};

// sendPacket's results.
inline constexpr int kSendOk = 0;          // written whole
inline constexpr int kSendNothing = 1;     // no frame, or no port open
inline constexpr int kSendIncomplete = 2;  // the port refused the frame, cut it short, or changed meanwhile

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
  void stopScan() { scanStop_.store(1); }
  // Asks every thread to end without waiting for them...
  void requestStop();
  // ...and true once they all have (joined). The window keeps handling
  // notifications between polls, since senders wait for it.
  bool tryJoinAll();
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
  bool loadSettings(std::span<const std::uint8_t> image);
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
  ScanStep scanStep(ScanState& scan);
  ScanState newScan();  // what startScan does before its thread runs
  void scanPorts(ScanState scan);  // a scan thread's body: scanStep until it ends
  // kSendOk, kSendNothing or kSendIncomplete. The communication thread only.
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
  // The last read was decoded and no refused one followed: a write may go out.
  bool settingsWritable() const { return settingsWritable_.load(); }
  // Settings were read on this port and the tracker stayed on line since:
  // a write goes to the tracker they came from.
  bool trackerSameSinceRead() const {
    const std::uint32_t read = readEpoch_.load();
    return read != 0 && read == portEpoch_.load();
  }

 private:
  void postLog(std::u16string_view text);
  void postLogf(const char* format, ...) __attribute__((format(printf, 2, 3)));
  void notify(int kind, std::int32_t value);
  struct Outstanding {
    bool active = false;
    std::uint64_t deadlineMs = 0;
  };

  void handleReply(const TrackerReply& reply, std::span<const std::uint8_t> frame);
  void handleSettingsReply(const TrackerReply& reply);
  void reportOffline();
  void restoreButtons();
  bool noticePortChange();  // true when the port changed since the last call
  void expireOutstanding(bool replyArriving);
  void portDisconnected(int port);
  void changePort(int port);  // the caller holds portLock_
  void sleepUnlessStopping(std::uint32_t ms);
  void pauseBetweenPasses();
  void sendQueued(const QueuedRequest& request, std::span<const std::uint8_t> writeFrame);
  int sendRequest(CommandType type);
  // What the port's open answered; nothing when `scan` was stopped first
  // and nothing was touched.
  std::optional<OpenStatus> openPort(int port, const ScanState* scan);
  bool scanIsCurrent(const ScanState& scan) const;

  SerialPort& port_;
  Clock& clock_;
  TrackerWindow& window_;
  SharedSettings& settings_;
  TraceSink* trace_;
  const EngineOptions options_;

  std::atomic<int> currentPort_{kNoPort};
  // Counts port changes; a request or frame belongs to the epoch it was made in.
  std::atomic<std::uint32_t> portEpoch_{1};
  std::atomic<std::uint32_t> answeredEpoch_{0};  // the epoch whose tracker answered a handshake
  std::atomic<std::uint32_t> readEpoch_{0};      // the epoch settings were read in; 0 after an off-line report
  std::atomic<bool> settingsWritable_{false};
  std::atomic<std::uint32_t> replyTimeoutMs_{5000};
  RequestQueue requests_;
  std::atomic<int> sendBusy_{0};
  std::atomic<int> trackerOnline_{0};
  std::atomic<int> onlineShown_{0};
  std::atomic<int> scanStop_{0};
  std::atomic<std::uint32_t> scanGeneration_{0};
  std::atomic<bool> stopping_{false};

  // Communication thread only.
  std::uint64_t requestDeadlineMs_ = 0;  // 7000 ms after the last read or write request went out
  std::uint32_t seenEpoch_ = 1;          // the port epoch the on-line state was last reported for
  Outstanding outstandingRead_;
  Outstanding outstandingWrite_;
  FrameBuffer sendFrame_{};
  FrameBuffer replyFrame_{};
  FrameAssembler assembler_;
  int assemblerPort_ = kNoPort;
  TrackerReply reply_{};

  // Opening and closing ports one at a time, the epoch with them, and a
  // scan's check that it is still the current one before it touches a port.
  mutable std::mutex portLock_;
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
