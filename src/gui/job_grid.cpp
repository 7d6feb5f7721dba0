#include "gui/job_grid.h"

#include <QAccessible>
#include <QApplication>
#include <QHeaderView>
#include <QPainter>
#include <QStyledItemDelegate>
#include <algorithm>

#include "gui/qt_seams.h"
#include "gui/text_fit.h"

namespace redadado {

namespace {

constexpr int kFileColumn = 1;

// Draws a path with its folder part elided, so the file name is never cut off.
class PathDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;

 protected:
  void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
    QStyledItemDelegate::initStyleOption(option, index);
    // The margins the style leaves on both sides of an item's text.
    const QStyle* style =
        option->widget != nullptr ? option->widget->style() : QApplication::style();
    const int margin =
        2 * (style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, option->widget) + 1);
    option->text = ElidedPath(option->text, option->fontMetrics, option->rect.width() - margin);
  }
};

}  // namespace

JobGrid::JobGrid(QWidget* parent) : QTableWidget(0, kJobColumnCount, parent) {}

void JobGrid::paintEvent(QPaintEvent* event) {
  QTableWidget::paintEvent(event);
  // The blank row under the last job: empty cells in the grid's lines, the number cell
  // coloured as the number column is.
  const int last = rowCount() - 1;
  const int top = last < 0 ? 0 : rowViewportPosition(last) + rowHeight(last);
  QStyleOptionViewItem option;
  initViewItemOption(&option);
  const QColor lines = QColor::fromRgba(
      static_cast<QRgb>(style()->styleHint(QStyle::SH_Table_GridLineColor, &option, this)));
  QPainter painter(viewport());
  painter.setPen(lines);
  for (int column = 0; column < columnCount(); ++column) {
    const QRect cell(columnViewportPosition(column), top, columnWidth(column),
                     verticalHeader()->defaultSectionSize());
    if (column == 0) painter.fillRect(cell, palette().button());
    painter.drawLine(cell.topRight(), cell.bottomRight());
    painter.drawLine(cell.bottomLeft(), cell.bottomRight());
  }
}

void SetUpJobGrid(QTableWidget* grid) {
  QStringList headers;
  for (const JobColumn& column : kJobColumns) headers << ToQt(column.header);
  grid->setHorizontalHeaderLabels(headers);
  QHeaderView* header = grid->horizontalHeader();
  header->setMinimumSectionSize(16);
  header->setHighlightSections(false);
  header->setSectionResizeMode(QHeaderView::ResizeToContents);
  header->setSectionResizeMode(kFileColumn, QHeaderView::Stretch);
  grid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  grid->setItemDelegateForColumn(kFileColumn, new PathDelegate(grid));
  grid->verticalHeader()->hide();
  grid->verticalHeader()->setDefaultSectionSize(24);
  grid->setShowGrid(true);
  grid->setWordWrap(false);
  grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
  grid->setSelectionBehavior(QAbstractItemView::SelectItems);
  grid->setSelectionMode(QAbstractItemView::ContiguousSelection);
}

void ShowJobs(QTableWidget* grid, const JobList& jobs) {
  // The grid's rows below its header: the jobs.
  const int rows = jobs.JobCount();
  grid->setRowCount(rows);
  for (int row = 0; row < rows; ++row) {
    const JobList::Row& cells = jobs.RowAt(row + 1);
    for (int column = 0; column < kJobColumnCount; ++column) {
      QTableWidgetItem* item = grid->item(row, column);
      if (item == nullptr) {
        item = new QTableWidgetItem;
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        // The number column looks fixed, as the header does.
        if (column == 0) item->setBackground(grid->palette().button());
        grid->setItem(row, column, item);
      }
      const QString text = ToQt(cells[static_cast<std::size_t>(column)]);
      item->setText(text);
      if (column == kFileColumn) {
        item->setToolTip(text);
        item->setData(Qt::AccessibleDescriptionRole, text);
      }
    }
  }
}

void SelectJob(QTableWidget* grid, int row) {
  row = std::min(row, grid->rowCount() - 1);
  const QModelIndex before = grid->currentIndex();
  if (row < 0) {
    grid->setCurrentIndex(QModelIndex());
  } else {
    grid->setCurrentCell(row, 0);
    grid->scrollToItem(grid->item(row, 0));
  }
  if (!QAccessible::isActive()) return;
  QAccessibleInterface* table = QAccessible::queryAccessibleInterface(grid);
  QAccessibleEvent selection(table, QAccessible::SelectionWithin);
  QAccessible::updateAccessibility(&selection);
  // Qt tells of a new current cell itself; a cell that stays current while its job changes, or
  // a grid left without jobs, it does not.
  if (!grid->hasFocus() || (row >= 0 && grid->currentIndex() != before)) return;
  QAccessibleInterface* focused =
      row < 0 ? table : table->tableInterface()->cellAt(row, grid->currentColumn());
  QAccessibleEvent focus(focused, QAccessible::Focus);
  QAccessible::updateAccessibility(&focus);
}

}  // namespace redadado
