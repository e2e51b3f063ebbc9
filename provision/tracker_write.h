#pragma once
// The one way every front writes a tracker over a session: the settings read
// are kept first (settings/history_archive.h), then what differs is written,
// read back and verified. The command-line tool (write, apply, restore) and
// the station both write here; each tells the outcome in its own words.
//
//     const TrackerWrite done = writeOverRead(session, codec, wanted, {&archive, "COM5", "cli", changes}, step);
//     if (!done.verified) report(done.failure, done.request, done.detail);

#include <functional>
#include <string>
#include <vector>

#include "link/tracker_session.h"
#include "settings/history_archive.h"
#include "settings/settings_file.h"

namespace pelmora {

enum class WriteStep : std::uint8_t { Writing, ReadingBack };

// Where a write keeps its before-image and what it says about itself there.
struct WriteRecord {
  const HistoryArchive* archive = nullptr;  // none: nothing kept (a program that keeps no history)
  std::string port;
  std::string program;  // "cli", "station", "window"
  std::vector<FieldChange> changes;
};

enum class WriteFailure : std::uint8_t {
  None,
  NotKept,      // the before-image could not be kept: nothing was sent (detail says why)
  NotSent,      // the write request did not end done (request says how)
  ReadBack,     // the read-back did not end done (request says how)
  BadReadBack,  // the read-back is no image of the size written (detail says why)
  NotVerified,  // the tracker holds other values (detail: the fields, "A, B")
};

struct TrackerWrite {
  WriteFailure failure = WriteFailure::None;
  bool written = false;   // the tracker took the write
  bool verified = false;
  TrackerSession::Failure request{RequestOutcome::NotSent, {}};
  std::string detail;
  std::string beforeImage;  // the kept image's path; "" when nothing was kept
};

// Writes `wanted` (the model of the last read with the changes laid over
// it) to the tracker `codec` read last, over `session`: keeps the image read,
// writes, reads back, verifies. Once the write request is sent the routine
// goes to the end. `step` hears each step as it begins.
TrackerWrite writeOverRead(TrackerSession& session, const SettingsCodec& codec, const SettingsModel& wanted,
                           const WriteRecord& record, const std::function<void(WriteStep)>& step);

}  // namespace pelmora
