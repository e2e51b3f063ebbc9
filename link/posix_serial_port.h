#pragma once
// SerialPort on POSIX termios. Port numbers name devices through a
// PortMapConfig, looked up afresh at every open.
//
//   open   exclusive (flock: a port that another program holds is Busy), raw
//          9600 8N1 without flow control, VMIN = VTIME = 0, both queues
//          purged, DTR and RTS asserted (a pseudo-terminal has no modem
//          lines, which is not a failure)
//   read   what is queued, never waiting; a hang-up (the peer of a
//          pseudo-terminal closed, a USB adapter pulled) is Disconnected
//   write  waits while the device is full, at most (19200 / baud) ms per byte
//          (TimedOut); a hang-up while it waits is Disconnected
//   close  drops DTR, purges both queues, restores the line settings found at open
//
// Opening the number of an already open port fails with Busy; prepare leaves
// an open port as it is.

#include <termios.h>

#include <cstdint>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "link/port_map.h"
#include "link/port_slot.h"
#include "link/serial_port.h"

namespace pelmora {

class PosixSerialPort final : public SerialPort {
 public:
  explicit PosixSerialPort(PortMapConfig config = {});
  ~PosixSerialPort() override;  // closes the ports still open
  PosixSerialPort(const PosixSerialPort&) = delete;
  PosixSerialPort& operator=(const PosixSerialPort&) = delete;

  // Takes effect at the next open; safe while other threads use the ports.
  void setPortMap(PortMapConfig config);
  PortMapConfig portMap() const;
  // The device that an open of `port` would use now.
  std::optional<std::string> devicePathFor(int port) const;

 private:
  using Slot = PortSlot<int, -1, termios>;

  static void closeSlot(Slot& s);  // the caller holds s.mutex

  PortStatus doPrepare(int port) override {
    slots_[port].prepare(port);
    return {};
  }
  OpenStatus doOpen(int port) override;
  PortResult<std::size_t> doRead(int port, std::span<std::uint8_t> buffer) override;
  PortStatus doWrite(int port, std::span<const std::uint8_t> bytes) override;
  PortStatus doClose(int port) override;
  std::string doLastOpenFailureDevice(int port) const override;
  bool doWaitReadable(int port, std::uint32_t ms, Wakeup* wake) override;
  // The whole map as opens use it now. Numbers the scan gave stay with their
  // devices from one call to the next while the devices stay present.
  std::vector<PortMapping> doCurrentMap() const override;

  mutable std::mutex configMutex_;  // the map may be replaced, and is resolved, while another thread opens a port
  PortMapConfig config_;
  mutable std::vector<PortMapping> lastMap_;  // what the last resolution handed out
  PortSlots<Slot> slots_;
};

}  // namespace pelmora
