#include "station/station_record.h"

#include <chrono>
#include <nlohmann/json.hpp>

#include "settings/utc_time.h"

namespace pelmora::station {

using Json = nlohmann::ordered_json;

std::string recordLine(const RecordEntry& entry) {
  Json changes = Json::array();
  for (const FieldChange& change : entry.changes)
    changes.push_back({{"field", change.name}, {"before", change.before}, {"after", change.after}});
  Json line = {
      {"time", entry.timeUtc},         {"port", entry.port},
      {"adapter", entry.adapter},      {"imei", entry.imei},
      {"firmware", entry.firmware},    {"profile", entry.profileName},
      {"profileSha256", entry.profileSha256}, {"changes", std::move(changes)},
      {"verified", entry.verified},
  };
  if (!entry.verified) line["failure"] = entry.failure;
  if (!entry.beforeImage.empty()) line["beforeImage"] = entry.beforeImage;
  return line.dump(-1, ' ', false, Json::error_handler_t::replace);
}

namespace {

// A field quoted where it must be: a comma, a quote or a line end inside.
std::string csvField(std::string_view text) {
  if (text.find_first_of(",\"\r\n") == std::string_view::npos) return std::string(text);
  std::string quoted = "\"";
  for (const char c : text) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
  return quoted + "\"";
}

}  // namespace

std::string csvLine(const RecordEntry& entry) {
  std::string changed;
  for (const FieldChange& change : entry.changes) changed += (changed.empty() ? "" : " ") + change.name;
  const std::string_view fields[] = {entry.timeUtc,     entry.port, entry.adapter, entry.imei, entry.firmware,
                                     entry.profileName, entry.verified ? "verified" : "failed", changed, entry.failure};
  std::string line;
  for (const std::string_view field : fields) line += (line.empty() ? "" : ",") + csvField(field);
  return line;
}

std::set<std::string> verifiedWith(std::string_view recordText, std::string_view profileSha256,
                                   std::size_t* skippedLines) {
  std::set<std::string> imeis;
  std::size_t skipped = 0;
  while (!recordText.empty()) {
    const std::size_t end = recordText.find('\n');
    const std::string_view line = recordText.substr(0, end);
    recordText.remove_prefix(end == std::string_view::npos ? recordText.size() : end + 1);
    if (line.find_first_not_of(" \t\r") == std::string_view::npos) continue;
    const Json entry = Json::parse(line, nullptr, false);
    const bool whole = entry.is_object() && entry.contains("imei") && entry["imei"].is_string() &&
                       entry.contains("profileSha256") && entry["profileSha256"].is_string() &&
                       entry.contains("verified") && entry["verified"].is_boolean();
    if (!whole) {
      ++skipped;
      continue;
    }
    if (entry["verified"].get<bool>() && entry["profileSha256"].get_ref<const std::string&>() == profileSha256)
      imeis.insert(entry["imei"].get<std::string>());
  }
  if (skippedLines != nullptr) *skippedLines = skipped;
  return imeis;
}

std::string isoTimeUtc(long long secondsSinceEpoch) {
  return utcTimeText(std::chrono::system_clock::time_point(std::chrono::seconds(secondsSinceEpoch)),
                     UtcPrecision::Seconds);
}

}  // namespace pelmora::station
