// Topic output and the expansion of format texts.
#include "topic_output.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <ctime>
#include <ostream>
#include <sstream>

#include "doc_messages.h"
#include "paths.h"
#include "rtf_text.h"

namespace folios::docgen {

namespace {

bool IsNameChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '-'; }
bool IsBlank(char c) { return c == ' ' || c == '\t'; }

constexpr size_t kFlushSize = 1 << 16;

// Diagrams, indexes and inline tags nested in one another, at most.
constexpr size_t kMaxNesting = 32;

struct OpenLevel {
  const Definition* definition;
  const Paragraph* paragraph;
};

class Writer : public ConditionContext {
 public:
  Writer(const TopicCollection& collection, const std::vector<size_t>& order, const FormatModel& model,
         const OutputSettings& settings, SpoolFile* spool, std::FILE* file, ErrorLog& errors)
      : collection_(collection), order_(order), model_(model), settings_(settings), spool_(spool), file_(file),
        reporter_(errors, settings.errors) {
    out_ = &buffer_;
    BuildReplacements();
    for (int c = 0; c < 256; ++c) {
      for (int context = 0; context < 2; ++context) {
        plain_[c][context] = !replacement_[c][context] && c < 0x7f && (c >= 0x20 || c == '\t' || c == '\n' || c == '\r');
      }
      body_plain_[c] = plain_[c][0] && c != '\n' && c != '\\' && c != '<';
    }
  }

  int Run();
  // Expands `text` into the buffer and hands the buffer out.
  std::string ExpandToString(const std::string& text, const Definition* owner) {
    Expand(text, owner);
    return std::move(buffer_);
  }

  // ConditionContext
  bool ContextExists(const std::string& context) const override { return collection_.ContextExists(context); }
  bool TopicHasTag(const std::string& tag) const override {
    if (!topic_) return false;
    for (const Paragraph& p : topic_->paragraphs) {
      if (EqualsNoCase(p.tag, tag)) return true;
    }
    return false;
  }
  PatternScope Scope() const override {
    PatternScope scope;
    if (paragraph_) scope.fields = &paragraph_->fields;
    if (topic_ && !topic_->paragraphs.empty()) {
      scope.topic_tag = &topic_->paragraphs[0].tag;
      scope.topic_fields = &topic_->paragraphs[0].fields;
    }
    return scope;
  }

 private:
  void BuildReplacements();
  void Flush();
  void WriteTopic(Topic* topic);
  void WriteParagraphsInOrder(Topic* topic, const Definition& definition);
  void WriteParagraph(const Definition& definition, Paragraph* paragraph, std::vector<OpenLevel>* stack);
  void Expand(const std::string& text, const Definition* owner);
  size_t ExpandCaret(const std::string& text, size_t i, const Definition* owner);
  size_t ExpandFieldNumber(const std::string& text, size_t i, const Definition* owner);
  size_t ExpandNamedField(const std::string& text, size_t i, const Definition* owner);
  size_t ExpandTopicValue(const std::string& text, size_t i, const Definition* owner);
  size_t ExpandConstant(const std::string& text, size_t i, const Definition* owner);
  size_t ExpandBracket(const std::string& text, size_t i, const Definition* owner);
  size_t ExpandIndex(const std::string& text, size_t p, size_t past_close, const Definition* owner);
  void Error(const Definition* owner, int code) {
    reporter_.Report(owner ? owner->file : std::string(), owner ? owner->line : 0, code);
  }
  void SourceError(const Topic& topic, long line, int code, const std::string& excerpt = std::string()) {
    reporter_.Report(topic.file_index >= 0 ? collection_.file(topic.file_index) : std::string(), line, code,
                     excerpt);
  }
  // An error in field text: it came from the source, so the source file and
  // the line of its paragraph are named, with the text at fault.
  void TextError(const Definition* owner, int code, std::string_view text, size_t at) {
    if (!topic_ || source_line_ <= 0) {
      Error(owner, code);
      return;
    }
    std::string excerpt(text.substr(at, 24));
    size_t lf = excerpt.find('\n');
    if (lf != std::string::npos) excerpt.resize(lf);
    SourceError(*topic_, source_line_, code, excerpt);
  }
  // Marks `definition` as being expanded; false (after an error naming
  // `owner`) when it already is: a text that refers to itself, directly or
  // through others, would never end.
  bool Enter(const Definition* definition, const Definition* owner) {
    if (std::find(active_.begin(), active_.end(), definition) != active_.end() || active_.size() >= kMaxNesting) {
      Error(owner, kErrNestedTooDeep);
      return false;
    }
    active_.push_back(definition);
    return true;
  }
  void Leave() { active_.pop_back(); }
  // The character writer: a character of field text or of a $! value.
  size_t WriteChar(std::string_view text, size_t i, int context);
  void WriteCharText(std::string_view text, int context);
  void WriteField(const Paragraph& paragraph, int n, const Definition* owner);
  void WriteBodyText(std::string_view text, const Definition* owner);
  void WriteExampleText(std::string_view text);
  size_t WriteInlineTag(std::string_view text, size_t i, const Definition* owner);
  void WriteDiagram(const std::string& name, const Definition* owner);
  void WriteIndex(const std::string& filter1, const std::string& filter2, const Definition* owner);
  std::string TopicValue(char letter, const Definition* owner, bool* ok);

