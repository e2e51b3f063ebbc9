#include "provision/tracker_write.h"

namespace pelmora {

TrackerWrite writeOverRead(TrackerSession& session, const SettingsCodec& codec, const SettingsModel& wanted,
                           const WriteRecord& record, const std::function<void(WriteStep)>& step) {
  TrackerWrite result;
  const auto enter = [&](WriteStep next) {
    if (step) step(next);
  };
  std::optional<HistoryEntry> kept;
  if (record.archive != nullptr) {
    const SettingsResult<SettingsDocument> before = documentFromImage(codec.readImage(), "the tracker's settings");
    SettingsResult<HistoryEntry> entry =
        before ? record.archive->keep(*before, {record.port, record.program, record.changes})
               : SettingsResult<HistoryEntry>(before.error());
    if (!entry) {
      result.failure = WriteFailure::NotKept;
      result.detail = entry.error().message;
      return result;
    }
    kept = std::move(*entry);
    result.beforeImage = kept->imagePath;
  }
  // A settled entry that cannot be rewritten keeps its first line: the image
  // itself is kept, which is what an undo needs.
  const auto settle = [&] {
    if (kept) (void)record.archive->settle(*kept, result.written, result.verified);
  };

  const SettingsDocument image = documentFromTracker(codec, wanted);
  const std::vector<std::uint8_t> written(image.bytes().begin(), image.bytes().end());
  enter(WriteStep::Writing);
  if (const Status<RequestOutcome> sent = session.write(written); !sent) {
    result.failure = WriteFailure::NotSent;
    result.request = sent.error();
    settle();
    return result;
  }
  result.written = true;
  enter(WriteStep::ReadingBack);
  const Result<TrackerSession::TrackerSettings, RequestOutcome> back = session.read();
  if (!back) {
    result.failure = WriteFailure::ReadBack;
    result.request = back.error();
  } else if (const SettingsResult<std::vector<FieldChange>> wrong = verifyWrite(written, back->image); !wrong) {
    result.failure = WriteFailure::BadReadBack;
    result.detail = wrong.error().message;
  } else if (!wrong->empty()) {
    result.failure = WriteFailure::NotVerified;
    for (const FieldChange& change : *wrong) result.detail += (result.detail.empty() ? "" : ", ") + change.name;
  } else {
    result.verified = true;
  }
  settle();
  return result;
}

}  // namespace pelmora
