#include "link/serial_port.h"

#include <array>

namespace pelmora {
namespace {

template <class Kind>
struct KindText {
  Kind kind;
  const char* text;
};

constexpr std::array<KindText<OpenFailure>, 7> kOpenFailureTexts{{
    {OpenFailure::OutOfRange, "not a port number (1 to 99)"},
    {OpenFailure::NotMapped, "no device is mapped to this number"},
    {OpenFailure::NoSuchDevice, "the device does not exist"},
    {OpenFailure::Busy, "busy: another program holds it"},
    {OpenFailure::AccessDenied, "permission denied"},
    {OpenFailure::NotATerminal, "not a serial device"},
    {OpenFailure::Other, "could not be opened"},
}};

constexpr std::array<KindText<PortError>, 5> kPortErrorTexts{{
    {PortError::OutOfRange, "not a port number (1 to 99)"},
    {PortError::NotOpen, "the port is not open"},
    {PortError::TimedOut, "the write timed out"},
    {PortError::Disconnected, "the device is gone"},
    {PortError::DeviceError, "the device refused the bytes"},
}};

template <class Kind, std::size_t N>
const char* textOf(const std::array<KindText<Kind>, N>& texts, Kind kind) {
  for (const KindText<Kind>& entry : texts)
    if (entry.kind == kind) return entry.text;
  return "";
}

}  // namespace

const char* describe(OpenFailure failure) { return textOf(kOpenFailureTexts, failure); }
const char* describe(PortError error) { return textOf(kPortErrorTexts, error); }

}  // namespace pelmora
