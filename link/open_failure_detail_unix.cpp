// The lookups behind a failed open on Linux: /proc for the holders of a
// busy device, the group database for a refused one.
#include "link/open_failure_detail.h"

#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <fstream>

namespace pelmora {
namespace {

namespace fs = std::filesystem;

bool sameCharacterDevice(const struct stat& a, const struct stat& b) {
  return S_ISCHR(a.st_mode) && S_ISCHR(b.st_mode) && a.st_rdev == b.st_rdev;
}

// Processes other than this one with the device open, from /proc/*/fd.
std::vector<PortHolder> holdersOf(const std::string& devicePath, const std::string& procDir) {
  std::vector<PortHolder> holders;
  struct stat device {};
  if (::stat(devicePath.c_str(), &device) != 0) return holders;
  const int self = static_cast<int>(::getpid());
  std::error_code error;
  for (fs::directory_iterator process(procDir, error), end; !error && process != end; process.increment(error)) {
    const std::string pidText = process->path().filename().string();
    if (pidText.empty() || !std::all_of(pidText.begin(), pidText.end(), [](char c) { return c >= '0' && c <= '9'; }))
      continue;
    const int pid = std::stoi(pidText);
    if (pid == self) continue;
    std::error_code fdError;
    for (fs::directory_iterator fd(process->path() / "fd", fdError), fdEnd; !fdError && fd != fdEnd;
         fd.increment(fdError)) {
      struct stat open {};
      if (::stat(fd->path().c_str(), &open) != 0 || !sameCharacterDevice(open, device)) continue;
      std::string name;
      std::getline(std::ifstream(process->path() / "comm"), name);
      holders.push_back({pid, name});
      break;
    }
  }
  return holders;
}

void lookUpGroup(OpenFailureDetail& detail, const std::string& userName) {
  struct stat device {};
  if (::stat(detail.devicePath.c_str(), &device) != 0) return;
  const group* owner = ::getgrgid(device.st_gid);
  if (owner == nullptr) return;
  detail.deviceGroup = owner->gr_name;
  std::string user = userName;
  if (user.empty())
    if (const passwd* me = ::getpwuid(::getuid())) user = me->pw_name;
  for (char** member = owner->gr_mem; member != nullptr && *member != nullptr; ++member)
    detail.listedInGroup = detail.listedInGroup || user == *member;
  if (userName.empty()) {
    std::array<gid_t, 256> groups{};
    const int count = ::getgroups(static_cast<int>(groups.size()), groups.data());
    detail.inGroupNow = ::getegid() == device.st_gid ||
                        std::find(groups.begin(), groups.begin() + std::max(count, 0), device.st_gid) !=
                            groups.begin() + std::max(count, 0);
  }
}

}  // namespace

OpenFailureDetail explainOpenFailure(OpenFailure failure, const std::string& devicePath, PortDiscovery& discovery,
                                     const FailureSources& sources) {
  OpenFailureDetail detail;
  detail.failure = failure;
  detail.devicePath = devicePath;
  if (devicePath.empty()) return detail;
  switch (failure) {
    case OpenFailure::Busy:
      detail.usb = discovery.describe(devicePath).usb;
      detail.holders = holdersOf(devicePath, sources.procDir);
      break;
    case OpenFailure::AccessDenied:
      lookUpGroup(detail, sources.userName);
      break;
    case OpenFailure::NoSuchDevice:
      for (UsbIdentity& usb : discovery.usbDevices())
        if (adapterBrlttyTakes(usb.vendorId, usb.productId) != nullptr) detail.takenAdapters.push_back(std::move(usb));
      break;
    default:
      break;
  }
  return detail;
}

}  // namespace pelmora
