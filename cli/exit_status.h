#pragma once
// The tool's exit statuses, as --help and the README list them.

namespace pelmora::cli {

enum ExitStatus : int {
  kExitDone = 0,           // every tracker did what was asked
  kExitTrackerFailed = 1,  // a tracker did not answer, refused, or did not verify; or an output was lost
  kExitBadInput = 2,       // bad usage, a bad file or profile, an unknown or unusable port: no tracker written
  kExitInterrupted = 130,  // Ctrl-C or a termination request (128 + SIGINT, as shells report it)
};

}  // namespace pelmora::cli
