// Reading format files into the format model, field patterns and
// condition lines.
#include "format_model.h"

#include <sys/stat.h>

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <ostream>
#include <sstream>
#include <unordered_set>

#include "doc_messages.h"

namespace folios::docgen {

std::string LowerName(std::string_view name) {
  std::string lower(name);
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return lower;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) !=
        std::tolower(static_cast<unsigned char>(b[i]))) {
      return false;
    }
  }
  return true;
}

namespace {

bool IsAlpha(char c) { return std::isalpha(static_cast<unsigned char>(c)) != 0; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsNameChar(char c) { return IsAlpha(c) || IsDigit(c) || c == '_' || c == '-'; }
bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view SkipBlanks(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && IsBlank(text[i])) ++i;
  return text.substr(i);
}

std::string_view Trim(std::string_view text) {
  text = SkipBlanks(text);
  while (!text.empty() && (IsBlank(text.back()) || text.back() == '\r' || text.back() == '\n')) {
    text.remove_suffix(1);
  }
  return text;
}

// The first word of a field: leading blanks skipped, ends at a blank or tab.
std::string_view FirstWord(std::string_view field) {
  field = SkipBlanks(field);
  size_t end = 0;
  while (end < field.size() && !IsBlank(field[end]) && field[end] != '\r' && field[end] != '\n') ++end;
  return field.substr(0, end);
}

bool FileExists(const std::string& path) {
  struct stat info;
  return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

struct KeywordEntry {
  int code;
  const char* word;
};

enum Keyword {
  kKwOutput = 1, kKwPre, kKwPost, kKwFormat, kKwFormatFirst, kKwFormatLast, kKwTag, kKwContext,
  kKwOrder, kKwParse, kKwIf, kKwMap, kKwCancel, kKwDefine, kKwExt, kKwGenericDelim, kKwLineCont,
  kKwToken, kKwHighCharMask, kKwExtension, kKwPreName, kKwPostName, kKwPreContext, kKwPostContext,
};

// Keyword tables: short arrays searched linearly, ended by code -1.
const KeywordEntry kFileKeywords[] = {{kKwOutput, "output"}, {kKwPre, "pre"}, {kKwPost, "post"}, {-1, ""}};
const KeywordEntry kTopicKeywords[] = {
    {kKwTag, "tag"}, {kKwContext, "context"}, {kKwOrder, "order"}, {kKwParse, "parse"},
    {kKwParse, "parsesource"}, {kKwIf, "if"}, {kKwPre, "pre"}, {kKwPost, "post"}, {-1, ""}};
const KeywordEntry kParagraphKeywords[] = {
    {kKwTag, "tag"}, {kKwParse, "parse"}, {kKwParse, "parsesource"}, {kKwMap, "map"}, {kKwIf, "if"},
    {kKwPre, "pre"}, {kKwPost, "post"}, {kKwFormat, "format"}, {-1, ""}};
const KeywordEntry kTextKeywords[] = {{kKwTag, "tag"}, {kKwFormat, "format"}, {kKwIf, "if"}, {-1, ""}};
const KeywordEntry kDiagramKeywords[] = {
    {kKwTag, "tag"}, {kKwCancel, "cancelifpresent"}, {kKwIf, "if"}, {kKwPre, "pre"}, {kKwPost, "post"},
    {kKwFormat, "format"}, {kKwFormatFirst, "formatfirst"}, {kKwFormatLast, "formatlast"}, {-1, ""}};
const KeywordEntry kConstantKeywords[] = {{kKwOutput, "output"}, {kKwDefine, "define"}, {-1, ""}};
const KeywordEntry kIndexKeywords[] = {
    {kKwOutput, "output"}, {kKwPre, "pre"}, {kKwPost, "post"}, {kKwFormat, "format"},
    {kKwPreName, "prename"}, {kKwPostName, "postname"}, {kKwPreContext, "precontext"},
    {kKwPostContext, "postcontext"}, {-1, ""}};
const KeywordEntry kExtensionKeywords[] = {
    {kKwExt, "ext"}, {kKwGenericDelim, "genericdelim"}, {kKwLineCont, "linecont"}, {-1, ""}};
const KeywordEntry kTokenKeywords[] = {
    {kKwOutput, "output"}, {kKwToken, "token"}, {kKwHighCharMask, "highcharmask"},
    {kKwContext, "context"}, {kKwExtension, "extension"}, {-1, ""}};

const KeywordEntry* const kKeywordTables[kSectionCount] = {
    kFileKeywords, kTopicKeywords, kParagraphKeywords, kTextKeywords, kDiagramKeywords,
    kConstantKeywords, kIndexKeywords, kExtensionKeywords, kTokenKeywords};

const KeywordEntry kSectionNames[] = {
    {kSectionFile, "file"}, {kSectionTopic, "topic"}, {kSectionParagraph, "paragraph"},
    {kSectionText, "text"}, {kSectionDiagram, "diagram"}, {kSectionConstant, "constant"},
    {kSectionIndex, "index"}, {kSectionExtension, "extension"}, {kSectionToken, "token"}, {-1, ""}};

const KeywordEntry kTopicParseKinds[] = {
    {kDeclFunction, "function"}, {kDeclMemberFunction, "memberfunction"}, {kDeclClass, "class"},
    {kDeclEnum, "enum"}, {kDeclConstant, "constant"}, {kDeclBSub, "bsub"}, {kDeclBFunc, "bfunc"},
    {kDeclStruct, "struct"}, {kDeclBType, "btype"}, {kDeclUnion, "union"}, {kDeclJClass, "jclass"},
    {kDeclJInterface, "jinterface"}, {-1, ""}};
const KeywordEntry kParagraphParseKinds[] = {
    {kDeclClassMember, "classmember"}, {kDeclField, "field"}, {kDeclParameter, "parameter"},
    {kDeclParameterOpt, "parameteropt"}, {kDeclEnumMember, "emem"}, {kDeclMethod, "method"},
    {kDeclFriend, "friend"}, {kDeclBParameter, "bparameter"}, {kDeclBField, "bfield"},
    {kDeclBProperty, "bproperty"}, {kDeclJMethod, "jmethod"}, {kDeclJParameter, "jparameter"}, {-1, ""}};

const KeywordEntry kStyles[] = {{kStyleC, "c"}, {kStyleBas, "bas"}, {kStyleAsm, "asm"}, {kStyleGeneric, "generic"}, {-1, ""}};

int LookUp(const KeywordEntry* table, std::string_view word) {
  for (; table->code != -1; ++table) {
    if (EqualsNoCase(table->word, word)) return table->code;
  }
  return -1;
}

int SlotOfKeyword(int keyword) {
  switch (keyword) {
    case kKwPre: return kSlotPre;
    case kKwPost: return kSlotPost;
    case kKwFormat: return kSlotFormat;
    case kKwFormatFirst: return kSlotFormatFirst;
    case kKwFormatLast: return kSlotFormatLast;
    default: return -1;
  }
}

bool IsDefining(int section, int keyword) {
  switch (section) {
    case kSectionFile:
    case kSectionIndex:
    case kSectionToken: return keyword == kKwOutput;
    case kSectionConstant: return keyword == kKwDefine;
    case kSectionExtension: return keyword == kKwExt;
    default: return keyword == kKwTag;
  }
}

// A tag, order or cancel name: begins with a letter, at most 64 characters.
int CheckName(std::string_view name) {
  if (name.empty() || !IsAlpha(name[0])) return kErrNameNotLetter;
  if (name.size() > kMaxName) return kErrNameTooLong;
  return 0;
}

// Splits a blank-separated list of names.
std::vector<std::string_view> Words(std::string_view text) {
  std::vector<std::string_view> words;
  size_t i = 0;
  while (i < text.size()) {
    while (i < text.size() && (IsBlank(text[i]) || text[i] == '\r' || text[i] == '\n')) ++i;
    size_t start = i;
    while (i < text.size() && !IsBlank(text[i]) && text[i] != '\r' && text[i] != '\n') ++i;
    if (i > start) words.push_back(text.substr(start, i - start));
  }
  return words;
}

}  // namespace

// ---------------------------------------------------------------------------
// Field patterns

int ParsePattern(std::string_view text, size_t* pos, int declared, FieldPattern* pattern) {
  auto is_stop = [](char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == ')' || c == ';' || c == ',' || c == '=';
  };
  size_t i = *pos;
  pattern->clear();
  while (i < text.size() && !is_stop(text[i])) {
    if (pattern->size() == 12) {
      *pos = i;
      return kErrPatternTrailing;
    }
    PatternPart part;
    if (text[i] == '$') {
      ++i;
      bool head = false;
      if (i < text.size() && text[i] == '<') {
        head = true;
        ++i;
      }
      if (i < text.size() && IsDigit(text[i])) {
        int n = 0;
        while (i < text.size() && IsDigit(text[i])) {
          n = std::min(n * 10 + (text[i] - '0'), 1000);
          ++i;
        }
        if (n < 1 || n > kMaxFields) return kErrFieldNumber;
        if (declared > 0 && n > declared) return kErrFieldAboveCount;
        part.kind = head ? PatternPart::kFieldHead : PatternPart::kField;
        part.field = n;
      } else if (!head && i < text.size() && IsAlpha(text[i])) {
        size_t start = i;
        while (i < text.size() && IsNameChar(text[i])) ++i;
        if (i - start >= kMaxName) return kErrBadPatternPart;
        part.kind = PatternPart::kNamedField;
        part.text = std::string(text.substr(start, i - start));
        if (i >= text.size() || text[i] != '.') return kErrNameRefDot;
        ++i;
        if (i >= text.size() || !IsDigit(text[i])) return kErrNameRefDigit;
        int n = 0;
        while (i < text.size() && IsDigit(text[i])) {
          n = std::min(n * 10 + (text[i] - '0'), 1000);
          ++i;
        }
        if (n < 1 || n > kMaxFields) return kErrFieldNumber;
        part.field = n;
      } else {
        return kErrBadPatternPart;
      }
    } else {
      size_t start = i;
      while (i < text.size() && text[i] != '$' && !is_stop(text[i])) ++i;
      if (i - start > kMaxName) return kErrBadPatternPart;
      part.kind = PatternPart::kLiteral;
      part.text = std::string(text.substr(start, i - start));
    }
    pattern->push_back(std::move(part));
  }
  *pos = i;
  return 0;
}

namespace {

// Field text as a pattern inserts it: a backslash before one of < > / . @ \ is
// dropped and the character kept.
void AppendFieldText(std::string* out, std::string_view field) {
  for (size_t i = 0; i < field.size(); ++i) {
    if (field[i] == '\\' && i + 1 < field.size()) {
      char next = field[i + 1];
      if (next == '<' || next == '>' || next == '/' || next == '.' || next == '@' || next == '\\') {
        out->push_back(next);
        ++i;
        continue;
      }
    }
    out->push_back(field[i]);
  }
}

}  // namespace

std::string RenderPattern(const FieldPattern& pattern, const PatternScope& scope) {
  std::string out;
  for (const PatternPart& part : pattern) {
    switch (part.kind) {
      case PatternPart::kLiteral:
        out += part.text;
        break;
      case PatternPart::kField:
        if (scope.fields && part.field <= static_cast<int>(scope.fields->size())) {
          AppendFieldText(&out, (*scope.fields)[part.field - 1]);
        }
        break;
      case PatternPart::kFieldHead:
        if (scope.fields && part.field <= static_cast<int>(scope.fields->size())) {
          std::string_view field = (*scope.fields)[part.field - 1];
          size_t lt = field.find('<');
          if (lt != std::string_view::npos) {
            field = field.substr(0, lt);
            if (!field.empty() && field.back() == '\\') field.remove_suffix(1);
          }
          AppendFieldText(&out, field);
        }
        break;
      case PatternPart::kNamedField:
        if (scope.topic_tag && scope.topic_fields && EqualsNoCase(part.text, *scope.topic_tag) &&
            part.field <= static_cast<int>(scope.topic_fields->size())) {
          AppendFieldText(&out, (*scope.topic_fields)[part.field - 1]);
        }
        break;
    }
  }
  if (out.size() > kMaxRendered) out.resize(kMaxRendered);
  return out;
}

bool ConditionsHold(const Definition& definition, const ConditionContext& context) {
  if (definition.conditions.empty()) return true;
  PatternScope scope = context.Scope();
  for (const ConditionLine& line : definition.conditions) {
    bool all = true;
    for (const Condition& condition : line) {
      bool holds = false;
      switch (condition.kind) {
        case Condition::kExists:
          holds = context.ContextExists(RenderPattern(condition.left, scope));
          break;
        case Condition::kTagExists:
          holds = context.TopicHasTag(condition.tag);
          break;
        case Condition::kFieldEmpty:
          holds = !scope.fields || condition.field > static_cast<int>(scope.fields->size()) ||
                  (*scope.fields)[condition.field - 1].empty();
          break;
        case Condition::kEquals:
          holds = EqualsNoCase(RenderPattern(condition.left, scope), RenderPattern(condition.right, scope));
          break;
      }
      if (!holds) {
        all = false;
        break;
      }
    }
    if (all) return true;
  }
  return false;
}

namespace {

// Parses one "if" value into a condition line.
int ParseConditionLine(std::string_view text, int declared, ConditionLine* line) {
  size_t i = 0;
  auto skip = [&] {
    while (i < text.size() && IsBlank(text[i])) ++i;
  };
  while (true) {
    skip();
    if (i >= text.size() || text[i] == '\r' || text[i] == '\n') break;
    Condition condition;
    // A word directly followed by "(" names a condition.
    size_t word_end = i;
    while (word_end < text.size() && IsAlpha(text[word_end])) ++word_end;
    size_t after = word_end;
    while (after < text.size() && IsBlank(text[after])) ++after;
    std::string_view word = text.substr(i, word_end - i);
    bool named = word_end > i && (EqualsNoCase(word, "exists") || EqualsNoCase(word, "tagexists") ||
                                  EqualsNoCase(word, "fieldempty"));
    if (word_end > i && after < text.size() && text[after] == '(' && !named) return kErrUnknownCondition;
    if (named) {
      i = after;
      if (i >= text.size() || text[i] != '(') return kErrMissingOpenParen;
      ++i;
      skip();
      if (EqualsNoCase(word, "exists")) {
        condition.kind = Condition::kExists;
        while (true) {
          FieldPattern part;
          int rc = ParsePattern(text, &i, declared, &part);
          if (rc) return rc;
          condition.left.insert(condition.left.end(), part.begin(), part.end());
          skip();
          if (i < text.size() && text[i] == ',') {
            ++i;
            skip();
            continue;
          }
          break;
        }
      } else if (EqualsNoCase(word, "tagexists")) {
        condition.kind = Condition::kTagExists;
        size_t start = i;
        while (i < text.size() && !IsBlank(text[i]) && text[i] != ')' && text[i] != '\r' && text[i] != '\n') ++i;
        if (i - start > kMaxName) return kErrNameTooLong;
        condition.tag = std::string(text.substr(start, i - start));
        skip();
      } else {
        condition.kind = Condition::kFieldEmpty;
        if (i >= text.size() || !IsDigit(text[i])) return kErrFieldNumber;
        int n = 0;
        while (i < text.size() && IsDigit(text[i])) n = std::min(n * 10 + (text[i++] - '0'), 1000);
        if (n < 1 || n > declared) return kErrFieldNumber;
        condition.field = n;
        skip();
      }
      if (i >= text.size() || text[i] != ')') return kErrMissingParen;
      ++i;
    } else {
      condition.kind = Condition::kEquals;
      int rc = ParsePattern(text, &i, declared, &condition.left);
      if (rc) return rc;
      skip();
      if (i >= text.size() || text[i] != '=') return kErrMissingEquals;
      ++i;
      skip();
      rc = ParsePattern(text, &i, declared, &condition.right);
      if (rc) return rc;
    }
    line->push_back(std::move(condition));
    skip();
    if (i >= text.size() || text[i] == '\r' || text[i] == '\n') break;
    if (text[i] != ',') return kErrMissingComma;
    ++i;
  }
  return 0;
}

}  // namespace

// ---------------------------------------------------------------------------
// The reader

class FormatReader {
 public:
  FormatReader(FormatModel* model, std::string name, std::string_view text)
      : model_(model), name_(std::move(name)), text_(text) {
    SplitLines();
  }

