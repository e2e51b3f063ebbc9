#pragma once
// A simulated tracker on the master side of a pseudo-terminal, for tests,
// benchmarks and the demo. Point the tool at devicePath() (or at the stable
// link path) and it talks to this tracker as to a real one.
//
// Answers, each a "$$" frame carrying the request's tracker id:
//   Handshake      0x8803  one data byte 0x01
//   ReadSettings   0x8801  the settings image as data
//   WriteSettings  0x8802  one data byte 0x01; the written image is stored and
//                          becomes what the next read returns (an Extended
//                          image keeps its own magic and firmware text)
// Only "@@" requests with a correct checksum and a known command are answered.
// Replies go out one at a time, paced like a serial line at `baud` with 10
// bits per byte (3.4 KB take about 3.5 s at 9600); requests that arrive while
// a reply is under way are answered afterwards, in order.
//
// Every call may be made from any thread while the tracker runs.

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "sim/pseudo_terminal.h"
#include "sim/request_framer.h"

namespace pelmora::sim {

// How the tracker misbehaves. A change applies from the next reply on.
struct SimBehaviour {
  std::uint32_t baud = 9600;              // pacing of replies; 0 = as fast as the line takes them
  bool silent = false;                    // answer nothing (requests are still counted)
  std::uint32_t replyDelayMs = 0;         // start a reply no sooner than this after its request came
  bool echo = false;                      // send each request back before its reply
  std::size_t noiseBytes = 0;             // this many noise bytes (never '$' or '@') before each reply
  std::size_t writeSize = 0;              // hand replies to the line in writes of at most this many bytes (0: any)
  std::uint32_t writeGapMs = 0;           // pause after each such write
  bool badChecksum = false;               // replies carry a wrong checksum
  bool badSettingsChecksum = false;       // settings replies carry a wrong checksum
  bool ignoreReads = false;               // no reply to ReadSettings (handshakes still answered)
  bool ignoreWrites = false;              // no reply to WriteSettings, and nothing stored
  bool refuseWrites = false;              // write replies carry status 0x00, and nothing is stored
  bool forgetWrites = false;              // write replies carry status 0x01, but the settings stay as they were
  bool unknownLayout = false;             // settings replies start 05 00 86 F6 instead of the image's first word
  std::optional<std::size_t> shortImage;  // settings replies carry only the image's first n bytes
};

struct SimCounters {
  std::uint64_t handshakes = 0;       // requests seen, by type
  std::uint64_t readSettings = 0;
  std::uint64_t writeSettings = 0;
  std::uint64_t unknownCommands = 0;  // well-formed requests with another command (not answered)
  std::uint64_t badChecksums = 0;     // requests with a wrong checksum (not answered)
  std::uint64_t bytesReceived = 0;    // everything that came in, garbage included
  std::uint64_t repliesSent = 0;      // replies sent in full
  std::uint64_t repliesSuppressed = 0;  // requests left unanswered (silent, or reads or writes ignored)
  std::uint64_t writeCalls = 0;       // writes made to the line (echo and noise included)
  std::uint64_t hangUps = 0;
};

struct SimOptions {
  std::vector<std::uint8_t> image;  // what ReadSettings returns; empty = the Basic demo image
  std::string linkPath;             // if set: a symbolic link kept pointing at the current slave
  std::string saveWritesTo;         // if set: every stored written image is also saved to this file
  SimBehaviour behaviour;
  std::function<void(std::string_view)> log;  // one line per request and reply, from the tracker's thread
};

class SimTracker {
 public:
  explicit SimTracker(SimOptions options = {});
  ~SimTracker();  // stop()
  SimTracker(const SimTracker&) = delete;
  SimTracker& operator=(const SimTracker&) = delete;

  // Makes the pseudo-terminal (and the link) and starts the tracker's thread.
  // False, with errorText() saying why, when that fails.
  bool start();
  // Ends the thread, closes the pseudo-terminal and removes the link.
  void stop();
  std::string errorText() const;

