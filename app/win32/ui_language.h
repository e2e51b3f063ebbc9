#pragma once
// The window speaks one language at a time, English or Russian, as the Qt
// window does: [General] Language=en|ru in the user's settings file
// (link/user_settings_file.h), else the user's Windows display language
// (Russian: Russian, any other: English). The templates hold English texts
// (the Misc page also has a Russian twin); every text the window shows goes
// through uiText(), whose Russian comes from the table generated from the
// Qt window's translation source (pages/translated_text.h). The tracker
// exchange's log lines are the tool's record and stay as they are.

#include <string>
#include <string_view>

#include "pages/dialog_template.h"

namespace pelmora {

enum class UiLanguage { English, Russian };

// `setting`: [General] Language as written; `systemIsRussian`: the user's display language.
UiLanguage chooseLanguage(std::string_view setting, bool systemIsRussian);
// The user's Windows display language is Russian.
bool systemLanguageIsRussian();

void useLanguage(UiLanguage language);
UiLanguage currentLanguage();

// A text the window shows, in the current language (English when it has no translation).
std::u16string_view uiText(std::u16string_view english);

// The template a page is built from in the current language: the Misc page
// has a Russian template and its English twin.
const DialogTemplate& localisedTemplate(const DialogTemplate& dialog);

}  // namespace pelmora
