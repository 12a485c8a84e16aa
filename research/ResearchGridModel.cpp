#include "research/ResearchGridModel.h"

#include <QCollator>
#include <QDate>
#include <QLocale>
#include <algorithm>
#include <numeric>
#include <unordered_map>

#include "research/GridRules.h"
#include "runtime/AsciiText.h"

namespace qb {

namespace {

QString Text(std::string_view bytes) { return QString::fromUtf8(bytes.data(), qsizetype(bytes.size())); }

std::string_view Cell(const ResearchRow& row, int column) { return GridCellText(row, column); }

// A Sold date in the locale's short format; any other text as stored.
QString SoldText(std::string_view sold) {
  if (const std::optional<IsoDate> date = ReadIsoDate(sold)) {
    const QDate day(date->year, date->month, date->day);  // no year 0000
    if (day.isValid()) return QLocale().toString(day, QLocale::ShortFormat);
  }
  return Text(sold);
}

bool IsTextColumn(int column) {
  return column == kItemNumberColumn || column == kDescriptionColumn || column == kConditionColumn;
}

// The text case-folded; plain ASCII cheaply, byte by byte.
QString FoldedText(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) {
    if (static_cast<unsigned char>(c) >= 0x80) return Text(text).toCaseFolded();
    c = FoldAscii(c);
  }
  return QString::fromLatin1(lower.data(), qsizetype(lower.size()));
}

// The texts of rows[0..n) in a column as ranks in locale order, letter case
// ignored: equal ranks where the collation keys are equal. One key per
// distinct text, so columns of few texts (Condition) sort as fast as numbers.
// Keys of the C locale keep letter case: there the texts are folded first.
std::vector<uint32_t> TextRanks(const std::vector<ResearchRow>& rows, size_t n, int column) {
  QCollator collator{QLocale()};
  collator.setCaseSensitivity(Qt::CaseInsensitive);
  const bool fold = collator.sortKey(QStringLiteral("a")).compare(collator.sortKey(QStringLiteral("A"))) != 0;
  std::unordered_map<std::string_view, uint32_t> distinct;
  distinct.reserve(n);
  std::vector<QCollatorSortKey> keys;
  std::vector<uint32_t> ranks(n);
  for (size_t i = 0; i < n; ++i) {
    const std::string_view text = Cell(rows[i], column);
    const auto [it, added] = distinct.try_emplace(text, uint32_t(keys.size()));
    if (added) keys.push_back(collator.sortKey(fold ? FoldedText(text) : Text(text)));
    ranks[i] = it->second;
  }
  std::vector<uint32_t> byKey(keys.size());
  std::iota(byKey.begin(), byKey.end(), 0u);
  std::sort(byKey.begin(), byKey.end(), [&](uint32_t a, uint32_t b) { return keys[a].compare(keys[b]) < 0; });
  std::vector<uint32_t> rankOfKey(keys.size());
  for (size_t k = 0; k < byKey.size(); ++k) {
    const bool tie = k > 0 && keys[byKey[k - 1]].compare(keys[byKey[k]]) == 0;
    rankOfKey[byKey[k]] = tie ? rankOfKey[byKey[k - 1]] : uint32_t(k);
  }
  for (uint32_t& rank : ranks) rank = rankOfKey[rank];
  return ranks;
}

}  // namespace

ResearchGridModel::ResearchGridModel(QObject* parent) : QAbstractTableModel(parent) {}

std::string_view ResearchGridModel::ColumnCaption(int column) {
  return column >= 0 && column < kGridColumnCount ? kGridColumnCaptions[column] : std::string_view("");
}

int ResearchGridModel::ColumnWidth(int column) {
  static constexpr int widths[kGridColumnCount] = {100, 50, 50, 650, 0, 0, 0};
  return column >= 0 && column < kGridColumnCount ? widths[column] : 0;
}

int ResearchGridModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : FVisibleRows;
}

int ResearchGridModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : kGridColumnCount;
}

