#include "app/qt/ui_language.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

#include <memory>

#include "app/qt/qt_text.h"
#include "pages/misc_page.h"

namespace pelmora {
namespace {

// One context for every text: a word reads the same on every page.
constexpr const char* kContext = "Pelmora";

UiLanguage g_language = UiLanguage::English;
std::unique_ptr<QTranslator> g_ours;
std::unique_ptr<QTranslator> g_qts;  // Qt's own texts (an edit's context menu), when installed

void replace(std::unique_ptr<QTranslator>& slot, std::unique_ptr<QTranslator> next) {
  if (slot) QCoreApplication::removeTranslator(slot.get());
  slot = std::move(next);
  if (slot) QCoreApplication::installTranslator(slot.get());
}

}  // namespace

UiLanguage chooseLanguage(const QString& setting, const QLocale& locale) {
  if (setting.compare(QLatin1String("ru"), Qt::CaseInsensitive) == 0) return UiLanguage::Russian;
  if (setting.compare(QLatin1String("en"), Qt::CaseInsensitive) == 0) return UiLanguage::English;
  return locale.language() == QLocale::Russian ? UiLanguage::Russian : UiLanguage::English;
}

bool useLanguage(UiLanguage language) {
  g_language = language;
  const QString code = language == UiLanguage::Russian ? QStringLiteral("ru") : QStringLiteral("en");
  auto ours = std::make_unique<QTranslator>();
  const bool loaded = ours->load(QStringLiteral(":/i18n/pelmora_%1.qm").arg(code));
  replace(g_ours, loaded ? std::move(ours) : nullptr);
  auto qts = std::make_unique<QTranslator>();
  const bool qtLoaded = language == UiLanguage::Russian &&
                        qts->load(QStringLiteral("qtbase_ru"), QLibraryInfo::path(QLibraryInfo::TranslationsPath));
  replace(g_qts, qtLoaded ? std::move(qts) : nullptr);
  return loaded;
}

UiLanguage currentLanguage() { return g_language; }

QString uiText(std::u16string_view text) {
  if (text.empty()) return {};
  return QCoreApplication::translate(kContext, toQString(text).toUtf8().constData());
}

const DialogTemplate& localisedTemplate(const DialogTemplate& dialog) {
  if (dialog.id == misc::IDD_MISC && g_language == UiLanguage::English) return misc::EnglishTemplate();
  return dialog;
}

}  // namespace pelmora
