#include "app/qt/wrapping_check_box.h"

#include <QFontMetrics>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionFocusRect>
#include <QStylePainter>

namespace pelmora {

WrappingCheckBox::WrappingCheckBox(const QString& text, QWidget* parent) : QCheckBox(text, parent) {}

QRect WrappingCheckBox::indicatorRect() const {
  QStyleOptionButton option;
  initStyleOption(&option);
  QRect indicator = style()->subElementRect(QStyle::SE_CheckBoxIndicator, &option, this);
  indicator.moveTop((height() - indicator.height()) / 2);
  return indicator;
}

QRect WrappingCheckBox::textArea() const {
  const int spacing = style()->pixelMetric(QStyle::PM_CheckBoxLabelSpacing, nullptr, this);
  return rect().adjusted(indicatorRect().right() + 1 + spacing, 0, 0, 0);
}

int WrappingCheckBox::neededHeight() const {
  const QRect area = textArea();
  return QFontMetrics(font()).boundingRect(QRect(area.left(), 0, area.width(), 100000), kTextFlags, text()).height();
}

void WrappingCheckBox::paintEvent(QPaintEvent* /*event*/) {
  QStylePainter painter(this);
  QStyleOption whole;
  whole.initFrom(this);
  painter.drawPrimitive(QStyle::PE_Widget, whole);  // a style sheet's frame (a field's mark), if any
  QStyleOptionButton option;
  initStyleOption(&option);

  QStyleOptionButton box = option;
  box.rect = indicatorRect();
  painter.drawPrimitive(QStyle::PE_IndicatorCheckBox, box);

  const QRect area = textArea();
  painter.drawItemText(area, kTextFlags, option.palette, isEnabled(), text(), QPalette::WindowText);
  if (hasFocus()) {
    QStyleOptionFocusRect focus;
    focus.initFrom(this);
    focus.rect = painter.fontMetrics().boundingRect(area, kTextFlags, text()).adjusted(-1, 0, 1, 0) & rect();
    painter.drawPrimitive(QStyle::PE_FrameFocusRect, focus);
  }
}

bool WrappingCheckBox::hitButton(const QPoint& pos) const { return rect().contains(pos); }

}  // namespace pelmora
