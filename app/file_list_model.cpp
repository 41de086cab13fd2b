#include "file_list_model.h"

#include <algorithm>

#include "group_icons.h"

namespace folios::gui {

namespace {

QString Text(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

QString ColumnText(const FileRow& row, int column) {
  switch (column) {
    case FileListModel::kFileName: return Text(row.file_name);
    case FileListModel::kDirectory: return Text(row.directory);
    case FileListModel::kSize: return Text(row.size_text);
    case FileListModel::kModified: return Text(row.modified_text);
    default: return QString();
  }
}

}  // namespace

int FileListModel::columnWidth(int column) {
  static const int kWidths[kColumnCount] = {230, 175, 75, 100};
  return column >= 0 && column < kColumnCount ? kWidths[column] : 0;
}

FileListModel::FileListModel(QObject* parent) : QAbstractTableModel(parent) {}

int FileListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int FileListModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : kColumnCount;
}

QVariant FileListModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rowCount()) return QVariant();
  const FileRow& r = row(index.row());
  switch (role) {
    case Qt::DisplayRole:
      return ColumnText(r, index.column());
    case Qt::DecorationRole:
      if (index.column() == kFileName) return GroupIcon(r.group);
      return QVariant();
    case Qt::ToolTipRole:
      return r.exists ? Text(r.path()) : Text(r.path()) + tr(" (missing)");
    default:
      return QVariant();
  }
}

QVariant FileListModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return QVariant();
  static const char* const kTitles[kColumnCount] = {QT_TR_NOOP("Filename"), QT_TR_NOOP("Directory"),
                                                    QT_TR_NOOP("Size"), QT_TR_NOOP("Modified")};
  return section >= 0 && section < kColumnCount ? tr(kTitles[section]) : QVariant();
}

bool FileListModel::removeRows(int row, int count, const QModelIndex& parent) {
  if (parent.isValid() || row < 0 || count <= 0 || row + count > rowCount()) return false;
  beginRemoveRows(QModelIndex(), row, row + count - 1);
  m_rows.erase(m_rows.begin() + row, m_rows.begin() + row + count);
  m_loadPosition.erase(m_loadPosition.begin() + row, m_loadPosition.begin() + row + count);
  endRemoveRows();
  return true;
}

void FileListModel::setList(FileList list) {
  beginResetModel();
  m_rows = std::move(list.rows);
  m_loadPosition.resize(m_rows.size());
  for (size_t i = 0; i < m_loadPosition.size(); ++i) m_loadPosition[i] = static_cast<int>(i);
  m_totals = list.totals;
  endResetModel();
}

int FileListModel::refreshFromDisk() {
  int changed = 0;
  for (size_t i = 0; i < m_rows.size(); ++i) {
    FileRow& old = m_rows[i];
    FileRow fresh = MakeRow(old.path(), old.group);
    if (fresh.size_text == old.size_text && fresh.modified_text == old.modified_text &&
        fresh.exists == old.exists) {
      continue;
    }
    if (old.group >= 0 && old.group < static_cast<int>(m_totals.size())) {
      uint64_t& total = m_totals[static_cast<size_t>(old.group)];
      // The totals also count rows removed since; never below zero.
      total = total - std::min(total, old.kilobytes) + fresh.kilobytes;
    }
    // The names stay as shown: only what the disk says changes.
    fresh.file_name = old.file_name;
    fresh.directory = old.directory;
    old = std::move(fresh);
    ++changed;
    emit dataChanged(index(static_cast<int>(i), 0), index(static_cast<int>(i), kColumnCount - 1));
  }
  return changed;
}

std::vector<std::string> FileListModel::paths() const {
  std::vector<std::string> result;
  result.reserve(m_rows.size());
  for (const FileRow& r : m_rows) result.push_back(r.path());
  return result;
}

bool FileListModel::sortByColumn(int column) {
  sortByColumn(column, !m_ascending);
  return m_ascending;
}

void FileListModel::sortByColumn(int column, bool ascending) {
  m_ascending = ascending;
  if (column < 0 || column >= kColumnCount) return;
  std::vector<int> order(m_rows.size());
  for (size_t i = 0; i < order.size(); ++i) order[i] = static_cast<int>(i);
  std::vector<QString> keys(m_rows.size());
  for (size_t i = 0; i < keys.size(); ++i) keys[i] = ColumnText(m_rows[i], column);
  std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
    int c = QString::compare(keys[static_cast<size_t>(a)], keys[static_cast<size_t>(b)],
                             Qt::CaseInsensitive);
    return ascending ? c < 0 : c > 0;
  });
  reorder(order);
}

void FileListModel::restoreLoadOrder() {
  std::vector<int> order(m_rows.size());
  for (size_t i = 0; i < order.size(); ++i) order[i] = static_cast<int>(i);
  std::sort(order.begin(), order.end(), [this](int a, int b) {
    return m_loadPosition[static_cast<size_t>(a)] < m_loadPosition[static_cast<size_t>(b)];
  });
  reorder(order);
}

void FileListModel::reorder(const std::vector<int>& order) {
  emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
  std::vector<FileRow> sorted;
  sorted.reserve(m_rows.size());
  std::vector<int> positions;
  positions.reserve(m_rows.size());
  std::vector<int> new_position(m_rows.size());
  for (size_t i = 0; i < order.size(); ++i) {
    const size_t from = static_cast<size_t>(order[i]);
    sorted.push_back(std::move(m_rows[from]));
    positions.push_back(m_loadPosition[from]);
    new_position[from] = static_cast<int>(i);
  }
  m_rows = std::move(sorted);
  m_loadPosition = std::move(positions);
  // Selections and the current row follow their rows.
  const QModelIndexList before = persistentIndexList();
  QModelIndexList after;
  for (const QModelIndex& index : before) {
    after << this->index(new_position[static_cast<size_t>(index.row())], index.column());
  }
  changePersistentIndexList(before, after);
  emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

}  // namespace folios::gui
