#include "link/trace_writer.h"

#include <cstdio>
#include <cstring>

namespace pelmora {

void TraceWriter::trace(std::string_view message) {
  if (out_ == nullptr) return;
  const TimeOfDay time = clock_.localTime();
  char line[512];
  const int prefix = std::snprintf(line, sizeof line, "Tracker:%02d:%02d:%02d ", time.hour, time.minute, time.second);
  if (prefix < 0) return;
  const std::size_t prefixLength = static_cast<std::size_t>(prefix);

  const std::lock_guard lock(lineMutex_);
  if (prefixLength + message.size() + 2 <= sizeof line) {
    // The usual case: one fwrite, so that the line is whole even beside other users of the stream.
    if (!message.empty()) std::memcpy(line + prefixLength, message.data(), message.size());
    std::memcpy(line + prefixLength + message.size(), "\r\n", 2);
    std::fwrite(line, 1, prefixLength + message.size() + 2, out_);
  } else {
    std::fwrite(line, 1, prefixLength, out_);
    std::fwrite(message.data(), 1, message.size(), out_);
    std::fwrite("\r\n", 1, 2, out_);
  }
  std::fflush(out_);
}

}  // namespace pelmora
