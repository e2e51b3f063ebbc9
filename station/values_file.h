#pragma once
// Each tracker's own values for a station (`--values FILE.csv`): a header
// row of field keys with `Imei` first, then one row per tracker:
//
//     Imei,TrackerId,SmsPassword
//     490154203237518,8800123,482915
//
// Each row becomes a profile read by the settings reader itself, so every
// field keeps its rule and takes what people write (true/false, "80 km/h").
// An empty cell leaves the field to the profile. Commas or, as a
// spreadsheet set to a comma decimal writes, semicolons; fields may be
// quoted ("a, b", "say ""hi"""); a UTF-8 byte-order mark is skipped.

#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "settings/settings_file.h"

namespace pelmora::station {

class ValuesFile {
 public:
  // BadInput naming the file and line: no `Imei` column first, an unknown
  // or identity key, a key twice, a row of another length, an empty or
  // repeated IMEI, a value that breaks its field's rule. CannotRead as
  // for any settings file.
  static SettingsResult<ValuesFile> load(const std::string& path);
  static SettingsResult<ValuesFile> parse(std::string_view text, const std::string& source);

  // The row of the tracker with this IMEI as a profile, or nullptr.
  const SettingsDocument* forImei(std::string_view imei) const;
  // The field keys after Imei, as the header gives them.
  const std::vector<std::string>& keys() const { return keys_; }
  std::size_t size() const { return rows_.size(); }

 private:
  std::vector<std::string> keys_;
  std::map<std::string, SettingsDocument, std::less<>> rows_;
};

}  // namespace pelmora::station
