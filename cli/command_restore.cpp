// pelmora-cli restore PORT [--at TIME]: puts back the settings a tracker held
// before an earlier write. The tracker is read, the kept image chosen (its
// newest, or the one kept at TIME), checked to be this tracker's, and written
// over it through the same path as any write (which keeps the settings it
// holds now first), read back and verified.

#include <cstdio>
#include <filesystem>
#include <optional>

#include "cli/commands.h"
#include "cli/interrupt_catcher.h"
#include "cli/run_support.h"
#include "cli/tracker_job.h"
#include "link/shown_text.h"
#include "settings/history_archive.h"
#include "settings/settings_diff.h"

namespace pelmora::cli {
namespace {

// The time as history shows it, or as the kept file's name holds it
// (dashes for colons): both name the same write.
bool keptAt(const HistoryEntry& entry, const std::string& at) {
  std::string named = entry.timeUtc;
  for (char& c : named) c = c == ':' ? '-' : c;
  return entry.timeUtc.compare(0, at.size(), at) == 0 || named.compare(0, at.size(), at) == 0;
}

// The kept image to put back: by its path, or the newest of this tracker's
// kept at `at` (any time when empty), or else another tracker's kept then.
CliResult<HistoryEntry> chosenImage(const HistoryArchive& history, const std::string& tracker, const std::string& at) {
  std::error_code error;
  if (!at.empty() && std::filesystem::is_regular_file(at, error)) {
    for (const HistoryEntry& entry : history.list())
      if (std::filesystem::equivalent(entry.imagePath, at, error)) return entry;
    return CliError{kExitBadInput, shown(at) + ": not an image kept in " + shown(history.folder())};
  }
  const auto newestKeptAt = [&](const std::vector<HistoryEntry>& entries) -> std::optional<HistoryEntry> {
    for (auto it = entries.rbegin(); it != entries.rend(); ++it)
      if (at.empty() || keptAt(*it, at)) return *it;
    return std::nullopt;
  };
  if (std::optional<HistoryEntry> own = newestKeptAt(history.list(tracker))) return *own;
  if (!at.empty()) {
    if (std::optional<HistoryEntry> other = newestKeptAt(history.list())) return *other;
    return CliError{kExitBadInput, "no settings kept at " + shown(at) + " in " + shown(history.folder()) +
                                       " (see pelmora-cli history); nothing written"};
  }
  return CliError{kExitBadInput, "no settings kept for tracker " + shown(tracker) + " in " +
                                     shown(history.folder()) + "; nothing written"};
}

// The chosen kept image, once it is known to be this tracker's (or
// --other-tracker); said on the board before the fields it changes back.
CliResult<SettingsDocument> keptImageFor(const HistoryArchive& history, const std::string& tracker,
                                         const RestoreOptions& options, const std::string& port,
                                         ProgressBoard& board) {
  const CliResult<HistoryEntry> chosen = chosenImage(history, tracker, options.at);
  if (!chosen) return CliError{chosen.error().kind, port + ": " + chosen.error().message};
  SettingsResult<SettingsDocument> kept = loadKeptImage(*chosen);
  if (!kept) return cliError(kept.error());
  if (const std::string keptFor = historyTrackerName(*kept); keptFor != tracker && !options.otherTracker)
    return CliError{kExitBadInput, port + ": the settings kept at " + chosen->timeUtc + " are tracker " +
                                       shown(keptFor) + "'s, this is tracker " + shown(tracker) +
                                       "; nothing written (--other-tracker writes them all the same)"};
  board.print(port + ": back to the settings kept at " + chosen->timeUtc + " (before a write by " + chosen->program +
              " on " + shown(chosen->port) + ")");
  return std::move(*kept);
}

}  // namespace

int runRestore(const CommonOptions& common, const RestoreOptions& options) {
  RunSupport run(common);
  if (const CliStatus trace = run.openTrace(); !trace) return reportFailure(trace.error());
  const CliResult<PortTarget> target = run.resolvePort(options.port);
  if (!target) return reportFailure(target.error());
  const std::string port = shown(target->name);

  ProgressBoard board({port}, run.progressMode());
  const InterruptCatcher interrupts([&board] { board.note(kInterruptNote); });
  std::vector<TrackerOutcome> outcomes(1);
  {
    JobHooks hooks = run.hooks(board, 0, &interrupts);
    hooks.changes = [&](const std::vector<FieldChange>& changes) {
      if (changes.empty()) board.print(port + ": no changes");
      for (const FieldChange& change : changes) board.print(changeInWords(change));
    };
    // The tracker's identity is checked below, by the name its settings are kept under.
    hooks.acceptOtherTrackerId = true;
    TrackerJob job(*target, hooks);
    SettingsDocument read;
    outcomes[0] = job.read(read);
    if (!outcomes[0].failure) {
      const std::string tracker = historyTrackerName(read);
      CliResult<SettingsDocument> kept = keptImageFor(run.history(), tracker, options, port, board);
      if (kept)
        outcomes[0] = job.writeOver(*kept, read, std::move(outcomes[0]), options.dryRun);
      else
        outcomes[0].failure = kept.error();
    }
  }  // the job's engine has ended: nothing traces any more
  board.finish(0, outcomeLine(outcomes[0]));
  return run.jobsStatus(outcomes, interrupts);
}

}  // namespace pelmora::cli
