#include "app/window_menu.h"

namespace pelmora {

std::u16string menuKeyText(MenuKey key) {
  std::u16string text;
  if (key.ctrl) text += u"Ctrl+";
  if (key.shift) text += u"Shift+";
  if (key.letter != 0) text += static_cast<char16_t>(key.letter);
  if (key.functionKey >= 10) text += u"F1" + std::u16string(1, static_cast<char16_t>(u'0' + key.functionKey - 10));
  else if (key.functionKey > 0) text += u"F" + std::u16string(1, static_cast<char16_t>(u'0' + key.functionKey));
  return text;
}

}  // namespace pelmora
