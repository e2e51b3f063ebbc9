#include "link/trace.h"

#include <cstdarg>

#include "link/formatted_text.h"

namespace pelmora {

void tracef(TraceSink* sink, const char* format, ...) {
  if (sink == nullptr) return;
  char buffer[1024];  // a longer message is cut
  va_list args;
  va_start(args, format);
  const std::optional<std::string_view> message = vformatInto(buffer, format, args);
  va_end(args);
  if (message) sink->trace(*message);
}

}  // namespace pelmora
