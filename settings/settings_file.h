#pragma once
// Settings files: a tracker's settings kept as an image or as JSON, opened
// again, laid over what a tracker holds, compared field by field, and the
// read-back after a write checked. No Qt, so the window and the
// command-line tool share it. Every failure is a SettingsError
// (settings/settings_error.h): its kind, and one message naming the file and
// what is wrong; nothing was changed.
//
// Save the last read with the pages' edits ("Save Settings As", `read -o`):
//     const SettingsDocument doc = documentFromTracker(codec, model);
//     if (const SettingsStatus saved = saveSettingsFile(path, doc); !saved)   // *.json: JSON, else the image
//       log(saved.error().message);
// Open a file, an image or a profile over the last read ("Open Settings",
// `write FILE`); nothing reaches the tracker until the write:
//     SettingsResult<SettingsDocument> file = loadSettingsFile(path);
//     SettingsResult<SettingsModel> shown = file ? laidOverRead(codec, *file) : file.error();
//     if (shown) model = *shown; else log(shown.error().message);
// What a write would change ("Compare with Tracker", `--dry-run`):
//     for (const FieldChange& c : pendingChanges(codec, model)) print(describeChange(c));
// Two files or trackers (`diff A B`): compareSettings(a, b).
// Verify after a write: copy the bytes written, read back, then
//     SettingsResult<std::vector<FieldChange>> wrong = verifyWrite(written, codec.readImage());
// A profile for many trackers: refuse when oneTrackerFields(profile) is not empty.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "settings/settings_codec.h"
#include "settings/settings_elements.h"
#include "settings/settings_error.h"
#include "settings/field_catalogue.h"
#include "settings/settings_layout.h"
#include "settings/settings_model.h"

namespace pelmora {

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
//   load: CannotRead (the system refused), BadInput (not a regular file,
//         too large, text, not settings: see settingsFromBytes)
//   save: CannotWrite, BadInput (a profile, which names only some fields, as an image)
SettingsResult<SettingsDocument> loadSettingsFile(const std::string& path);
SettingsStatus saveSettingsFile(const std::string& path, const SettingsDocument& document);
SettingsStatus saveSettingsFile(const std::string& path, const SettingsDocument& document, SettingsFileFormat format);

// The same in memory; `source` names the data in messages (and, by its
// name, which form it is, as for a file). BadInput only.
SettingsResult<SettingsDocument> settingsFromBytes(std::span<const std::uint8_t> bytes, const std::string& source);
// Refuses, naming the line, a key given twice in one object ("line 7:
// \"SmsPassword\" is given twice (first at line 4)"), nesting more than 16
// deep and a number beyond a double; a value quoted in a message is cut to
// 60 characters. Takes what people write for a field (field_catalogue.h):
// true/false for on/off, a number for a port, a chooser's item text
// ("80 km/h") for a choice, each kept in the file's own form. A profile's
// value that breaks its field's rule is refused here; a whole file's, when
// laid over a tracker (applySettings). BadInput only.
SettingsResult<SettingsDocument> parseSettingsJson(std::string_view text, const std::string& source);
std::string settingsJson(const SettingsDocument& document);
// One named element's value as the JSON file writes it.
std::string elementValueJson(const SettingsDocument& document, std::size_t element);
// BadInput only: an unknown layout word, or a size other than its layout's.
SettingsResult<SettingsDocument> documentFromImage(std::span<const std::uint8_t> image, const std::string& source);

// The image last read with the model's changes laid over it, header kept
// (a document naming nothing before any read: check codec.hasImage()).
SettingsDocument documentFromTracker(const SettingsCodec& codec, const SettingsModel& model);

// Sets exactly the fields the document names, identity never, in a model
// for a tracker of `tracker` layout; refuses, changing nothing, a field
// that layout lacks or a text longer than it keeps, a value that breaks its
// rule (field_catalogue.h) unless `model` holds it already (the tracker's
// own), and a profile that names identity fields. BadInput only.
SettingsStatus applySettings(const SettingsDocument& document, Layout tracker, SettingsModel& model);
// The model of the last read with the document applied: NothingRead before
// any read, BadInput as applySettings.
SettingsResult<SettingsModel> laidOverRead(const SettingsCodec& codec, const SettingsDocument& document);

// Names of the named fields that belong to one tracker only (TrackerId).
std::vector<std::string> oneTrackerFields(const SettingsDocument& document);

// One field element that differs; values as the JSON file writes them,
// "(not set)" where a profile does not name the field.
struct FieldChange {
  std::string name;
  std::string before;
  std::string after;
  std::size_t element = 0;                 // index into settingsElements()
  const CatalogueEntry* entry = nullptr;  // how people read it; nullptr for a field no page shows
};
std::string describeChange(const FieldChange& change);  // "SmsReportInterval: 30 -> 45"

// Every element named in either document whose value differs, in table order.
std::vector<FieldChange> compareSettings(const SettingsDocument& before, const SettingsDocument& after);
// What a write of `model` would change on the tracker read last.
std::vector<FieldChange> pendingChanges(const SettingsCodec& codec, const SettingsModel& model);
// The fields a read-back image holds otherwise than the image written (the
// Extended header, written as zeros, is not compared); empty: verified.
// BadReadBack when the read-back is no settings image of the size written.
SettingsResult<std::vector<FieldChange>> verifyWrite(std::span<const std::uint8_t> written,
                                                     std::span<const std::uint8_t> readBack);

}  // namespace pelmora
