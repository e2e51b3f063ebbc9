#pragma once
// Settings files: a tracker's settings kept as an image or as JSON, opened
// again, laid over what a tracker holds, compared field by field, and the
// read-back after a write checked. No Qt, so the window and the
// command-line tool share it. Every failure is one message naming the file
// and what is wrong, and changes nothing.
//
// Save the last read with the pages' edits ("Save Settings As", `read -o`):
//     const SettingsDocument doc = documentFromTracker(codec, model);
//     if (auto error = saveSettingsFile(path, doc)) log(error->message);   // *.json: JSON, else the image
// Open a file, an image or a profile over the last read ("Open Settings",
// `write FILE`); nothing reaches the tracker until the write:
//     Loaded<SettingsDocument> file = loadSettingsFile(path);
//     Loaded<SettingsModel> shown = file ? laidOverRead(codec, *file) : file.error();
//     if (shown) model = *shown; else log(shown.error());
// What a write would change ("Compare with Tracker", `--dry-run`):
//     for (const FieldChange& c : pendingChanges(codec, model)) print(describeChange(c));
// Two files or trackers (`diff A B`): compareSettings(a, b).
// Verify after a write: copy the bytes written, read back, then
//     Loaded<std::vector<FieldChange>> wrong = verifyWrite(written, codec.readImage());
// A profile for many trackers: refuse when oneTrackerFields(profile) is not empty.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "settings/settings_codec.h"
#include "settings/settings_elements.h"
#include "settings/settings_layout.h"
#include "settings/settings_model.h"

namespace pelmora {

struct SettingsError {
  std::string message;  // "<file>: <what is wrong>"
};

// A value, or the one message saying why there is none.
template <class T>
class Loaded {
 public:
  Loaded(T value) : value_(std::move(value)) {}                   // NOLINT: implicit by design
  Loaded(SettingsError error) : error_(std::move(error.message)) {}  // NOLINT: implicit by design
  Loaded(const std::string& error) : error_(error) {}               // NOLINT: passes another's error on
  explicit operator bool() const { return value_.has_value(); }
  T& operator*() { return *value_; }
  const T& operator*() const { return *value_; }
  const T* operator->() const { return &*value_; }
  const std::string& error() const { return error_; }

 private:
  std::optional<T> value_;
  std::string error_;
};

// Settings as a file holds them: the image bytes of the fields it names,
// in one layout. An image file, a whole JSON file and a tracker's read name
// every field; a profile names some.
struct SettingsDocument {
  Layout layout = kWidestLayout;  // the shape of `image`
  bool layoutGiven = true;        // false: a profile that names no layout (kept in the widest shape)
  std::array<std::uint8_t, kMaxImageSize> image{};
  std::vector<bool> named = std::vector<bool>(settingsElements().size(), false);  // by element index
  std::string source;  // the file, for messages

  std::span<const std::uint8_t> bytes() const { return std::span(image).first(layoutInfo(layout).size); }
  // Every element of the layout named, identity included: it can be an image.
  bool complete() const;
};

enum class SettingsFileFormat { Json, Image };
SettingsFileFormat formatForPath(std::string_view path);  // *.json (any case): JSON; anything else: image

// Files. Loading reads a regular file only (a directory, FIFO or device is
// refused by name, never opened) of at most 1 MiB. It is JSON when named
// *.json or when it holds a JSON object (first non-blank byte '{'), whatever
// its size; otherwise an image, but never a file of text (UTF-8, a one-byte
// code page or UTF-16): "fleet.txt: 3180 bytes of text, not a settings image".
// Saving goes through writeFileAtomically (settings/atomic_file.h): a
// regular file or a new name only, a new file 0600, an existing one keeping
// its mode, a symbolic link written through, a read-only file refused.
Loaded<SettingsDocument> loadSettingsFile(const std::string& path);
std::optional<SettingsError> saveSettingsFile(const std::string& path, const SettingsDocument& document);
std::optional<SettingsError> saveSettingsFile(const std::string& path, const SettingsDocument& document,
                                              SettingsFileFormat format);

// The same in memory; `source` names the data in messages (and, by its
// name, which form it is, as for a file).
Loaded<SettingsDocument> settingsFromBytes(std::span<const std::uint8_t> bytes, const std::string& source);
// Refuses, naming the line, a key given twice in one object ("line 7:
// \"SmsPassword\" is given twice (first at line 4)"), nesting more than 16
// deep and a number beyond a double; a value quoted in a message is cut to
// 60 characters.
Loaded<SettingsDocument> parseSettingsJson(std::string_view text, const std::string& source);
std::string settingsJson(const SettingsDocument& document);
// One named element's value as the JSON file writes it.
std::string elementValueJson(const SettingsDocument& document, std::size_t element);
Loaded<SettingsDocument> documentFromImage(std::span<const std::uint8_t> image, const std::string& source);

// The image last read with the model's changes laid over it, header kept
// (a document naming nothing before any read: check codec.hasImage()).
SettingsDocument documentFromTracker(const SettingsCodec& codec, const SettingsModel& model);

// Sets exactly the fields the document names, identity never, in a model
// for a tracker of `tracker` layout; refuses, changing nothing, a field
// that layout lacks or a text longer than it keeps, and a profile that
// names identity fields.
std::optional<SettingsError> applySettings(const SettingsDocument& document, Layout tracker, SettingsModel& model);
// The model of the last read with the document applied.
Loaded<SettingsModel> laidOverRead(const SettingsCodec& codec, const SettingsDocument& document);

// Names of the named fields that belong to one tracker only (TrackerId).
std::vector<std::string> oneTrackerFields(const SettingsDocument& document);

// One field element that differs; values as the JSON file writes them,
// "(not set)" where a profile does not name the field.
struct FieldChange {
  std::string name;
  std::string before;
  std::string after;
};
std::string describeChange(const FieldChange& change);  // "SmsReportInterval: 30 -> 45"

// Every element named in either document whose value differs, in table order.
std::vector<FieldChange> compareSettings(const SettingsDocument& before, const SettingsDocument& after);
// What a write of `model` would change on the tracker read last.
std::vector<FieldChange> pendingChanges(const SettingsCodec& codec, const SettingsModel& model);
// The fields a read-back image holds otherwise than the image written (the
// Extended header, written as zeros, is not compared); empty: verified.
Loaded<std::vector<FieldChange>> verifyWrite(std::span<const std::uint8_t> written,
                                             std::span<const std::uint8_t> readBack);

}  // namespace pelmora
