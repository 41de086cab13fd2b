#include "file_rows.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdio>

#include "paths.h"
#include "project_file.h"

namespace folios {

std::string FileRow::path() const { return JoinRowPath(directory, file_name); }

uint64_t Kilobytes(uint64_t bytes) { return bytes / 1000 + (bytes % 1000 != 0 ? 1 : 0); }

std::string SizeText(uint64_t bytes) {
  std::string text = std::to_string(Kilobytes(bytes));
  if (text == "0") text = "1";
  text += "KB";
  return text;
}

std::string ModifiedText(std::time_t utc) {
  std::tm tm{};
  if (!gmtime_r(&utc, &tm)) return std::string();
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%02d/%02d/%d %02d:%02d", tm.tm_mon + 1, tm.tm_mday,
                tm.tm_year + 1900, tm.tm_hour, tm.tm_min);
  return buffer;
}

FileRow MakeRow(const std::string& path, int group) {
  FileRow row;
  row.file_name = FileName(path);
  row.directory = Directory(path);
  row.group = group;
  struct stat st;
  if (stat(path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode)) {
    row.exists = true;
    uint64_t bytes = static_cast<uint64_t>(st.st_size);
    row.kilobytes = Kilobytes(bytes);
    row.size_text = SizeText(bytes);
    row.modified_text = ModifiedText(st.st_mtim.tv_sec);
  }
  return row;
}

FileList BuildFileList(const CProjectFile& files) {
  FileList list;
  list.rows.reserve(files.FileCount());
  for (int group = 0; group < kFileGroupCount; ++group) {
    for (const std::string& path : files.group(group)) {
      list.rows.push_back(MakeRow(path, group));
      list.totals[group] += list.rows.back().kilobytes;
    }
  }
  // Each row was inserted at the top of the list.
  std::reverse(list.rows.begin(), list.rows.end());
  return list;
}

namespace {

std::string KilobyteText(uint64_t kilobytes) {
  std::string text = std::to_string(kilobytes);
  text += "KB";
  return text;
}

}  // namespace

std::vector<StatisticsRow> Statistics(const CProjectFile& files,
                                      const std::array<uint64_t, 6>& totals) {
  struct Entry {
    const char* label;
    int group;
  };
  static const Entry kEntries[] = {
      {"C++ Sourcefiles (*.cpp, *.c)", kCppSources},
      {"C++ Headerfiles (*.h)", kCppHeaders},
      {"Visual Basic Form files (*.frm)", kVbForms},
      {"Visual Basic Module (*.bas)", kVbModules},
      {"Visual Basic Class Module (*.cls)", kVbClasses},
      {"Java Files (*.java)", kJavaFiles},
  };
  std::vector<StatisticsRow> rows;
  uint64_t count_sum = 0;
  uint64_t size_sum = 0;
  for (const Entry& entry : kEntries) {
    uint64_t count = files.group(entry.group).size();
    count_sum += count;
    size_sum += totals[entry.group];
    rows.push_back({entry.label, entry.group, std::to_string(count),
                    KilobyteText(totals[entry.group])});
  }
  rows.push_back({"Total", 6, std::to_string(count_sum), KilobyteText(size_sum)});
  return rows;
}

}  // namespace folios
