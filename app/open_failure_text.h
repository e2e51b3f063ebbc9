#pragma once
// The log line that says in plain words why a port the user picked did not
// open; it follows the link's own "Fail to open port %d".

#include <optional>

#include "app/formatted_text.h"
#include "link/serial_port.h"

namespace pelmora {

// Nothing for OpenFailure::None.
std::optional<FormattedText> openFailureText(OpenFailure failure, int port);

}  // namespace pelmora
