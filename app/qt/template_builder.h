#pragma once
// Widgets from a dialog template: one per item, children of the given
// parent, in template order (which makes it the Tab order), placed by the
// template's dialog units.
//
//   StaticText   QLabel, aligned as its style says, plain text; beside an
//                input it is centred on the input's text line
//   GroupBox     QGroupBox, kept below its neighbours so that they get the clicks
//   Edit         QLineEdit with a TypingValidator; multi-line: QPlainTextEdit
//   IpAddress    IpAddressEdit
//   CheckBox     QCheckBox; with StyleWordWrap a WrappingCheckBox
//   ComboBox     editable QComboBox that inserts nothing; the template's
//                height includes the dropped-down list
//   Bitmap       QLabel with the picture: real size at the left, centred on
//                its row's input like a label, or
//                scaled into the box when StyleImageCentred
//   PushButton   QPushButton; only StyleDefaultButton makes a default button
//   ProgressBar  QProgressBar without text
//   TabControl   PageTabs
//   Icon         QLabel with the icon at its real size
//
// Texts are shown in the user's language (uiText). Hidden items are hidden
// for good; StyleNotStored inputs are disabled, with a tooltip. Texts are measured in a font that is
// not the template's own: a label or check box too narrow for its text
// grows away from its aligned edge rather than clip the text.

#include <QWidget>

#include <functional>
#include <vector>

#include "app/qt/dialog_units.h"
#include "pages/dialog_template.h"

namespace pelmora {

struct BuiltControl {
  const TemplateItem* item = nullptr;
  QWidget* widget = nullptr;
};

struct TemplateHooks {
  // Makes the widget of an item itself, or returns nullptr for the default.
  std::function<QWidget*(const TemplateItem&, QWidget* parent)> make;
  // Runs right after each widget is made and placed, before the next one.
  std::function<void(const BuiltControl&)> created;
};

std::vector<BuiltControl> buildTemplate(const DialogTemplate& dialog, QWidget* parent, const DialogUnits& units,
                                        const TemplateHooks& hooks = {});

}  // namespace pelmora
