#pragma once
// A station's record: one JSON line per tracker job, appended and flushed as
// the job ends, so that a crash loses at most the job on the line:
//
//   {"time":"2026-12-07T14:22:05Z","port":"COM5","adapter":"FTDI FT232R A10K3V9Q",
//    "imei":"490154203237518","firmware":"PLM 1.0.3","profile":"fleet.json",
//    "profileSha256":"9f86...","changes":[{"field":"SmsReportInterval","before":"30","after":"45"}],
//    "verified":true,"beforeImage":"/home/ana/.local/share/pelmora/history/490154203237518_2026-12-07T14-22-03.871Z.pelmora-image"}
//
// A job that failed has "verified":false and "failure" saying why. Read back
// at start, the record tells which trackers were verified with which
// profile already (resume). "beforeImage" names the tracker's settings kept
// before its write (pelmora-cli restore PORT --at PATH puts them back); a job
// that wrote nothing has none.

#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "settings/settings_file.h"

namespace pelmora::station {

// Where a station keeps its record unless told otherwise.
inline constexpr const char* kDefaultRecordFile = "pelmora-station.jsonl";

struct RecordEntry {
  std::string timeUtc;  // ISO 8601, "2026-12-07T14:22:05Z"
  std::string port;
  std::string adapter;  // the USB serial adapter where known, else ""
  std::string imei;
  std::string firmware;
  std::string profileName;
  std::string profileSha256;
  std::vector<FieldChange> changes;  // what the write changed, old and new values as files write them
  bool verified = false;
  std::string failure;  // why not, when not verified
  std::string beforeImage;  // the kept image of its settings before the write; "" when none
};

// The entry as one line of JSON, without the line end.
std::string recordLine(const RecordEntry& entry);

// The same as a line of a CSV summary for a spreadsheet, under kCsvHeader:
// time, port, adapter, IMEI, firmware, profile, "verified" or "failed", the
// fields changed (separated by blanks), why it failed.
inline constexpr std::string_view kCsvHeader = "time,port,adapter,imei,firmware,profile,result,changed,failure";
std::string csvLine(const RecordEntry& entry);

// The IMEIs verified with the profile of hash `profileSha256` in the
// record's text. A line that is not a whole entry (cut by a crash) is
// skipped and counted in `skippedLines`.
std::set<std::string> verifiedWith(std::string_view recordText, std::string_view profileSha256,
                                   std::size_t* skippedLines = nullptr);

// "2026-12-07T14:22:05Z" for seconds since 1970.
std::string isoTimeUtc(long long secondsSinceEpoch);

}  // namespace pelmora::station
