#include "app/open_failure_text.h"

#include <array>

namespace pelmora {
namespace {

struct FailureLine {
  OpenFailure failure;
  const char* format;  // one %d: the port number
};

constexpr std::array kLines{
    FailureLine{OpenFailure::OutOfRange, "COM%d is not a port that can be opened; the ports start at COM1."},
    FailureLine{OpenFailure::NotMapped, "No device is mapped to COM%d."},
    FailureLine{OpenFailure::NoSuchDevice, "The device of COM%d does not exist (no such device): is it plugged in?"},
    FailureLine{OpenFailure::Busy, "COM%d is busy: it is in use by another program."},
    FailureLine{OpenFailure::AccessDenied,
                "Permission denied on COM%d: add your user to the dialout group, then log in again."},
    FailureLine{OpenFailure::NotATerminal, "The device of COM%d is not a serial device."},
    FailureLine{OpenFailure::Other, "COM%d could not be opened; the system did not say why."},
};

}  // namespace

std::optional<FormattedText> openFailureText(OpenFailure failure, int port) {
  for (const FailureLine& line : kLines) {
    if (line.failure == failure) return FormattedText(line.format, port);
  }
  return std::nullopt;
}

}  // namespace pelmora
