// The rows of the file list as the main window shows them, and the
// statistics over the file collection.
#pragma once

#include <array>
#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

namespace folios {

class CProjectFile;

struct FileRow {
  std::string file_name;      // column "Filename"
  std::string directory;      // column "Directory"
  std::string size_text;      // column "Size", such as "12KB"; empty for a missing file
  std::string modified_text;  // column "Modified", "MM/DD/YYYY HH:MM" in UTC; empty when missing
  int group = 0;              // the file group, which is also the row's icon
  uint64_t kilobytes = 0;     // what the row adds to its group's total
  bool exists = false;

  // Directory + "/" + file name: the path the builds use.
  std::string path() const;
};

// Kilobytes of 1000 bytes, rounded up.
uint64_t Kilobytes(uint64_t bytes);
// The size column: the kilobytes with "0" shown as "1", then "KB".
std::string SizeText(uint64_t bytes);
// The modified column: UTC month/day/year hour:minute, two digits except the year.
std::string ModifiedText(std::time_t utc);

// The row of one file, looked up on disk now.
FileRow MakeRow(const std::string& path, int group);

struct FileList {
  std::vector<FileRow> rows;                // in display order
  std::array<uint64_t, 6> totals{};         // kilobytes per group
};

// Rebuilds the rows from the collection. Groups are taken in order 0..5 and
// paths in stored order, each row going in at the top, so the list shows the
// last Java file first and the first C++ source file last.
FileList BuildFileList(const CProjectFile& files);

struct StatisticsRow {
  std::string label;  // "C++ Sourcefiles (*.cpp, *.c)" ... "Total"
  int image;          // group icon, 6 for the total row
  std::string number;
  std::string total_size;  // such as "12KB"
};

// The seven rows of the statistics dialog: the counts of the collection and
// the totals of the last rebuild.
std::vector<StatisticsRow> Statistics(const CProjectFile& files,
                                      const std::array<uint64_t, 6>& totals);

}  // namespace folios
