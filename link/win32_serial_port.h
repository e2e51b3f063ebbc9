#pragma once
// SerialPort on the Win32 communications API. Port n is Windows' own COMn,
// opened as "\\.\COMn" (the form that also reaches COM10 and above).
//
//   open   exclusive (Windows shares a COM port with nobody: another
//          program's port is Busy), 9600 8N1 without flow control through
//          the device control block, 4096-byte queues, reads that never wait
//          (interval time-out at its maximum, the others zero), both queues
//          purged, DTR and RTS raised (a port without modem lines, such as a
//          pseudo-terminal under Wine, refuses that, which is not a failure)
//   read   what ClearCommError reports queued, never waiting; the errors
//          Windows gives for a removed device set `disconnected`
//   write  WriteFile until every byte went out
//   close  drops DTR, purges both queues, restores the settings found at open
//
// Opening the number of an already open port fails with Busy; prepare leaves
// an open port as it is.

#include <array>
#include <atomic>
#include <cstdint>
#include <mutex>
#include <span>
#include <string>

#include "link/serial_port.h"

namespace pelmora {

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

  struct PortSlot {
    std::uint8_t portNumber = 0;
    std::uint32_t baudRate = 0;
    std::uint8_t byteSize = 0;
    std::uint8_t flowControl = 0;  // 0: no hardware or software handshake
    std::uint8_t parity = 0;       // 0: none
    std::uint8_t stopBits = 0;     // 0: one stop bit
    void* handle = nullptr;        // a HANDLE
    int open = 0;
    SavedLine saved;
    std::atomic<OpenFailure> lastFailure{OpenFailure::None};
    std::mutex mutex;  // makes open, close, read and write of this port exclude each other
  };

  PortSlot& slot(int port) { return slots_[static_cast<std::size_t>(port - kFirstPortNumber)]; }
  const PortSlot& slot(int port) const { return slots_[static_cast<std::size_t>(port - kFirstPortNumber)]; }
  static void resetSlot(PortSlot& s, int port);
  static void closeSlot(PortSlot& s);  // the caller holds s.mutex

  int doPrepare(int port) override;
  int doOpen(int port) override;
  ReadResult doRead(int port, std::span<std::uint8_t> buffer) override;
  int doWrite(int port, std::span<const std::uint8_t> bytes) override;
  int doClose(int port) override;
  OpenFailure doLastOpenFailure(int port) const override;

  std::array<PortSlot, kLastPortNumber> slots_;
};

}  // namespace pelmora
