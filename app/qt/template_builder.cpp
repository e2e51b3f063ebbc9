#include "app/qt/template_builder.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QStyle>

#include <algorithm>
#include <array>
#include <span>

#include "app/qt/artwork.h"
#include "app/qt/ip_address_edit.h"
#include "app/qt/page_tabs.h"
#include "app/qt/qt_text.h"
#include "app/qt/typing_validator.h"
#include "app/qt/ui_language.h"
#include "app/qt/wrapping_check_box.h"

namespace pelmora {
namespace {

constexpr int kMinimumVisibleChoices = 10;

bool has(const TemplateItem& item, std::uint32_t style) { return (item.style & style) != 0; }

Qt::Alignment horizontalAlignment(const TemplateItem& item) {
  if (has(item, StyleAlignRight)) return Qt::AlignRight;
  if (has(item, StyleAlignCenter)) return Qt::AlignHCenter;
  return Qt::AlignLeft;
}

QWidget* makeStaticText(const TemplateItem& item, QWidget* parent) {
  auto* label = new QLabel(uiText(item.text), parent);
  label->setTextFormat(Qt::PlainText);
  label->setAlignment(horizontalAlignment(item) | Qt::AlignTop);
  return label;
}

QWidget* makeGroupBox(const TemplateItem& item, QWidget* parent) { return new QGroupBox(uiText(item.text), parent); }

QWidget* makeEdit(const TemplateItem& item, QWidget* parent) {
  if (has(item, StyleMultiline)) {
    auto* pane = new QPlainTextEdit(parent);
    pane->setReadOnly(has(item, StyleReadOnly));
    pane->setFrameShape(has(item, StyleBorder) ? QFrame::StyledPanel : QFrame::NoFrame);
    pane->setLineWrapMode(has(item, StyleWordWrap) ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
    pane->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    pane->setVerticalScrollBarPolicy(has(item, StyleVScrollBar) ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAsNeeded);
    pane->setUndoRedoEnabled(false);
    return pane;
  }
  auto* edit = new QLineEdit(parent);
  edit->setFrame(has(item, StyleBorder));
  edit->setReadOnly(has(item, StyleReadOnly));
  if (!has(item, StyleReadOnly)) new TypingValidator(edit, has(item, StyleDigitsOnly));
  return edit;
}

QWidget* makeIpAddress(const TemplateItem& /*item*/, QWidget* parent) { return new IpAddressEdit(parent); }

QWidget* makeCheckBox(const TemplateItem& item, QWidget* parent) {
  if (has(item, StyleWordWrap)) return new WrappingCheckBox(uiText(item.text), parent);
  return new QCheckBox(uiText(item.text), parent);
}

QWidget* makeComboBox(const TemplateItem& /*item*/, QWidget* parent) {
  auto* combo = new QComboBox(parent);
  combo->setEditable(true);
  combo->setInsertPolicy(QComboBox::NoInsert);  // typed text never becomes an item
  combo->setCompleter(nullptr);
  combo->setSizeAdjustPolicy(QComboBox::AdjustToContents);  // its size hint is what its longest item needs
  return combo;
}

QWidget* makeBitmap(const TemplateItem& item, QWidget* parent) {
  auto* label = new QLabel(parent);
  label->setPixmap(artworkPixmap(item.image));
  if (has(item, StyleImageCentred)) {
    label->setScaledContents(true);
  } else {
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  }
  return label;
}

QWidget* makePushButton(const TemplateItem& item, QWidget* parent) {
  auto* button = new QPushButton(uiText(item.text), parent);
  button->setAutoDefault(has(item, StyleDefaultButton));
  button->setDefault(has(item, StyleDefaultButton));
  return button;
}

QWidget* makeProgressBar(const TemplateItem& /*item*/, QWidget* parent) {
  auto* bar = new QProgressBar(parent);
  bar->setTextVisible(false);
  return bar;
}

QWidget* makeTabControl(const TemplateItem& /*item*/, QWidget* parent) { return new PageTabs(parent); }

QWidget* makeIcon(const TemplateItem& item, QWidget* parent) {
  auto* label = new QLabel(parent);
  label->setPixmap(artworkPixmap(item.image));
  label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  return label;
}

struct KindFactory {
  ItemKind kind;
  QWidget* (*make)(const TemplateItem&, QWidget*);
};

constexpr std::array kFactories{
    KindFactory{ItemKind::StaticText, makeStaticText}, KindFactory{ItemKind::GroupBox, makeGroupBox},
    KindFactory{ItemKind::Edit, makeEdit},             KindFactory{ItemKind::IpAddress, makeIpAddress},
    KindFactory{ItemKind::CheckBox, makeCheckBox},     KindFactory{ItemKind::ComboBox, makeComboBox},
    KindFactory{ItemKind::Bitmap, makeBitmap},         KindFactory{ItemKind::PushButton, makePushButton},
    KindFactory{ItemKind::ProgressBar, makeProgressBar}, KindFactory{ItemKind::TabControl, makeTabControl},
    KindFactory{ItemKind::Icon, makeIcon},
};

QWidget* makeDefault(const TemplateItem& item, QWidget* parent) {
  for (const KindFactory& factory : kFactories)
    if (factory.kind == item.kind) return factory.make(item, parent);
  return new QWidget(parent);
}

// The width the widget's text needs, or 0 when it has none to fit.
int neededTextWidth(const TemplateItem& item, const QWidget* widget) {
  if (item.text.empty()) return 0;
  const bool fitted = item.kind == ItemKind::StaticText || (item.kind == ItemKind::CheckBox && !has(item, StyleWordWrap));
  return fitted ? widget->sizeHint().width() : 0;
}

QRect placement(const TemplateItem& item, QWidget* widget, const DialogUnits& units) {
  QRect rect = units.rect(item.rect);
  if (item.kind == ItemKind::ComboBox) {
    // The template's height is the closed box plus its dropped-down list.
    auto* combo = static_cast<QComboBox*>(widget);
    const int closed = combo->sizeHint().height();
    const int row = QFontMetrics(combo->font()).height() + 4;
    combo->setMaxVisibleItems(std::max(kMinimumVisibleChoices, (rect.height() - closed) / row));
    rect.setHeight(closed);
  } else if (item.kind == ItemKind::Icon) {
    rect.setSize(artworkSize(item.image));
  }
  const int needed = neededTextWidth(item, widget);
  if (needed > rect.width()) {
    const int grow = needed - rect.width();
    if (has(item, StyleAlignRight))
      rect.setLeft(rect.left() - grow);
    else if (has(item, StyleAlignCenter))
      rect.adjust(-grow / 2, 0, grow - grow / 2, 0);
    else
      rect.setWidth(needed);
  }
  return rect;
}

bool takesInput(const TemplateItem& item) {
  return (item.kind == ItemKind::Edit && !has(item, StyleMultiline)) || item.kind == ItemKind::IpAddress ||
         item.kind == ItemKind::ComboBox;
}

// The input a label or picture stands beside on its row: the nearest to its
// right, else (a unit such as "min") the nearest to its left.
const BuiltControl* rowPartner(const BuiltControl& control, std::span<const BuiltControl> built) {
  const QRect own = control.widget->geometry();
  const BuiltControl* right = nullptr;
  const BuiltControl* left = nullptr;
  int rightOverlap = 0;
  for (const BuiltControl& other : built) {
    if (!takesInput(*other.item) || has(*other.item, StyleHidden) != has(*control.item, StyleHidden)) continue;
    const QRect rect = other.widget->geometry();
    const int overlap = std::min(own.bottom(), rect.bottom()) - std::max(own.top(), rect.top());
    if (overlap <= 0) continue;
    if (rect.left() > own.left()) {
      const QRect best = right != nullptr ? right->widget->geometry() : QRect();
      if (right == nullptr || rect.left() < best.left() || (rect.left() == best.left() && overlap > rightOverlap)) {
        right = &other;
        rightOverlap = overlap;
      }
    } else if (left == nullptr || rect.right() > left->widget->geometry().right()) {
      left = &other;
    }
  }
  return right != nullptr ? right : left;
}

// Labels and pictures take the height of the input on their row and are
// centred in it, as the input centres its text: one text line per row,
// whatever the boxes' heights in the template. Without an input beside
// them they keep the template's top edge.
void alignRows(std::span<const BuiltControl> built) {
  for (const BuiltControl& control : built) {
    auto* label = qobject_cast<QLabel*>(control.widget);
    const bool picture = control.item->kind == ItemKind::Bitmap && !has(*control.item, StyleImageCentred);
    if (label == nullptr || (control.item->kind != ItemKind::StaticText && !picture)) continue;
    const BuiltControl* partner = rowPartner(control, built);
    if (partner == nullptr) continue;
    const QRect row = partner->widget->geometry();
    QRect rect = label->geometry();
    rect.setTop(row.top());
    rect.setHeight(row.height());
    label->setGeometry(rect);
    label->setAlignment((label->alignment() & Qt::AlignHorizontal_Mask) | Qt::AlignVCenter);
  }
}

}  // namespace

std::vector<BuiltControl> buildTemplate(const DialogTemplate& dialog, QWidget* parent, const DialogUnits& units,
                                        const TemplateHooks& hooks) {
  std::vector<BuiltControl> built;
  built.reserve(dialog.items.size());
  for (const TemplateItem& item : dialog.items) {
    QWidget* widget = hooks.make ? hooks.make(item, parent) : nullptr;
    if (widget == nullptr) widget = makeDefault(item, parent);
    widget->setGeometry(placement(item, widget, units));
    if (has(item, StyleHidden)) widget->hide();
    if (has(item, StyleNotStored)) {
      widget->setEnabled(false);
      widget->setToolTip(uiText(kNotStoredTip));
    }
    built.push_back({&item, widget});
    if (hooks.created) hooks.created(built.back());
  }
  alignRows(built);
  for (const BuiltControl& control : built)
    if (control.item->kind == ItemKind::GroupBox) control.widget->lower();
  return built;
}

}  // namespace pelmora
