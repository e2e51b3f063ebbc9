#include "app/qt/about_box.h"

#include <QLabel>
#include <QPushButton>

#include "app/main_window_template.h"
#include "app/qt/dialog_units.h"
#include "app/qt/qt_text.h"
#include "app/qt/template_builder.h"
#include "app/qt/ui_language.h"

namespace pelmora {

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent) {
  const DialogTemplate& dialog = aboutBoxTemplate();
  setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
  setWindowTitle(uiText(dialog.caption));
  setFont(templateFont(dialog.fontFace, dialog.fontPointSize));
  const DialogUnits units(font());
  for (const BuiltControl& control : buildTemplate(dialog, this, units)) {
    if (control.item->id == IDC_ABOUT_OK)
      connect(static_cast<QPushButton*>(control.widget), &QPushButton::clicked, this, &QDialog::accept);
    if (control.item->id == IDC_ABOUT_VERSION)
      static_cast<QLabel*>(control.widget)->setText(toQString(withVersion(toU16View(uiText(control.item->text)))));
  }
  setFixedSize(units.x(dialog.width), units.y(dialog.height));
}

}  // namespace pelmora
