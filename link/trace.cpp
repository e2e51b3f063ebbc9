#include "link/trace.h"

#include <cstdarg>
#include <cstdio>
#include <string_view>

namespace pelmora {

void tracef(TraceSink* sink, const char* format, ...) {
  if (sink == nullptr) return;
  char buffer[1024];
  va_list args;
  va_start(args, format);
  const int written = std::vsnprintf(buffer, sizeof buffer, format, args);
  va_end(args);
  if (written < 0) return;
  // A longer message is cut to the buffer.
  const std::size_t length = static_cast<std::size_t>(written) < sizeof buffer ? static_cast<std::size_t>(written)
                                                                               : sizeof buffer - 1;
  sink->trace(std::string_view(buffer, length));
}

}  // namespace pelmora
