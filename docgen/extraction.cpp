// Comment tag extraction.
#include "extraction.h"

#include <glob.h>
#include <unistd.h>
#include <sys/stat.h>

#include <cctype>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <exception>
#include <new>
#include <ostream>

#include "atomic_file.h"
#include "declarations.h"
#include "doc_messages.h"
#include "paths.h"

namespace folios::docgen {

namespace {

constexpr size_t kMaxCollected = 24575;
constexpr size_t kMaxJoined = 1023;
constexpr size_t kMaxKeywordList = 1023;

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsTagChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '-'; }

std::string_view TrimRight(std::string_view text) {
  while (!text.empty() && (IsBlank(text.back()) || text.back() == '\r' || text.back() == '\n')) {
    text.remove_suffix(1);
  }
  return text;
}

// The first '"', "'" or "/" at or after `from`, else line.size(). Eight
// bytes are judged at a time while none of them is one.
size_t FindQuoteOrSlash(std::string_view line, size_t from) {
  constexpr uint64_t kOnes = 0x0101010101010101ULL;
  constexpr uint64_t kHigh = 0x8080808080808080ULL;
  auto has_byte = [](uint64_t word, unsigned char b) {
    uint64_t x = word ^ (kOnes * b);
    return (x - kOnes) & ~x & kHigh;
  };
  size_t p = from;
  const size_t n = line.size();
  for (; p + 8 <= n; p += 8) {
    uint64_t word;
    std::memcpy(&word, line.data() + p, 8);
    if (has_byte(word, '"') | has_byte(word, '\'') | has_byte(word, '/')) break;
  }
  while (p < n && line[p] != '"' && line[p] != '\'' && line[p] != '/') ++p;
  return p;
}

bool IsBlankLine(std::string_view line) {
  for (char c : line) {
    if (!IsBlank(c) && c != '\r' && c != '\n') return false;
  }
  return true;
}

// Drops decoration in front of comment text: a run of "*+-;=" followed by
// white space; a run ending in "*/" leaves the text at that "*/".
std::string_view SkipDecoration(std::string_view text) {
  // Blanks before the text are kept: they are the indentation of examples.
  size_t i = 0;
  while (i < text.size() && IsBlank(text[i])) ++i;
  if (i < text.size() && (text[i] == '\'' || text[i] == ';')) return text;
  size_t start = i;
  while (i < text.size() && (text[i] == '*' || text[i] == '+' || text[i] == '-' || text[i] == ';' || text[i] == '=')) {
    ++i;
  }
  if (i == start) return text;
  if (i < text.size() && text[i] == '/' && text[i - 1] == '*') return text.substr(i - 1);
  if (i >= text.size() || IsBlank(text[i]) || text[i] == '\r' || text[i] == '\n') return text.substr(i);
  return text;
}

struct Request {
  int kind;
  bool secondary;  // the paragraph is in the secondary list
  size_t index;    // index of the paragraph in its list
};

// A paragraph of the secondary list that is made through a map when the
// secondary topic is completed, so that fields read from code are in place.
struct PendingMap {
  size_t source;  // index in the current topic's paragraphs
  const FieldMap* map;
};

class FileExtractor {
 public:
  FileExtractor(const std::string& path, TopicCollection* collection, const FormatModel& model,
                const ExtractionSettings& settings, SpoolFile* spool, std::ostream& out, ErrorLog& errors)
      : path_(path), collection_(collection), model_(model), settings_(settings), spool_(spool), out_(out),
        reporter_(errors, settings.errors) {}

  void Run(const std::string& text);