  // The slave device, e.g. "/dev/pts/3"; empty while hung up.
  std::string devicePath() const;
  const std::string& linkPath() const { return options_.linkPath; }

  void setBehaviour(const SimBehaviour& behaviour);
  SimBehaviour behaviour() const;
  // False (nothing changed) for an empty image or one above 4079 bytes.
  bool setImage(std::vector<std::uint8_t> image);
  std::vector<std::uint8_t> image() const;

  // Closes the master at once, like a pulled cable: the tool sees a hang-up.
  // Pending requests are dropped. Returns when done.
  void hangUp();
  // Hangs up after the first `bytes` bytes of the next settings reply frame,
  // once the tool has read them (or at the latest 3 s later): a hang-up
  // discards what the tool has not read yet.
  void hangUpDuringNextSettingsReply(std::size_t bytes);
  // A new pseudo-terminal (a new devicePath()), the link re-pointed at it.
  // Also works while not hung up. Returns when done; false if no pseudo-terminal could be made.
  bool comeBack();

  SimCounters counters() const;
  // Waits until `done` holds for the counters or `limit` passes; returns whether it held.
  bool waitFor(const std::function<bool(const SimCounters&)>& done, std::chrono::milliseconds limit) const;
  // The data of the last stored WriteSettings request (empty before any).
  std::vector<std::uint8_t> writtenImage() const;
  bool saveWrittenImage(const std::string& path) const;

 private:
  enum class Action { HangUp, ComeBack };
  struct Job {
    ReceivedRequest request;
    std::chrono::steady_clock::time_point arrival;
  };
  struct Transmission {
    std::vector<std::uint8_t> bytes;
    std::size_t sent = 0;
    std::optional<std::size_t> hangUpAt;  // hang up once this many bytes went out and were read
    std::optional<std::chrono::steady_clock::time_point> cutSince;   // when hangUpAt was reached
    std::optional<std::chrono::steady_clock::time_point> readSince;  // since when the tool has read everything
    std::chrono::steady_clock::time_point started;
    std::chrono::steady_clock::time_point nextWriteAt;
    SimBehaviour behaviour;
    bool active() const { return sent < bytes.size() || hangUpAt.has_value(); }
  };

  void run();
  bool openLine(std::string& error);  // on the tracker's thread, or before it runs
  void closeLine();
  void performActions();
  void receive();
  void startReply(Job& job);
  int sendSome(std::chrono::steady_clock::time_point now);  // returns the poll timeout in ms
  std::vector<std::uint8_t> replyTo(const ReceivedRequest& request, const SimBehaviour& behaviour);
  void storeWrittenImage(std::span<const std::uint8_t> data, bool takeAsSettings);
  void logLine(std::string_view line);
  void wake();

  SimOptions options_;

  // Touched by the tracker's thread only (and by start/stop around it).
  PseudoTerminal line_;
  RequestFramer framer_;
  std::deque<Job> jobs_;
  Transmission tx_;
  int wakeRead_ = -1;
  int wakeWrite_ = -1;
  std::thread thread_;

  // Guards everything below, shared between the tracker's thread and callers.
  mutable std::mutex mutex_;
  mutable std::condition_variable changed_;  // counters changed, actions done, or the thread ended
  bool running_ = false;
  bool stopRequested_ = false;
  std::string devicePath_;
  std::string error_;
  SimBehaviour behaviour_;
  std::vector<std::uint8_t> image_;
  std::vector<std::uint8_t> written_;
  std::optional<std::size_t> hangUpDuringSettings_;
  SimCounters counters_;
  std::deque<Action> actions_;
  std::uint64_t actionsRequested_ = 0;
  std::uint64_t actionsDone_ = 0;
  bool lastComeBackOk_ = true;
};

}  // namespace pelmora::sim
