#include "app/qt/port_chooser.h"

#include <QEvent>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QStandardItemModel>
#include <QToolTip>
#include <QWheelEvent>

namespace pelmora {
namespace {

// Entries whose tooltips are made when asked for, so that they name the
// device behind each number now, not at start.
class PortModel final : public QStandardItemModel {
 public:
  PortModel(QObject* parent, const PortChooser::Describer* describer)
      : QStandardItemModel(parent), describer_(describer) {}

  QVariant data(const QModelIndex& index, int role) const override {
    if (role == Qt::ToolTipRole && index.isValid() && *describer_) return (*describer_)(index.row());
    return QStandardItemModel::data(index, role);
  }

 private:
  const PortChooser::Describer* describer_;
};

}  // namespace

PortChooser::PortChooser(QWidget* parent) : QComboBox(parent) {
  setModel(new PortModel(this, &describer_));
  setEditable(true);
  setInsertPolicy(QComboBox::NoInsert);
  setCompleter(nullptr);
  // QComboBox chooses the entry whose name stands in the field when Return
  // is pressed or the field loses the focus: typed text never acts here.
  QObject::disconnect(lineEdit(), &QLineEdit::returnPressed, this, nullptr);
  QObject::disconnect(lineEdit(), &QLineEdit::editingFinished, this, nullptr);
  lineEdit()->installEventFilter(this);
}

void PortChooser::setDescriber(Describer describer) { describer_ = std::move(describer); }

bool PortChooser::event(QEvent* event) {
  // The closed chooser names the device of the entry it shows.
  if (event->type() == QEvent::ToolTip && describer_ && currentIndex() >= 0) {
    QToolTip::showText(static_cast<QHelpEvent*>(event)->globalPos(), describer_(currentIndex()), this);
    return true;
  }
  return QComboBox::event(event);
}

bool PortChooser::eventFilter(QObject* watched, QEvent* event) {
  if (watched == lineEdit() && event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    // Return would pick the entry whose name was typed: typed text never acts.
    if (key == Qt::Key_Return || key == Qt::Key_Enter) return true;
  }
  return QComboBox::eventFilter(watched, event);
}

void PortChooser::wheelEvent(QWheelEvent* event) {
  // Scrolling over the window must not open ports on its way.
  if (!hasFocus()) {
    event->ignore();
    return;
  }
  QComboBox::wheelEvent(event);
}

}  // namespace pelmora
