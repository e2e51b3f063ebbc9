#include "app/win32/changes_window.h"

#include "app/win32/dialog_font.h"
#include "app/win32/modal_window.h"
#include "app/win32/ui_language.h"
#include "app/win32/win32_text.h"

namespace pelmora {

void showChangesWindow(HWND owner, std::span<const std::u16string> lines) {
  const DialogFont font(u"MS Shell Dlg", 8, windowDpi(owner));
  // Values line up: "ApnName: "old" -> "new"" reads best in a fixed-width font.
  const DialogFont fixed(u"Courier New", 9, windowDpi(owner));
  const int width = font.scaled(560), height = font.scaled(320), margin = font.scaled(8);
  const int buttonWidth = font.x(50), buttonHeight = font.y(14);
  const HWND frame = createModalFrame(owner, uiText(u"Compare with Tracker"), width, height);
  if (frame == nullptr) return;
  std::u16string text;
  for (const std::u16string& line : lines) {
    if (!text.empty()) text += u"\r\n";
    text += uiText(line);
  }
  const HINSTANCE instance = ::GetModuleHandleW(nullptr);
  const HWND list = ::CreateWindowExW(
      WS_EX_CLIENTEDGE, L"EDIT", wide(text).c_str(),
      WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | ES_AUTOHSCROLL,
      margin, margin, width - 2 * margin, height - 3 * margin - buttonHeight, frame, nullptr, instance, nullptr);
  ::SendMessageW(list, WM_SETFONT, reinterpret_cast<WPARAM>(fixed.handle()), FALSE);
  const HWND close = ::CreateWindowExW(0, L"BUTTON", wide(uiText(u"Close")).c_str(), WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON,
                                       width - margin - buttonWidth, height - margin - buttonHeight, buttonWidth,
                                       buttonHeight, frame, reinterpret_cast<HMENU>(IDCANCEL), instance, nullptr);
  ::SendMessageW(close, WM_SETFONT, reinterpret_cast<WPARAM>(font.handle()), FALSE);
  ::SetFocus(close);
  runModal(frame, owner);
}

}  // namespace pelmora
