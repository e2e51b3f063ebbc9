#include "pages/translated_text.h"

namespace pelmora {

std::u16string_view russianText(std::u16string_view english) {
  for (const TranslatedText& text : russianTexts())
    if (text.english == english) return text.translation;
  return english;
}

std::u16string russianFullLabel(const CatalogueEntry& entry) {
  std::u16string label(russianText(entry.label));
  if (!entry.heading.empty()) label += u" (" + std::u16string(russianText(entry.heading)) + u")";
  return label;
}

}  // namespace pelmora
