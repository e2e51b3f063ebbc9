#include "station/values_file.h"

#include <charconv>
#include <nlohmann/json.hpp>

#include "settings/atomic_file.h"
#include "settings/echoed_value.h"

namespace pelmora::station {
namespace {

using Json = nlohmann::ordered_json;
using Row = std::vector<std::string>;

constexpr std::string_view kImeiKey = "Imei";
constexpr std::size_t kMaxFileBytes = 1 << 20;  // a fleet of thousands fits many times

SettingsError badInput(std::string message) { return {SettingsErrorKind::BadInput, std::move(message)}; }

// The next row of `text` from `at`, its fields unquoted; false at the end.
bool nextRow(std::string_view text, std::size_t& at, char separator, Row& row) {
  row.clear();
  if (at >= text.size()) return false;
  std::string field;
  bool quoted = false;
  for (; at < text.size(); ++at) {
    const char c = text[at];
    if (quoted) {
      if (c != '"') {
        field.push_back(c);
      } else if (at + 1 < text.size() && text[at + 1] == '"') {
        field.push_back('"');
        ++at;
      } else {
        quoted = false;
      }
    } else if (c == '"') {
      quoted = true;
    } else if (c == separator) {
      row.push_back(std::move(field));
      field.clear();
    } else if (c == '\n') {
      ++at;
      break;
    } else if (c != '\r') {
      field.push_back(c);
    }
  }
  row.push_back(std::move(field));
  return true;
}

bool isBlank(const Row& row) { return row.size() == 1 && row[0].find_first_not_of(" \t") == std::string::npos; }

// The cell as the JSON reader takes it: a whole number for a numeric field,
// true/false as such, anything else a string (a choice's item, a text).
Json cellValue(const FieldElement& element, const std::string& cell) {
  if (cell == "true" || cell == "false") return cell == "true";
  if (element.row->kind == FieldKind::U32 || element.row->kind == FieldKind::I32) {
    std::int64_t number = 0;
    const auto [end, error] = std::from_chars(cell.data(), cell.data() + cell.size(), number);
    if (error == std::errc() && end == cell.data() + cell.size()) return number;
  }
  return cell;
}

}  // namespace

SettingsResult<ValuesFile> ValuesFile::load(const std::string& path) {
  const SettingsResult<std::vector<std::uint8_t>> bytes = readRegularFile(path, kMaxFileBytes, "values file");
  if (!bytes) return bytes.error();
  return parse(std::string_view(reinterpret_cast<const char*>(bytes->data()), bytes->size()), path);
}

SettingsResult<ValuesFile> ValuesFile::parse(std::string_view text, const std::string& source) {
  if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
  const std::string_view firstLine = text.substr(0, text.find('\n'));
  const char separator = firstLine.find(',') == std::string_view::npos && firstLine.find(';') != std::string_view::npos ? ';' : ',';

  ValuesFile file;
  std::size_t at = 0;
  Row header;
  if (!nextRow(text, at, separator, header) || header[0] != kImeiKey)
    return badInput(source + ": line 1: the first column must be Imei (a header row of field keys, Imei first)");
  std::vector<const FieldElement*> elements;
  for (std::size_t column = 1; column < header.size(); ++column) {
    const std::string& key = header[column];
    const int index = findElement(key);
    if (index < 0)
      return badInput(source + ": line 1: unknown field \"" + echoedValue(key) + "\" (nearest known: " +
                      std::string(nearestElementName(key)) + ")");
    const FieldElement& element = settingsElements()[static_cast<std::size_t>(index)];
    if (element.row->flags & kIdentityField)
      return badInput(source + ": line 1: " + key + " is the tracker's identity, never written");
    for (std::size_t earlier = 1; earlier < column; ++earlier)
      if (header[earlier] == key) return badInput(source + ": line 1: " + key + " is given twice");
    elements.push_back(&element);
    file.keys_.push_back(key);
  }

  Row row;
  for (std::size_t line = 2; nextRow(text, at, separator, row); ++line) {
    if (isBlank(row)) continue;
    const std::string where = source + ": line " + std::to_string(line);
    if (row.size() != header.size())
      return badInput(where + ": " + std::to_string(row.size()) + " values, but the header names " +
                      std::to_string(header.size()));
    const std::string& imei = row[0];
    if (imei.empty()) return badInput(where + ": no IMEI");
    if (file.rows_.count(imei) != 0) return badInput(where + ": IMEI " + echoedValue(imei) + " is given twice");
    Json fields = Json::object();
    for (std::size_t column = 1; column < row.size(); ++column)
      if (!row[column].empty()) fields[header[column]] = cellValue(*elements[column - 1], row[column]);
    const Json profile = {{"pelmora-settings", 1}, {"fields", std::move(fields)}};
    SettingsResult<SettingsDocument> document =
        parseSettingsJson(profile.dump(-1, ' ', false, Json::error_handler_t::replace), where);
    if (!document) return document.error();
    file.rows_.emplace(imei, std::move(*document));
  }
  return file;
}

const SettingsDocument* ValuesFile::forImei(std::string_view imei) const {
  const auto found = rows_.find(imei);
  return found == rows_.end() ? nullptr : &found->second;
}

}  // namespace pelmora::station
