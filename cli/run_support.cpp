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

RunSupport::RunSupport(const CommonOptions& common) : common_(common) {
  const UserSettings settings = loadUserSettings();
  group_ = settings.ports;
  checkReplyChecksum_ = settings.checkReplyChecksum;
  portMapProblem_ = pelmora::cli::portMapProblem(settings);
  if (!settings.problem.empty()) std::fprintf(stderr, "%s\n", unusedSettingsLine(settings).c_str());
  if (const std::string ignored = ignoredEntriesLine(group_.ignored); !ignored.empty() && common_.verbose) {
    std::fprintf(stderr, "%s\n", ignored.c_str());
  }
}

bool RunSupport::openTrace() {
  if (common_.traceFile.empty()) return true;
  trace_ = TraceFile::open(common_.traceFile, "pelmora-cli");
  return trace_ != nullptr;
}

int RunSupport::jobsStatus(const std::vector<TrackerOutcome>& outcomes, const InterruptCatcher& interrupts) const {
  if (!interrupts.requested()) return combinedStatus(outcomes);
  std::fprintf(stderr, "interrupted; where each tracker stands:\n");
  for (const TrackerOutcome& outcome : outcomes)
    std::fprintf(stderr, "  %s  %s\n", shown(outcome.port).c_str(), standing(outcome).c_str());
  return kExitInterrupted;
}

std::optional<PortTarget> RunSupport::resolvePort(const std::string& name, std::span<const PortTarget> earlier) {
  std::string error;
  std::optional<PortTarget> target = resolvePortTarget(name, group_.config, error, earlier);
  if (!target) {
    std::fprintf(stderr, "%s\n", error.c_str());
    return std::nullopt;
  }
  target->checkReplyChecksum = checkReplyChecksum_;
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
  return hooks;
}

std::optional<SettingsDocument> RunSupport::loadFile(const std::string& path) const {
  Loaded<SettingsDocument> document = loadSettingsFile(path);
  if (!document) {
    std::fprintf(stderr, "%s\n", document.error().c_str());
    return std::nullopt;
  }
  return std::move(*document);
}

std::optional<ExitStatus> RunSupport::readTracker(const std::string& port, SettingsDocument& document,
                                                 TrackerOutcome* outcome) {
  const std::optional<PortTarget> target = resolvePort(port);
  if (!target) return kExitBadInput;
  ProgressBoard board({target->name}, progressMode());
  TrackerJob job(*target, hooks(board, 0));
  const TrackerOutcome read = job.read(document);
  board.finish(0, outcomeLine(read), false);
  if (outcome != nullptr) *outcome = read;
  if (read.failure.empty()) return std::nullopt;
  std::fprintf(stderr, "%s: %s\n", shown(read.port).c_str(), read.failure.c_str());
  return read.status;
}

}  // namespace pelmora::cli
