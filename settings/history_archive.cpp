#include "settings/history_archive.h"

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <system_error>

#include "settings/atomic_file.h"
#include "settings/sha256.h"
#include "settings/utc_time.h"

namespace pelmora {
namespace {

namespace fs = std::filesystem;
using Json = nlohmann::ordered_json;

constexpr std::string_view kImageEnding = ".pelmora-image";
constexpr std::string_view kFactsEnding = ".json";
constexpr std::size_t kMaxFactsBytes = 1024 * 1024;

// The time of a write twice: as people read it and as a file name may hold it; both sort as the time does.
struct Stamp {
  std::string shown;     // "2026-12-07T17:20:05.123Z"
  std::string fileName;  // "2026-12-07T17-20-05.123Z"
};

Stamp stampOf(std::chrono::system_clock::time_point when) {
  return {utcTimeText(when, UtcPrecision::Milliseconds), utcTimeText(when, UtcPrecision::Milliseconds, '-')};
}

std::string elementText(const SettingsDocument& document, std::string_view name) {
  const int element = findElement(name);
  if (element < 0 || !document.named[static_cast<std::size_t>(element)]) return {};
  const Json value = Json::parse(elementValueJson(document, static_cast<std::size_t>(element)), nullptr, false);
  return value.is_string() ? value.get<std::string>() : std::string{};
}

// Paths are UTF-8 text here as everywhere in the programs, on Windows too.
fs::path pathOf(const std::string& utf8) { return fs::path(std::u8string(utf8.begin(), utf8.end())); }
std::string utf8Of(const fs::path& path) {
  const std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

bool safeInFileName(std::string_view text) {
  return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
  });
}

std::string factsLine(const HistoryEntry& entry) {
  Json changes = Json::array();
  for (const FieldChange& change : entry.changes)
    changes.push_back({{"field", change.name}, {"before", change.before}, {"after", change.after}});
  const Json line = {{"time", entry.timeUtc},     {"tracker", entry.tracker},   {"port", entry.port},
                     {"program", entry.program},  {"changes", std::move(changes)},
                     {"written", entry.written},  {"verified", entry.verified}};
  return line.dump(-1, ' ', false, Json::error_handler_t::replace) + "\n";
}

fs::path factsPathOf(const HistoryEntry& entry) {
  fs::path path = pathOf(entry.imagePath);
  path.replace_extension(kFactsEnding);
  return path;
}

std::string cannotKeep(const std::string& why) {
  return "the tracker's settings cannot be kept before the write: " + why;
}

}  // namespace

std::string historyTrackerName(const SettingsDocument& image) {
  if (const std::string imei = elementText(image, "Imei"); safeInFileName(imei)) return imei;
  std::string identity(layoutInfo(image.layout).name);
  const std::span<const FieldElement> elements = settingsElements();
  for (std::size_t i = 0; i < elements.size(); ++i) {
    if ((elements[i].row->flags & kIdentityField) == 0 || !image.named[i]) continue;
    identity += '\n' + elementValueJson(image, i);
  }
  const std::string hash =
      sha256Hex(std::span(reinterpret_cast<const std::uint8_t*>(identity.data()), identity.size())).substr(0, 8);
  return std::string(layoutInfo(image.layout).name) + "-" + hash;
}

HistoryArchive::HistoryArchive(std::string folder, std::size_t keep)
    : folder_(std::move(folder)), keep_(std::max<std::size_t>(keep, 1)) {}

