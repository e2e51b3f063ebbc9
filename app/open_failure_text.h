#pragma once
// The log line that says in plain words why a port the user picked did not
// open; it follows the link's own "Fail to open port %d".

#include <string>

#include "link/open_failure_detail.h"
#include "link/serial_port.h"

namespace pelmora {

// The sentence for the failure, followed by what the detail adds: who holds
// a busy port and how to send ModemManager away, how to join the device's
// group, which plugged-in adapter brltty takes. "" for OpenFailure::None.
std::string openFailureReason(const OpenFailureDetail& detail, int port);

}  // namespace pelmora
