#include "link/open_failure_text.h"

#include <algorithm>
#include <array>
#include <cstdio>

namespace pelmora {
namespace {

struct FailureLine {
  OpenFailure failure;
  const char* format;  // one %.*s: the port's name
};

constexpr std::array kLines{
    FailureLine{OpenFailure::OutOfRange, "%.*s is not a port that can be opened; the ports start at COM1."},
    FailureLine{OpenFailure::NotMapped, "No device is mapped to %.*s."},
    FailureLine{OpenFailure::NoSuchDevice, "The device of %.*s does not exist (no such device): is it plugged in?"},
    FailureLine{OpenFailure::Busy, "%.*s is busy: it is in use by another program."},
    FailureLine{OpenFailure::AccessDenied,
                "Permission denied on %.*s: add your user to the dialout group, then log in again."},
    FailureLine{OpenFailure::NotATerminal, "The device of %.*s is not a serial device."},
    FailureLine{OpenFailure::Other, "%.*s could not be opened; the system did not say why."},
};

const char* formatFor(OpenFailure failure) {
  for (const FailureLine& line : kLines)
    if (line.failure == failure) return line.format;
  return nullptr;
}

std::string usbId(const UsbIdentity& usb) {
  char text[16];
  std::snprintf(text, sizeof text, "%04x:%04x", usb.vendorId, usb.productId);
  return text;
}

std::string hexWord(std::uint16_t value) {
  char text[8];
  std::snprintf(text, sizeof text, "%04x", value);
  return text;
}

std::string busyDetail(const OpenFailureDetail& detail) {
  if (detail.holders.empty()) return {};
  std::string text = " It is held by";
  bool modemManager = false;
  for (std::size_t i = 0; i < detail.holders.size(); ++i) {
    text += (i == 0 ? " " : ", ") + detail.holders[i].name + " (process " + std::to_string(detail.holders[i].pid) + ")";
    modemManager = modemManager || detail.holders[i].name == "ModemManager";
  }
  text += ".";
  if (modemManager) {
    text += " ModemManager probes new serial adapters: stop it with \"sudo systemctl stop ModemManager\"";
    if (detail.usb)
      text += ", or keep it away from this adapter for good with the udev rule ATTRS{idVendor}==\"" +
              hexWord(detail.usb->vendorId) + "\", ATTRS{idProduct}==\"" + hexWord(detail.usb->productId) +
              "\", ENV{ID_MM_DEVICE_IGNORE}=\"1\" in /etc/udev/rules.d/99-serial-adapter.rules";
    text += ".";
  }
  return text;
}

std::string accessDetail(const OpenFailureDetail& detail) {
  if (detail.deviceGroup.empty()) return {};
  const std::string& group = detail.deviceGroup;
  std::string text = " " + detail.devicePath + " belongs to the group " + group + ".";
  if (detail.inGroupNow) return text + " You are in it, so the device's own permissions refuse: see ls -l " +
                                detail.devicePath + ".";
  if (detail.listedInGroup)
    return text + " You were added to " + group + " after this session began: log out and in again.";
  return text + " You are not in it: join it with \"sudo usermod -aG " + group + " $USER\", then log out and in again.";
}

std::string missingDetail(const OpenFailureDetail& detail) {
  std::string text;
  for (const UsbIdentity& usb : detail.takenAdapters)
    text += std::string(" A ") + adapterBrlttyTakes(usb.vendorId, usb.productId) + " adapter (" + usbId(usb) +
            ") is plugged in: brltty is known to take this adapter for a braille display, which removes its serial "
            "device. If you use no braille display, remove brltty (\"sudo apt remove brltty\") and plug the adapter "
            "in again.";
  return text;
}

}  // namespace

std::string openFailureReason(const OpenFailureDetail& detail, std::string_view port) {
  const char* format = formatFor(detail.failure);
  if (format == nullptr) return {};
  char sentence[256];
  std::snprintf(sentence, sizeof sentence, format, static_cast<int>(std::min<std::size_t>(port.size(), 120)), port.data());
  switch (detail.failure) {
    case OpenFailure::Busy:
      return sentence + busyDetail(detail);
    case OpenFailure::AccessDenied:
      return sentence + accessDetail(detail);
    case OpenFailure::NoSuchDevice:
      return sentence + missingDetail(detail);
    default:
      return sentence;
  }
}

}  // namespace pelmora
