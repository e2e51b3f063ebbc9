#pragma once
// One settings page as the main window sees it: the template its window is
// made from, the initialisation of its controls, and the exchange of its
// controls with the model in either direction.

#include "pages/dialog_template.h"
#include "pages/exchange_direction.h"
#include "pages/page_controls.h"
#include "settings/settings_model.h"

namespace pelmora {

class SettingsPage {
 public:
  virtual ~SettingsPage() = default;
  // The template the page window is created from (155 for Misc).
  const DialogTemplate& dialogTemplate() const { return dialogTemplate_; }
  // Text limits, chooser contents, initial selection.
  virtual void initialise(PageControls& controls) = 0;
  virtual void exchange(PageControls& controls, SettingsModel& model, ExchangeDirection direction) = 0;
  // A click on one of the page's controls.
  virtual void onCommand(PageControls& /*controls*/, int /*controlId*/) {}

 protected:
  explicit SettingsPage(const DialogTemplate& shown) : dialogTemplate_(shown) {}

 private:
  const DialogTemplate& dialogTemplate_;
};

}  // namespace pelmora