  int Read(long* line_number);

 private:
  struct Line {
    size_t start;
    size_t length;        // without the line break
    size_t break_length;  // 0, 1 (LF) or 2 (CR LF)
  };

  void SplitLines();
  std::string_view LineText(size_t i) const { return text_.substr(lines_[i].start, lines_[i].length); }
  // One ".keyword=value" line, cut up.
  struct KeywordLine {
    std::string_view text;
    size_t line_start = 0;   // of the line in the file's text
    int keyword = -1;
    size_t value_start = 0;  // after the "="
    std::vector<std::string_view> fields;
    std::vector<size_t> field_starts;
  };

  int ReadSection(int section, size_t* i);
  int HandleKeyword(int section, size_t* i);
  int ParseKeyword(int section, KeywordLine* line);
  static void SplitFields(KeywordLine* line);
  int HandleDefiningKeyword(int section, const KeywordLine& line, size_t* i);
  int SetAttribute(int section, const KeywordLine& line);
  int SetTokenContext(std::string_view field);
  int SetContextPattern(std::string_view field);
  int AddOrder(const std::vector<std::string_view>& fields);
  int AddCondition(int section, std::string_view raw);
  int AddMap(const std::vector<std::string_view>& fields);
  int AddCancel(const std::vector<std::string_view>& fields);
  int AddReplacement(std::string_view character, std::string_view text);
  int StartDefinition(int section, int keyword, const std::vector<std::string_view>& fields);
  int FinishDefinition(int section);
  // The multi-line text value starting at byte `start` of line *i; *i is
  // left at the terminating line.
  std::string TakeTextValue(size_t start, size_t* i);

