#include "pages/translated_text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "settings/field_catalogue.h"
#include "settings/utf.h"

namespace pelmora {
namespace {

TEST(TranslatedText, ComesFromTheWindowsTranslationSource) {
  struct Row {
    const char* label;
    std::u16string_view english;
    std::u16string_view russian;
  };
  const Row rows[] = {
      {"a field label", u"Tracker ID", u"ID трекера"},
      {"a chooser's label", u"Time Zone Setting", u"Часовой пояс"},
      {"a page title", u"Sms Track", u"SMS-отчёты"},
      {"blanks kept inside", u"SMS  Number Binding", u"Номера для SMS"},
      {"an entity undone", u"&About Pelmora...", u"&О программе Pelmora..."},
      {"untranslated: itself", u"No such text", u"No such text"},
  };
  for (const Row& row : rows) EXPECT_EQ(russianText(row.english), row.russian) << row.label;
}

// A label added to the catalogue without its line in pelmora_ru.ts fails here.
TEST(TranslatedText, EveryCatalogueTextIsTranslated) {
  const auto translated = [](std::u16string_view english) {
    const auto texts = russianTexts();
    return std::any_of(texts.begin(), texts.end(), [&](const TranslatedText& t) { return t.english == english; });
  };
  for (const CatalogueEntry& entry : fieldCatalogue()) {
    EXPECT_TRUE(translated(entry.label)) << entry.key << ": label " << utf8FromUtf16(entry.label);
    if (!entry.heading.empty()) {
      EXPECT_TRUE(translated(entry.heading)) << entry.key << ": heading " << utf8FromUtf16(entry.heading);
    }
    EXPECT_TRUE(translated(pageTitle(entry.page))) << entry.key << ": page " << utf8FromUtf16(pageTitle(entry.page));
  }
}

}  // namespace
}  // namespace pelmora