  const TopicCollection& collection_;
  const std::vector<size_t>& order_;
  const FormatModel& model_;
  const OutputSettings& settings_;
  SpoolFile* spool_;
  std::FILE* file_;
  ErrorReporter reporter_;
  std::vector<const Definition*> active_;  // diagrams, indexes and inline tags being expanded
  std::string buffer_;
  std::string* out_;
  int write_error_ = 0;
  const std::string* replacement_[256][2] = {};
  bool delimit_[256][2] = {};  // the replacement takes a blank after it
  // The character is written as it is (WriteChar would push it unchanged).
  bool plain_[256][2] = {};
  // ... and has no meaning of its own in body text either.
  bool body_plain_[256] = {};
  // The length of the run of `text` from `i` on whose characters `table` marks.
  static size_t PlainRunLength(const bool* table, std::string_view text, size_t i) {
    size_t j = i;
    while (j < text.size() && table[static_cast<unsigned char>(text[j])]) ++j;
    return j - i;
  }
  // How characters above 127 are written: RTF escapes (the default), as
  // they are ("none"), or as UTF-8 ("utf-8": stray bytes read as code page
  // 1252, so that old Windows sources give a well-formed page).
  enum class HighChars { kRtf, kRaw, kUtf8 };
  HighChars high_chars_ = HighChars::kRtf;

