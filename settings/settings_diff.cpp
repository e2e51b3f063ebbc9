#include "settings/settings_diff.h"

#include "settings/utf.h"

namespace pelmora {
namespace {

bool isIdentity(std::size_t element) { return (settingsElements()[element].row->flags & kIdentityField) != 0; }

// The element's value as the file writes it, or kValueNotSet.
std::string valueIn(const SettingsDocument& document, std::size_t element) {
  const FieldElement& e = settingsElements()[element];
  if (!document.named[element] || e.row->at(document.layout, e.element).bytes == 0) return kValueNotSet;
  return elementValueJson(document, element);
}

std::string inWords(const FieldChange& change, const std::string& value) {
  return change.entry != nullptr ? valueInWords(*change.entry, value) : value;
}

}  // namespace

SettingsDiff diffSettings(const SettingsDocument& before, const SettingsDocument& after) {
  SettingsDiff diff;
  const bool beforeWhole = before.complete();
  const bool afterWhole = after.complete();
  for (FieldChange& change : compareSettings(before, after)) {
    if (isIdentity(change.element)) continue;
    // A profile against a whole document: only what the profile names.
    if (beforeWhole != afterWhole && !(beforeWhole ? after : before).named[change.element]) continue;
    diff.changes.push_back(std::move(change));
  }
  const std::span<const FieldElement> elements = settingsElements();
  for (std::size_t i = 0; i < elements.size(); ++i) {
    if (!isIdentity(i)) continue;
    std::string a = valueIn(before, i), b = valueIn(after, i);
    if (a == kValueNotSet && b == kValueNotSet) continue;
    diff.identity.push_back({elements[i].name, std::move(a), std::move(b), i, catalogueEntry(elements[i].name)});
  }
  return diff;
}

std::string fieldInWords(const FieldChange& change) {
  if (change.entry == nullptr) return change.name;
  return change.name + " (" + utf8FromUtf16(pageTitle(change.entry->page)) + ", " +
         utf8FromUtf16(fullLabel(*change.entry)) + ")";
}

std::string beforeInWords(const FieldChange& change) { return inWords(change, change.before); }
std::string afterInWords(const FieldChange& change) { return inWords(change, change.after); }

std::string changeInWords(const FieldChange& change) {
  return fieldInWords(change) + ": " + beforeInWords(change) + " -> " + afterInWords(change);
}

std::string identityInWords(const FieldChange& change) {
  const std::string before = beforeInWords(change), after = afterInWords(change);
  if (change.after == kValueNotSet || change.before == change.after) return fieldInWords(change) + ": " + before;
  if (change.before == kValueNotSet) return fieldInWords(change) + ": " + after;
  return fieldInWords(change) + ": " + before + " -> " + after;
}

}  // namespace pelmora
