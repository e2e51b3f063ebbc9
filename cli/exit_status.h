#pragma once
// The tool's exit statuses, as --help and the README list them.

namespace pelmora::cli {

enum ExitStatus : int {
  kExitDone = 0,          // every tracker did what was asked
  kExitTrackerFailed = 1,  // a tracker did not answer, refused, or did not verify
  kExitBadInput = 2,       // bad usage, a bad file or profile, an unknown or unusable port
};

}  // namespace pelmora::cli
