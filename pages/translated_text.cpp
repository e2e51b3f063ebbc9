#include "pages/translated_text.h"

namespace pelmora {

std::u16string_view russianText(std::u16string_view english) {
  for (const TranslatedText& text : russianTexts())
    if (text.english == english) return text.translation;
  return english;
}

}  // namespace pelmora
