#pragma once
// The window's marks on fields that break their rule (settings/
// field_catalogue.h). A field is judged by what a save of its page would
// store. One the user changed (it differs from what the last read or open
// loaded) is a breach: marked, and Write Settings refuses it. One the last
// read or open brought is the tracker's own: marked otherwise, shown as it
// is, and never a reason to refuse.

#include <cstddef>
#include <map>
#include <optional>
#include <set>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "app/main_view.h"
#include "app/page_table.h"
#include "settings/field_catalogue.h"
#include "settings/settings_model.h"

namespace pelmora {

// What a marked control's tooltip says before the rule (English; the fronts
// show it in the window's language).
std::u16string_view markCaption(FieldMark mark);

struct FieldBreach {
  const CatalogueEntry* entry = nullptr;
  std::size_t element = 0;  // index into settingsElements()
  int page = 0;             // index into the page table
  int control = 0;          // the control of that page showing the field
  Wording breach;           // what is wrong: "has 2 digits"
  bool changed = false;     // by the user, since the last load: a breach; else the tracker's own
};

class FieldMarks {
 public:
  // What the pages were loaded from; before the first load nothing is marked.
  void loaded(const SettingsModel& model) { loaded_ = model; }
  bool hasLoaded() const { return loaded_.has_value(); }
  // The loaded model with every page's edits laid over it, as a save would
  // store them; the pages remember nothing of it.
  SettingsModel edited(MainView& view, const PageTable& table) const;
  // Every shown field that breaks its rule in `edited`, in page order.
  std::vector<FieldBreach> breaches(const PageTable& table, const SettingsModel& edited) const;
  // Marks every page's controls after `breaches`; a control whose mark and
  // words are unchanged is not told again.
  void show(MainView& view, const PageTable& table, std::span<const FieldBreach> breaches);
  // Marks the controls showing one of `changedElements` (indices into
  // settingsElements()) as changed, and takes the mark from the others; a
  // control is told only when that differs.
  void showChanged(MainView& view, const PageTable& table, std::span<const std::size_t> changedElements);

 private:
  struct Shown {
    FieldMark mark = FieldMark::None;
    std::u16string why;
  };
  std::optional<SettingsModel> loaded_;
  std::map<std::pair<int, int>, Shown> shown_;  // by page and control
  std::set<std::pair<int, int>> changedShown_;   // the controls shown changed, by page and control
};

}  // namespace pelmora
