#pragma once
// The trace sink that writes lines: "Tracker:hh:mm:ss " + message + CR LF,
// each line written whole to a stdio stream (nullptr drops everything).
// Usable from any thread.

#include <cstdio>
#include <mutex>
#include <string_view>

#include "link/clock.h"
#include "link/trace.h"

namespace pelmora {

class TraceWriter final : public TraceSink {
 public:
  // Neither the clock nor the stream is owned; both must outlive the writer.
  TraceWriter(Clock& clock, std::FILE* out) : clock_(clock), out_(out) {}

  void trace(std::string_view message) override;

 private:
  Clock& clock_;
  std::FILE* out_;
  std::mutex lineMutex_;  // keeps the lines of different threads whole
};

}  // namespace pelmora