QVariant ResearchGridModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= FVisibleRows) return {};
  const ResearchRow& row = FRows[size_t(index.row())];
  switch (role) {
    case Qt::DisplayRole:
      if (index.column() == kSoldColumn) return SoldText(row.sold);
      return Text(Cell(row, index.column()));
    case Qt::EditRole: return Text(Cell(row, index.column()));
    case Qt::ToolTipRole:
      if (index.column() != kDescriptionColumn && index.column() != kConditionColumn) return {};
      return Text(Cell(row, index.column()));
    case Qt::CheckStateRole:
      if (index.column() == kItemNumberColumn) return row.checked ? Qt::Checked : Qt::Unchecked;
      return {};
    default: return {};
  }
}

bool ResearchGridModel::setData(const QModelIndex& index, const QVariant& value, int role) {
  if (!index.isValid() || index.row() >= FVisibleRows || index.column() != kItemNumberColumn) return false;
  const size_t row = size_t(index.row());
  if (role == Qt::CheckStateRole) {
    FRows.SetChecked(row, value.toInt() == Qt::Checked);
    emit dataChanged(index, index, {Qt::CheckStateRole});
    return true;
  }
  if (role == Qt::EditRole) {
    FRows.SetItemNumber(row, value.toString().toStdString());
    emit dataChanged(index, index, {Qt::DisplayRole, Qt::EditRole});
    return true;
  }
  return false;
}

QVariant ResearchGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
  const std::string_view caption = ColumnCaption(section);
  return QString::fromLatin1(caption.data(), qsizetype(caption.size()));
}

Qt::ItemFlags ResearchGridModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::NoItemFlags;
  Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
  if (index.column() == kItemNumberColumn) f |= Qt::ItemIsEditable | Qt::ItemIsUserCheckable;
  return f;
}

bool ResearchGridModel::AddGridRow(std::string_view description, std::string_view itemNumber,
                                   std::string_view bids, std::string_view amount,
                                   const SaleDetails& details) {
  if (!FRows.AddGridRow(description, itemNumber, bids, amount, details)) return false;
  if (FAdding == 0) {
    beginInsertRows({}, FVisibleRows, FVisibleRows);
    FVisibleRows = int(FRows.size());
    endInsertRows();
  }
  return true;
}

void ResearchGridModel::BeginAdding() { ++FAdding; }

void ResearchGridModel::EndAdding() {
  if (FAdding == 0 || --FAdding > 0) return;
  if (int(FRows.size()) > FVisibleRows) {
    beginInsertRows({}, FVisibleRows, int(FRows.size()) - 1);
    FVisibleRows = int(FRows.size());
    endInsertRows();
  }
}

void ResearchGridModel::RemoveFlagged(const std::vector<char>& flags) {
  beginResetModel();
  FRows.RemoveFlagged(flags);
  FVisibleRows = int(FRows.size());
  endResetModel();
}

void ResearchGridModel::Clear() {
  beginResetModel();
  FRows.Clear();
  FVisibleRows = 0;
  endResetModel();
}

void ResearchGridModel::ReplaceRows(GridRows rows) {
  beginResetModel();
  FRows = std::move(rows);
  FVisibleRows = int(FRows.size());
  endResetModel();
}

void ResearchGridModel::SortByColumn(int column, int direction) {
  const size_t n = std::min(FRows.size(), size_t(FVisibleRows));
  if (n < 2) return;
  const auto& rows = FRows.rows();
  const std::vector<uint32_t> ranks =
      IsTextColumn(column) ? TextRanks(rows, n, column) : std::vector<uint32_t>();
  const std::vector<size_t> order = GridSortOrder(rows, n, column, direction, [&](size_t a, size_t b) {
    return int(ranks[a] > ranks[b]) - int(ranks[a] < ranks[b]);
  });
  emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
  std::vector<int> newRow(n);
  for (size_t k = 0; k < n; ++k) newRow[order[k]] = int(k);
  FRows.Reorder(order);
  const QModelIndexList from = persistentIndexList();
  QModelIndexList to;
  to.reserve(from.size());
  for (const QModelIndex& i : from) to.append(index(newRow[size_t(i.row())], i.column()));
  changePersistentIndexList(from, to);
  emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

}  // namespace qb
