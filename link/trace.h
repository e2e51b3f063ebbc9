#pragma once
// The diagnostic trace: a developer's record of every step of the link,
// never shown to the user. A sink receives one message at a time, without
// the time prefix; TraceWriter (trace_writer.h) adds "Tracker:hh:mm:ss "
// and CR LF and puts the line where it belongs.

#include <string_view>

namespace pelmora {

class TraceSink {
 public:
  virtual ~TraceSink() = default;
  // May be called from any thread.
  virtual void trace(std::string_view message) = 0;
};

// printf-style convenience; formats into a fixed buffer (no allocation).
// A null sink drops the message.
void tracef(TraceSink* sink, const char* format, ...) __attribute__((format(printf, 2, 3)));

}  // namespace pelmora