 private:
  void SplitLines(const std::string& text);
  void HandleComment(std::string_view text, std::string_view code, long line);
  void HandleTag(std::string_view name, bool secondary, std::string_view second_name, std::string_view rest,
                 std::string_view code, long line);
  void HandleCode(size_t* index);
  void StartParagraph(std::string_view tag, bool secondary, std::string_view second_name, std::string_view rest,
                      std::string_view code, long line);
  void AppendText(std::string_view text, long line);
  void CompleteParagraph();
  void CompleteTopic();
  void CompleteSecondary();
  void FinishTopic(std::vector<Paragraph>* list, const std::string& keywords, DeclarationText* declaration);
  int CutFields(const Definition& definition, const std::string& text, long line, Paragraph* paragraph);
  void Report(long line, int code) { reporter_.Report(path_, line, code); }
  bool EndsJoin(std::string_view line) const;
  std::string_view CodePart(std::string_view line) const;
  Paragraph* RequestTarget(const Request& request);

  std::string path_;
  TopicCollection* collection_;
  const FormatModel& model_;
  const ExtractionSettings& settings_;
  SpoolFile* spool_;
  std::ostream& out_;
  ErrorReporter reporter_;

  std::vector<std::string_view> lines_;
  int file_index_ = -1;
  int style_ = kStyleC;
  char delimiter_ = 0;

  bool in_comment_ = false;   // inside a block comment
  long comment_line_ = 0;     // where that block comment began
  bool in_block_ = false;     // inside a documentation block
  int block_index_ = -1;
  bool topic_open_ = false;
  bool skipping_ = false;     // the current topic is skipped
  std::string topic_keywords_;
  long topic_line_ = 0;

  bool pending_ = false;      // a paragraph is pending
  bool collecting_ = false;   // its text is being collected
  bool pending_secondary_ = false;
  std::string pending_tag_;
  std::string pending_second_;
  std::string pending_code_;
  std::string pending_text_;
  long pending_line_ = 0;