  Topic* topic_ = nullptr;
  const Paragraph* paragraph_ = nullptr;
  long source_line_ = 0;  // the source line of the field text being written
};

void Writer::BuildReplacements() {
  const Definition* token = model_.First(kSectionToken);
  if (!token) return;
  if (EqualsNoCase(token->high_char_mask, "none")) high_chars_ = HighChars::kRaw;
  if (EqualsNoCase(token->high_char_mask, "utf-8")) high_chars_ = HighChars::kUtf8;
  // The list holds the newest replacement first; the first match wins.
  for (const Replacement& r : token->replacements) {
    const int character = static_cast<unsigned char>(r.character);
    const int context = r.context ? 1 : 0;
    if (replacement_[character][context]) continue;
    replacement_[character][context] = &r.text;
    // In RTF a replacement that ends in a control word ("\par") takes a
    // blank, so that the text after it cannot run into the word.
    size_t word = r.text.size();
    while (word > 0 && (std::isalnum(static_cast<unsigned char>(r.text[word - 1])) || r.text[word - 1] == '-')) --word;
    delimit_[character][context] = high_chars_ == HighChars::kRtf && word > 0 && word < r.text.size() &&
                                   r.text[word - 1] == '\\' && std::isalpha(static_cast<unsigned char>(r.text[word])) &&
                                   (word < 2 || r.text[word - 2] != '\\');
  }
}

void Writer::Flush() {
  if (buffer_.empty()) return;
  if (std::fwrite(buffer_.data(), 1, buffer_.size(), file_) != buffer_.size() && !write_error_) {
    write_error_ = kFileErrorBase + CauseOfErrno(errno);
  }
  buffer_.clear();
}

size_t Writer::WriteChar(std::string_view text, size_t i, int context) {
  unsigned char c = static_cast<unsigned char>(text[i]);
  if (const std::string* replacement = replacement_[c][context ? 1 : 0]) {
    out_->append(*replacement);
    if (delimit_[c][context ? 1 : 0]) out_->push_back(' ');
    return 1;
  }
  if (c >= 0x80 && high_chars_ == HighChars::kRtf) return AppendRtfNonAscii(out_, text, i);
  if (c >= 0x80 && high_chars_ == HighChars::kUtf8) {
    Utf8Char decoded = DecodeUtf8(text, i);
    if (decoded.valid) {
      out_->append(text.substr(i, decoded.length));
      return decoded.length;
    }
    AppendUtf8(out_, Cp1252CodePoint(c));
    return 1;
  }
  if ((c < 0x20 && c != '\t' && c != '\n' && c != '\r') || c == 0x7f) {
    // Control characters are never written raw: a reader would stumble.
    if (high_chars_ != HighChars::kRtf) out_->append("\xEF\xBF\xBD");  // U+FFFD
    else AppendRtfHexByte(out_, c);
    return 1;
  }
  out_->push_back(static_cast<char>(c));
  return 1;
}

void Writer::WriteCharText(std::string_view text, int context) {
  const int plain_context = context ? 1 : 0;
  for (size_t i = 0; i < text.size();) {
    size_t run = 0;
    while (i + run < text.size() && plain_[static_cast<unsigned char>(text[i + run])][plain_context]) ++run;
    if (run > 0) {
      out_->append(text.data() + i, run);
      i += run;
    } else {
      i += WriteChar(text, i, context);
    }
  }
}

void Writer::WriteBodyText(std::string_view text, const Definition* owner) {
  size_t i = 0;
  bool line_start = true;
  while (i < text.size()) {
    char c = text[i];
    if (line_start && IsBlank(c)) {
      ++i;
      continue;
    }
    line_start = false;
    if (c == '\n') {
      size_t run = 0;
      while (i < text.size() && (text[i] == '\n' || IsBlank(text[i]) || text[i] == '\r')) {
        if (text[i] == '\n') ++run;
        ++i;
      }
      if (run >= 2) {
        std::string_view lf = "\n";
        WriteChar(lf, 0, 0);
        out_->append("\r\n");
      } else {
        out_->append(" \r\n");
      }
      line_start = true;
      continue;
    }
    if (c == '\\' && i + 1 < text.size()) {
      char next = text[i + 1];
      if (next == '<' || next == '>' || next == '/' || next == '.' || next == '@' || next == '\\') {
        i += 1 + WriteChar(text, i + 1, 0);
        continue;
      }
    }
    if (c == '<') {
      i = WriteInlineTag(text, i, owner);
      continue;
    }
    // Text up to the next line end, escape or inline tag is copied at once.
    if (size_t run = PlainRunLength(body_plain_, text, i)) {
      out_->append(text.data() + i, run);
      i += run;
      continue;
    }
    i += WriteChar(text, i, 0);
  }
}

void Writer::WriteExampleText(std::string_view text) {
  int tab = std::max(1, settings_.tab_size);
  auto indentation = [tab](std::string_view line, size_t* chars) {
    int width = 0;
    size_t i = 0;
    while (i < line.size() && IsBlank(line[i])) {
      width = line[i] == '\t' ? (width / tab + 1) * tab : width + 1;
      ++i;
    }
    *chars = i;
    return width;
  };
  // Leading empty lines (the rest of the tag's line) carry no indentation.
  while (true) {
    size_t lf = text.find('\n');
    if (lf == std::string_view::npos) break;
    std::string_view head = text.substr(0, lf);
    if (head.find_first_not_of(" \t\r") != std::string_view::npos) break;
    text.remove_prefix(lf + 1);
  }
  size_t first_chars = 0;
  size_t first_end = text.find('\n');
  int common = indentation(text.substr(0, first_end), &first_chars);
  size_t pos = 0;
  bool first = true;
  while (pos <= text.size()) {
    size_t end = text.find('\n', pos);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(pos, end - pos);
    if (!first) {
      std::string_view lf = "\n";
      WriteChar(lf, 0, 1);
      out_->append("\r\n");
    }
    first = false;
    size_t chars = 0;
    int width = indentation(line, &chars) - common;
    if (width > 0) {
      std::string tabs_and_blanks(static_cast<size_t>(width / tab), '\t');
      tabs_and_blanks.append(static_cast<size_t>(width % tab), ' ');
      WriteCharText(tabs_and_blanks, 1);
    }
    for (size_t i = chars; i < line.size();) {
      if (line[i] == '\\' && i + 1 < line.size() && (line[i + 1] == '&' || line[i + 1] == '/')) {
        ++i;
        continue;
      }
      i += WriteChar(line, i, 1);
    }
    if (end >= text.size()) break;
    pos = end + 1;
  }
}

void Writer::WriteField(const Paragraph& paragraph, int n, const Definition* owner) {
  const std::string& field = paragraph.fields[n - 1];
  // Inline tags have no line of their own: their text stays that of the
  // paragraph that holds them.
  const long saved_line = source_line_;
  if (paragraph.line > 0) source_line_ = paragraph.line;
  bool example = (paragraph.flags & kParagraphExample) && n == static_cast<int>(paragraph.fields.size());
  if (example) {
    WriteExampleText(field);
  } else {
    WriteBodyText(field, owner);
  }
  source_line_ = saved_line;
}

size_t Writer::WriteInlineTag(std::string_view text, size_t i, const Definition* owner) {
  size_t start = i;
  size_t p = i + 1;
  size_t name_start = p;
  while (p < text.size() && IsNameChar(text[p])) ++p;
  std::string_view name = text.substr(name_start, p - name_start);
  if (name.empty() || name.size() > kMaxName) {
    TextError(owner, kErrNameTooLong, text, start);
    return start + WriteChar(text, start, 0);
  }
  // The tag ends at the first ">" without a backslash before it.
  size_t close = std::string_view::npos;
  for (size_t q = p; q < text.size(); ++q) {
    if (text[q] == '>' && text[q - 1] != '\\') {
      close = q;
      break;
    }
  }
  if (close == std::string_view::npos) {
    TextError(owner, kErrInlineNoClose, text, start);
    return start + WriteChar(text, start, 0);
  }
  Paragraph inline_tag;
  inline_tag.tag = std::string(name);
  size_t q = p;
  bool too_many = false;
  while (q < close) {
    while (q < close && IsBlank(text[q])) ++q;
    if (q >= close) break;
    std::string field;
    while (q < close) {
      char c = text[q];
      if (c == '\\' && q + 1 < close + 1 && (text[q + 1] == '.' || text[q + 1] == ':' || text[q + 1] == '>')) {
        field.push_back(text[q + 1]);
        q += 2;
        continue;
      }
      if (c == '\\' && q + 1 < close) {
        field.push_back(c);
        field.push_back(text[q + 1]);
        q += 2;
        continue;
      }
      if (c == '.' || c == ':') {
        q += (c == ':' && q + 1 < close && text[q + 1] == ':') ? 2 : 1;
        break;
      }
      field.push_back(c);
      ++q;
    }
    if (inline_tag.fields.size() == static_cast<size_t>(kMaxFields)) {
      too_many = true;
      break;
    }
    inline_tag.fields.push_back(std::move(field));
  }
  if (too_many) TextError(owner, kErrInlineFields, text, start);
  const Paragraph* saved = paragraph_;
  paragraph_ = &inline_tag;
  const Definition* definition = model_.Find(kSectionText, name, this);
  if (!definition) {
    paragraph_ = saved;
    TextError(owner, kErrNoTextDef, text, start);
    // Keep the words of an unknown tag rather than lose them.
    WriteCharText(text.substr(p, close - p), 0);
    return close + 1;
  }
  if (definition->field_count != static_cast<int>(inline_tag.fields.size())) {
    TextError(definition, kErrInlineFieldCount, text, start);
  }
  if (Enter(definition, owner)) {
    Expand(definition->text[kSlotFormat], definition);
    Leave();
  }
  paragraph_ = saved;
  return close + 1;
}

std::string Writer::TopicValue(char letter, const Definition* owner, bool* ok) {
  *ok = true;
  char lower = static_cast<char>(std::tolower(static_cast<unsigned char>(letter)));
  const Topic* topic = topic_;
  std::string value;
  switch (lower) {
    case 'c':
      value = topic ? ContextString(topic->context) : std::string();
      break;
    case 'd': {
      std::time_t now = std::time(nullptr);
      std::tm tm{};
      localtime_r(&now, &tm);
      char date[32];
      std::snprintf(date, sizeof date, "%02d/%02d/%02d", tm.tm_mon + 1, tm.tm_mday, tm.tm_year % 100);
      value = date;
      break;
    }
    case 'e':
      if (topic) {
        if (topic->block_index >= 0) value = collection_.block(topic->block_index);
        value += topic->keywords;
        if (value.size() > kMaxRendered) value.resize(kMaxRendered);
      }
      break;
    case 'f':
      if (topic && topic->file_index >= 0) value = FileNamePart(collection_.file(topic->file_index));
      break;
    case 'l': {
      long line = paragraph_ ? paragraph_->line : 0;
      if (!paragraph_ && topic && !topic->paragraphs.empty()) line = topic->paragraphs[0].line;
      value = std::to_string(line);
      break;
    }
    case 'n':
      if (topic) value = topic->name;
      break;
    case 't':  // the template head, with a blank to set it off
      if (topic && !topic->template_head.empty()) value = topic->template_head + " ";
      break;
    case 'a':
      if (topic) value = topic->parameters;
      break;
    case 'p':
      if (topic && topic->file_index >= 0) {
        value = collection_.file(topic->file_index);
        std::replace(value.begin(), value.end(), '\\', '/');
      }
      break;
    default:
      Error(owner, kErrBangLetter);
      *ok = false;
      return std::string();
  }
  if (std::isupper(static_cast<unsigned char>(letter))) {
    for (char& c : value) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  }
  return value;
}

// Each Expand... step below expands the code that begins at text[i] and
// returns where the text goes on after it.
void Writer::Expand(const std::string& text, const Definition* owner) {
  size_t i = 0;
  const size_t n = text.size();
  while (i < n) {
    char c = text[i];
    if (c == '^') {
      i = ExpandCaret(text, i, owner);
      continue;
    }
    if (c != '$' && c != '#') {
      // A plain loop: find_first_of looks each character up in the set.
      size_t next = i;
      while (next < n && text[next] != '^' && text[next] != '$' && text[next] != '#') ++next;
      out_->append(text, i, next - i);
      i = next;
      continue;
    }
    char next = i + 1 < n ? text[i + 1] : '\0';
    if (next == c) {
      out_->push_back(c);
      i += 2;
    } else if (next >= '0' && next <= '9') {
      i = ExpandFieldNumber(text, i, owner);
    } else if (std::isalpha(static_cast<unsigned char>(next))) {
      i = ExpandNamedField(text, i, owner);
    } else if (c == '#') {
      out_->push_back('#');
      ++i;
    } else if (next == '!') {
      i = ExpandTopicValue(text, i, owner);
    } else if (next == '(') {
      i = ExpandConstant(text, i, owner);
    } else if (next == '[') {
      i = ExpandBracket(text, i, owner);
    } else {
      Error(owner, kErrBadDollar);
      out_->push_back(next);
      i += next ? 2 : 1;
    }
  }
}

// "^^" is a caret, "^n" a line break; any other caret is kept and reported.
size_t Writer::ExpandCaret(const std::string& text, size_t i, const Definition* owner) {
  const size_t n = text.size();
  if (i + 1 < n && text[i + 1] == '^') {
    out_->push_back('^');
    return i + 2;
  }
  if (i + 1 < n && text[i + 1] == 'n') {
    out_->append("\r\n");
    return i + 2;
  }
  out_->push_back('^');
  Error(owner, kErrBadCaret);
  return i + 1;
}

// "$N" a field of the current paragraph, "#N" its context string.
size_t Writer::ExpandFieldNumber(const std::string& text, size_t i, const Definition* owner) {
  const char c = text[i];
  const int field = text[i + 1] - '0';
  if (!paragraph_) {
    Error(owner, kErrNoCurrentParagraph);
  } else if (field < 1 || field > kMaxFields || field > static_cast<int>(paragraph_->fields.size())) {
    Error(owner, kErrNoSuchField);
  } else if (c == '$') {
    WriteField(*paragraph_, field, owner);
  } else {
    out_->append(ContextString(paragraph_->fields[field - 1]));
  }
  return i + 2;
}

// "$name.N" a field of the current topic's paragraph with the tag name,
// "#name.N" its context string; a "#" not followed by such a reference is
// itself.
size_t Writer::ExpandNamedField(const std::string& text, size_t i, const Definition* owner) {
  const size_t n = text.size();
  const char c = text[i];
  size_t p = i + 1;
  while (p < n && IsNameChar(text[p])) ++p;
  std::string name = text.substr(i + 1, p - i - 1);
  bool well_formed = p + 1 < n && text[p] == '.' && text[p + 1] >= '0' && text[p + 1] <= '9';
  if (!well_formed) {
    if (c == '#') {
      out_->push_back('#');
      return i + 1;
    }
    Error(owner, kErrNamedField);
    return p;
  }
  int field = text[p + 1] - '0';
  const size_t after = p + 2;
  if (!topic_) {
    Error(owner, kErrNoCurrentTopic);
    return after;
  }
  const Paragraph* found = nullptr;
  for (const Paragraph& paragraph : topic_->paragraphs) {
    if (EqualsNoCase(paragraph.tag, name)) {
      found = &paragraph;
      break;
    }
  }
  if (!found) return after;
  if (field < 1 || field > kMaxFields || field > static_cast<int>(found->fields.size())) {
    Error(owner, kErrNamedField);
    return after;
  }
  if (c == '$') WriteField(*found, field, owner);
  else out_->append(ContextString(found->fields[field - 1]));
  return after;
}

// "$!L": a value of the current topic by its letter.
size_t Writer::ExpandTopicValue(const std::string& text, size_t i, const Definition* owner) {
  char letter = i + 2 < text.size() ? text[i + 2] : '\0';
  bool ok = false;
  std::string value = TopicValue(letter, owner, &ok);
  if (ok) WriteCharText(value, 0);
  return i + 3;
}

// "$(name)": the text of a constant.
size_t Writer::ExpandConstant(const std::string& text, size_t i, const Definition* owner) {
  const size_t n = text.size();
  size_t p = i + 2;
  while (p < n && IsBlank(text[p])) ++p;
  size_t start = p;
  while (p < n && text[p] != ')' && text[p] != '\r' && text[p] != '\n' && !IsBlank(text[p])) ++p;
  std::string name = text.substr(start, p - start);
  while (p < n && IsBlank(text[p])) ++p;
  if (p >= n || text[p] != ')' || name.size() > kMaxName) {
    Error(owner, kErrConstantParen);
    return p;
  }
  const Definition* constant = model_.Find(kSectionConstant, name, nullptr);
  if (!constant) {
    Error(owner, kErrUnknownConstant);
  } else {
    out_->append(constant->text[kSlotPre]);
  }
  return p + 1;
}

// "$[index:filter:filter]" an index, "$[name]" a diagram. A malformed one
// is reported and skipped up to its "]".
size_t Writer::ExpandBracket(const std::string& text, size_t i, const Definition* owner) {
  const size_t n = text.size();
  const size_t close = text.find(']', i + 2);
  const size_t past_close = close == std::string::npos ? n : close + 1;
  size_t p = i + 2;
  while (p < n && IsBlank(text[p])) ++p;
  if (text.compare(p, 5, "index") == 0 && (p + 5 >= n || !IsNameChar(text[p + 5]))) {
    return ExpandIndex(text, p + 5, past_close, owner);
  }
  size_t start = p;
  while (p < n && IsNameChar(text[p])) ++p;
  std::string name = text.substr(start, p - start);
  while (p < n && IsBlank(text[p])) ++p;
  if (name.empty() || p >= n || text[p] != ']') {
    Error(owner, kErrDiagramSyntax);
    return past_close;
  }
  WriteDiagram(name, owner);
  return p + 1;
}

// The rest of "$[index" from `p`: up to two ":filter" parts and the "]".
size_t Writer::ExpandIndex(const std::string& text, size_t p, size_t past_close, const Definition* owner) {
  const size_t n = text.size();
  std::string filters[2];
  int count = 0;
  bool bad = false;
  while (p < n && IsBlank(text[p])) ++p;
  while (p < n && text[p] == ':' && count < 2) {
    size_t end = text.find_first_of(":]", p + 1);
    if (end == std::string::npos) {
      bad = true;
      break;
    }
    filters[count++] = text.substr(p + 1, end - p - 1);
    p = end;
    if (text[p] == ':' && (p + 1 < n && text[p + 1] == ']')) ++p;
  }
  if (bad || p >= n || text[p] != ']') {
    Error(owner, kErrIndexSyntax);
    return past_close;
  }
  WriteIndex(filters[0], filters[1], owner);
  return p + 1;
}

void Writer::WriteDiagram(const std::string& name, const Definition* owner) {
  const Definition* diagram = model_.Find(kSectionDiagram, name, this);
  if (!diagram) {
    Error(owner, kErrUnknownDiagram);
    return;
  }
  if (topic_) {
    for (const Paragraph& p : topic_->paragraphs) {
      std::string lower = p.tag;
      for (char& ch : lower) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
      if (std::find(diagram->cancel.begin(), diagram->cancel.end(), lower) != diagram->cancel.end()) return;
    }
  }
  if (!Enter(diagram, owner)) return;
  const Paragraph* saved = paragraph_;
  Expand(diagram->text[kSlotPre], diagram);
  std::vector<const Paragraph*> matching;
  if (topic_) {
    for (const Paragraph& p : topic_->paragraphs) {
      if (EqualsNoCase(p.tag, diagram->second_name)) matching.push_back(&p);
    }
  }
  for (size_t k = 0; k < matching.size(); ++k) {
    paragraph_ = matching[k];
    // Each paragraph takes its format from the first definition of the
    // diagram whose conditions hold for it, so that "fieldempty" can leave
    // out the words of an empty field; the diagram's own serves otherwise.
    const Definition* item = model_.Find(kSectionDiagram, name, this);
    if (!item) item = diagram;
    const std::string* format = &item->text[kSlotFormat];
    if (k == 0 && !item->text[kSlotFormatFirst].empty()) format = &item->text[kSlotFormatFirst];
    if (k > 0 && k + 1 == matching.size() && !item->text[kSlotFormatLast].empty()) {
      format = &item->text[kSlotFormatLast];
    }
    Expand(*format, item);
  }
  paragraph_ = saved;
  Expand(diagram->text[kSlotPost], diagram);
  Leave();
}

void Writer::WriteIndex(const std::string& filter1, const std::string& filter2, const Definition* owner) {
  const Definition* index = model_.First(kSectionIndex);
  if (!index) {
    Error(owner, kErrNoIndex);
    return;
  }
  if (!Enter(index, owner)) return;
  // Filters may use codes themselves; they are expanded first.
  ExtractionExpression expressions[2];
  const std::string* filters[2] = {&filter1, &filter2};
  for (int k = 0; k < 2; ++k) {
    std::string expanded;
    std::string* saved = out_;
    out_ = &expanded;
    Expand(*filters[k], owner);
    out_ = saved;
    int rc = expressions[k].Compile(expanded, true);
    if (rc) Error(owner, rc);
  }
  Expand(index->text[kSlotPre], index);
  // Field texts are read back only when the entries use named fields;
  // names, contexts and files are in memory.
  const std::string& format = index->text[kSlotFormat];
  bool needs_fields = false;
  for (size_t k = 0; k + 1 < format.size(); ++k) {
    if ((format[k] == '$' || format[k] == '#') && std::isalpha(static_cast<unsigned char>(format[k + 1]))) {
      needs_fields = true;
    }
  }
  Topic* saved_topic = topic_;
  for (size_t position : order_) {
    Topic& topic = const_cast<Topic&>(collection_.topics()[position]);
    std::string tag = NormalizeKeywords(topic.paragraphs[0].tag);
    std::string keywords = topic.block_index >= 0 ? collection_.block(topic.block_index) : std::string(" ");
    keywords += topic.keywords;
    if (!expressions[0].Matches(tag) || !expressions[1].Matches(keywords)) continue;
    bool loaded = &topic == saved_topic || !needs_fields;
    if (!loaded) {
      int rc = spool_->Load(&topic);
      if (rc) SourceError(topic, topic.line, rc);
    }
    topic_ = &topic;
    Expand(index->text[kSlotFormat], index);
    out_->append("\r\n");
    if (!loaded) SpoolFile::Release(&topic);
    if (out_ == &buffer_ && buffer_.size() > kFlushSize) Flush();
  }
  topic_ = saved_topic;
  Expand(index->text[kSlotPost], index);
  Leave();
}

void Writer::WriteParagraph(const Definition& definition, Paragraph* paragraph, std::vector<OpenLevel>* stack) {
  if (definition.field_count != static_cast<int>(paragraph->fields.size())) {
    SourceError(*topic_, paragraph->line, kErrFieldsDiffer);
  }
  paragraph_ = paragraph;
  bool walk_done = false;
  while (!stack->empty()) {
    OpenLevel& top = stack->back();
    if (EqualsNoCase(top.paragraph->tag, paragraph->tag)) {
      // A run of paragraphs with one tag shares one "pre" and one "post".
      top.paragraph = paragraph;
      walk_done = true;
      break;
    }
    if (top.definition->level < definition.level) break;
    const Paragraph* saved = paragraph_;
    paragraph_ = top.paragraph;
    Expand(top.definition->text[kSlotPost], top.definition);
    paragraph_ = saved;
    if (top.definition->level == definition.level) {
      top = OpenLevel{&definition, paragraph};
      Expand(definition.text[kSlotPre], &definition);
      walk_done = true;
      break;
    }
    stack->pop_back();
  }
  if (!walk_done) {
    Expand(definition.text[kSlotPre], &definition);
    stack->push_back(OpenLevel{&definition, paragraph});
  }
  paragraph_ = paragraph;
  Expand(definition.text[kSlotFormat], &definition);
  paragraph->flags |= kParagraphWritten;
}

// The paragraphs after the topic's own, in the order its definition asks:
// for each name of the order list, the paragraphs of that tag, each with
// the deeper paragraphs that follow it; then every paragraph not written, in
// source order. Each paragraph's definition is looked up once, written ones
// drop out of a linked list, and each name visits only its own paragraphs,
// so the cost is linear in the paragraphs and names, in any order.
void Writer::WriteParagraphsInOrder(Topic* topic, const Definition& definition) {
  std::vector<Paragraph>& paragraphs = topic->paragraphs;
  const size_t count = paragraphs.size();
  constexpr int kNoMark = 32767;
  std::vector<const Definition*> definitions(count, nullptr);
  // Unwritten paragraphs as a list in source order; `count` ends it.
  std::vector<size_t> next(count + 1, count), previous(count + 1, 0);
  std::unordered_map<std::string, std::vector<size_t>> by_tag;
  std::vector<size_t> above_mark;  // levels that any walk writes at once
  size_t last = count;             // the list's head sits at index `count`
  for (size_t k = 1; k < count; ++k) {
    Paragraph& p = paragraphs[k];
    p.flags &= ~kParagraphWritten;
    paragraph_ = &p;
    definitions[k] = model_.Find(kSectionParagraph, p.tag, this);
    if (!definitions[k]) {
      SourceError(*topic, p.line, kErrNoParagraphDef);
      p.flags |= kParagraphWritten;
      continue;
    }
    previous[k] = last;
    next[last] = k;
    last = k;
    by_tag[LowerName(p.tag)].push_back(k);
    if (definitions[k]->level > kNoMark) above_mark.push_back(k);
  }
  next[last] = count;
  paragraphs[0].flags &= ~kParagraphWritten;
  paragraph_ = &paragraphs[0];

  std::vector<OpenLevel> stack;
  auto write = [&](size_t k) {
    WriteParagraph(*definitions[k], &paragraphs[k], &stack);
    next[previous[k]] = next[k];
    if (next[k] < count) previous[next[k]] = previous[k];
  };
  auto written = [&](size_t k) { return (paragraphs[k].flags & kParagraphWritten) != 0; };
  size_t above_first = 0;  // the first of above_mark that may be unwritten
  for (const std::string& name : definition.order) {
    auto tagged = by_tag.find(LowerName(name));
    if (tagged == by_tag.end()) continue;
    std::vector<size_t>& ones = tagged->second;
    while (above_first < above_mark.size() && written(above_mark[above_first])) ++above_first;
    size_t one_at = 0;
    size_t above_at = above_first;
    size_t k = 0;  // where the walk stands: runs start after it
    while (true) {
      // The next run starts at a paragraph of the name, or at one whose
      // level passes any mark.
      while (one_at < ones.size() && (ones[one_at] <= k || written(ones[one_at]))) ++one_at;
      while (above_at < above_mark.size() && (above_mark[above_at] <= k || written(above_mark[above_at]))) {
        ++above_at;
      }
      size_t at = one_at < ones.size() ? ones[one_at] : count;
      if (above_at < above_mark.size()) at = std::min(at, above_mark[above_at]);
      if (at == count) break;
      // The run: the paragraph, then those that follow it while they are
      // of the name or deeper than the last of the name.
      int mark = kNoMark;
      while (at < count) {
        const int level = definitions[at]->level;
        if (EqualsNoCase(paragraphs[at].tag, name)) {
          mark = level;
        } else if (mark >= level) {
          break;
        }
        const size_t after = next[at];
        write(at);
        at = after;
      }
      k = at;
    }
    ones.clear();  // every paragraph of the name is written now
  }
  for (size_t k = next[count]; k < count;) {
    const size_t after = next[k];
    write(k);
    k = after;
  }
  while (!stack.empty()) {
    paragraph_ = stack.back().paragraph;
    Expand(stack.back().definition->text[kSlotPost], stack.back().definition);
    stack.pop_back();
  }
}

void Writer::WriteTopic(Topic* topic) {
  int rc = spool_->Load(topic);
  if (rc) {
    SourceError(*topic, topic->line, rc);
    return;
  }
  topic_ = topic;
  Paragraph* first = &topic->paragraphs[0];
  paragraph_ = first;
  const Definition* definition = model_.Find(kSectionTopic, first->tag, this);
  if (!definition) {
    SourceError(*topic, first->line, kErrNoTopicDef);
    SpoolFile::Release(topic);
    topic_ = nullptr;
    paragraph_ = nullptr;
    return;
  }
  Expand(definition->text[kSlotPre], definition);
  WriteParagraphsInOrder(topic, *definition);
  paragraph_ = first;
  Expand(definition->text[kSlotPost], definition);
  SpoolFile::Release(topic);
  topic_ = nullptr;
  paragraph_ = nullptr;
}

int Writer::Run() {
  const Definition* file_definition = model_.First(kSectionFile);
  if (file_definition && !settings_.append) Expand(file_definition->text[kSlotPre], file_definition);
  for (size_t position : order_) {
    WriteTopic(const_cast<Topic*>(&collection_.topics()[position]));
    if (buffer_.size() > kFlushSize) Flush();
  }
  if (file_definition) Expand(file_definition->text[kSlotPost], file_definition);
  reporter_.Summarise();
  Flush();
  if (std::fflush(file_) != 0 && !write_error_) write_error_ = kFileErrorBase + CauseOfErrno(errno);
  return write_error_;
}

}  // namespace

