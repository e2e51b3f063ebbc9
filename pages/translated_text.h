#pragma once
// The window's Russian texts without Qt: the table is generated at build
// time from the Qt window's translation source
// (app/qt/translations/pelmora_ru.ts), so the command line, the generated
// field documentation and a window without Qt say what the Qt window says.

#include <span>
#include <string_view>

namespace pelmora {

struct TranslatedText {
  std::u16string_view english;
  std::u16string_view translation;
};

// Every translated text, in the order of the .ts file.
std::span<const TranslatedText> russianTexts();

// The Russian for a window text ("Tracker ID" -> "ID трекера"); the English
// text itself when it has no translation.
std::u16string_view russianText(std::u16string_view english);

}  // namespace pelmora
