#include "app/win32/about_box.h"

#include "app/main_window_template.h"
#include "app/win32/dialog_font.h"
#include "app/win32/modal_window.h"
#include "app/win32/template_controls.h"
#include "app/win32/ui_language.h"
#include "app/win32/win32_text.h"

namespace pelmora {

void showAboutBox(HWND owner) {
  const DialogTemplate& dialog = aboutBoxTemplate();
  const DialogFont font(dialog.fontFace, dialog.fontPointSize, windowDpi(owner));
  const HWND frame = createModalFrame(owner, uiText(dialog.caption), font.x(dialog.width), font.y(dialog.height));
  if (frame == nullptr) return;
  for (const Win32Control& control : buildControls(dialog, frame, font))
    if (control.item->id == IDC_ABOUT_VERSION) setWindowText(control.window, withVersion(uiText(control.item->text)));
  runModal(frame, owner);
}

}  // namespace pelmora
