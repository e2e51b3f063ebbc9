// pelmora-cli history [TRACKER]: the settings kept before each write, oldest
// first: when, by which program on which port, and what the write changed.

#include <cstdio>
#include <nlohmann/json.hpp>

#include "cli/commands.h"
#include "cli/exit_status.h"
#include "link/shown_text.h"
#include "settings/history_archive.h"

namespace pelmora::cli {
namespace {

const char* verdict(const HistoryEntry& entry) {
  if (entry.verified) return "verified";
  return entry.written ? "written, not verified" : "not written";
}

}  // namespace

int runHistory(const HistoryOptions& options) {
  const HistoryArchive history(defaultHistoryFolder());
  const std::vector<HistoryEntry> entries = history.list(options.tracker);
  if (options.json) {
    nlohmann::ordered_json list = nlohmann::ordered_json::array();
    for (const HistoryEntry& entry : entries) {
      nlohmann::ordered_json changes = nlohmann::ordered_json::array();
      for (const FieldChange& change : entry.changes)
        changes.push_back({{"field", change.name}, {"before", change.before}, {"after", change.after}});
      list.push_back({{"time", entry.timeUtc},
                      {"tracker", entry.tracker},
                      {"port", entry.port},
                      {"program", entry.program},
                      {"changes", std::move(changes)},
                      {"written", entry.written},
                      {"verified", entry.verified},
                      {"image", entry.imagePath}});
    }
    std::printf("%s\n", list.dump(2, ' ', false, nlohmann::json::error_handler_t::replace).c_str());
    return kExitDone;
  }
  if (entries.empty()) {
    std::printf("No settings kept%s%s in %s\n", options.tracker.empty() ? "" : " for ",
                shown(options.tracker).c_str(), shown(history.folder()).c_str());
  }
  for (const HistoryEntry& entry : entries) {
    std::string fields;
    for (const FieldChange& change : entry.changes) fields += (fields.empty() ? "" : ", ") + change.name;
    std::printf("%s  %s  %s %s  %s  %s\n", entry.timeUtc.c_str(), shown(entry.tracker).c_str(),
                entry.program.c_str(), shown(entry.port).c_str(), verdict(entry),
                fields.empty() ? "(no fields)" : fields.c_str());
  }
  return kExitDone;
}

}  // namespace pelmora::cli
