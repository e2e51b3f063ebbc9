#pragma once
// "Compare with Tracker": what a write would change now, as a table of
// page, field, the tracker's value and the value to write, one row a field;
// under it one line counting the fields no page shows that differ as well.
// The dialog only shows what the logic compared (app/compared_fields.h).

#include <QDialog>

#include "app/compared_fields.h"

namespace pelmora {

class CompareDialog final : public QDialog {
 public:
  CompareDialog(const Comparison& comparison, QWidget* parent);
};

}  // namespace pelmora
