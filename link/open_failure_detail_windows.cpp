// Windows gives a COM port to one program at a time and keeps who holds it
// to itself; there are no device groups, and brltty does not run there. The
// failure is all there is to say.
#include "link/open_failure_detail.h"

namespace pelmora {

OpenFailureDetail explainOpenFailure(OpenFailure failure, const std::string& devicePath, PortDiscovery& /*discovery*/,
                                     const FailureSources& /*sources*/) {
  OpenFailureDetail detail;
  detail.failure = failure;
  detail.devicePath = devicePath;
  return detail;
}

}  // namespace pelmora
