#include "app/qt/compare_dialog.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QStyle>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

#include "app/main_window_logic.h"
#include "app/qt/qt_text.h"
#include "app/qt/ui_language.h"

namespace pelmora {
namespace {

constexpr std::u16string_view kColumns[] = {u"Page", u"Field", u"Tracker's value", u"Value to write"};
constexpr int kFieldColumn = 1;
constexpr int kWidestTable = 960;     // pixels; beyond it the table scrolls
constexpr int kFieldColumnMax = 320;  // pixels; a longer label (a Misc sentence) wraps
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
    if (table->columnWidth(kFieldColumn) > kFieldColumnMax) table->setColumnWidth(kFieldColumn, kFieldColumnMax);
    table->resizeRowsToContents();
    table->horizontalHeader()->setStretchLastSection(true);
    // Wide enough for every column, as far as the dialog's default allows.
    int wanted = 2 * table->frameWidth() + table->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    for (int c = 0; c < table->columnCount(); ++c) wanted += table->columnWidth(c);
    table->setMinimumWidth(std::min(wanted, kWidestTable));
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
  resize(std::max(width(), 560), 360);
}

}  // namespace pelmora
