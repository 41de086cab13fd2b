// The topic collection, the spool file and the extraction expression.
#include "topic_collection.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>

#include "doc_messages.h"
#include "temp_files.h"

namespace folios::docgen {

namespace {

std::string Lower(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

bool IsWordChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '-'; }

}  // namespace

void TopicCollection::Add(Topic topic, int kind) {
  std::string key = Lower(topic.context);
  auto found = by_context_.find(key);
  if (found != by_context_.end()) {
    Topic& older = topics_[found->second];
    if (kind == kAddContents || older.paragraphs.empty()) {
      older.removed = true;
      by_context_.erase(found);
    } else {
      for (int n = 1;; ++n) {
        std::string candidate = topic.context + "_" + std::to_string(n);
        std::string candidate_key = Lower(candidate);
        if (by_context_.find(candidate_key) == by_context_.end()) {
          topic.context = std::move(candidate);
          key = std::move(candidate_key);
          break;
        }
      }
    }
  }
  by_context_[key] = topics_.size();
  topics_.push_back(std::move(topic));
}

int TopicCollection::AddFile(const std::string& path) {
  files_.push_back(path);
  return static_cast<int>(files_.size()) - 1;
}

int TopicCollection::AddBlock(const std::string& keywords) {
  blocks_.push_back(keywords);
  return static_cast<int>(blocks_.size()) - 1;
}

bool TopicCollection::ContextExists(std::string_view context) const {
  return by_context_.find(Lower(context)) != by_context_.end();
}

namespace {

int CompareNoCase(std::string_view a, std::string_view b) {
  size_t n = std::min(a.size(), b.size());
  for (size_t i = 0; i < n; ++i) {
    int ca = std::tolower(static_cast<unsigned char>(a[i]));
    int cb = std::tolower(static_cast<unsigned char>(b[i]));
    if (ca != cb) return ca < cb ? -1 : 1;
  }
  return a.size() < b.size() ? -1 : a.size() > b.size() ? 1 : 0;
}

}  // namespace

std::vector<size_t> TopicCollection::OutputOrder(bool sorted) const {
  std::vector<size_t> order;
  for (size_t i = 0; i < topics_.size(); ++i) {
    if (!topics_[i].removed && !topics_[i].paragraphs.empty()) order.push_back(i);
  }
  if (sorted) {
    std::stable_sort(order.begin(), order.end(), [this](size_t a, size_t b) {
      const Topic& x = topics_[a];
      const Topic& y = topics_[b];
      if (x.level != y.level) return x.level < y.level;
      return CompareNoCase(x.name, y.name) < 0;
    });
  }
  return order;
}

std::vector<size_t> TopicCollection::ContextOrder() const {
  std::vector<size_t> order;
  for (size_t i = 0; i < topics_.size(); ++i) {
    if (!topics_[i].removed) order.push_back(i);
  }
  std::stable_sort(order.begin(), order.end(), [this](size_t a, size_t b) {
    return CompareNoCase(topics_[a].context, topics_[b].context) < 0;
  });
  return order;
}

// ---------------------------------------------------------------------------

std::string SpoolFileName() {
  const char* dir = std::getenv("TEMP");
  if (!dir || !*dir) dir = std::getenv("TMPDIR");
  if (!dir || !*dir) dir = "/tmp";
  std::string base = dir;
  if (base.size() > 1 && (base.back() == '/' || base.back() == '\\')) base.pop_back();
  char name[32];
  std::snprintf(name, sizeof name, "/~SV%05d.tmp", static_cast<int>(::getpid()));
  return base + name;
}

SpoolFile::~SpoolFile() { Remove(); }

int SpoolFile::Create(const std::string& path) {
  // The spool lives in a shared temporary directory: it is created afresh,
  // never through a link someone left there, and readable by its owner only.
  // A name already taken gets a number appended.
  TemporaryFileSignalsHeld held;  // until the new file is registered
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string candidate = path;
    if (attempt > 0) {
      size_t dot = candidate.rfind('.');
      candidate.insert(dot == std::string::npos ? candidate.size() : dot, "_" + std::to_string(attempt));
    }
    int fd = ::open(candidate.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) {
      if (errno == EEXIST) continue;
      path_ = candidate;
      return kFileErrorBase + CauseOfErrno(errno);
    }
    file_ = ::fdopen(fd, "w+b");
    if (!file_) {
      int error = errno;
      ::close(fd);
      ::unlink(candidate.c_str());
      return kFileErrorBase + CauseOfErrno(error);
    }
    path_ = candidate;
    size_ = 0;
    at_end_ = false;
    // A signal must not leave the spool behind either.
    RegisterTemporaryFile(path_);
    return 0;
  }
  path_ = path;
  return kFileErrorBase + kCauseAccessDenied;
}

void SpoolFile::Remove() {
  if (file_) {
    std::fclose(file_);
    file_ = nullptr;
    std::remove(path_.c_str());
    ForgetTemporaryFile(path_);
  }
}

int SpoolFile::Store(Topic* topic) {
  if (!file_) return kFileErrorBase + kCauseGeneric;
  // Topics are read back apart from the stream (Load), so the stream stays
  // at the end once it is there; a seek for every topic would hand the
  // buffer to the system each time.
  if (!at_end_) {
    if (std::fseek(file_, 0, SEEK_END) != 0) return kFileErrorBase + kCauseBadSeek;
    at_end_ = true;
  }
  topic->spool_offset = size_;
  for (Paragraph& paragraph : topic->paragraphs) {
    paragraph.lengths.clear();
    for (std::string& field : paragraph.fields) {
      if (!field.empty() && std::fwrite(field.data(), 1, field.size(), file_) != field.size()) {
        at_end_ = false;  // a part may have been written: seek again next time
        return kFileErrorBase + kCauseDiskFull;
      }
      paragraph.lengths.push_back(static_cast<uint32_t>(field.size()));
      size_ += static_cast<int64_t>(field.size());
    }
  }
  Release(topic);
  return 0;
}

