// Topics extracted from the sources, their spool file, and the extraction
// expression that selects documentation blocks and topics.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace folios::docgen {

inline constexpr int kParagraphExample = 1;
inline constexpr int kParagraphWritten = 2;

struct Paragraph {
  std::string tag;
  long line = 0;
  // Field texts while the topic is being extracted and while it is written;
  // in between they live in the spool file and only their lengths are kept.
  std::vector<std::string> fields;
  std::vector<uint32_t> lengths;
  int flags = 0;
};

struct Topic {
  std::string name;      // secondary sort key
  std::string context;   // unique in the collection (case-insensitive)
  std::string keywords;  // normalized keyword list of the topic tag
  int level = 0;         // primary sort key
  int64_t spool_offset = 0;
  std::vector<Paragraph> paragraphs;  // the topic's own tag first; empty for contents entries
  int file_index = -1;
  int block_index = -1;
  long line = 0;
  bool removed = false;  // replaced by a later entry of the same context
  // What the declaration read for the topic says beyond its fields: the
  // template head and the parameter list as written (empty when none).
  std::string template_head;
  std::string parameters;
};

inline constexpr int kAddContents = 1;
inline constexpr int kAddTopic = 2;

class TopicCollection {
 public:
  // Adds an entry: kind kAddContents for contents-file lines, kAddTopic for
  // extracted topics. A duplicate context replaces a contents entry, and a
  // second topic of one context gets "_1", "_2", ... appended.
  void Add(Topic topic, int kind);
  int AddFile(const std::string& path);
  int AddBlock(const std::string& keywords);

  bool ContextExists(std::string_view context) const;
  const std::vector<Topic>& topics() const { return topics_; }
  std::vector<Topic>& topics() { return topics_; }
  const std::string& file(int index) const { return files_[index]; }
  const std::string& block(int index) const { return blocks_[index]; }

  // Indexes of the topics that have paragraphs: sorted by level, then name
  // (case-insensitive), or in extraction order when `sorted` is false.
  std::vector<size_t> OutputOrder(bool sorted) const;
  // Indexes of all live entries sorted by context, case-insensitive.
  std::vector<size_t> ContextOrder() const;

 private:
  std::vector<Topic> topics_;
  std::vector<std::string> files_;
  std::vector<std::string> blocks_;
  std::unordered_map<std::string, size_t> by_context_;  // lower-case context -> index
};

// The spool file: field texts of completed topics, back to back.
class SpoolFile {
 public:
  SpoolFile() = default;
  SpoolFile(const SpoolFile&) = delete;
  SpoolFile& operator=(const SpoolFile&) = delete;
  // Closes and deletes the file.
  ~SpoolFile();

  // Creates the file (a new one: an existing name gets "_N" before its
  // extension); returns 0 or 100 + cause. path() is the name used.
  int Create(const std::string& path);
  // Appends the topic's field texts, keeps their lengths and frees them.
  int Store(Topic* topic);
  // Reads the topic's field texts back.
  int Load(Topic* topic);
  // Frees the field texts of a topic again.
  static void Release(Topic* topic);
  void Remove();
  const std::string& path() const { return path_; }

 private:
  std::FILE* file_ = nullptr;
  std::string path_;
  int64_t size_ = 0;
  bool at_end_ = false;      // the stream stands at the end of the file
  std::string read_buffer_;  // one topic's fields as Load reads them
};

// "%s/~SV%05d.tmp" in $TEMP (else $TMPDIR, else /tmp) with the process id.
std::string SpoolFileName();

// A keyword list as it is matched: each word upper case with one blank in
// front, and a final blank. Words end at blanks, tabs and "*"; reading stops
// at a line break or "*".
std::string NormalizeKeywords(std::string_view text);

// The extraction expression: words joined by "&" (and), "|" (or) or nothing
// (or), with parentheses; equal precedence, left to right.
class ExtractionExpression {
 public:
  // Returns 0 or 133..136. With `comma_is_or`, "," also means "or" (index
  // filters).
  int Compile(std::string_view text, bool comma_is_or = false);
  // Whether the normalized keyword list satisfies the expression; the empty
  // expression holds always.
  bool Matches(std::string_view normalized) const;
  bool empty() const { return nodes_.empty(); }

 private:
  struct Node {
    char op = 0;  // 0 word, '&', '|'
    std::string word;  // " WORD "
    int left = -1, right = -1;
  };
  int ParseSequence(std::string_view text, size_t* pos, bool nested, int* root);
  bool Eval(int node, std::string_view normalized) const;
  std::vector<Node> nodes_;
  int root_ = -1;
  bool comma_is_or_ = false;
};

}  // namespace folios::docgen
