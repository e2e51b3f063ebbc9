#pragma once
// The field table's elements one by one, each with the name files and
// comparisons use: "SmsReportInterval", "KeySlot[2].PhoneNumber",
// "SosMessage[0]", "Opaque12[3]".

#include <cstddef>
#include <span>
#include <string>
#include <string_view>

#include "settings/settings_layout.h"

namespace pelmora {

struct FieldElement {
  const FieldRow* row;
  std::size_t element;
  std::string name;
};

// In table order; built once from settingsFields().
std::span<const FieldElement> settingsElements();

// The index of the element called `name`, or -1.
int findElement(std::string_view name);

// The known name closest to `name` (for "did you mean").
std::string_view nearestElementName(std::string_view name);

}  // namespace pelmora
