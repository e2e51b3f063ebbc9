#pragma once
// The diagnostic trace of one run, written where the user asked, by its one
// owner in every program. "-" is standard error; any other path is opened
// for appending, so that a second run never destroys the trace of a first.
// The first line names the program and the date and time it opened the
// trace; then TraceWriter's lines follow. Every line is checked: closing
// says on standard error when anything was lost (StreamOutput), and
// StreamOutput::anyLost() turns true.
//
// trace() may be called from any thread; after close() it does nothing.
// Close after the last writer (the link engine's threads) has ended.

#include <atomic>
#include <memory>
#include <string>
#include <string_view>

#include "link/clock.h"
#include "link/stream_output.h"
#include "link/trace.h"
#include "link/trace_writer.h"

namespace pelmora {

class TraceFile final : public TraceSink {
 public:
  // The open trace, or why not, e.g. "/tmp: cannot write the trace there
  // (a directory)". `program` names the program in the first line.
  static OutputResult<TraceFile> open(const std::string& path, std::string_view program);
  ~TraceFile() override;
  TraceFile(const TraceFile&) = delete;
  TraceFile& operator=(const TraceFile&) = delete;

  void trace(std::string_view message) override;
  // Flushes and closes (the destructor does it too); false, after saying
  // so, when any line was lost.
  bool close();

 private:
  explicit TraceFile(std::unique_ptr<StreamOutput> out);

  std::unique_ptr<StreamOutput> out_;
  SystemClock clock_;
  TraceWriter writer_;
  std::atomic<bool> closed_{false};
};

}  // namespace pelmora
