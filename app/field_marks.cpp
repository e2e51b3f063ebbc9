#include "app/field_marks.h"

#include <algorithm>

#include "pages/settings_page.h"
#include "settings/settings_elements.h"
#include "settings/settings_layout.h"
#include "settings/utf.h"

namespace pelmora {
namespace {

// A wording in the window's language: its pattern translated, the same numbers filled in.
std::string inLanguage(const MainView& view, const Wording& wording) {
  return fillWording(utf8FromUtf16(view.translated(utf16FromUtf8(wording.pattern))), wording.args);
}

// "Button 1 (Phone Number Binding)" in the window's language.
std::u16string shownLabel(const MainView& view, const CatalogueEntry& entry) {
  std::u16string label = view.translated(entry.label);
  if (!entry.heading.empty()) label += u" (" + view.translated(entry.heading) + u")";
  return label;
}

}  // namespace

std::u16string_view markCaption(FieldMark mark) {
  switch (mark) {
    case FieldMark::Breach:
      return u"This value breaks its rule: Write Settings will not send it.";
    case FieldMark::TrackersOwn:
      return u"The tracker sent this value, which breaks its rule: it goes back unchanged unless you change it.";
    case FieldMark::None:
      break;
  }
  return {};
}

SettingsModel FieldMarks::edited(MainView& view, const PageTable& table) const {
  SettingsModel model = loaded_.value_or(SettingsModel{});
  for (int i = 0; i < PageTable::size(); ++i) table[i].page->peekSave(view.pageControls(i), model);
  return model;
}

std::vector<FieldBreach> FieldMarks::breaches(const PageTable& table, const SettingsModel& edited) const {
  std::vector<FieldBreach> found;
  if (!loaded_) return found;
  const std::span<const FieldElement> elements = settingsElements();
  for (int page = 0; page < PageTable::size(); ++page) {
    for (const ShownField& field : table[page].page->shownFields()) {
      const CatalogueEntry* entry = catalogueEntry(field.key);
      const int element = entry == nullptr ? -1 : findElement(entry->key);
      if (element < 0) continue;  // a drift the pages' test reports
      std::optional<Wording> breach = modelBreachWording(*entry, edited);
      if (!breach) continue;
      const FieldElement& e = elements[static_cast<std::size_t>(element)];
      const bool changed = !sameFieldElement(*e.row, e.element, edited, *loaded_);
      found.push_back({entry, static_cast<std::size_t>(element), page, field.control, std::move(*breach), changed});
    }
  }
  return found;
}

void FieldMarks::show(MainView& view, const PageTable& table, std::span<const FieldBreach> breaches) {
  for (int page = 0; page < PageTable::size(); ++page) {
    const std::span<const ShownField> fields = table[page].page->shownFields();
    for (std::size_t i = 0; i < fields.size(); ++i) {
      const int control = fields[i].control;
      bool first = true;  // of the fields this control shows; it is marked once
      for (std::size_t j = 0; j < i; ++j) first = first && fields[j].control != control;
      if (!first) continue;
      // A control showing two fields names each breach with its field's label.
      std::size_t count = 0;
      for (const FieldBreach& b : breaches) count += b.page == page && b.control == control ? 1 : 0;
      Shown now;
      for (const FieldBreach& b : breaches) {
        if (b.page != page || b.control != control) continue;
        const FieldMark mark = b.changed ? FieldMark::Breach : FieldMark::TrackersOwn;
        if (now.mark != FieldMark::Breach) now.mark = mark;
        if (!now.why.empty()) now.why += u"\n";
        if (count > 1) now.why += shownLabel(view, *b.entry) + u": ";
        const std::array<std::string, 2> parts{inLanguage(view, b.breach), inLanguage(view, ruleWording(*b.entry))};
        now.why += utf16FromUtf8(fillWording(utf8FromUtf16(view.translated(utf16FromUtf8(kBreachAndRule))), parts));
      }
      Shown& last = shown_[{page, control}];
      if (last.mark == now.mark && last.why == now.why) continue;
      view.pageControls(page).markField(control, now.mark, now.why);
      last = std::move(now);
    }
  }
}

void FieldMarks::showChanged(MainView& view, const PageTable& table, std::span<const std::size_t> changedElements) {
  std::set<std::pair<int, int>> now;
  for (int page = 0; page < PageTable::size(); ++page) {
    for (const ShownField& field : table[page].page->shownFields()) {
      const CatalogueEntry* entry = catalogueEntry(field.key);
      const int element = entry == nullptr ? -1 : findElement(entry->key);
      if (element >= 0 && std::find(changedElements.begin(), changedElements.end(), static_cast<std::size_t>(element)) !=
                              changedElements.end())
        now.insert({page, field.control});
    }
  }
  for (const auto& control : now)
    if (!changedShown_.contains(control)) view.pageControls(control.first).markChanged(control.second, true);
  for (const auto& control : changedShown_)
    if (!now.contains(control)) view.pageControls(control.first).markChanged(control.second, false);
  changedShown_ = std::move(now);
}

}  // namespace pelmora
