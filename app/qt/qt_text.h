#pragma once
// The logic's UTF-16 texts and Qt's, which are UTF-16 too: no conversion,
// only a copy.

#include <QString>
#include <QStringView>

#include <string>
#include <string_view>

namespace pelmora {

inline QString toQString(std::u16string_view text) {
  return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

inline std::u16string_view toU16View(QStringView text) {
  return {text.utf16(), static_cast<std::size_t>(text.size())};
}

}  // namespace pelmora
