#pragma once
// The sentence that says in plain words why a port did not open: the
// window's log line after the link's own "Fail to open port %d", and the
// command-line tool's failure for the port the user named.

#include <string>
#include <string_view>

#include "link/open_failure_detail.h"
#include "link/serial_port.h"

namespace pelmora {

// The sentence for the failure, followed by what the detail adds: who holds
// a busy port and how to send ModemManager away, how to join the device's
// group, which plugged-in adapter brltty takes.
// `port` is the port as the user knows it: "COM5", or the device path they wrote.
std::string openFailureReason(const OpenFailureDetail& detail, std::string_view port);

}  // namespace pelmora
