#include "research/LVMainGrid.h"

#include <QClipboard>
#include <QEvent>
#include <QGuiApplication>
#include <QHeaderView>
#include <QItemSelection>
#include <QKeyEvent>
#include <QStyle>
#include <algorithm>

#include "research/GridExport.h"
#include "research/GridRules.h"
#include "research/ResearchGridModel.h"

namespace qb {

namespace {

// The columns that fit their contents, the widest they get, and how many rows
// of an insertion are measured at most.
constexpr int kFittedColumns[] = {kSoldColumn, kDeliveryColumn, kConditionColumn};
constexpr int kFittedColumnMaxWidth = 400;
constexpr int kFitSampleRows = 2000;

}  // namespace

LVMainGridView::LVMainGridView(ResearchGridModel* model, QWidget* parent)
    : QTableView(parent), FModel(model) {
  setObjectName(QStringLiteral("LVMainGrid"));
  setAccessibleName(QStringLiteral("Research grid"));
  setModel(model);
  setShowGrid(true);
  setFrameShape(QFrame::NoFrame);
  setSelectionBehavior(QAbstractItemView::SelectRows);
  setSelectionMode(QAbstractItemView::ExtendedSelection);
  setEditTriggers(QAbstractItemView::EditKeyPressed | QAbstractItemView::SelectedClicked);
  setWordWrap(false);
  setSortingEnabled(false);
  setTabKeyNavigation(false);
  verticalHeader()->hide();
  verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
  horizontalHeader()->setSectionsClickable(true);
  horizontalHeader()->setHighlightSections(false);
  horizontalHeader()->setStretchLastSection(false);
  horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  for (int c = 0; c < kGridColumnCount; ++c)
    if (ResearchGridModel::ColumnWidth(c) > 0) setColumnWidth(c, ResearchGridModel::ColumnWidth(c));
  FitItemNumberColumn();
  FitCaptions();
  connect(horizontalHeader(), &QHeaderView::sectionClicked, this, &LVMainGridView::ColumnClick);
  connect(model, &QAbstractItemModel::rowsInserted, this,
          [this](const QModelIndex&, int first, int last) { RowsArrived(first, last); });
  connect(model, &QAbstractItemModel::modelReset, this, [this] {
    // A removal, or another research's rows: they may need more room.
    if (FModel->rowCount() > 0) return RowsArrived(0, FModel->rowCount() - 1);
    FPendingFirst = FPendingLast = -1;
    FitCaptions();
  });
}

int LVMainGridView::CellWidth(const QString& text, bool checkBox) const {
  QStyleOptionViewItem option;
  initViewItemOption(&option);
  option.features |= QStyleOptionViewItem::HasDisplay;
  if (checkBox) option.features |= QStyleOptionViewItem::HasCheckIndicator;
  option.text = text;
  // The hint leaves out the grid line and the text's own side margins.
  const int margins = 2 * (style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 1);
  return itemDelegate()->sizeHint(option, QModelIndex()).width() + margins + (showGrid() ? 1 : 0);
}

// A twelve-digit item number stays readable beside its check box whatever
// font stands in for the window's: the column only ever grows for it.
void LVMainGridView::FitItemNumberColumn() {
  const int width = std::max(ResearchGridModel::ColumnWidth(kItemNumberColumn),
                             CellWidth(QStringLiteral("000000000000"), true));
  if (columnWidth(kItemNumberColumn) < width) setColumnWidth(kItemNumberColumn, width);
}

void LVMainGridView::FitCaptions() {
  for (const int c : kFittedColumns)
    setColumnWidth(c, std::min(kFittedColumnMaxWidth, horizontalHeader()->sectionSizeHint(c)));
}

void LVMainGridView::FitContentColumns(int first, int last) {
  last = std::min(last, FModel->rowCount() - 1);
  first = std::max(first, 0);
  const int count = last - first + 1;
  const int step = count > kFitSampleRows ? (count + kFitSampleRows - 1) / kFitSampleRows : 1;
  const QFontMetrics metrics = fontMetrics();
  for (const int c : kFittedColumns) {
    // The widest text by the font's advances; the delegate sizes that one.
    QString widest;
    int widestAdvance = -1;
    for (int r = first; r <= last; r += step) {
      const QString text = FModel->index(r, c).data().toString();
      const int advance = metrics.horizontalAdvance(text);
      if (advance > widestAdvance) {
        widest = text;
        widestAdvance = advance;
      }
    }
    const int needed =
        std::max(horizontalHeader()->sectionSizeHint(c), widestAdvance < 0 ? 0 : CellWidth(widest, false));
    const int width = std::min(kFittedColumnMaxWidth, needed);
    if (columnWidth(c) < width) setColumnWidth(c, width);
  }
}

void LVMainGridView::RowsArrived(int first, int last) {
  const bool posted = FPendingFirst >= 0;
  FPendingFirst = posted ? std::min(FPendingFirst, first) : first;
  FPendingLast = posted ? std::max(FPendingLast, last) : last;
  if (posted) return;
  QMetaObject::invokeMethod(
      this,
      [this] {
        const int from = FPendingFirst, to = FPendingLast;
        FPendingFirst = FPendingLast = -1;
        if (from >= 0) FitContentColumns(from, to);
      },
      Qt::QueuedConnection);
}

void LVMainGridView::CopySelectedRows() const {
  const std::vector<char> flags = SelectedFlags();
  std::vector<size_t> rows;
  for (size_t r = 0; r < flags.size(); ++r)
    if (flags[r]) rows.push_back(r);
  if (rows.empty()) return;
  QGuiApplication::clipboard()->setText(QString::fromUtf8(GridRowsAsTabText(FModel->Rows(), rows)));
}

void LVMainGridView::keyPressEvent(QKeyEvent* event) {
  // Whole rows, not the current cell; Ctrl+A (select all) is the view's own.
  if (event->matches(QKeySequence::Copy)) {
    CopySelectedRows();
    event->accept();
    return;
  }
  QTableView::keyPressEvent(event);
}

void LVMainGridView::changeEvent(QEvent* event) {
  QTableView::changeEvent(event);
  if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) {
    FitItemNumberColumn();
    FitContentColumns(0, FModel->rowCount() - 1);
  }
}