std::string FileNamePart(const std::string& path) {
  std::string name = FileName(path);
  return name.empty() && path.find('/') == std::string::npos ? path : name;
}

std::string ContextString(std::string_view text) {
  std::string out;
  for (size_t i = 0; i < text.size() && out.size() < 255; ++i) {
    unsigned char c = static_cast<unsigned char>(text[i]);
    if (std::isalnum(c) || c == '.' || c == '_') {
      out.push_back(static_cast<char>(c));
    } else if (c == ' ' || c == ':') {
      out.push_back('_');
    } else if (c == '\\') {
      continue;
    } else if (c == '<' && text.find('>', i + 1) != std::string_view::npos) {
      break;
    } else {
      char hex[4];
      std::snprintf(hex, sizeof hex, ".%x", c);
      out.append(hex);
    }
  }
  if (out.size() > 255) out.resize(255);
  return out;
}

std::string ExpandFileText(const FormatModel& model, const std::string& text) {
  TopicCollection empty;
  std::vector<size_t> order;
  OutputSettings settings;
  std::ostringstream ignored;
  ErrorLog errors(ignored);
  Writer writer(empty, order, model, settings, nullptr, nullptr, errors);
  return writer.ExpandToString(text, model.First(kSectionFile));
}

int WriteOutput(const TopicCollection& collection, const std::vector<size_t>& order, const FormatModel& model,
                const OutputSettings& settings, SpoolFile* spool, std::FILE* file, std::ostream& out,
                ErrorLog& errors) {
  Writer writer(collection, order, model, settings, spool, file, errors);
  int rc = writer.Run();
  if (settings.verbose) out << "\n";
  return rc;
}

}  // namespace folios::docgen
