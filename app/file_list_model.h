// FileListModel: the rows of the main window's file list, in display order.
//
// The rows are a copy of what BuildFileList made from the file collection;
// removing a row here does not change the collection, and the builds take
// exactly the rows that are left, top to bottom.
#pragma once

#include <QAbstractTableModel>
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "file_rows.h"

namespace folios::gui {

class FileListModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  enum Column { kFileName = 0, kDirectory = 1, kSize = 2, kModified = 3, kColumnCount = 4 };
  // The width of each column in pixels.
  static int columnWidth(int column);

  explicit FileListModel(QObject* parent = nullptr);

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  bool removeRows(int row, int count, const QModelIndex& parent = QModelIndex()) override;

  // Replaces every row and the group totals.
  void setList(FileList list);
  const FileRow& row(int i) const { return m_rows[static_cast<size_t>(i)]; }
  const std::array<uint64_t, 6>& totals() const { return m_totals; }
  // Looks every row's file up on disk again and updates the rows whose size,
  // time or presence changed, and their groups' totals. Returns how many
  // rows changed.
  int refreshFromDisk();
  // Directory + "/" + file name of every row, top to bottom.
  std::vector<std::string> paths() const;

  // Toggles the direction, then sorts the rows by the text of `column`,
  // ignoring case (sizes and dates sort as text too). Equal texts keep their
  // order. Returns the direction used.
  bool sortByColumn(int column);
  // Sorts in the given direction, which the next toggle starts from.
  void sortByColumn(int column, bool ascending);
  bool sortAscending() const { return m_ascending; }
  // Puts the rows that are left back in the order setList gave them.
  void restoreLoadOrder();

 private:
  // Rows and their positions as setList gave them, moved together.
  void reorder(const std::vector<int>& order);

  std::vector<FileRow> m_rows;
  std::vector<int> m_loadPosition;
  std::array<uint64_t, 6> m_totals{};
  // Toggled before each sort, so the first click sorts ascending.
  bool m_ascending = false;
};

}  // namespace folios::gui