int SpoolFile::Load(Topic* topic) {
  if (!file_) return kFileErrorBase + kCauseGeneric;
  if (std::fflush(file_) != 0) return kFileErrorBase + kCauseHardIo;
  // The topic's fields lie one after another: one read at its offset takes
  // them all, and leaves the stream where it is.
  size_t total = 0;
  for (const Paragraph& paragraph : topic->paragraphs) {
    for (uint32_t length : paragraph.lengths) total += length;
  }
  read_buffer_.resize(total);
  const int fd = fileno(file_);
  size_t got = 0;
  while (got < total) {
    ssize_t n = ::pread(fd, read_buffer_.data() + got, total - got, static_cast<off_t>(topic->spool_offset) + static_cast<off_t>(got));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return kFileErrorBase + kCauseEndOfFile;
    got += static_cast<size_t>(n);
  }
  size_t at = 0;
  for (Paragraph& paragraph : topic->paragraphs) {
    paragraph.fields.assign(paragraph.lengths.size(), std::string());
    for (size_t f = 0; f < paragraph.lengths.size(); ++f) {
      paragraph.fields[f].assign(read_buffer_, at, paragraph.lengths[f]);
      at += paragraph.lengths[f];
    }
  }
  return 0;
}

void SpoolFile::Release(Topic* topic) {
  for (Paragraph& paragraph : topic->paragraphs) {
    paragraph.fields.clear();
    paragraph.fields.shrink_to_fit();
  }
}

// ---------------------------------------------------------------------------

std::string NormalizeKeywords(std::string_view text) {
  std::string out;
  size_t i = 0;
  while (i < text.size()) {
    char c = text[i];
    if (c == '\r' || c == '\n' || c == '*') break;
    if (c == ' ' || c == '\t') {
      ++i;
      continue;
    }
    size_t start = i;
    while (i < text.size() && text[i] != ' ' && text[i] != '\t' && text[i] != '\r' && text[i] != '\n' &&
           text[i] != '*') {
      ++i;
    }
    std::string_view word = text.substr(start, std::min<size_t>(i - start, 64));
    out.push_back(' ');
    for (char w : word) out.push_back(static_cast<char>(std::toupper(static_cast<unsigned char>(w))));
  }
  out.push_back(' ');
  return out;
}

int ExtractionExpression::Compile(std::string_view text, bool comma_is_or) {
  nodes_.clear();
  root_ = -1;
  comma_is_or_ = comma_is_or;
  size_t pos = 0;
  while (pos < text.size() && (text[pos] == ' ' || text[pos] == '\t')) ++pos;
  if (pos >= text.size()) return 0;
  int rc = ParseSequence(text, &pos, false, &root_);
  if (rc) {
    nodes_.clear();
    root_ = -1;
  }
  return rc;
}

int ExtractionExpression::ParseSequence(std::string_view text, size_t* pos, bool nested, int* root) {
  auto skip = [&] {
    while (*pos < text.size() && (text[*pos] == ' ' || text[*pos] == '\t')) ++*pos;
  };
  auto term = [&](int* node) -> int {
    skip();
    if (*pos >= text.size()) return kErrExprSyntax;
    char c = text[*pos];
    if (c == '(') {
      ++*pos;
      int rc = ParseSequence(text, pos, true, node);
      if (rc) return rc;
      skip();
      if (*pos >= text.size() || text[*pos] != ')') return kErrExprParen;
      ++*pos;
      return 0;
    }
    if (!IsWordChar(c)) return kErrExprSyntax;
    size_t start = *pos;
    while (*pos < text.size() && IsWordChar(text[*pos])) ++*pos;
    if (*pos - start > 64) return kErrExprWordTooLong;
    Node n;
    n.word = " ";
    for (size_t i = start; i < *pos; ++i) {
      n.word.push_back(static_cast<char>(std::toupper(static_cast<unsigned char>(text[i]))));
    }
    n.word.push_back(' ');
    nodes_.push_back(std::move(n));
    *node = static_cast<int>(nodes_.size()) - 1;
    return 0;
  };
  int left = -1;
  int rc = term(&left);
  if (rc) return rc;
  while (true) {
    skip();
    if (*pos >= text.size()) break;
    char c = text[*pos];
    if (c == ')') {
      if (nested) break;
      return kErrExprOperator;
    }
    char op = '|';
    if (c == '&' || c == '|' || (c == ',' && comma_is_or_)) {
      op = c == '&' ? '&' : '|';
      ++*pos;
    } else if (!(c == '(' || IsWordChar(c))) {
      return kErrExprOperator;
    }
    int right = -1;
    rc = term(&right);
    if (rc) return rc;
    Node n;
    n.op = op;
    n.left = left;
    n.right = right;
    nodes_.push_back(std::move(n));
    left = static_cast<int>(nodes_.size()) - 1;
  }
  *root = left;
  return 0;
}

bool ExtractionExpression::Eval(int node, std::string_view normalized) const {
  const Node& n = nodes_[node];
  if (n.op == 0) return normalized.find(n.word) != std::string_view::npos;
  if (n.op == '&') return Eval(n.left, normalized) && Eval(n.right, normalized);
  return Eval(n.left, normalized) || Eval(n.right, normalized);
}

bool ExtractionExpression::Matches(std::string_view normalized) const {
  if (root_ < 0) return true;
  return Eval(root_, normalized);
}

}  // namespace folios::docgen