SettingsResult<HistoryEntry> HistoryArchive::keep(const SettingsDocument& image, const WriteFacts& facts) const {
  std::error_code error;
  const fs::path folder = pathOf(folder_);
  fs::create_directories(folder, error);
  if (error || !fs::is_directory(folder, error))
    return SettingsError{SettingsErrorKind::CannotWrite,
                         cannotKeep(folder_ + ": the folder cannot be made (" +
                                    (error ? error.message() : std::string("not a folder")) + ")")};
  HistoryEntry entry;
  entry.tracker = historyTrackerName(image);
  entry.port = facts.port;
  entry.program = facts.program;
  entry.changes = facts.changes;
  // Two writes to one tracker within a millisecond still get a name each.
  auto when = std::chrono::system_clock::now();
  for (;; when += std::chrono::milliseconds(1)) {
    const Stamp stamp = stampOf(when);
    const fs::path path = folder / pathOf(entry.tracker + "_" + stamp.fileName + std::string(kImageEnding));
    if (fs::exists(fs::symlink_status(path, error))) continue;
    entry.timeUtc = stamp.shown;
    entry.imagePath = utf8Of(path);
    break;
  }
  if (const SettingsStatus saved = saveSettingsFile(entry.imagePath, image, SettingsFileFormat::Image); !saved)
    return SettingsError{SettingsErrorKind::CannotWrite, cannotKeep(saved.error().message)};
  if (const SettingsStatus noted = writeFileAtomically(utf8Of(factsPathOf(entry)), factsLine(entry)); !noted) {
    fs::remove(pathOf(entry.imagePath), error);
    return SettingsError{SettingsErrorKind::CannotWrite, cannotKeep(noted.error().message)};
  }
  return entry;
}

SettingsStatus HistoryArchive::settle(HistoryEntry& entry, bool written, bool verified) const {
  entry.written = written;
  entry.verified = verified;
  if (const SettingsStatus noted = writeFileAtomically(utf8Of(factsPathOf(entry)), factsLine(entry)); !noted)
    return noted;
  if (!written) return {};
  const std::vector<HistoryEntry> kept = list(entry.tracker);
  if (kept.size() <= keep_) return {};
  std::error_code error;
  for (std::size_t i = 0; i + keep_ < kept.size(); ++i) {
    fs::remove(factsPathOf(kept[i]), error);
    fs::remove(pathOf(kept[i].imagePath), error);
  }
  return {};
}

std::vector<HistoryEntry> HistoryArchive::list(std::string_view tracker) const {
  std::vector<HistoryEntry> entries;
  std::error_code error;
  const std::string prefix = tracker.empty() ? std::string() : std::string(tracker) + "_";
  for (fs::directory_iterator it(pathOf(folder_), error), end; !error && it != end; it.increment(error)) {
    const fs::path& path = it->path();
    const std::string name = utf8Of(path.filename());
    if (path.extension() != kFactsEnding || name.compare(0, prefix.size(), prefix) != 0) continue;
    fs::path image = path;
    image.replace_extension(kImageEnding);
    if (!fs::is_regular_file(image, error)) continue;
    const SettingsResult<std::vector<std::uint8_t>> text = readRegularFile(utf8Of(path), kMaxFactsBytes, "history entry");
    if (!text) continue;
    const Json facts = Json::parse(text->begin(), text->end(), nullptr, false);
    if (!facts.is_object()) continue;
    HistoryEntry entry;
    entry.imagePath = utf8Of(image);
    entry.tracker = facts.value("tracker", "");
    entry.timeUtc = facts.value("time", "");
    entry.port = facts.value("port", "");
    entry.program = facts.value("program", "");
    entry.written = facts.value("written", false);
    entry.verified = facts.value("verified", false);
    if (entry.tracker.empty() || entry.timeUtc.empty() || (!prefix.empty() && entry.tracker != tracker)) continue;
    if (const auto changes = facts.find("changes"); changes != facts.end() && changes->is_array()) {
      for (const Json& change : *changes) {
        if (!change.is_object()) continue;
        entry.changes.push_back({change.value("field", ""), change.value("before", ""), change.value("after", "")});
      }
    }
    entries.push_back(std::move(entry));
  }
  std::sort(entries.begin(), entries.end(), [](const HistoryEntry& a, const HistoryEntry& b) {
    return a.timeUtc != b.timeUtc ? a.timeUtc < b.timeUtc : a.tracker < b.tracker;
  });
  return entries;
}

SettingsResult<SettingsDocument> loadKeptImage(const HistoryEntry& entry) { return loadSettingsFile(entry.imagePath); }

}  // namespace pelmora
