#include "app/qt/compare_dialog.h"

#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QPlainTextEdit>
#include <QVBoxLayout>

#include "app/qt/ui_language.h"

namespace pelmora {

CompareDialog::CompareDialog(const QStringList& lines, QWidget* parent) : QDialog(parent) {
  setWindowTitle(uiText(u"Compare with Tracker"));
  auto* list = new QPlainTextEdit(this);
  list->setObjectName(QStringLiteral("changes"));
  list->setReadOnly(true);
  list->setLineWrapMode(QPlainTextEdit::NoWrap);
  // Values line up: "ApnName: \"old\" -> \"new\"" reads best in a fixed-width font.
  list->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  list->setPlainText(lines.join(QLatin1Char('\n')));
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(list);
  layout->addWidget(buttons);
  resize(560, 320);
}

}  // namespace pelmora
