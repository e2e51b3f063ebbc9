// pelmora-cli diff A B: two settings files, or a file and a tracker, field
// by field.

#include <cstdio>
#include <variant>

#include "cli/commands.h"
#include "cli/run_support.h"
#include "cli/tracker_job.h"

namespace pelmora::cli {
namespace {

// The settings `name` stands for, or the exit status after printing why.
std::variant<SettingsDocument, int> settingsOf(RunSupport& run, const std::string& name) {
  if (!namesPort(name)) {
    std::optional<SettingsDocument> file = run.loadFile(name);
    if (!file) return kExitBadInput;
    return std::move(*file);
  }
  SettingsDocument document;
  if (const std::optional<ExitStatus> failed = run.readTracker(name, document)) return *failed;
  return document;
}

}  // namespace

int runDiff(const CommonOptions& common, const DiffOptions& options) {
  RunSupport run(common);
  if (!run.openTrace()) return kExitBadInput;
  const auto a = settingsOf(run, options.first);
  if (const int* status = std::get_if<int>(&a)) return *status;
  const auto b = settingsOf(run, options.second);
  if (const int* status = std::get_if<int>(&b)) return *status;

  const std::vector<FieldChange> changes = compareSettings(std::get<SettingsDocument>(a), std::get<SettingsDocument>(b));
  if (changes.empty()) std::printf("No differences\n");
  for (const FieldChange& change : changes) std::printf("%s\n", describeChange(change).c_str());
  return kExitDone;
}

}  // namespace pelmora::cli
