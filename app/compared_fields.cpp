#include "app/compared_fields.h"

namespace pelmora {

Comparison comparisonOf(std::span<const FieldChange> changes) {
  Comparison comparison;
  for (const FieldChange& change : changes) {
    if (change.entry == nullptr) {
      ++comparison.otherFields;
      continue;
    }
    comparison.rows.push_back(
        {change.entry, valueInWords(*change.entry, change.before), valueInWords(*change.entry, change.after)});
  }
  return comparison;
}

}  // namespace pelmora
