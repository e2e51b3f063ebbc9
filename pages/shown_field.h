#pragma once
// Which control of a page shows which field of the field catalogue
// (settings/field_catalogue.h). Each page lists its fields once; the typing
// limits, the window's marks and the drift test read that list.

#include <span>
#include <string_view>

#include "pages/page_controls.h"

namespace pelmora {

struct ShownField {
  int control;           // the page's control id
  std::string_view key;  // the catalogue entry's key: "SmsPassword"
};

// Every text field's typing limit, from its catalogue entry.
void limitShownTexts(PageControls& controls, std::span<const ShownField> fields);

}  // namespace pelmora
