#pragma once
// The window speaks one language at a time: English or Russian. The
// templates hold English texts (the Misc page also has a Russian twin);
// every text the window shows goes through Qt's translation system with the
// translations built into the program, so that it runs from its build folder.
// The tracker exchange's log lines are the tool's record and stay as they are.
//
// The language follows the user's locale (Russian: Russian, any other:
// English) unless [General] Language=en|ru in the user's settings file
// (link/user_settings_file.h) says otherwise: chooseLanguage(that value, locale).

#include <QLocale>
#include <QString>

#include <string_view>

#include "pages/dialog_template.h"

namespace pelmora {

enum class UiLanguage { English, Russian };

UiLanguage chooseLanguage(const QString& setting, const QLocale& locale);

// Installs the translations of `language` into the application, replacing
// those of the language before. False when a translation is missing.
bool useLanguage(UiLanguage language);
UiLanguage currentLanguage();

// A template text, or any other text the window shows, in the current language.
QString uiText(std::u16string_view text);

// The template a page is built from in the current language: the Misc page
// has a Russian template and its English twin.
const DialogTemplate& localisedTemplate(const DialogTemplate& dialog);

}  // namespace pelmora
