// pelmora-cli diff A B: two settings files, or a file and a tracker, field
// by field.

#include <cstdio>

#include "cli/commands.h"
#include "cli/run_support.h"
#include "cli/tracker_job.h"

namespace pelmora::cli {
namespace {

// The settings `name` stands for: a file's, or a tracker's.
CliResult<SettingsDocument> settingsOf(RunSupport& run, const std::string& name) {
  if (!namesPort(name)) return run.loadFile(name);
  SettingsDocument document;
  if (const CliStatus read = run.readTracker(name, document); !read) return read.error();
  return document;
}

}  // namespace

int runDiff(const CommonOptions& common, const DiffOptions& options) {
  RunSupport run(common);
  if (const CliStatus trace = run.openTrace(); !trace) return reportFailure(trace.error());
  const CliResult<SettingsDocument> a = settingsOf(run, options.first);
  if (!a) return reportFailure(a.error());
  const CliResult<SettingsDocument> b = settingsOf(run, options.second);
  if (!b) return reportFailure(b.error());

  const std::vector<FieldChange> changes = compareSettings(*a, *b);
  if (changes.empty()) std::printf("No differences\n");
  for (const FieldChange& change : changes) std::printf("%s\n", describeChange(change).c_str());
  return kExitDone;
}

}  // namespace pelmora::cli
