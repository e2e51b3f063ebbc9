#include "app/restore_earlier.h"

#include <algorithm>
#include <mutex>

#include "app/main_window_logic.h"
#include "settings/settings_diff.h"
#include "settings/utf.h"

namespace pelmora {
namespace {

// The tracker the codec read last, by the name its images are kept under; "" before a read.
std::string trackerReadLast(const SettingsCodec& codec) {
  if (!codec.hasImage()) return {};
  const SettingsResult<SettingsDocument> read = documentFromImage(codec.readImage(), "the tracker's settings");
  return read ? historyTrackerName(*read) : std::string();
}

}  // namespace

std::string earlierSettingsLine(const HistoryEntry& entry) {
  const std::size_t count = entry.changes.size();
  std::string line = entry.timeUtc + "  " + entry.program + " on " + entry.port + ": " + std::to_string(count) +
                     (count == 1 ? " field" : " fields") + " changed";
  line += entry.verified ? ", verified" : entry.written ? ", not verified" : ", not written";
  return line;
}

SettingsResult<HistoryEntry> keepBeforeWindowWrite(const HistoryArchive& history, const SettingsCodec& codec,
                                                   const SettingsModel& edited, const std::string& port) {
  const SettingsResult<SettingsDocument> read = documentFromImage(codec.readImage(), "the tracker's settings");
  if (!read) return read.error();
  return history.keep(*read, {port, "window", pendingChanges(codec, edited)});
}

RestoreEarlier::RestoreEarlier(MainView& view, MainWindowLogic& logic, SharedSettings& settings,
                               const HistoryArchive& history)
    : view_(view), logic_(logic), settings_(settings), history_(history) {}

void RestoreEarlier::say(const std::string& line) { logic_.appendLog(utf16FromUtf8(line)); }

std::vector<HistoryEntry> RestoreEarlier::choices() const {
  std::string tracker;
  {
    std::lock_guard<std::mutex> hold(settings_.lock);
    tracker = trackerReadLast(settings_.codec);
  }
  if (tracker.empty()) return {};
  std::vector<HistoryEntry> entries = history_.list(tracker);
  std::reverse(entries.begin(), entries.end());
  return entries;
}

void RestoreEarlier::restore(const HistoryEntry& chosen) {
  bool read = false;
  {
    std::lock_guard<std::mutex> hold(settings_.lock);
    read = settings_.codec.hasImage();
  }
  if (!read) return logic_.appendLog(kReadFirstText);
  const SettingsResult<SettingsDocument> kept = loadKeptImage(chosen);
  if (!kept) return say(kept.error().message);
  SettingsModel laid;
  std::vector<FieldChange> changes;
  {
    std::lock_guard<std::mutex> hold(settings_.lock);
    if (const std::string tracker = trackerReadLast(settings_.codec); historyTrackerName(*kept) != tracker)
      return say("Restore refused: the settings kept at " + chosen.timeUtc + " are tracker " +
                 historyTrackerName(*kept) + "'s, the tracker read is " + tracker + "; nothing was sent");
    const SettingsResult<SettingsModel> shown = laidOverRead(settings_.codec, *kept);
    if (!shown) return say(shown.error().message);
    laid = *shown;
    changes = pendingChanges(settings_.codec, laid);
  }
  if (changes.empty()) return logic_.appendLog(kNoChangesText);
  std::string question = "Restore the settings kept at " + chosen.timeUtc + " (before a write by " + chosen.program +
                         " on " + chosen.port + ")?\n\nThese fields change back:";
  for (const FieldChange& change : changes) question += "\n" + changeInWords(change);
  question += "\n\nWrite them to the tracker?";
  if (!view_.confirm(utf16FromUtf8(question))) return;
  {
    std::lock_guard<std::mutex> hold(settings_.lock);
    settings_.model = laid;
  }
  logic_.loadSavePages(PAGE_LOAD);
  logic_.onWriteSettings();
}

}  // namespace pelmora
