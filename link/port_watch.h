#pragma once
// Waits for serial ports to come or go, for a program that takes each
// tracker as it is plugged in (the station). On Linux udev's events say when
// a tty appears or goes, and inotify on the folders of the given paths says
// when a link there appears or goes (a /dev/serial/by-id link, or a link to a
// pseudo-terminal, which udev never hears of); a folder that does not exist
// yet is covered by looking again after a while (port_watch_linux.cpp).
// Elsewhere nothing tells: the caller looks again after a while
// (port_watch_polled.cpp: Windows' COM list).

#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "link/wakeup.h"

namespace pelmora {

class PortWatch {
 public:
  virtual ~PortWatch() = default;
  // Until a serial device or one of the paths may have come or gone, or
  // `wake` was raised (true), or `ms` have passed (false). Called from one
  // thread only.
  virtual bool wait(Wakeup& wake, std::uint32_t ms) = 0;
  // How long to wait before looking again though nothing told of a change.
  virtual std::uint32_t lookAgainMs() const = 0;
};

// `paths`: the device paths whose coming and going matters.
std::unique_ptr<PortWatch> makePortWatch(std::span<const std::string> paths);

}  // namespace pelmora
