// Ports coming and going on Linux: udev's events for ttys (through
// PortDiscovery's change descriptor), inotify for the folders of the paths
// watched, and a look every second for what neither covers: a path whose
// folder does not exist yet (/dev/serial/by-id is made with the first
// adapter plugged; udev's event covers that one), or a system without udev
// and inotify. A second keeps a tracker's first handshake within a second
// and a half of its port appearing, at a single wake-up a second when idle.
#include "link/port_watch.h"

#include <poll.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <array>
#include <filesystem>
#include <set>

#include "link/port_discovery.h"

namespace pelmora {
namespace {

constexpr std::uint32_t kLookAgainMs = 1000;

class LinuxPortWatch final : public PortWatch {
 public:
  explicit LinuxPortWatch(std::span<const std::string> paths)
      : discovery_(makePortDiscovery()), inotify_(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC)) {
    if (inotify_ < 0) return;
    std::set<std::string> folders;
    for (const std::string& path : paths) folders.insert(std::filesystem::path(path).parent_path().string());
    bool watching = false;
    for (const std::string& folder : folders) {
      // A folder that is not there is left to the look every second.
      constexpr std::uint32_t kComeOrGo = IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO | IN_DELETE_SELF;
      if (!folder.empty() && ::inotify_add_watch(inotify_, folder.c_str(), kComeOrGo) >= 0) watching = true;
    }
    if (!watching) {
      ::close(inotify_);
      inotify_ = -1;
    }
  }
  ~LinuxPortWatch() override {
    if (inotify_ >= 0) ::close(inotify_);
  }
  LinuxPortWatch(const LinuxPortWatch&) = delete;
  LinuxPortWatch& operator=(const LinuxPortWatch&) = delete;

  bool wait(Wakeup& wake, std::uint32_t ms) override {
    std::array<pollfd, 3> watched{{{wake.pollDescriptor(), POLLIN, 0},
                                   {discovery_->changeDescriptor(), POLLIN, 0},
                                   {inotify_, POLLIN, 0}}};
    // poll() skips negative descriptors; a wakeup without one leaves a plain pause.
    if (::poll(watched.data(), watched.size(), static_cast<int>(ms)) <= 0) return false;
    bool changed = watched[0].revents != 0;
    // A udev event for another kind of tty, or a file in a watched folder
    // that is no port: the caller looks and finds nothing new.
    if (watched[1].revents != 0 && discovery_->takeChanges()) changed = true;
    if (watched[2].revents != 0 && drainInotify()) changed = true;
    return changed;
  }

  std::uint32_t lookAgainMs() const override { return kLookAgainMs; }

 private:
  bool drainInotify() {
    alignas(inotify_event) char buffer[4096];
    bool any = false;
    while (::read(inotify_, buffer, sizeof buffer) > 0) any = true;
    return any;
  }

  std::unique_ptr<PortDiscovery> discovery_;
  int inotify_;
};

}  // namespace

std::unique_ptr<PortWatch> makePortWatch(std::span<const std::string> paths) {
  return std::make_unique<LinuxPortWatch>(paths);
}

}  // namespace pelmora
