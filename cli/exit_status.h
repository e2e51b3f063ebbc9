#pragma once
// The tool's exit statuses, as --help and the README list them, and how the
// tool fails: a CliError's kind is the exit status the failure leads to
// (never kExitDone), its message the line standard error shows.

#include "settings/result.h"
#include "settings/settings_error.h"

namespace pelmora::cli {

enum ExitStatus : int {
  kExitDone = 0,           // every tracker did what was asked
  kExitTrackerFailed = 1,  // a tracker did not answer, refused, or did not verify; or an output was lost
  kExitBadInput = 2,       // bad usage, a bad file or profile, an unknown or unusable port: no tracker written
  kExitInterrupted = 130,  // Ctrl-C or a termination request (128 + SIGINT, as shells report it)
  // diff answers as diff(1) does: 0 the same, 1 different, 2 trouble (a bad
  // file, a tracker that did not answer, a lost output: any failure).
  kExitDifferent = 1,
  kExitTrouble = 2,
};

using CliError = Error<ExitStatus>;
template <class T>
using CliResult = Result<T, ExitStatus>;
using CliStatus = Status<ExitStatus>;

// What a failure of the settings library means for the run: a file that
// could not be written is an output lost (1), as is a tracker's read-back
// that is no image (1); anything else is input the tool refuses (2).
constexpr ExitStatus exitStatusFor(SettingsErrorKind kind) {
  switch (kind) {
    case SettingsErrorKind::CannotWrite:
    case SettingsErrorKind::BadReadBack:
      return kExitTrackerFailed;
    case SettingsErrorKind::CannotRead:
    case SettingsErrorKind::BadInput:
    case SettingsErrorKind::NothingRead:
      break;
  }
  return kExitBadInput;
}

// The settings library's error as the tool's: the same message.
inline CliError cliError(const SettingsError& error) { return {exitStatusFor(error.kind), error.message}; }

}  // namespace pelmora::cli
