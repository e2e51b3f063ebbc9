#pragma once
// SerialPort on the Win32 communications API. Port n is Windows' own COMn,
// opened as "\\.\COMn" (the form that also reaches COM10 and above).
//
//   open   exclusive (Windows shares a COM port with nobody: another
//          program's port is Busy), 9600 8N1 without flow control through
//          the device control block, 4096-byte queues, reads that never wait
//          (interval time-out at its maximum, the read totals zero), writes
//          bounded by 19200 / baud ms per byte, both queues purged, DTR and
//          RTS raised (a port without modem lines, such as a pseudo-terminal
//          under Wine, refuses that, which is not a failure)
//   read   what ClearCommError reports queued, never waiting; the errors
//          Windows gives for a removed device are Disconnected
//   write  one WriteFile; success only when every byte went out before the
//          time-out (else TimedOut), as on POSIX
//   close  drops DTR, purges both queues, restores the settings found at open
//
// Opening the number of an already open port fails with Busy; prepare leaves
// an open port as it is. The current map is the COM ports Windows lists for
// the device manager (HKLM\HARDWARE\DEVICEMAP\SERIALCOMM), in range, by number.

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "link/port_slot.h"
#include "link/serial_port.h"

namespace pelmora {

// The COM ports present, as Windows lists them for the device manager
// (HKLM\HARDWARE\DEVICEMAP\SERIALCOMM: one value a port, its data "COM3"),
// in ascending order, each as \\.\COMn.
std::vector<PortMapping> listedComPorts();

class Win32SerialPort final : public SerialPort {
 public:
  Win32SerialPort();
  ~Win32SerialPort() override;  // closes the ports still open
  Win32SerialPort(const Win32SerialPort&) = delete;
  Win32SerialPort& operator=(const Win32SerialPort&) = delete;

  // "\\.\COM5" for 5.
  static std::wstring devicePathFor(int port);

 private:
  // The device control block and time-outs found at open, restored at close;
  // kept as bytes so that this header needs no <windows.h>.
  struct SavedLine {
    alignas(8) std::array<std::uint8_t, 64> dcb{};
    alignas(8) std::array<std::uint8_t, 32> timeouts{};
  };

  using Slot = PortSlot<void*, nullptr, SavedLine>;

  static void closeSlot(Slot& s);  // the caller holds s.mutex

  PortStatus doPrepare(int port) override {
    slots_[port].prepare(port);
    return {};
  }
  OpenStatus doOpen(int port) override;
  PortResult<std::size_t> doRead(int port, std::span<std::uint8_t> buffer) override;
  PortStatus doWrite(int port, std::span<const std::uint8_t> bytes) override;
  PortStatus doClose(int port) override;
  std::vector<PortMapping> doCurrentMap() const override;

  PortSlots<Slot> slots_;
};

}  // namespace pelmora
