#pragma once
// The log line that says in plain words why a port the user picked did not
// open; it follows the link's own "Fail to open port %d".

#include <optional>
#include <string>

#include "app/formatted_text.h"
#include "link/open_failure_detail.h"
#include "link/serial_port.h"

namespace pelmora {

// Nothing for OpenFailure::None.
std::optional<FormattedText> openFailureText(OpenFailure failure, int port);

// The same sentence followed by what the detail adds: who holds a busy port
// and how to send ModemManager away, how to join the device's group, which
// plugged-in adapter brltty takes. "" for OpenFailure::None.
std::string openFailureReason(const OpenFailureDetail& detail, int port);

}  // namespace pelmora
