#include "settings/settings_file.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>

#include "settings/atomic_file.h"
#include "settings/file_kind.h"

namespace pelmora {
namespace {

// Far more than any settings file; a bigger one is not one.
constexpr std::size_t kMaxFileSize = 1 << 20;

std::string hexWord(std::uint32_t word) {
  char text[9];
  std::snprintf(text, sizeof text, "%08x", word);
  return text;
}

SettingsError badInput(std::string message) { return {SettingsErrorKind::BadInput, std::move(message)}; }

bool isTextField(const FieldElement& e) { return e.row->kind == FieldKind::Text; }

std::size_t unitsOf(const FieldElement& e, SettingsModel& model) {
  const auto units = std::get<std::span<char16_t>>(e.row->locate(model, e.element));
  return static_cast<std::size_t>(std::find(units.begin(), units.end(), u'\0') - units.begin());
}

SettingsDocument documentOfLayout(Layout layout, std::span<const std::uint8_t> image, const std::string& source) {
  SettingsDocument document;
  document.layout = layout;
  document.source = source;
  std::copy(image.begin(), image.end(), document.image.begin());
  const std::span<const FieldElement> elements = settingsElements();
  for (std::size_t i = 0; i < elements.size(); ++i)
    document.named[i] = elements[i].row->at(layout, elements[i].element).bytes != 0;
  return document;
}

}  // namespace

bool SettingsDocument::complete() const {
  if (!layoutGiven) return false;
  const std::span<const FieldElement> elements = settingsElements();
  for (std::size_t i = 0; i < elements.size(); ++i)
    if (!named[i] && elements[i].row->at(layout, elements[i].element).bytes != 0) return false;
  return true;
}

SettingsFileFormat formatForPath(std::string_view path) {
  std::string extension = std::filesystem::path(path).extension().string();
  std::transform(extension.begin(), extension.end(), extension.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return extension == ".json" ? SettingsFileFormat::Json : SettingsFileFormat::Image;
}

SettingsResult<SettingsDocument> documentFromImage(std::span<const std::uint8_t> image, const std::string& source) {
  const std::uint32_t word = settingsLayoutWord(image);
  const LayoutInfo* layout = layoutOfMagic(word);
  if (layout == nullptr) {
    std::string known;
    for (const LayoutInfo& l : settingsLayouts())
      known += (known.empty() ? "" : ", ") + hexWord(l.magic) + " " + std::string(l.name);
    return badInput(source + ": unknown settings layout " + hexWord(word) + " (known: " + known + ")");
  }
  if (image.size() != layout->size)
    return badInput(source + ": " + std::to_string(image.size()) + " bytes, but a " + std::string(layout->name) +
                    " settings image (as its first word says) has " + std::to_string(layout->size));
  return documentOfLayout(layout->id, image, source);
}

SettingsResult<SettingsDocument> settingsFromBytes(std::span<const std::uint8_t> bytes, const std::string& source) {
  if (formatForPath(source) == SettingsFileFormat::Json || holdsJsonObject(bytes))
    return parseSettingsJson(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()), source);
  const std::string size = std::to_string(bytes.size()) + " bytes";
  if (isText(bytes)) return badInput(source + ": " + size + " of text, not a settings image");
  if (isUtf16Text(bytes)) return badInput(source + ": " + size + " of UTF-16 text, not a settings image");
  return documentFromImage(bytes, source);
}

SettingsResult<SettingsDocument> loadSettingsFile(const std::string& path) {
  const SettingsResult<std::vector<std::uint8_t>> file = readRegularFile(path, kMaxFileSize, "settings file");
  if (!file) return file.error();
  return settingsFromBytes(*file, path);
}

SettingsStatus saveSettingsFile(const std::string& path, const SettingsDocument& document) {
  return saveSettingsFile(path, document, formatForPath(path));
}

SettingsStatus saveSettingsFile(const std::string& path, const SettingsDocument& document, SettingsFileFormat format) {
  if (format == SettingsFileFormat::Json) return writeFileAtomically(path, settingsJson(document));
  if (!document.complete()) return badInput(path + ": a profile names only some fields and cannot be saved as an image");
  return writeFileAtomically(path, document.bytes());
}

SettingsDocument documentFromTracker(const SettingsCodec& codec, const SettingsModel& model) {
  if (!codec.hasImage()) return SettingsDocument{};
  const Layout layout = codec.imageLayout()->id;
  SettingsDocument document = documentOfLayout(layout, codec.readImage(), "tracker");
  const std::span<std::uint8_t> image = std::span(document.image).first(layoutInfo(layout).size);
  for (const FieldElement& e : settingsElements()) {
    if ((e.row->flags & kHeaderField) || sameFieldElement(*e.row, e.element, model, codec.readModel())) continue;
    storeFieldElement(*e.row, e.element, layout, model, image);
  }
  return document;
}

SettingsStatus applySettings(const SettingsDocument& document, Layout tracker, SettingsModel& model) {
  SettingsModel result = model;
  const std::span<const FieldElement> elements = settingsElements();
  for (std::size_t i = 0; i < elements.size(); ++i) {
    const FieldElement& e = elements[i];
    if (!document.named[i] || (e.row->flags & kIdentityField)) continue;
    const Placement at = e.row->at(tracker, e.element);
    if (at.bytes == 0)
      return badInput(document.source + ": " + e.name + " is not in the " + std::string(layoutInfo(tracker).name) +
                      " layout of this tracker");
    loadFieldElement(*e.row, e.element, document.layout, document.bytes(), result);
    if (isTextField(e) && unitsOf(e, result) > at.bytes / 2u)
      return badInput(document.source + ": " + e.name + " has " + std::to_string(unitsOf(e, result)) + " units; a " +
                      std::string(layoutInfo(tracker).name) + " tracker keeps at most " + std::to_string(at.bytes / 2u));
    // A value that breaks its rule goes to the tracker only when the tracker holds it already: its
    // own value, as a whole file saved from it carries, is not the user's mistake.
    const CatalogueEntry* entry = catalogueEntry(e.name);
    if (entry != nullptr && !sameFieldElement(*e.row, e.element, result, model))
      if (const std::optional<std::string> breach = modelBreach(*entry, result))
        return badInput(document.source + ": " + breachLine(*entry, elementValueJson(document, i), *breach));
  }
  model = result;
  return {};
}

SettingsResult<SettingsModel> laidOverRead(const SettingsCodec& codec, const SettingsDocument& document) {
  if (!codec.hasImage())
    return SettingsError{SettingsErrorKind::NothingRead,
                         document.source + ": no tracker settings read yet; read the tracker first"};
  SettingsModel model = codec.readModel();
  if (const SettingsStatus applied = applySettings(document, codec.imageLayout()->id, model); !applied)
    return applied.error();
  return model;
}

std::vector<std::string> oneTrackerFields(const SettingsDocument& document) {
  std::vector<std::string> names;
  const std::span<const FieldElement> elements = settingsElements();
  for (std::size_t i = 0; i < elements.size(); ++i)
    if (document.named[i] && (elements[i].row->flags & kOneTrackerField)) names.push_back(elements[i].name);
  return names;
}

std::string describeChange(const FieldChange& change) {
  return change.name + ": " + change.before + " -> " + change.after;
}

std::vector<FieldChange> compareSettings(const SettingsDocument& before, const SettingsDocument& after) {
  static const std::string kNotSet = "(not set)";
  const std::span<const FieldElement> elements = settingsElements();
  const auto valueIn = [&](const SettingsDocument& document, std::size_t i) {
    const bool present = document.named[i] && elements[i].row->at(document.layout, elements[i].element).bytes != 0;
    return present ? elementValueJson(document, i) : kNotSet;
  };
  std::vector<FieldChange> changes;
  for (std::size_t i = 0; i < elements.size(); ++i) {
    std::string a = valueIn(before, i), b = valueIn(after, i);
    if (a != b) changes.push_back({elements[i].name, std::move(a), std::move(b), i, catalogueEntry(elements[i].name)});
  }
  return changes;
}

std::vector<FieldChange> pendingChanges(const SettingsCodec& codec, const SettingsModel& model) {
  if (!codec.hasImage()) return {};
  const SettingsDocument after = documentFromTracker(codec, model);
  return compareSettings(documentOfLayout(after.layout, codec.readImage(), "tracker"), after);
}

SettingsResult<std::vector<FieldChange>> verifyWrite(std::span<const std::uint8_t> written,
                                                     std::span<const std::uint8_t> readBack) {
  SettingsResult<SettingsDocument> back = documentFromImage(readBack, "the tracker's settings read back");
  if (!back) return SettingsError{SettingsErrorKind::BadReadBack, back.error().message};
  if (written.size() != readBack.size())
    return SettingsError{SettingsErrorKind::BadReadBack, "the tracker's settings read back: " +
                                                             std::to_string(readBack.size()) + " bytes after a write of " +
                                                             std::to_string(written.size())};
  SettingsDocument sent = documentOfLayout(back->layout, written, "written");
  const std::span<const FieldElement> elements = settingsElements();
  for (std::size_t i = 0; i < elements.size(); ++i)
    if (elements[i].row->flags & kHeaderField) sent.named[i] = (*back).named[i] = false;
  return compareSettings(sent, *back);
}

}  // namespace pelmora
