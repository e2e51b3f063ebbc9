#include "app/qt/compare_dialog.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QTableWidget>
#include <QVBoxLayout>

#include "app/main_window_logic.h"
#include "app/qt/qt_text.h"
#include "app/qt/ui_language.h"

namespace pelmora {
namespace {

constexpr std::u16string_view kColumns[] = {u"Page", u"Field", u"Tracker's value", u"Value to write"};
constexpr std::u16string_view kOtherFieldsText = u"Fields no page shows that differ as well: %1";

QString labelOf(const CatalogueEntry& entry) {
  QString label = uiText(entry.label);
  if (!entry.heading.empty()) label += QStringLiteral(" (") + uiText(entry.heading) + QLatin1Char(')');
  return label;
}

// A choice's item and a switch's "on" and "off" are the window's words;
// texts and numbers are shown as they are.
QString valueText(const CatalogueEntry& entry, const std::string& words) {
  const QString value = QString::fromStdString(words);
  if (entry.kind != ValueKind::Choice && entry.kind != ValueKind::OnOff) return value;
  return uiText(toU16View(value));
}

}  // namespace

CompareDialog::CompareDialog(const Comparison& comparison, QWidget* parent) : QDialog(parent) {
  setWindowTitle(uiText(u"Compare with Tracker"));
  auto* layout = new QVBoxLayout(this);
  if (comparison.rows.empty() && comparison.otherFields == 0) {
    auto* none = new QLabel(uiText(kNoChangesText), this);
    none->setObjectName(QStringLiteral("noChanges"));
    layout->addWidget(none);
  }
  if (!comparison.rows.empty()) {
    auto* table = new QTableWidget(static_cast<int>(comparison.rows.size()), static_cast<int>(std::size(kColumns)), this);
    table->setObjectName(QStringLiteral("changes"));
    QStringList headers;
    for (const std::u16string_view column : kColumns) headers << uiText(column);
    table->setHorizontalHeaderLabels(headers);
    table->verticalHeader()->hide();
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    for (int r = 0; r < table->rowCount(); ++r) {
      const ComparedField& row = comparison.rows[static_cast<std::size_t>(r)];
      const QString cells[] = {uiText(pageTitle(row.entry->page)), labelOf(*row.entry),
                               valueText(*row.entry, row.tracker), valueText(*row.entry, row.written)};
      for (int c = 0; c < table->columnCount(); ++c) table->setItem(r, c, new QTableWidgetItem(cells[c]));
    }
    table->resizeColumnsToContents();
    table->horizontalHeader()->setStretchLastSection(true);
    layout->addWidget(table);
  }
  if (comparison.otherFields > 0) {
    auto* others = new QLabel(uiText(kOtherFieldsText).arg(comparison.otherFields), this);
    others->setObjectName(QStringLiteral("otherFields"));
    layout->addWidget(others);
  }
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);
  resize(720, 360);
}

}  // namespace pelmora
