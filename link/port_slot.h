#pragma once
// The record a serial port keeps for each number, the same on every system
// but for its handle and what it saves of the line at open: the fixed line
// settings, whether the port is open, which device its last failed open tried, and the lock
// that makes open, close, read and write of the port exclude each other.

#include <array>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string>

#include "link/serial_port.h"

namespace pelmora {

template <typename Handle, Handle kNoHandle, typename SavedLine>
struct PortSlot {
  std::uint8_t portNumber = 0;
  std::uint32_t baudRate = 0;
  std::uint8_t byteSize = 0;
  std::uint8_t flowControl = 0;  // 0: no hardware or software handshake
  std::uint8_t parity = 0;       // 0: none
  std::uint8_t stopBits = 0;     // 0: one stop bit
  Handle handle = kNoHandle;
  int open = 0;
  SavedLine saved{};  // the line as found at open, restored at close
  std::string failedDevice;  // the device the last failed open tried; "" after an open that worked
  mutable std::mutex mutex;  // makes open, close, read and write of this port exclude each other

  // Back to the fixed settings unless open: resetting an open slot would lose
  // its handle and keep the device taken until exit, and an open port keeps
  // its fixed settings anyway.
  void prepare(int port) {
    const std::lock_guard lock(mutex);
    if (!open) reset(port);
  }

  // The fixed settings, closed; the caller holds `mutex` (or no other thread has the slot yet).
  void reset(int port) {
    portNumber = static_cast<std::uint8_t>(port);
    baudRate = kBaudRate;
    byteSize = 8;
    flowControl = 0;
    parity = 0;
    stopBits = 0;
    handle = kNoHandle;
    open = 0;
  }
};

// One slot for each of COM1 to COM99.
template <typename Slot>
class PortSlots {
 public:
  Slot& operator[](int port) { return slots_[static_cast<std::size_t>(port - kFirstPortNumber)]; }
  const Slot& operator[](int port) const { return slots_[static_cast<std::size_t>(port - kFirstPortNumber)]; }
  auto begin() { return slots_.begin(); }
  auto end() { return slots_.end(); }

 private:
  std::array<Slot, kLastPortNumber> slots_;
};

}  // namespace pelmora
