#pragma once
// The settings each tracker held before each write, kept so that a write can
// be undone. Every front writes through one path (provision/tracker_write.h)
// that keeps the image read from the tracker here before the write request
// goes out; a write whose before-image cannot be kept does not happen.
//
// The folder (defaultHistoryFolder) holds two files per write, named by the
// tracker and the time of the write (UTC, sortable, safe in a file name):
//   861234567890123_2026-12-07T17-20-05.123Z.pelmora-image   the image read, a settings image file
//   861234567890123_2026-12-07T17-20-05.123Z.json            one JSON line about the write:
//     {"time":"2026-12-07T17:20:05.123Z","tracker":"861234567890123","port":"COM5","program":"cli",
//      "changes":[{"field":"SmsReportInterval","before":"30","after":"45"}],"written":true,"verified":true}
// A tracker without an IMEI is named by its layout and a short hash of its
// identity fields ("Basic-3f9a0c12"). The JSON line is written whole with
// the image, then rewritten whole (atomically) once the write is verified:
// each write's facts stay one self-contained line that goes with its image,
// never a torn append, and removing a write's pair touches no other file.
//
// Bounded: after a write the tracker took, its oldest images beyond `keep`
// are removed; the newest is never removed, however old.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "settings/settings_error.h"
#include "settings/settings_file.h"

namespace pelmora {

inline constexpr std::size_t kDefaultHistoryKeep = 20;

// $XDG_DATA_HOME/pelmora/history (default ~/.local/share) on Linux,
// %LOCALAPPDATA%\Pelmora\history on Windows.
std::string defaultHistoryFolder();

// The name a tracker's images go by: its IMEI, or its layout and a short
// hash of its identity fields when it has none.
std::string historyTrackerName(const SettingsDocument& image);

// One kept image and what its write did.
struct HistoryEntry {
  std::string tracker;    // historyTrackerName of the image
  std::string timeUtc;    // "2026-12-07T17:20:05.123Z"
  std::string imagePath;  // the kept image
  std::string port;       // as the program named it
  std::string program;    // "window", "cli" or "station"
  std::vector<FieldChange> changes;  // what the write changed: name, before, after
  bool written = false;   // the tracker took the write
  bool verified = false;  // and its read-back matched
};

// What a write is about to do, for the record beside its before-image.
struct WriteFacts {
  std::string port;
  std::string program;
  std::vector<FieldChange> changes;
};

// Jobs on several threads may keep and settle at once: the archive holds
// nothing that changes, and each write has files of its own.
class HistoryArchive {
 public:
  explicit HistoryArchive(std::string folder, std::size_t keep = kDefaultHistoryKeep);

  const std::string& folder() const { return folder_; }

  // Keeps `image` (the tracker's settings as read, a whole image) before a
  // write. CannotWrite, naming the folder or file and the reason:
  //   "the tracker's settings cannot be kept before the write: <folder>: the folder cannot be made (<reason>)"
  //   "the tracker's settings cannot be kept before the write: <file>: cannot be written (<reason>)"
  SettingsResult<HistoryEntry> keep(const SettingsDocument& image, const WriteFacts& facts) const;
  // Records how the write ended (the JSON line rewritten whole); after a
  // write the tracker took, removes the tracker's oldest images beyond the
  // bound. CannotWrite as keep.
  SettingsStatus settle(HistoryEntry& entry, bool written, bool verified) const;

  // The kept images, oldest first: every tracker's, or those of `tracker`
  // (a historyTrackerName). Files that are no whole entry are passed over.
  std::vector<HistoryEntry> list(std::string_view tracker = {}) const;

 private:
  std::string folder_;
  std::size_t keep_;
};

// The kept image as a settings document (its path named in messages).
SettingsResult<SettingsDocument> loadKeptImage(const HistoryEntry& entry);

}  // namespace pelmora