int LVMainGridView::SelectedCount() const { return int(selectionModel()->selectedRows().size()); }

int LVMainGridView::FirstSelected() const {
  int first = -1;
  for (const QModelIndex& i : selectionModel()->selectedRows())
    if (first < 0 || i.row() < first) first = i.row();
  return first;
}

std::vector<char> LVMainGridView::SelectedFlags() const {
  std::vector<char> flags(size_t(FModel->rowCount()), 0);
  for (const QItemSelectionRange& range : selectionModel()->selection())
    for (int r = range.top(); r <= range.bottom(); ++r)
      if (r >= 0 && size_t(r) < flags.size()) flags[size_t(r)] = 1;
  return flags;
}

void LVMainGridView::SelectRows(const std::vector<char>& flags) {
  QItemSelection selection;
  const int last = FModel->columnCount() - 1;
  for (size_t r = 0; r < flags.size();) {
    if (!flags[r]) {
      ++r;
      continue;
    }
    size_t end = r;
    while (end + 1 < flags.size() && flags[end + 1]) ++end;
    selection.select(FModel->index(int(r), 0), FModel->index(int(end), last));
    r = end + 1;
  }
  selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
}

void LVMainGridView::RemoveFlagged(const std::vector<char>& flags) {
  std::vector<char> selected = SelectedFlags();
  const int current = currentIndex().row();
  int newCurrent = -1;
  std::vector<char> kept;
  kept.reserve(selected.size());
  for (size_t r = 0, k = 0; r < selected.size(); ++r) {
    if (r < flags.size() && flags[r]) continue;
    if (int(r) == current) newCurrent = int(k);
    kept.push_back(selected[r]);
    ++k;
  }
  FModel->RemoveFlagged(flags);
  if (newCurrent >= 0)
    selectionModel()->setCurrentIndex(FModel->index(newCurrent, 0), QItemSelectionModel::NoUpdate);
  SelectRows(kept);
}

}  // namespace qb
