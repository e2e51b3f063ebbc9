#include "app/win32/ui_language.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <atomic>

#include "pages/misc_page.h"
#include "pages/translated_text.h"

namespace pelmora {
namespace {

std::atomic<UiLanguage> g_language{UiLanguage::English};  // set once at start, read by the window's thread

bool sameLetters(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if ((a[i] | 0x20) != (b[i] | 0x20)) return false;
  return true;
}

}  // namespace

UiLanguage chooseLanguage(std::string_view setting, bool systemIsRussian) {
  if (sameLetters(setting, "ru")) return UiLanguage::Russian;
  if (sameLetters(setting, "en")) return UiLanguage::English;
  return systemIsRussian ? UiLanguage::Russian : UiLanguage::English;
}

bool systemLanguageIsRussian() { return PRIMARYLANGID(::GetUserDefaultUILanguage()) == LANG_RUSSIAN; }

void useLanguage(UiLanguage language) { g_language.store(language); }
UiLanguage currentLanguage() { return g_language.load(); }

std::u16string_view uiText(std::u16string_view english) {
  if (english.empty() || g_language.load() == UiLanguage::English) return english;
  return russianText(english);
}

const DialogTemplate& localisedTemplate(const DialogTemplate& dialog) {
  if (dialog.id == misc::IDD_MISC && g_language.load() == UiLanguage::English) return misc::EnglishTemplate();
  return dialog;
}

}  // namespace pelmora
