#include "app/qt/qt_page_controls.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>

#include "app/field_marks.h"
#include "app/qt/ip_address_edit.h"
#include "app/qt/qt_text.h"
#include "app/qt/typing_validator.h"
#include "app/qt/ui_language.h"

namespace pelmora {
namespace {

// What each mark looks like and says before the words of the logic.
struct MarkLook {
  FieldMark mark;
  const char* frame;  // a style sheet border
};
constexpr MarkLook kMarkLooks[] = {
    {FieldMark::Breach, "2px solid #c00000"},
    {FieldMark::TrackersOwn, "2px dashed #c07000"},
};

TypingValidator* typingValidatorOf(QWidget* widget) {
  auto* edit = qobject_cast<QLineEdit*>(widget);
  if (edit == nullptr) return nullptr;
  // The validator the template builder gave the edit; only this class makes one.
  return const_cast<TypingValidator*>(dynamic_cast<const TypingValidator*>(edit->validator()));
}

QString widgetText(const QWidget* widget) {
  if (const auto* edit = qobject_cast<const QLineEdit*>(widget)) return edit->text();
  if (const auto* pane = qobject_cast<const QPlainTextEdit*>(widget)) return pane->toPlainText();
  if (const auto* ip = dynamic_cast<const IpAddressEdit*>(widget)) return ip->text();
  if (const auto* combo = qobject_cast<const QComboBox*>(widget)) return combo->currentText();
  if (const auto* button = qobject_cast<const QAbstractButton*>(widget)) return button->text();
  if (const auto* label = qobject_cast<const QLabel*>(widget)) return label->text();
  if (const auto* group = qobject_cast<const QGroupBox*>(widget)) return group->title();
  return {};
}

}  // namespace

QtPageControls::QtPageControls(std::span<const BuiltControl> built) {
  for (const BuiltControl& control : built)
    if (control.item->id != kNoId)
      controls_.push_back({control.item->id, control.item->kind, control.widget});
    else if (control.item->kind == ItemKind::StaticText)
      labels_.push_back(control.widget);
}

QWidget* QtPageControls::labelOf(const QWidget* widget) const {
  const QRect own = widget->geometry();
  QWidget* best = nullptr;
  for (QWidget* label : labels_) {
    const QRect rect = label->geometry();
    if (rect.bottom() < own.top() || rect.top() > own.bottom() || rect.left() >= own.left()) continue;
    if (best == nullptr || rect.left() > best->geometry().left()) best = label;
  }
  return best != nullptr ? best : const_cast<QWidget*>(widget);
}

void QtPageControls::markChanged(int id, bool changed) {
  const Control* control = find(id);
  if (control == nullptr) return;
  QWidget* label = labelOf(control->widget);
  QFont font = label->font();
  font.setBold(changed);
  label->setFont(font);
}

const QtPageControls::Control* QtPageControls::find(int id) const {
  for (const Control& control : controls_)
    if (control.id == id) return &control;
  return nullptr;
}

QWidget* QtPageControls::widget(int id) const {
  const Control* control = find(id);
  return control == nullptr ? nullptr : control->widget;
}

std::u16string QtPageControls::text(int id) const {
  const Control* control = find(id);
  if (control == nullptr) return {};
  const QString text = widgetText(control->widget);
  return std::u16string(toU16View(text));
}

void QtPageControls::setText(int id, std::u16string_view text) {
  const Control* control = find(id);
  if (control == nullptr) return;
  const QString value = toQString(text);
  QWidget* widget = control->widget;
  if (TypingValidator* validator = typingValidatorOf(widget))
    validator->setShownText(value);
  else if (auto* edit = qobject_cast<QLineEdit*>(widget))
    edit->setText(value);
  else if (auto* pane = qobject_cast<QPlainTextEdit*>(widget))
    pane->setPlainText(value);
  else if (auto* ip = dynamic_cast<IpAddressEdit*>(widget))
    ip->setText(value);
  else if (auto* combo = qobject_cast<QComboBox*>(widget))
    combo->setEditText(value);
  else if (auto* button = qobject_cast<QAbstractButton*>(widget))
    button->setText(value);
  else if (auto* label = qobject_cast<QLabel*>(widget))
    label->setText(value);
  else if (auto* group = qobject_cast<QGroupBox*>(widget))
    group->setTitle(value);
  // A loaded text longer than its edit shows its start, not its end.
  auto* lineEdit = qobject_cast<QLineEdit*>(widget);
  if (auto* combo = qobject_cast<QComboBox*>(widget)) lineEdit = combo->lineEdit();
  if (lineEdit != nullptr) lineEdit->setCursorPosition(0);
}

void QtPageControls::limitText(int id, int maxChars) {
  const Control* control = find(id);
  if (control == nullptr) return;
  if (TypingValidator* validator = typingValidatorOf(control->widget)) validator->setLimit(maxChars);
}

void QtPageControls::addString(int id, std::u16string_view item) {
  const Control* control = find(id);
  if (control == nullptr) return;
  auto* combo = qobject_cast<QComboBox*>(control->widget);
  if (combo == nullptr) return;
  // Adding never selects: a chooser without a selection keeps none.
  const bool noSelection = combo->currentIndex() < 0;
  combo->addItem(uiText(item));
  if (noSelection) combo->setCurrentIndex(-1);
}

void QtPageControls::selectItem(int id, int index) {
  const Control* control = find(id);
  if (control == nullptr) return;
  auto* combo = qobject_cast<QComboBox*>(control->widget);
  if (combo == nullptr) return;
  combo->setCurrentIndex(index >= 0 && index < combo->count() ? index : -1);
}

int QtPageControls::selectedItem(int id) const {
  const Control* control = find(id);
  if (control == nullptr) return -1;
  const auto* combo = qobject_cast<const QComboBox*>(control->widget);
  if (combo == nullptr) return -1;
  // Typing into the edit field selects the item with that very text, if any.
  const int current = combo->currentIndex();
  if (current >= 0 && combo->itemText(current) == combo->currentText()) return current;
  return combo->findText(combo->currentText(), Qt::MatchExactly | Qt::MatchCaseSensitive);
}

void QtPageControls::markField(int id, FieldMark mark, std::u16string_view why) {
  const Control* control = find(id);
  if (control == nullptr) return;
  QWidget* widget = control->widget;
  for (const MarkLook& look : kMarkLooks) {
    if (look.mark != mark) continue;
    // By its own name, so that the frame is not passed on to the parts of a composite control.
    if (widget->objectName().isEmpty()) widget->setObjectName(QStringLiteral("field%1").arg(id));
    widget->setStyleSheet(
        QStringLiteral("#%1 { border: %2; }").arg(widget->objectName(), QLatin1String(look.frame)));
    widget->setToolTip(uiText(markCaption(look.mark)) + QLatin1Char('\n') + toQString(why));
    return;
  }
  widget->setStyleSheet(QString());
  widget->setToolTip(QString());
}

void QtPageControls::setCheck(int id, int state) {
  const Control* control = find(id);
  if (control == nullptr) return;
  if (auto* box = qobject_cast<QCheckBox*>(control->widget)) box->setChecked(state != 0);
}

int QtPageControls::checkState(int id) const {
  const Control* control = find(id);
  if (control == nullptr) return 0;
  const auto* box = qobject_cast<const QCheckBox*>(control->widget);
  return box != nullptr && box->isChecked() ? 1 : 0;
}

}  // namespace pelmora
