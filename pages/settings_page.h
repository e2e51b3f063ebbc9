#pragma once
// One settings page as the main window sees it: the template its window is
// made from, the fields its controls show, the initialisation of its
// controls, and the exchange of its controls with the model in either
// direction.

#include <span>

#include "pages/dialog_template.h"
#include "pages/exchange_direction.h"
#include "pages/page_controls.h"
#include "pages/shown_field.h"
#include "settings/settings_model.h"

namespace pelmora {

class SettingsPage {
 public:
  virtual ~SettingsPage() = default;
  // The template the page window is created from (155 for Misc).
  const DialogTemplate& dialogTemplate() const { return dialogTemplate_; }
  // Which control shows which catalogue field, each field once.
  std::span<const ShownField> shownFields() const { return shownFields_; }
  // Text limits, chooser contents, initial selection.
  virtual void initialise(PageControls& controls) = 0;
  virtual void exchange(PageControls& controls, SettingsModel& model, ExchangeDirection direction) = 0;
  // What a save would store, for a check: a page that remembers its last
  // exchange (Misc) does not remember this one.
  virtual void peekSave(PageControls& controls, SettingsModel& model) { exchange(controls, model, PAGE_SAVE); }
  // A click on one of the page's controls.
  virtual void onCommand(PageControls& /*controls*/, int /*controlId*/) {}

 protected:
  SettingsPage(const DialogTemplate& shown, std::span<const ShownField> fields)
      : dialogTemplate_(shown), shownFields_(fields) {}

 private:
  const DialogTemplate& dialogTemplate_;
  std::span<const ShownField> shownFields_;
};

}  // namespace pelmora