  std::vector<Paragraph> paragraphs_;
  DeclarationText declaration_;  // of the open topic, from its own request
  std::string template_line_;    // a template header line passed over
  std::vector<Paragraph> secondary_;
  std::vector<PendingMap> secondary_maps_;  // parallel to secondary_; map null for plain paragraphs
  std::vector<Request> requests_;
};

void FileExtractor::SplitLines(const std::string& text) {
  // LF, CR LF and a lone CR (old Mac files) each end a line.
  const char* data = text.data();
  // Most files hold no CR: one look at the whole saves one per line.
  const bool any_cr = std::memchr(data, '\r', text.size()) != nullptr;
  size_t pos = 0;
  while (pos < text.size()) {
    const void* lf_at = std::memchr(data + pos, '\n', text.size() - pos);
    size_t lf = lf_at ? static_cast<size_t>(static_cast<const char*>(lf_at) - data) : text.size();
    // Lone CRs inside [pos, lf) split the stretch further.
    while (const void* cr_at = any_cr ? std::memchr(data + pos, '\r', lf - pos) : nullptr) {
      size_t cr = static_cast<size_t>(static_cast<const char*>(cr_at) - data);
      if (cr + 1 == lf) break;  // CR LF
      lines_.emplace_back(data + pos, cr - pos);
      pos = cr + 1;
    }
    size_t length = lf - pos;
    if (length > 0 && data[pos + length - 1] == '\r') --length;
    lines_.emplace_back(data + pos, length);
    pos = lf + 1;
  }
}

void FileExtractor::Run(const std::string& text) {
  file_index_ = collection_->AddFile(path_);
  if (settings_.verbose) out_ << path_ << "\n";
  const Definition* extension = model_.FindExtension(Extension(path_));
  if (!extension) {
    Report(0, kErrNoExtension);
  } else {
    style_ = extension->style;
    delimiter_ = extension->delimiter;
  }
  SplitLines(text);
  for (size_t i = 0; i < lines_.size(); ++i) {
    std::string_view line = lines_[i];
    long number = static_cast<long>(i) + 1;
    bool was_in_comment = in_comment_;
    bool closes = false;
    bool has_comment = false;
    std::string_view comment;
    std::string_view code;
    if (in_comment_) {
      if (line.size() >= 2 && line[0] == '/' && line[1] == '/') continue;
      has_comment = true;
      comment = line;
      size_t end = line.find("*/");
      if (end != std::string_view::npos) {
        closes = true;
        comment = line.substr(0, end);
      }
      comment = SkipDecoration(comment);
    } else if (style_ == kStyleC) {
      bool in_string = false;
      char quote = 0;
      for (size_t p = 0; p < line.size(); ++p) {
        if (in_string) {
          // A string or character literal ends at its next quote.
          size_t close = line.find(quote, p);
          if (close == std::string_view::npos) break;
          p = close;
          in_string = false;
          continue;
        }
        // Only quotes and slashes matter outside strings.
        p = FindQuoteOrSlash(line, p);
        if (p >= line.size()) break;
        char c = line[p];
        if (c == '"' || c == '\'') {
          in_string = true;
          quote = c;
          continue;
        }
        if (c == '/' && p + 1 < line.size() && line[p + 1] == '*') {
          has_comment = true;
          code = line.substr(0, p);
          comment = line.substr(p + 2);
          size_t end = comment.find("*/");
          if (end != std::string_view::npos) {
            closes = true;
            comment = comment.substr(0, end);
          } else {
            in_comment_ = true;
            comment_line_ = number;
          }
          break;
        }
        if (c == '/' && p + 1 < line.size() && line[p + 1] == '/') {
          has_comment = true;
          code = line.substr(0, p);
          size_t q = p;
          while (q < line.size() && line[q] == '/') ++q;
          comment = line.substr(q);
          break;
        }
      }
      if (has_comment) comment = SkipDecoration(comment);
    } else {
      bool in_string = false;
      for (size_t p = 0; p < line.size(); ++p) {
        if (line[p] == '"') in_string = !in_string;
        else if (!in_string && line[p] == delimiter_) {
          has_comment = true;
          code = line.substr(0, p);
          comment = SkipDecoration(line.substr(p + 1));
          break;
        }
      }
    }
    if (closes) in_comment_ = false;

    if (was_in_comment) {
      HandleComment(comment, std::string_view(), number);
    } else if (IsBlankLine(line)) {
      collecting_ = false;
    } else if (!has_comment) {
      HandleCode(&i);
    } else {
      if (!IsBlankLine(code)) {
        std::string_view rest = comment;
        while (!rest.empty() && IsBlank(rest.front())) rest.remove_prefix(1);
        if (rest.empty() || rest[0] != '@') {
          // Code with a plain trailing comment is a code line.
          size_t index = i;
          HandleCode(&index);
          i = index;
          if (closes) collecting_ = false;
          continue;
        }
      }
      HandleComment(comment, code, number);
    }
    if (closes) collecting_ = false;
  }
  // A comment left open swallowed the code after it: say where it began.
  if (in_comment_) Report(comment_line_, kErrUnclosedComment);
  CompleteTopic();
  reporter_.Summarise();
}

void FileExtractor::HandleComment(std::string_view text, std::string_view code, long line) {
  std::string_view rest = text;
  while (!rest.empty() && IsBlank(rest.front())) rest.remove_prefix(1);
  if (!rest.empty() && rest[0] == '@') {
    size_t p = 1;
    bool secondary = false;
    if (p < rest.size() && rest[p] == '@') {
      secondary = true;
      ++p;
    }
    size_t name_start = p;
    while (p < rest.size() && IsTagChar(rest[p])) ++p;
    if (p > name_start) {
      std::string_view name = rest.substr(name_start, p - name_start);
      std::string_view second;
      if (p < rest.size() && rest[p] == ',') {
        size_t q = p + 1;
        while (q < rest.size() && IsTagChar(rest[q])) ++q;
        if (q > p + 1) {
          second = rest.substr(p + 1, q - p - 1);
          p = q;
        }
      }
      HandleTag(name, secondary, second, rest.substr(p), code, line);
      return;
    }
  }
  if (!in_block_ || skipping_) return;
  AppendText(text, line);
}

void FileExtractor::AppendText(std::string_view text, long line) {
  if (!pending_ || !collecting_) return;
  text = TrimRight(text);
  if (pending_text_.size() + text.size() + 1 > kMaxCollected) {
    // The part that fits is kept, cut where a UTF-8 character begins.
    Report(line, kErrTextTooLong);
    if (pending_text_.size() + 1 >= kMaxCollected) return;
    size_t room = kMaxCollected - pending_text_.size() - 1;
    while (room > 0 && (static_cast<unsigned char>(text[room]) & 0xC0) == 0x80) --room;
    text = TrimRight(text.substr(0, room));
  }
  pending_text_.append(text);
  pending_text_.push_back('\n');
}

void FileExtractor::HandleTag(std::string_view name, bool secondary, std::string_view second_name,
                              std::string_view rest, std::string_view code, long line) {
  if (!in_block_) {
    if (!EqualsNoCase(name, "doc")) return;
    std::string keywords = NormalizeKeywords(rest);
    if (!settings_.expression || settings_.expression->Matches(keywords)) {
      in_block_ = true;
      block_index_ = collection_->AddBlock(keywords);
    }
    return;
  }
  if (EqualsNoCase(name, "doc")) {
    CompleteTopic();
    in_block_ = false;
    skipping_ = false;
    HandleTag(name, secondary, second_name, rest, code, line);
    return;
  }
  if (secondary && topic_open_ && !skipping_) {
    StartParagraph(name, true, second_name, rest, code, line);
    return;
  }
  if (!secondary && model_.Find(kSectionTopic, name, nullptr)) {
    if (topic_open_) CompleteTopic();
    skipping_ = false;
    // An optional keyword list: ":" "(" list ")".
    std::string keywords;
    std::string_view after = rest;
    size_t p = 0;
    while (p < after.size() && IsBlank(after[p])) ++p;
    bool has_list = false;
    if (p < after.size() && after[p] == ':') {
      ++p;
      while (p < after.size() && IsBlank(after[p])) ++p;
      size_t close = after.find(')', p);
      if (p >= after.size() || after[p] != '(' || close == std::string_view::npos ||
          after.substr(p, close - p).find('|') != std::string_view::npos || close - p - 1 > kMaxKeywordList) {
        Report(line, kErrKeywordListParen);
      } else {
        keywords = NormalizeKeywords(after.substr(p + 1, close - p - 1));
        has_list = true;
        after = after.substr(close + 1);
      }
    }
    if (has_list && settings_.expression && !settings_.expression->Matches(keywords)) {
      skipping_ = true;
      return;
    }
    topic_open_ = true;
    topic_keywords_ = has_list ? keywords : std::string();
    topic_line_ = line;
    StartParagraph(name, false, second_name, after, code, line);
    return;
  }
  if (skipping_) return;
  if (!topic_open_) {
    Report(line, kErrTagBeforeTopic);
    return;
  }
  StartParagraph(name, secondary, second_name, rest, code, line);
}

void FileExtractor::StartParagraph(std::string_view tag, bool secondary, std::string_view second_name,
                                   std::string_view rest, std::string_view code, long line) {
  CompleteParagraph();
  pending_ = true;
  collecting_ = true;
  pending_secondary_ = secondary;
  pending_tag_ = std::string(tag);
  pending_second_ = std::string(second_name);
  pending_code_ = std::string(code.substr(0, kMaxJoined));
  pending_line_ = line;
  pending_text_.clear();
  AppendText(rest, line);
}

int FileExtractor::CutFields(const Definition& definition, const std::string& text, long line,
                             Paragraph* paragraph) {
  (void)line;
  size_t i = 0;
  int declared = definition.field_count;
  bool after_bar = false;  // the previous field ended at a "|"
  for (int f = 0; f < declared; ++f) {
    bool last = f == declared - 1;
    if (!(last && definition.example)) {
      while (i < text.size() && (IsBlank(text[i]) || text[i] == '\n' || text[i] == '\r')) ++i;
    }
    if (i >= text.size()) {
      // "a |" has an empty second field; a field never begun is missing.
      if (after_bar) paragraph->fields.emplace_back();
      break;
    }
    after_bar = false;
    std::string field;
    if (last && definition.example) {
      field = std::string(TrimRight(std::string_view(text).substr(i)));
      // Drop trailing white space of every kind, blank lines included.
      while (!field.empty() && (IsBlank(field.back()) || field.back() == '\n')) field.pop_back();
      i = text.size();
    } else {
      while (i < text.size() && text[i] != '|') {
        // Text up to the next bar, backslash or line end is taken at once.
        size_t plain = i;
        while (plain < text.size() && text[plain] != '|' && text[plain] != '\\' && text[plain] != '\n') ++plain;
        if (plain > i) {
          field.append(text, i, plain - i);
          i = plain;
          continue;
        }
        if (text[i] == '\\' && i + 1 < text.size() && text[i + 1] == '|') {
          field.push_back('|');
          i += 2;
          continue;
        }
        if (text[i] == '\n') {
          while (!field.empty() && IsBlank(field.back())) field.pop_back();
        }
        field.push_back(text[i++]);
      }
      while (!field.empty() && (IsBlank(field.back()) || field.back() == '\n' || field.back() == '\r')) {
        field.pop_back();
      }
      if (!last && i < text.size()) {
        ++i;  // past "|"
        after_bar = true;
      }
    }
    paragraph->fields.push_back(std::move(field));
  }
  if (i < text.size() && text[i] == '|') return kErrTooManyFields;
  return 0;
}

void FileExtractor::CompleteParagraph() {
  if (!pending_) return;
  pending_ = false;
  collecting_ = false;
  bool secondary = pending_secondary_;
  std::vector<Paragraph>& list = secondary ? secondary_ : paragraphs_;
  bool first = list.empty();
  const Definition* definition =
      model_.Find(first ? kSectionTopic : kSectionParagraph, pending_tag_, nullptr);
  if (!definition) {
    Report(pending_line_, first ? kErrTopicTag : kErrParagraphTag);
    return;
  }
  Paragraph paragraph;
  paragraph.tag = pending_tag_;
  paragraph.line = pending_line_;
  if (definition->example) paragraph.flags |= kParagraphExample;
  int rc = CutFields(*definition, pending_text_, pending_line_, &paragraph);
  if (rc) Report(pending_line_, rc);
  bool queued = false;
  if (static_cast<int>(paragraph.fields.size()) < definition->field_count) {
    if (definition->parse != kDeclNone) {
      bool done = false;
      if (!IsBlankLine(pending_code_)) {
        // Code in front of the comment on the tag's line declares it.
        ScanCursor cursor{pending_code_, 0};
        std::vector<std::string> fields;
        if (ParseDeclaration(definition->parse, &cursor, false, &fields,
                             first && !secondary ? &declaration_ : nullptr) == 0) {
          paragraph.fields.insert(paragraph.fields.begin(), fields.begin(), fields.end());
          done = true;
        }
      }
      if (!done) queued = true;
    } else if (!first) {
      Report(pending_line_, kErrFieldsDiffer);
    }
  }
  if (!secondary && !secondary_.empty()) CompleteSecondary();
  std::vector<Paragraph>& target = secondary ? secondary_ : paragraphs_;
  target.push_back(std::move(paragraph));
  if (secondary) secondary_maps_.push_back(PendingMap{0, nullptr});
  if (queued) requests_.push_back(Request{definition->parse, secondary, target.size() - 1});
  if (!pending_second_.empty() && !secondary) {
    const FieldMap* map = nullptr;
    for (const FieldMap& m : definition->maps) {
      if (EqualsNoCase(m.target, pending_second_)) {
        map = &m;
        break;
      }
    }
    if (!map) {
      Report(pending_line_, kErrNoMap);
    } else {
      Paragraph mapped;
      mapped.tag = map->target;
      mapped.line = pending_line_;
      secondary_.push_back(std::move(mapped));
      secondary_maps_.push_back(PendingMap{paragraphs_.size() - 1, map});
    }
  }
}

std::string_view FileExtractor::CodePart(std::string_view line) const {
  if (style_ == kStyleC) {
    char quote = 0;
    for (size_t p = 0; p < line.size(); ++p) {
      char c = line[p];
      if (quote) {
        if (c == quote) quote = 0;
      } else if (c == '"' || c == '\'') {
        quote = c;
      } else if (c == '/' && p + 1 < line.size() && (line[p + 1] == '/' || line[p + 1] == '*')) {
        return line.substr(0, p);
      }
    }
    return line;
  }
  bool in_string = false;
  for (size_t p = 0; p < line.size(); ++p) {
    if (line[p] == '"') in_string = !in_string;
    else if (!in_string && line[p] == delimiter_) return line.substr(0, p);
  }
  return line;
}

bool FileExtractor::EndsJoin(std::string_view line) const {
  std::string_view code = CodePart(line);
  if (code.size() == line.size()) return false;  // no comment at all
  if (IsBlankLine(code)) return true;              // a comment line
  std::string_view comment = line.substr(code.size());
  // A block comment left open would be taken for code on the lines after.
  if (style_ == kStyleC && comment.substr(0, 2) == "/*" && comment.find("*/", 2) == std::string_view::npos) {
    return true;
  }
  // Code with a tag in its trailing comment documents itself.
  size_t at = comment.find('@');
  return at != std::string_view::npos &&
         comment.find_first_not_of(" \t/*'+-;=", comment[0] == delimiter_ ? 1 : 0) == at;
}

Paragraph* FileExtractor::RequestTarget(const Request& request) {
  std::vector<Paragraph>& list = request.secondary ? secondary_ : paragraphs_;
  return request.index < list.size() ? &list[request.index] : nullptr;
}

void FileExtractor::HandleCode(size_t* index) {
  CompleteParagraph();
  if (requests_.empty()) return;
  // A comment after the code is not part of the declaration, and a line is
  // read 1023 characters at most: the scanners never see an endless line.
  std::string text(CodePart(lines_[*index]).substr(0, kMaxJoined));
  if (IsTemplateHeaderLine(text)) {
    // The declaration is on the next line; its head goes in front of it.
    template_line_ = text;
    return;
  }
  if (!template_line_.empty() && template_line_.size() + 1 + text.size() <= kMaxJoined) {
    text = template_line_ + " " + text;
  }
  template_line_.clear();
  ScanCursor cursor{text, 0};
  for (const Request& request : requests_) {
    std::vector<std::string> fields;
    // The topic's own declaration says what its fields do not.
    DeclarationText* said = !request.secondary && request.index == 0 ? &declaration_ : nullptr;
    int rc = ParseDeclaration(request.kind, &cursor, true, &fields, said);
    while (rc == kDeclContinues) {
      // A declaration is joined with the code lines that follow, never with
      // a comment: that would swallow the next topic's tags.
      // A block comment left open on this line takes the lines after it.
      if (in_comment_ || *index + 1 >= lines_.size() || EndsJoin(lines_[*index + 1])) break;
      std::string_view next = CodePart(lines_[*index + 1]);
      if (cursor.text.size() + 1 + next.size() > kMaxJoined) {
        rc = kErrDeclTooLong;
        break;
      }
      ++*index;
      cursor.text += ' ';
      cursor.text.append(next);
      rc = ParseDeclaration(request.kind, &cursor, true, &fields, said);
    }
    // A head whose parameter list never closes still has its name.
    if (rc == kDeclContinues && !fields.empty()) rc = ParseDeclaration(request.kind, &cursor, false, &fields, said);
    Paragraph* paragraph = RequestTarget(request);
    if (rc == 0) {
      if (paragraph) paragraph->fields.insert(paragraph->fields.begin(), fields.begin(), fields.end());
    } else {
      Report(static_cast<long>(*index) + 1, rc);
    }
  }
  requests_.clear();
}

void FileExtractor::CompleteSecondary() {
  if (secondary_.empty()) return;
  // Mapped paragraphs take their fields now that code has filled their source.
  for (size_t k = 0; k < secondary_.size(); ++k) {
    const PendingMap& pending = secondary_maps_[k];
    if (!pending.map || pending.source >= paragraphs_.size()) continue;
    const Paragraph& source = paragraphs_[pending.source];
    for (const PatternPart& reference : pending.map->references) {
      std::string value;
      if (reference.kind == PatternPart::kNamedField) {
        if (!paragraphs_.empty() && EqualsNoCase(reference.text, paragraphs_[0].tag) &&
            reference.field <= static_cast<int>(paragraphs_[0].fields.size())) {
          value = paragraphs_[0].fields[reference.field - 1];
        }
      } else if (reference.field <= static_cast<int>(source.fields.size())) {
        value = source.fields[reference.field - 1];
      }
      secondary_[k].fields.push_back(std::move(value));
    }
  }
  // Requests still waiting for the secondary list are dropped with it.
  std::vector<Request> kept;
  for (const Request& request : requests_) {
    if (!request.secondary) kept.push_back(request);
  }
  requests_ = std::move(kept);
  std::vector<Paragraph> list = std::move(secondary_);
  secondary_.clear();
  secondary_maps_.clear();
  FinishTopic(&list, std::string(), nullptr);
}

void FileExtractor::CompleteTopic() {
  CompleteParagraph();
  CompleteSecondary();
  requests_.clear();
  if (topic_open_ && !paragraphs_.empty()) FinishTopic(&paragraphs_, topic_keywords_, &declaration_);
  paragraphs_.clear();
  declaration_ = DeclarationText();
  template_line_.clear();
  topic_open_ = false;
}

void FileExtractor::FinishTopic(std::vector<Paragraph>* list, const std::string& keywords,
                                DeclarationText* declaration) {
  Paragraph& first = list->front();
  const Definition* definition = model_.Find(kSectionTopic, first.tag, nullptr);
  if (!definition) {
    Report(first.line, kErrTopicTag);
    list->clear();
    return;
  }
  if (static_cast<int>(first.fields.size()) != definition->field_count) Report(first.line, kErrFieldsDiffer);
  Topic topic;
  PatternScope scope{&first.fields, &first.tag, &first.fields};
  topic.name = RenderPattern(definition->name_pattern, scope);
  topic.context = RenderPattern(definition->has_context ? definition->context_pattern : definition->name_pattern, scope);
  topic.keywords = keywords;
  topic.level = definition->level;
  topic.file_index = file_index_;
  topic.block_index = block_index_;
  topic.line = first.line;
  topic.paragraphs = std::move(*list);
  list->clear();
  if (declaration) {
    topic.template_head = std::move(declaration->template_head);
    topic.parameters = std::move(declaration->parameters);
  }
  if (settings_.verbose) out_ << "\t" << topic.name << "\n";
  int rc = spool_->Store(&topic);
  if (rc) {
    Report(topic.line, rc);
    return;
  }
  collection_->Add(std::move(topic), kAddTopic);
}

bool HasWildcards(const std::string& name) { return name.find_first_of("*?[") != std::string::npos; }

bool IsRegularFile(const std::string& path) {
  struct stat info;
  return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

bool IsDirectory(const std::string& path) {
  struct stat info;
  return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// Reads a whole source; 0 or 100 + cause.
int ReadSource(const std::string& path, std::string* content) {
  // Read only if still a regular file: a pipe put in its place since it
  // was found would otherwise be waited on.
  if (!ReadRegularFile(path, content).ok()) {
    const int error = errno;
    struct stat now;
    if (::stat(path.c_str(), &now) == 0 && !S_ISREG(now.st_mode)) return kFileErrorBase + kCauseInvalidFile;
    return kFileErrorBase + CauseOfErrno(error);
  }
  return 0;
}

}  // namespace

void ExtractText(const std::string& path, const std::string& text, TopicCollection* collection,
                 const FormatModel& model, const ExtractionSettings& settings, SpoolFile* spool,
                 std::ostream& out, ErrorLog& errors) {
  FileExtractor extractor(path, collection, model, settings, spool, out, errors);
  extractor.Run(text);
}

std::vector<std::string> MatchSourceName(const std::string& source_name) {
  std::vector<std::string> paths;
  if (IsRegularFile(source_name)) {
    paths.push_back(source_name);
  } else if (HasWildcards(source_name)) {
    glob_t found{};
    if (::glob(source_name.c_str(), 0, nullptr, &found) == 0) {
      for (size_t i = 0; i < found.gl_pathc; ++i) {
        if (IsRegularFile(found.gl_pathv[i])) paths.emplace_back(found.gl_pathv[i]);
      }
    }
    ::globfree(&found);
  }
  return paths;
}

LoadedSource LoadSource(const std::string& path) {
  LoadedSource source;
  try {
    source.rc = ReadSource(path, &source.text);
    if (source.rc == 0 && std::memchr(source.text.data(), '\0', source.text.size())) source.rc = kErrBinaryFile;
  } catch (const std::exception&) {
    // A file too large to hold (an endless line) is given up; the run goes on.
    source.rc = kErrOutOfMemory;
  }
  if (source.rc) std::string().swap(source.text);
  return source;
}

int ExtractLoadedFile(const std::string& path, LoadedSource* source, TopicCollection* collection,
                      const FormatModel& model, const ExtractionSettings& settings, SpoolFile* spool,
                      std::ostream& out, ErrorLog& errors) {
  int rc = source->rc;
  if (rc == 0) {
    try {
      ExtractText(path, source->text, collection, model, settings, spool, out, errors);
    } catch (const std::bad_alloc&) {
      rc = kErrOutOfMemory;
    }
  }
  std::string().swap(source->text);
  if (rc) ReportError(errors, path, 0, rc);
  return rc;
}

int ExtractFile(const std::string& path, TopicCollection* collection, const FormatModel& model,
                const ExtractionSettings& settings, SpoolFile* spool, std::ostream& out, ErrorLog& errors) {
  LoadedSource source = LoadSource(path);
  return ExtractLoadedFile(path, &source, collection, model, settings, spool, out, errors);
}

int ExtractSource(const std::string& source_name, TopicCollection* collection, const FormatModel& model,
                  const ExtractionSettings& settings, SpoolFile* spool, std::ostream& out, ErrorLog& errors) {
  std::vector<std::string> paths = MatchSourceName(source_name);
  if (paths.empty()) {
    struct stat info;
    if (::stat(source_name.c_str(), &info) == 0 && !S_ISDIR(info.st_mode) && !S_ISREG(info.st_mode)) {
      // A pipe, socket or device is not opened (it may wait for ever); it
      // is named for what it is rather than as missing.
      const int rc = kFileErrorBase + kCauseInvalidFile;
      ReportFailure(errors, source_name, rc, NotRegularReason(info.st_mode));
      return rc;
    }
    int rc = IsDirectory(source_name) ? kFileErrorBase + kCauseInvalidFile : kErrNotFound;
    ReportError(errors, source_name, 0, rc);
    return rc;
  }
  int result = 0;
  for (const std::string& path : paths) {
    int rc = ExtractFile(path, collection, model, settings, spool, out, errors);
    if (rc && !result) result = rc;
  }
  return result;
}

}  // namespace folios::docgen
