#pragma once
// A simulated tracker on the master side of a pseudo-terminal, for tests,
// benchmarks and the demo. Point the tool at devicePath() (or at the stable
// link path) and it talks to this tracker as to a real one.
//
// It answers as RequestAnswerer (request_answerer.h) says. Replies go out one at a time, paced like a serial line at `baud` with 10
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
#include "sim/request_answerer.h"

namespace pelmora::sim {

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
  const std::string& linkPath() const { return linkPath_; }

  void setBehaviour(const SimBehaviour& behaviour);
  SimBehaviour behaviour() const { return answers_.behaviour(); }
  // False (nothing changed) for an empty image or one above 4079 bytes.
  bool setImage(std::vector<std::uint8_t> image) { return answers_.setImage(std::move(image)); }
  std::vector<std::uint8_t> image() const { return answers_.image(); }

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

  // What reached the tracker: see RequestAnswerer.
  const RequestAnswerer& record() const { return answers_; }
  SimCounters counters() const { return answers_.counters(); }
  bool waitFor(const std::function<bool(const SimCounters&)>& done, std::chrono::milliseconds limit) const {
    return answers_.waitFor(done, limit);
  }
  std::vector<std::uint8_t> writtenImage() const { return answers_.writtenImage(); }
  bool saveWrittenImage(const std::string& path) const { return answers_.saveWrittenImage(path); }

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
  void wake();

  const std::string linkPath_;
  RequestAnswerer answers_;  // its own lock guards the record

  // Touched by the tracker's thread only (and by start/stop around it).
  PseudoTerminal line_;
  std::deque<Job> jobs_;
  Transmission tx_;
  int wakeRead_ = -1;
  int wakeWrite_ = -1;
  std::thread thread_;

  // Guards everything below, the line's state shared between the tracker's thread and callers.
  mutable std::mutex mutex_;
  mutable std::condition_variable changed_;  // actions done, or the thread ended
  bool running_ = false;
  bool stopRequested_ = false;
  std::string devicePath_;
  std::string error_;
  std::optional<std::size_t> hangUpDuringSettings_;
  std::deque<Action> actions_;
  std::uint64_t actionsRequested_ = 0;
  std::uint64_t actionsDone_ = 0;
  bool lastComeBackOk_ = true;
};

}  // namespace pelmora::sim
