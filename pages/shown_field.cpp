#include "pages/shown_field.h"

#include "settings/field_catalogue.h"

namespace pelmora {

void limitShownTexts(PageControls& controls, std::span<const ShownField> fields) {
  for (const ShownField& field : fields) {
    const CatalogueEntry* entry = catalogueEntry(field.key);
    if (entry != nullptr && (entry->kind == ValueKind::Text || entry->kind == ValueKind::Digits))
      controls.limitText(field.control, entry->maxLength);
  }
}

}  // namespace pelmora