  FormatModel* model_;
  std::string name_;
  std::string_view text_;
  std::vector<Line> lines_;
  long current_line_ = 0;
  bool open_ = false;
  bool skipping_ = false;
  Definition open_definition_;
};

void FormatReader::SplitLines() {
  size_t pos = 0;
  while (pos < text_.size()) {
    size_t lf = text_.find('\n', pos);
    Line line;
    line.start = pos;
    if (lf == std::string_view::npos) {
      line.length = text_.size() - pos;
      line.break_length = 0;
      pos = text_.size();
    } else {
      line.length = lf - pos;
      line.break_length = 1;
      if (line.length > 0 && text_[lf - 1] == '\r') {
        --line.length;
        line.break_length = 2;
      }
      pos = lf + 1;
    }
    lines_.push_back(line);
  }
}

std::string FormatReader::TakeTextValue(size_t start, size_t* i) {
  size_t j = *i + 1;
  while (j < lines_.size()) {
    std::string_view text = LineText(j);
    if (!text.empty() && (text[0] == '.' || text[0] == ';' || text[0] == '[')) break;
    ++j;
  }
  // The value ends before the line break that precedes the terminating line
  // (or before the file's final line break); LF and CR LF both count whole.
  const Line& last = lines_[j - 1];
  size_t end = last.start + last.length;
  *i = j;
  if (end <= start) return std::string();
  return std::string(text_.substr(start, end - start));
}

int FormatReader::Read(long* line_number) {
  size_t i = 0;
  int rc = 0;
  while (i < lines_.size() && rc == 0) {
    current_line_ = static_cast<long>(i) + 1;
    std::string_view text = LineText(i);
    std::string_view rest = SkipBlanks(text);
    if (rest.empty() || rest[0] == ';') {
      ++i;
      continue;
    }
    if (text[0] != '[') {
      rc = kErrBadLine;
      break;
    }
    size_t close = text.find(']');
    if (close == std::string_view::npos || close - 1 > kMaxName) {
      rc = kErrUnknownSection;
      break;
    }
    int section = LookUp(kSectionNames, text.substr(1, close - 1));
    if (section < 0) {
      rc = kErrUnknownSection;
      break;
    }
    ++i;
    rc = ReadSection(section, &i);
  }
  *line_number = current_line_;
  return rc;
}

int FormatReader::ReadSection(int section, size_t* i) {
  open_ = false;
  skipping_ = false;
  int rc = 0;
  while (*i < lines_.size()) {
    current_line_ = static_cast<long>(*i) + 1;
    std::string_view text = LineText(*i);
    if (!text.empty() && text[0] == '[') break;
    if (!text.empty() && text[0] == '.') {
      rc = HandleKeyword(section, i);
      if (rc) return rc;
      continue;
    }
    std::string_view rest = SkipBlanks(text);
    if (!rest.empty() && rest[0] != ';') return kErrBadLine;
    ++*i;
  }
  rc = FinishDefinition(section);
  if (rc) return rc;
  if (section == kSectionToken && model_->sections_[kSectionToken - 1].empty()) return kErrNoToken;
  return 0;
}

int FormatReader::FinishDefinition(int section) {
  if (!open_) return 0;
  open_ = false;
  Definition& definition = open_definition_;
  if (section == kSectionExtension && definition.style == kStyleGeneric && definition.delimiter == 0) {
    current_line_ = definition.line;
    return kErrGenericNoDelim;
  }
  model_->Append(section, std::move(definition));
  open_definition_ = Definition();
  return 0;
}

// ".keyword=value" up to the "=": the keyword of `section` and where its
// value begins.
int FormatReader::ParseKeyword(int section, KeywordLine* line) {
  std::string_view text = line->text;
  size_t p = 1;
  size_t word_start = p;
  while (p < text.size() && !IsBlank(text[p]) && text[p] != '=') ++p;
  std::string_view word = text.substr(word_start, p - word_start);
  if (word.size() > kMaxName) return kErrUnknownKeyword;
  while (p < text.size() && IsBlank(text[p])) ++p;
  if (p >= text.size() || text[p] != '=') return kErrUnknownKeyword;
  line->keyword = LookUp(kKeywordTables[section - 1], word);
  if (line->keyword < 0 || line->keyword == kKwExtension) return kErrUnknownKeyword;
  line->value_start = p + 1;  // past "="
  return 0;
}

// Splits the value into at most 10 fields at commas, up to a ";" comment. A
// value that is empty after "=" still counts as one (empty) field.
void FormatReader::SplitFields(KeywordLine* line) {
  std::string_view text = line->text;
  size_t start = line->value_start;
  size_t q = start;
  // In a token replacement "^;" is a semicolon (HTML entities end in one),
  // not the start of a comment.
  const bool caret_escapes = line->keyword == kKwToken;
  while (true) {
    if (caret_escapes && q + 1 < text.size() && text[q] == '^') {
      q += 2;
      continue;
    }
    if (q >= text.size() || text[q] == ';') {
      line->fields.push_back(text.substr(start, q - start));
      line->field_starts.push_back(start);
      break;
    }
    if (text[q] == ',' && line->fields.size() < 9) {
      line->fields.push_back(text.substr(start, q - start));
      line->field_starts.push_back(start);
      start = q + 1;
    }
    ++q;
  }
}

int FormatReader::HandleKeyword(int section, size_t* i) {
  KeywordLine line;
  line.text = LineText(*i);
  line.line_start = lines_[*i].start;
  if (int rc = ParseKeyword(section, &line)) return rc;
  SplitFields(&line);

  if (IsDefining(section, line.keyword)) return HandleDefiningKeyword(section, line, i);

  if (section == kSectionConstant && line.keyword == kKwOutput) {
    if (line.fields.size() != 1) return kErrFieldCount;
    int rc = FinishDefinition(section);
    if (rc) return rc;
    skipping_ = !model_->IsActiveType(Trim(line.fields[0]));
    ++*i;
    return 0;
  }

  const int slot = line.keyword == kKwDefine ? kSlotCount : SlotOfKeyword(line.keyword);
  if (slot >= 0 && slot < kSlotCount) {
    std::string value = TakeTextValue(line.line_start + line.value_start, i);
    if (skipping_) return 0;
    if (!open_) return kErrNoDefinition;
    if (open_definition_.has_text[slot]) return kErrTextTwice;
    open_definition_.text[slot] = std::move(value);
    open_definition_.has_text[slot] = true;
    return 0;
  }

  ++*i;
  if (skipping_) return 0;
  if (!open_) return kErrNoDefinition;
  return SetAttribute(section, line);
}

// A keyword that opens a definition; ".define" takes the constant's text,
// which may run over several lines.
int FormatReader::HandleDefiningKeyword(int section, const KeywordLine& line, size_t* i) {
  int rc = StartDefinition(section, line.keyword, line.fields);
  if (rc) return rc;
  if (line.keyword != kKwDefine) {
    ++*i;
    return 0;
  }
  std::string_view text = line.text;
  if (skipping_) {
    // The text value still has to be passed over.
    size_t start = line.fields.size() >= 2 ? line.field_starts[1] : text.size();
    TakeTextValue(line.line_start + start, i);
  } else {
    size_t start = line.field_starts[1];
    while (start < text.size() && IsBlank(text[start])) ++start;
    open_definition_.text[kSlotPre] = TakeTextValue(line.line_start + start, i);
    open_definition_.has_text[kSlotPre] = true;
  }
  return 0;
}

// A one-line keyword that sets a field of the open definition.
int FormatReader::SetAttribute(int section, const KeywordLine& line) {
  const std::vector<std::string_view>& fields = line.fields;
  Definition& d = open_definition_;
  switch (line.keyword) {
    case kKwContext:
      if (fields.size() != 1) return kErrFieldCount;
      return section == kSectionToken ? SetTokenContext(fields[0]) : SetContextPattern(fields[0]);
    case kKwOrder:
      return AddOrder(fields);
    case kKwParse: {
      if (fields.size() != 1) return kErrFieldCount;
      std::string_view value = FirstWord(fields[0]);
      int kind = LookUp(section == kSectionTopic ? kTopicParseKinds : kParagraphParseKinds, value);
      if (kind < 0 || value.size() > kMaxName) return kErrUnknownParse;
      d.parse = kind;
      return 0;
    }
    case kKwIf:
      return AddCondition(section, line.text.substr(line.value_start));
    case kKwMap:
      return AddMap(fields);
    case kKwCancel:
      return AddCancel(fields);
    case kKwGenericDelim:
    case kKwLineCont: {
      if (fields.size() != 1) return kErrFieldCount;
      std::string_view value = Trim(fields[0]);
      int extra = line.keyword == kKwGenericDelim ? kErrGenericDelimExtra : kErrLineContExtra;
      if (value.size() > 1) return extra;
      if (value.empty()) return kErrFieldCount;
      if (line.keyword == kKwGenericDelim) d.delimiter = value[0];
      else d.line_continuation = value[0];
      return 0;
    }
    case kKwToken:
      if (fields.size() != 2) return kErrFieldCount;
      return AddReplacement(fields[0], fields[1]);
    case kKwHighCharMask:
      if (fields.size() != 1) return kErrFieldCount;
      d.high_char_mask = std::string(SkipBlanks(fields[0]));
      return 0;
    case kKwPreName:
    case kKwPostName:
    case kKwPreContext:
    case kKwPostContext:
      return kErrIndexKeyword;
    default:
      return kErrUnknownKeyword;
  }
}

// ".context" of a [token] section: where the replacements that follow apply.
int FormatReader::SetTokenContext(std::string_view field) {
  std::string_view value = Trim(field);
  if (EqualsNoCase(value, "body")) model_->token_context_ = 0;
  else if (EqualsNoCase(value, "example")) model_->token_context_ = 1;
  else return kErrContextValue;
  return 0;
}

// ".context" of a definition: the pattern its context string is made from.
int FormatReader::SetContextPattern(std::string_view field) {
  Definition& d = open_definition_;
  std::string_view value = SkipBlanks(field);
  size_t pos = 0;
  int rc = ParsePattern(value, &pos, d.field_count, &d.context_pattern);
  if (rc) return rc;
  d.has_context = true;
  return 0;
}

// ".order": names added in order; a name listed twice counts once.
int FormatReader::AddOrder(const std::vector<std::string_view>& fields) {
  Definition& d = open_definition_;
  std::unordered_set<std::string> present;
  for (const std::string& existing : d.order) present.insert(LowerName(existing));
  for (std::string_view field : fields) {
    for (std::string_view name : Words(field)) {
      int rc = CheckName(name);
      if (rc) return rc;
      if (present.insert(LowerName(name)).second) d.order.emplace_back(name);
    }
  }
  return 0;
}

// ".if": one line of conditions (its commas separate conditions, not fields).
int FormatReader::AddCondition(int section, std::string_view raw) {
  Definition& d = open_definition_;
  if (d.conditions.size() >= 6) return kErrTooManyIf;
  size_t semicolon = raw.find(';');
  if (semicolon != std::string_view::npos) raw = raw.substr(0, semicolon);
  ConditionLine line;
  // A diagram declares no fields: its conditions may test any of a
  // paragraph's six.
  int declared = section == kSectionDiagram ? kMaxFields : d.field_count;
  int rc = ParseConditionLine(raw, declared, &line);
  if (rc) return rc;
  d.conditions.push_back(std::move(line));
  return 0;
}

// ".map": a target name and one to six single field references.
int FormatReader::AddMap(const std::vector<std::string_view>& fields) {
  Definition& d = open_definition_;
  if (fields.size() < 2 || fields.size() > 7) return kErrFieldCount;
  FieldMap map;
  std::string_view target = FirstWord(fields[0]);
  int rc = CheckName(target);
  if (rc) return rc;
  map.target = std::string(target);
  for (size_t f = 1; f < fields.size(); ++f) {
    std::string_view ref = SkipBlanks(fields[f]);
    if (ref.empty() || ref[0] != '$') return kErrMapNotDollar;
    FieldPattern pattern;
    size_t pos = 0;
    rc = ParsePattern(ref, &pos, d.field_count, &pattern);
    if (rc) return rc;
    if (pattern.size() != 1) return kErrBadPatternPart;
    map.references.push_back(pattern[0]);
  }
  d.maps.push_back(std::move(map));
  return 0;
}

// ".cancel": names kept in lower case.
int FormatReader::AddCancel(const std::vector<std::string_view>& fields) {
  for (std::string_view field : fields) {
    for (std::string_view name : Words(field)) {
      if (name.size() > kMaxName) return kErrNameTooLong;
      std::string lower(name);
      for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
      open_definition_.cancel.push_back(std::move(lower));
    }
  }
  return 0;
}

// ".token=character, text": the character ("^p" and "^t" for line break and
// tab) and its replacement, which goes in front of the earlier ones.
int FormatReader::AddReplacement(std::string_view character, std::string_view text) {
  std::string_view written = Trim(character);
  Replacement replacement;
  if (written.empty()) return kErrBadTokenChar;
  if (written[0] == '^' && written.size() >= 2) {
    char c = written[1];
    if (c == 'P' || c == 'p') replacement.character = '\n';
    else if (c == 'T' || c == 't') replacement.character = '\t';
    else return kErrBadTokenChar;
    if (written.size() > 2) return kErrBadTokenChar;
  } else {
    if (written.size() > 1) return kErrBadTokenChar;
    replacement.character = written[0];
  }
  // "^;" gives ";" and "^^" gives "^"; any other caret stays as written.
  for (size_t k = 0; k < text.size(); ++k) {
    char c = text[k];
    if (c == '^' && k + 1 < text.size() && (text[k + 1] == ';' || text[k + 1] == '^')) c = text[++k];
    replacement.text.push_back(c);
  }
  replacement.context = model_->token_context_;
  std::vector<Replacement>& replacements = open_definition_.replacements;
  replacements.insert(replacements.begin(), std::move(replacement));
  return 0;
}

int FormatReader::StartDefinition(int section, int keyword, const std::vector<std::string_view>& fields) {
  size_t count = fields.size();
  std::string_view type;
  switch (section) {
    case kSectionFile:
      if (count != 1) return kErrFileOutputFields;
      type = fields[0];
      break;
    case kSectionIndex:
      if (count != 1) return kErrFieldCount;
      type = fields[0];
      break;
    case kSectionToken:
      if (count != 2) return kErrFieldCount;
      type = fields[0];
      model_->NoteTokenType(Trim(type));
      break;
    case kSectionTopic:
      if (count != 5) return kErrFieldCount;
      type = fields[1];
      break;
    case kSectionParagraph:
      if (count != 4 && count != 5) return kErrFieldCount;
      type = fields[1];
      break;
    case kSectionText:
    case kSectionDiagram:
      if (count != 3) return kErrFieldCount;
      type = fields[1];
      break;
    case kSectionConstant:
      if (count < 2) return kErrFieldCount;
      break;
    case kSectionExtension:
      if (count != 2) return kErrFieldCount;
      break;
  }
  (void)keyword;
  bool has_type = section != kSectionConstant && section != kSectionExtension;
  if (has_type && !model_->IsActiveType(Trim(type))) {
    int rc = FinishDefinition(section);
    if (rc) return rc;
    skipping_ = true;
    return 0;
  }
  if (section == kSectionConstant && skipping_) return 0;
  int rc = FinishDefinition(section);
  if (rc) return rc;
  skipping_ = false;
  open_ = true;
  open_definition_ = Definition();
  Definition& d = open_definition_;
  d.file = name_;
  d.line = current_line_;

  auto read_count = [&](std::string_view field) -> int {
    field = Trim(field);
    if (field.empty() || !IsDigit(field[0])) return -kErrCountNotNumber;
    int n = std::atoi(std::string(field).c_str());
    if (n >= 7) return -kErrFieldCountTooBig;
    return n;
  };

  switch (section) {
    case kSectionTopic:
    case kSectionParagraph:
    case kSectionText: {
      std::string_view name = FirstWord(fields[0]);
      if ((rc = CheckName(name))) return rc;
      d.name = std::string(name);
      int n = read_count(fields[2]);
      if (n < 0) return -n;
      d.field_count = n;
      if (section == kSectionText) break;
      std::string_view level = Trim(fields[3]);
      if (section == kSectionTopic) {
        if (level.empty() || !(IsDigit(level[0]) || level[0] == '-')) return kErrTopicLevel;
      } else if (level.empty() || !IsDigit(level[0])) {
        return kErrParagraphLevel;
      }
      d.level = std::atoi(std::string(level).c_str());
      if (section == kSectionTopic) {
        std::string_view pattern = SkipBlanks(fields[4]);
        size_t pos = 0;
        if ((rc = ParsePattern(pattern, &pos, d.field_count, &d.name_pattern))) return rc;
      } else if (count == 5) {
        std::string_view flag = Trim(fields[4]);
        if (flag == "1") d.example = true;
        else if (flag != "0") return kErrExampleFlag;
      }
      break;
    }
    case kSectionDiagram: {
      std::string_view name = FirstWord(fields[0]);
      if ((rc = CheckName(name))) return rc;
      std::string_view second = FirstWord(fields[2]);
      if ((rc = CheckName(second))) return rc;
      d.name = std::string(name);
      d.second_name = std::string(second);
      break;
    }
    case kSectionConstant: {
      std::string_view name = FirstWord(fields[0]);
      if ((rc = CheckName(name))) return rc;
      d.name = std::string(name);
      break;
    }
    case kSectionExtension: {
      std::string_view ext = FirstWord(fields[0]);
      if (ext.empty() || !(IsAlpha(ext[0]) || IsDigit(ext[0]))) return kErrBadExtension;
      if (ext.size() > kMaxName) return kErrNameTooLong;
      d.name = std::string(ext);
      std::string_view style = FirstWord(fields[1]);
      if (style.empty()) return kErrMissingWord;
      int code = LookUp(kStyles, style);
      if (code < 0) return kErrUnknownStyle;
      d.style = code;
      d.delimiter = code == kStyleBas ? '\'' : code == kStyleAsm ? ';' : 0;
      break;
    }
    case kSectionToken: {
      std::string_view ext = FirstWord(fields[1]);
      if (ext.empty() || ext.size() > kMaxName) return kErrMissingWord;
      d.out_extension = std::string(ext);
      break;
    }
    default:
      break;
  }
  return 0;
}

// ---------------------------------------------------------------------------
// The model

FormatModel::FormatModel(std::string output_type) : output_type_(std::move(output_type)) {}

bool FormatModel::IsActiveType(std::string_view type) const {
  type = Trim(type);
  if (EqualsNoCase(type, output_type_)) return true;
  return EqualsNoCase(type, "both") && (EqualsNoCase(output_type_, "doc") || EqualsNoCase(output_type_, "help"));
}

int FormatModel::LoadText(const std::string& name, std::string_view text, long* line) {
  FormatReader reader(this, name, text);
  return reader.Read(line);
}

int FormatModel::Load(const std::string& name, const std::string& fallback_path, bool verbose,
                      std::ostream& out, long* line) {
  *line = 0;
  std::string path;
  if (FileExists(name)) {
    path = name;
  } else if (!name.empty() && (name[0] == '/' || name[0] == '.')) {
    return kErrNotFound;
  } else {
    if (!fallback_path.empty()) {
      std::string candidate = fallback_path;
      if (candidate.back() != '/') candidate += '/';
      candidate += name;
      if (FileExists(candidate)) path = candidate;
    }
    if (path.empty()) {
      const char* env = std::getenv("PATH");
      std::string dirs = env ? env : "";
      size_t start = 0;
      while (path.empty() && start <= dirs.size()) {
        size_t colon = dirs.find(':', start);
        if (colon == std::string::npos) colon = dirs.size();
        std::string dir = dirs.substr(start, colon - start);
        if (!dir.empty()) {
          std::string candidate = dir + "/" + name;
          if (FileExists(candidate)) path = candidate;
        }
        start = colon + 1;
      }
    }
    if (path.empty()) return kErrNotFound;
  }
  if (verbose) out << "Getting tags from " << path << "\n";
  loaded_files_.push_back(path);
  std::ifstream in(path, std::ios::binary);
  if (!in) return kFileErrorBase + CauseOfErrno(errno);
  std::ostringstream content;
  content << in.rdbuf();
  if (in.bad()) return kFileErrorBase + kCauseHardIo;
  return LoadText(name, content.str(), line);
}

void FormatModel::DefineConstantFirst(const std::string& name, const std::string& value) {
  Definition d;
  d.name = name;
  d.text[kSlotPre] = value;
  d.has_text[kSlotPre] = true;
  auto& constants = sections_[kSectionConstant - 1];
  constants.insert(constants.begin(), std::move(d));
  // Every constant moved one place on.
  auto& index = by_name_[kSectionConstant - 1];
  for (auto& [key, positions] : index) {
    for (size_t& position : positions) ++position;
  }
  index[LowerName(name)].insert(index[LowerName(name)].begin(), 0);
}

void FormatModel::Append(int section, Definition definition) {
  auto& list = sections_[section - 1];
  by_name_[section - 1][LowerName(definition.name)].push_back(list.size());
  list.push_back(std::move(definition));
}

void FormatModel::NoteTokenType(std::string_view type) {
  // "both" stands for the two types it selects.
  for (std::string_view one : EqualsNoCase(type, "both") ? std::vector<std::string_view>{"doc", "help"}
                                                         : std::vector<std::string_view>{type}) {
    bool known = false;
    for (const std::string& seen : token_types_) known = known || EqualsNoCase(seen, one);
    if (!known && !one.empty()) token_types_.emplace_back(one);
  }
}

std::string FormatModel::NoTokenReason() const {
  std::string reason = "no token definition for the output type '" + output_type_ + "'";
  if (token_types_.empty()) return reason + " (the format files define no output type)";
  reason += " (the format files define";
  for (size_t i = 0; i < token_types_.size(); ++i) reason += (i ? ", " : " ") + token_types_[i];
  return reason + ")";
}

bool FormatModel::Validate(ErrorLog& errors) const {
  if (sections_[kSectionToken - 1].empty()) {
    ReportFailure(errors, std::string(), kErrNoToken, NoTokenReason());
    return false;
  }
  return true;
}

const Definition* FormatModel::Find(int section, std::string_view name, const ConditionContext* context) const {
  // Through the index: a format file of thousands of tags is looked up as
  // fast as one of ten.
  const auto& index = by_name_[section - 1];
  auto found = index.find(LowerName(name));
  if (found == index.end()) return nullptr;
  for (size_t position : found->second) {
    const Definition& d = sections_[section - 1][position];
    if (!context || ConditionsHold(d, *context)) return &d;
  }
  return nullptr;
}

const Definition* FormatModel::First(int section) const {
  const auto& list = sections_[section - 1];
  return list.empty() ? nullptr : &list.front();
}

const Definition* FormatModel::FindExtension(std::string_view extension) const {
  for (const Definition& d : sections_[kSectionExtension - 1]) {
    if (EqualsNoCase(d.name, extension)) return &d;
  }
  return nullptr;
}

}  // namespace folios::docgen
