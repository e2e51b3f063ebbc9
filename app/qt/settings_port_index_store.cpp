#include "app/qt/settings_port_index_store.h"

#include <QString>
#include <QVariant>

#include "app/qt/qt_text.h"

namespace pelmora {
namespace {
const QString kValueName = QStringLiteral("COMM");
}

std::optional<std::u16string> SettingsPortIndexStore::readPortIndex() {
  settings_.sync();
  const QVariant value = settings_.value(kValueName);
  // A list ("1, 2" in the file) or anything else that is not one text is unreadable.
  if (value.typeId() != QMetaType::QString) return std::nullopt;
  const QString text = value.toString();
  if (2 * (text.size() + 1) > kMaxValueBytes) return std::nullopt;
  return std::u16string(toU16View(text));
}

void SettingsPortIndexStore::writePortIndex(std::u16string_view text) {
  settings_.setValue(kValueName, toQString(text));
  settings_.sync();
}

}  // namespace pelmora
