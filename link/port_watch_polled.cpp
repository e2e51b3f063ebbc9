// Where the system tells nothing when a port comes or goes (Windows: its COM
// list is looked at again), the wait is a pause that a wakeup ends early.
#include "link/port_watch.h"

namespace pelmora {
namespace {

// Four looks a second: a tracker's port that appears gets its handshake well
// within a second and a half.
constexpr std::uint32_t kLookAgainMs = 250;

class PolledPortWatch final : public PortWatch {
 public:
  bool wait(Wakeup& wake, std::uint32_t ms) override { return wake.wait(ms); }
  std::uint32_t lookAgainMs() const override { return kLookAgainMs; }
};

}  // namespace

std::unique_ptr<PortWatch> makePortWatch(std::span<const std::string>) { return std::make_unique<PolledPortWatch>(); }

}  // namespace pelmora
