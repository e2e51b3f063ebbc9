#include "cli/run_support.h"

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

#include <cstdio>

#include "link/shown_text.h"

namespace pelmora::cli {
namespace {

bool isTerminal(std::FILE* stream) {
#ifdef _WIN32
  return _isatty(_fileno(stream)) != 0;
#else
  return isatty(fileno(stream)) != 0;
#endif
}

}  // namespace

ExitStatus reportFailure(const CliError& error) {
  std::fprintf(stderr, "%s\n", error.message.c_str());
  return error.kind;
}

RunSupport::RunSupport(const CommonOptions& common) : common_(common) {
  const UserSettings settings = loadUserSettings();
  group_ = settings.ports;
  checkReplyChecksum_ = settings.checkReplyChecksum;
  history_ = HistoryArchive(defaultHistoryFolder(), settings.historyKeep);
  portMapProblem_ = pelmora::cli::portMapProblem(settings);
  if (settings.problem) std::fprintf(stderr, "%s\n", unusedSettingsLine(settings).c_str());
  if (const std::string ignored = ignoredEntriesLine(group_.ignored); !ignored.empty() && common_.verbose) {
    std::fprintf(stderr, "%s\n", ignored.c_str());
  }
}

CliStatus RunSupport::openTrace() {
  if (common_.traceFile.empty()) return {};
  OutputResult<TraceFile> file = TraceFile::open(common_.traceFile, "pelmora-cli");
  if (!file) return CliError{kExitBadInput, file.error().message};
  trace_ = std::move(*file);
  return {};
}

int RunSupport::jobsStatus(const std::vector<TrackerOutcome>& outcomes, const InterruptCatcher& interrupts) const {
  if (!interrupts.requested()) return combinedStatus(outcomes);
  std::fprintf(stderr, "interrupted; where each tracker stands:\n");
  for (const TrackerOutcome& outcome : outcomes)
    std::fprintf(stderr, "  %s  %s\n", shown(outcome.port).c_str(), standing(outcome).c_str());
  return kExitInterrupted;
}

CliResult<PortTarget> RunSupport::resolvePort(const std::string& name, std::span<const PortTarget> earlier) {
  CliResult<PortTarget> target = resolvePortTarget(name, group_.config, earlier);
  if (target) target->checkReplyChecksum = checkReplyChecksum_;
  return target;
}

std::vector<PortTarget> RunSupport::allPorts() const {
  std::vector<PortTarget> targets = allPortTargets(group_.config);
  for (PortTarget& target : targets) target.checkReplyChecksum = checkReplyChecksum_;
  return targets;
}

ProgressMode RunSupport::progressMode() const {
  return {!common_.quiet && isTerminal(stderr), isTerminal(stdout), common_.quiet};
}

JobHooks RunSupport::hooks(ProgressBoard& board, std::size_t row, const InterruptCatcher* interrupts) const {
  JobHooks hooks;
  hooks.progress = [&board, row](const std::string& stage, std::uint32_t ms) { board.update(row, stage, ms); };
  hooks.notice = [&board](const std::string& line) { board.note(line); };
  if (interrupts != nullptr) hooks.stopRequested = [interrupts] { return interrupts->requested(); };
  hooks.trace = trace_.get();
  hooks.verbose = common_.verbose;
  hooks.history = &history_;
  return hooks;
}

CliResult<SettingsDocument> RunSupport::loadFile(const std::string& path) const {
  SettingsResult<SettingsDocument> document = loadSettingsFile(path);
  if (!document) return cliError(document.error());
  return std::move(*document);
}

CliStatus RunSupport::readTracker(const std::string& port, SettingsDocument& document, TrackerOutcome* outcome) {
  const CliResult<PortTarget> target = resolvePort(port);
  if (!target) return target.error();
  ProgressBoard board({target->name}, progressMode());
  TrackerJob job(*target, hooks(board, 0));
  const TrackerOutcome read = job.read(document);
  board.finish(0, outcomeLine(read), false);
  if (outcome != nullptr) *outcome = read;
  if (!read.failure) return {};
  return CliError{read.failure->kind, shown(read.port) + ": " + read.failure->message};
}

}  // namespace pelmora::cli
