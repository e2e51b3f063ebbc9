#pragma once
// Two sets of settings compared as people read them (`diff A B`, dry runs):
// each field by its key, page and label, values in words ("30 min",
// "80Km/h", "on"), the tracker's identity kept apart.
//
//     const SettingsDiff diff = diffSettings(a, b);
//     for (const FieldChange& c : diff.changes) print(changeInWords(c));
//     for (const FieldChange& c : diff.identity) print(identityInWords(c));

#include <string>
#include <vector>

#include "settings/settings_file.h"

namespace pelmora {

struct SettingsDiff {
  // The fields that differ, in table order, identity never. When one side
  // is a profile (it does not name every field) only the fields it names
  // are compared: a profile says nothing of the others. Two profiles are
  // compared over the fields either names, "(not set)" where one does not.
  std::vector<FieldChange> changes;
  // The identity fields (MagicNumber, RomVersion, Imei) set on either side,
  // equal or not: which trackers the two sides come from, never a difference.
  std::vector<FieldChange> identity;

  bool same() const { return changes.empty(); }
};

SettingsDiff diffSettings(const SettingsDocument& before, const SettingsDocument& after);

// The field as people find it: "SmsReportInterval (Sms Track, SMS Report
// Interval)"; the key alone for a field no page shows.
std::string fieldInWords(const FieldChange& change);
// "SmsReportInterval (Sms Track, SMS Report Interval): 30 min -> 45 min"
std::string changeInWords(const FieldChange& change);
// "Imei: 861234567890123" when both sides agree or only one is set,
// "Imei: 861234567890123 -> 861234567890124" when they differ.
std::string identityInWords(const FieldChange& change);

// A value of the change as people read it: valueInWords for a field a page
// shows, the file's form otherwise.
std::string beforeInWords(const FieldChange& change);
std::string afterInWords(const FieldChange& change);

// What compareSettings writes where a side does not set the field.
inline constexpr const char* kValueNotSet = "(not set)";

}  // namespace pelmora
