#pragma once
// What the simulated tracker answers, without a line: request bytes in,
// reply bytes out, and the record of what reached it. The tracker on a
// pseudo-terminal (sim_tracker.h) and the loopback serial port
// (loopback_serial_port.h) both answer through it; each paces the bytes on
// its own line.
//
// Answers, each a "$$" frame carrying the request's tracker id:
//   Handshake      0x8803  one data byte 0x01
//   ReadSettings   0x8801  the settings image as data
//   WriteSettings  0x8802  one data byte 0x01; the written image is stored and
//                          becomes what the next read returns (an Extended
//                          image keeps its own magic and firmware text)
// Only "@@" requests with a correct checksum and a known command are answered.
//
// receive() and answer() are called by the line's side, one thread at a
// time; every other call may be made from any thread.

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "sim/request_framer.h"

namespace pelmora::sim {

inline constexpr std::uint16_t kReadSettingsCommand = 0x8801;
inline constexpr std::uint16_t kWriteSettingsCommand = 0x8802;
inline constexpr std::uint16_t kHandshakeCommand = 0x8803;

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
  std::string linkPath;             // on a pseudo-terminal: a symbolic link kept pointing at the current slave
  std::string saveWritesTo;         // if set: every stored written image is also saved to this file
  SimBehaviour behaviour;
  std::function<void(std::string_view)> log;  // one line per request and reply, from the line's thread
};

// What goes on the line for one request.
struct Answer {
  std::vector<std::uint8_t> bytes;  // the echo, the noise, then the reply frame
  std::size_t replyStart = 0;       // where the reply frame starts in `bytes`
  SimBehaviour behaviour;           // as it stood when the answer was made: how to pace it
};

class RequestAnswerer {
 public:
  explicit RequestAnswerer(const SimOptions& options);
  RequestAnswerer(const RequestAnswerer&) = delete;
  RequestAnswerer& operator=(const RequestAnswerer&) = delete;

  // Bytes that came in on the line: counted and cut into requests. Returns
  // the requests to answer, in order (bad and unknown ones are only counted).
  std::vector<ReceivedRequest> receive(std::span<const std::uint8_t> bytes);
  // What to send for `request` under the behaviour of the moment; nothing
  // when the tracker keeps silent (counted as suppressed). A write is stored here.
  std::optional<Answer> answer(const ReceivedRequest& request);
  // Forgets a request cut off by the line going away.
  void clearPartial() { framer_.clear(); }

  // What the line did with the answers, for the counters.
  void countReplySent();
  void countWriteCall();
  void countHangUp();
  void log(std::string_view line) const;

  void setBehaviour(const SimBehaviour& behaviour);
  SimBehaviour behaviour() const;
  // False (nothing changed) for an empty image or one above 4079 bytes.
  bool setImage(std::vector<std::uint8_t> image);
  std::vector<std::uint8_t> image() const;

  SimCounters counters() const;
  // Waits until `done` holds for the counters or `limit` passes; returns whether it held.
  bool waitFor(const std::function<bool(const SimCounters&)>& done, std::chrono::milliseconds limit) const;
  // The data of the last stored WriteSettings request (empty before any).
  std::vector<std::uint8_t> writtenImage() const;
  bool saveWrittenImage(const std::string& path) const;

 private:
  std::vector<std::uint8_t> replyTo(const ReceivedRequest& request, const SimBehaviour& behaviour);
  void storeWrittenImage(std::span<const std::uint8_t> data, bool takeAsSettings);
  template <typename Change>
  void count(Change change);

  const std::string saveWritesTo_;
  const std::function<void(std::string_view)> log_;
  RequestFramer framer_;  // the line's side only

  // The tracker's record, shared between the line's side and the callers.
  mutable std::mutex mutex_;
  mutable std::condition_variable changed_;  // the counters changed
  SimBehaviour behaviour_;
  std::vector<std::uint8_t> image_;
  std::vector<std::uint8_t> written_;
  SimCounters counters_;
};

}  // namespace pelmora::sim
