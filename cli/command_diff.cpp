// pelmora-cli diff A B: two settings files, or a file and a tracker, field
// by field, as people read them; exits as diff(1) does.

#include <cstdio>
#include <nlohmann/json.hpp>

#include "cli/commands.h"
#include "cli/run_support.h"
#include "cli/tracker_job.h"
#include "pages/translated_text.h"
#include "settings/settings_diff.h"
#include "settings/utf.h"

namespace pelmora::cli {
namespace {

// The settings `name` stands for: a file's, or a tracker's.
CliResult<SettingsDocument> settingsOf(RunSupport& run, const std::string& name) {
  if (!namesPort(name)) return run.loadFile(name);
  SettingsDocument document;
  if (const CliStatus read = run.readTracker(name, document); !read) return read.error();
  return document;
}

// A value as JSON: the file's own form (a number, a text), null where unset.
nlohmann::ordered_json jsonValue(const std::string& value) {
  if (value == kValueNotSet) return nullptr;
  nlohmann::ordered_json parsed = nlohmann::ordered_json::parse(value, nullptr, false);
  return parsed.is_discarded() ? nlohmann::ordered_json(value) : parsed;
}

nlohmann::ordered_json changeJson(const FieldChange& change) {
  nlohmann::ordered_json item;
  item["key"] = change.name;
  const CatalogueEntry* entry = change.entry;
  item["page"] = entry != nullptr ? nlohmann::ordered_json(utf8FromUtf16(pageTitle(entry->page))) : nullptr;
  item["label"] = entry != nullptr ? nlohmann::ordered_json(utf8FromUtf16(fullLabel(*entry))) : nullptr;
  item["label_ru"] = entry != nullptr ? nlohmann::ordered_json(utf8FromUtf16(russianFullLabel(*entry))) : nullptr;
  item["before"] = jsonValue(change.before);
  item["after"] = jsonValue(change.after);
  item["before_text"] = beforeInWords(change);
  item["after_text"] = afterInWords(change);
  item["unit"] = entry != nullptr ? utf8FromUtf16(entry->unit) : std::string();
  return item;
}

void printJson(const SettingsDiff& diff) {
  nlohmann::ordered_json result;
  result["same"] = diff.same();
  result["changes"] = nlohmann::ordered_json::array();
  for (const FieldChange& change : diff.changes) result["changes"].push_back(changeJson(change));
  result["identity"] = nlohmann::ordered_json::array();
  for (const FieldChange& change : diff.identity) {
    result["identity"].push_back(
        {{"key", change.name}, {"before", jsonValue(change.before)}, {"after", jsonValue(change.after)}});
  }
  // Invalid UTF-8 in a tracker's text must not end the output.
  std::printf("%s\n", result.dump(2, ' ', false, nlohmann::json::error_handler_t::replace).c_str());
}

void printLines(const SettingsDiff& diff) {
  if (diff.same()) std::printf("No differences\n");
  for (const FieldChange& change : diff.changes) std::printf("%s\n", changeInWords(change).c_str());
  if (diff.identity.empty()) return;
  std::printf("\nIdentity (never a difference):\n");
  for (const FieldChange& change : diff.identity) std::printf("  %s\n", identityInWords(change).c_str());
}

}  // namespace

int runDiff(const CommonOptions& common, const DiffOptions& options) {
  // Any failure is trouble (2), a tracker's too: 1 means "different".
  const auto trouble = [](const CliError& error) {
    reportFailure(error);
    return kExitTrouble;
  };
  RunSupport run(common);
  if (const CliStatus trace = run.openTrace(); !trace) return trouble(trace.error());
  const CliResult<SettingsDocument> a = settingsOf(run, options.first);
  if (!a) return trouble(a.error());
  const CliResult<SettingsDocument> b = settingsOf(run, options.second);
  if (!b) return trouble(b.error());

  const SettingsDiff diff = diffSettings(*a, *b);
  if (options.json) {
    printJson(diff);
  } else {
    printLines(diff);
  }
  return diff.same() ? kExitDone : kExitDifferent;
}

}  // namespace pelmora::cli
