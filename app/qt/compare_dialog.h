#pragma once
// "Compare with Tracker": what a write would change now, one field a line,
// in a read-only list the user can scroll and copy from.

#include <QDialog>
#include <QStringList>

namespace pelmora {

class CompareDialog final : public QDialog {
 public:
  CompareDialog(const QStringList& lines, QWidget* parent);
};

}  // namespace pelmora
