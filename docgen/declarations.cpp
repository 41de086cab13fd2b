// Declaration scanners for C, C++ and Visual Basic.
#include "declarations.h"

#include <cctype>
#include <string_view>

#include "doc_messages.h"
#include "format_model.h"

namespace folios::docgen {

namespace {

bool IsIdentStart(char c) { return std::isalpha(static_cast<unsigned char>(c)) || c == '_'; }
bool IsIdentChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; }
bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// A field as it is inserted: trailing blanks cut, and "<", ">" and "\"
// escaped so that declaration text is never read as an inline tag.
std::string FieldText(std::string_view text) {
  while (!text.empty() && (IsBlank(text.back()) || text.back() == '\r' || text.back() == '\n')) {
    text.remove_suffix(1);
  }
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  std::string out;
  for (char c : text) {
    if (c == '<' || c == '>' || c == '\\') out.push_back('\\');
    out.push_back(c);
  }
  return out;
}

std::string CollapseBlanks(std::string_view text) {
  std::string out;
  for (char c : text) {
    if (IsBlank(c)) {
      if (!out.empty() && out.back() == ' ') continue;
      out.push_back(' ');
    } else {
      out.push_back(c);
    }
  }
  return out;
}

class Scanner {
 public:
  explicit Scanner(ScanCursor* cursor) : text_(cursor->text), pos_(cursor->pos) {}

  const std::string& text() const { return text_; }
  size_t pos() const { return pos_; }
  void set_pos(size_t pos) { pos_ = pos; }
  bool AtEnd() const { return pos_ >= text_.size(); }
  char Peek(size_t ahead = 0) const { return pos_ + ahead < text_.size() ? text_[pos_ + ahead] : '\0'; }
  void SkipBlanks() {
    while (pos_ < text_.size() && IsBlank(text_[pos_])) ++pos_;
  }
  bool StartsWithWord(std::string_view word) const {
    if (text_.compare(pos_, word.size(), word) != 0) return false;
    return pos_ + word.size() >= text_.size() || !IsIdentChar(text_[pos_ + word.size()]);
  }
  // Index just past the group that opens at `at`, or npos when unmatched.
  size_t MatchGroup(size_t at) const {
    char open = text_[at];
    char close = open == '(' ? ')' : open == '[' ? ']' : open == '<' ? '>' : '}';
    int depth = 0;
    for (size_t i = at; i < text_.size(); ++i) {
      if (text_[i] == open) ++depth;
      else if (text_[i] == close && --depth == 0) return i + 1;
    }
    return std::string::npos;
  }
  size_t ReadIdent() {
    size_t start = pos_;
    while (pos_ < text_.size() && IsIdentChar(text_[pos_])) ++pos_;
    return start;
  }
  // Skips "template <...>" and the blanks after it, giving the head in
  // `head` (blanks collapsed) when that is not null; false when the
  // bracket list is incomplete.
  bool SkipTemplatePrefix(std::string* head = nullptr) {
    SkipBlanks();
    if (!StartsWithWord("template")) return true;
    size_t start = pos_;
    pos_ += 8;
    SkipBlanks();
    if (Peek() != '<') return false;
    size_t end = MatchGroup(pos_);
    if (end == std::string::npos) return false;
    pos_ = end;
    if (head) *head = CollapseBlanks(std::string_view(text_).substr(start, end - start));
    SkipBlanks();
    return true;
  }
  // An operator name at the cursor, which stands on "operator": the call,
  // subscript, allocation and literal operators, a conversion operator
  // ("operator bool", "operator const char*") or one of the symbols.
  std::string ReadOperatorName() {
    static const char* const kSymbols[] = {
        "->*", "<=>", "<<=", ">>=", "->", "++", "--", "<<", ">>", "<=", ">=", "==", "!=", "&&", "||", "+=",
        "-=",  "*=",  "/=",  "%=",  "&=", "|=", "^=", "+",  "-",  "*",  "/",  "%",  "^",  "&",  "|",  "~",
        "!",   "=",   "<",   ">",   ","};
    pos_ += 8;
    std::string name = "operator";
    SkipBlanks();
    auto closes = [&](char open, char close) {
      if (Peek() != open) return false;
      size_t p = pos_ + 1;
      while (p < text_.size() && IsBlank(text_[p])) ++p;
      if (p >= text_.size() || text_[p] != close) return false;
      pos_ = p + 1;
      return true;
    };
    if (closes('(', ')')) {
      name += "()";
    } else if (closes('[', ']')) {
      name += "[]";
    } else if (StartsWithWord("new") || StartsWithWord("delete") || StartsWithWord("co_await")) {
      size_t start = ReadIdent();
      name += " " + text_.substr(start, pos_ - start);
      SkipBlanks();
      if (closes('[', ']')) name += "[]";
    } else if (Peek() == '"' && Peek(1) == '"') {
      pos_ += 2;
      SkipBlanks();
      size_t start = ReadIdent();
      name += "\"\"" + text_.substr(start, pos_ - start);
    } else if (IsIdentStart(Peek())) {
      // A conversion operator: the type runs to the parameter list.
      size_t start = pos_;
      while (pos_ < text_.size() && text_[pos_] != '(' && text_[pos_] != ';' && text_[pos_] != '{') ++pos_;
      std::string type = CollapseBlanks(std::string_view(text_).substr(start, pos_ - start));
      while (!type.empty() && type.back() == ' ') type.pop_back();
      name += " " + type;
    } else {
      for (const char* symbol : kSymbols) {
        if (text_.compare(pos_, std::string_view(symbol).size(), symbol) == 0) {
          name += symbol;
          pos_ += std::string_view(symbol).size();
          break;
        }
      }
    }
    return name;
  }

 private:
  const std::string& text_;
  size_t pos_;
};

// Finds the end of a default value that starts at `start`: the first ",",
// ";" or ")" outside brackets, strings and character literals, or a comment.
// Any expression may stand there (-1, "r", 'a', {}, Size(2, 3)). False when
// the text ends inside a literal or a bracket: the value goes on.
bool ScanDefaultValue(const std::string& t, size_t start, size_t* end) {
  int depth = 0;
  size_t i = start;
  while (i < t.size()) {
    char c = t[i];
    if (c == '"' || c == '\'') {
      size_t q = i + 1;
      while (q < t.size() && t[q] != c) q += t[q] == '\\' ? 2 : 1;
      if (q >= t.size()) return false;
      i = q + 1;
      continue;
    }
    if (c == '/' && i + 1 < t.size() && (t[i + 1] == '/' || t[i + 1] == '*')) break;
    if (c == '(' || c == '[' || c == '{') {
      ++depth;
    } else if (c == ')' || c == ']' || c == '}') {
      if (depth == 0) break;
      --depth;
    } else if (depth == 0 && (c == ',' || c == ';' || c == '\r' || c == '\n')) {
      break;
    } else if (c == '<' && i > start && IsIdentChar(t[i - 1])) {
      // Template arguments (Pair<int, int>()) hold commas of their own.
      size_t q = i + 1;
      int angles = 1;
      while (q < t.size() && angles > 0 && t[q] != ';' && t[q] != ')' && t[q] != '(') {
        if (t[q] == '<') ++angles;
        else if (t[q] == '>') --angles;
        ++q;
      }
      if (angles == 0) {
        i = q;
        continue;
      }
    }
    ++i;
  }
  if (depth > 0) return false;
  *end = i;
  return true;
}

// The parameter list that opens at t[at] and the markers after it, as
// written with blanks collapsed ("(int a = 1) const"). Strings and
// character literals hide their brackets. False when the list does not
// close in the text.
bool ReadParameterList(const std::string& t, size_t at, std::string* list);

// name list: function, field, parameter, parameteropt
int ScanNameList(int kind, ScanCursor* cursor, bool needs_terminator, std::vector<std::string>* fields,
                 DeclarationText* text) {
  Scanner s(cursor);
  s.SkipBlanks();
  if (s.Peek() == ',' || s.Peek() == '(' || s.Peek() == '{') s.set_pos(s.pos() + 1);
  std::string head;
  if (!s.SkipTemplatePrefix(&head)) return kDeclNotThisKind;
  size_t first = std::string::npos;
  size_t name_start = std::string::npos, name_end = 0;
  int names = 0;
  std::string default_value;
  const std::string& t = s.text();
  char stop = '\0';
  while (!s.AtEnd()) {
    char c = s.Peek();
    if (c == ',' || c == ';' || c == ')' || c == '\r' || c == '\n' || c == '/' || c == '\'') {
      stop = c;
      break;
    }
    if (IsBlank(c)) {
      s.SkipBlanks();
    } else if (IsIdentChar(c)) {
      size_t start = s.ReadIdent();
      if (first == std::string::npos) first = start;
      name_start = start;
      name_end = s.pos();
      ++names;
    } else if (c == '[') {
      size_t end = s.MatchGroup(s.pos());
      s.set_pos(end == std::string::npos ? t.size() : end);
    } else if (c == '=' && kind == kDeclParameterOpt) {
      s.set_pos(s.pos() + 1);
      s.SkipBlanks();
      size_t start = s.pos();
      size_t end = 0;
      if (!ScanDefaultValue(t, start, &end)) return kDeclContinues;
      default_value = t.substr(start, end - start);
      s.set_pos(end);
    } else if (c == '(') {
      size_t end = s.MatchGroup(s.pos());
      size_t after = end;
      while (after != std::string::npos && after < t.size() && IsBlank(t[after])) ++after;
      if (end != std::string::npos && after < t.size() && (IsIdentChar(t[after]) || t[after] == '(')) {
        s.set_pos(end);
      } else {
        stop = '(';
        break;
      }
    } else if (c == '<') {
      size_t end = s.MatchGroup(s.pos());
      s.set_pos(end == std::string::npos ? t.size() : end);
    } else {
      name_start = std::string::npos;
      s.set_pos(s.pos() + 1);
    }
  }
  if (needs_terminator && !(stop == ',' || stop == ';' || stop == '(' || stop == ')')) {
    return names == 0 && stop != '\0' ? kDeclNotThisKind : kDeclContinues;
  }
  if (name_start == std::string::npos) return kDeclNotThisKind;
  std::string parameters;
  const bool open_list = kind == kDeclFunction && stop == '(' && !ReadParameterList(t, s.pos(), &parameters);
  std::string type = names > 1 ? t.substr(first, name_start - first) : std::string();
  fields->push_back(FieldText(type));
  fields->push_back(FieldText(t.substr(name_start, name_end - name_start)));
  if (kind == kDeclParameterOpt) fields->push_back(FieldText(default_value));
  // The parameter list goes on on the next line; the fields are there all
  // the same, for a caller that cannot give more.
  if (open_list && needs_terminator) return kDeclContinues;
  if (text && kind == kDeclFunction) *text = DeclarationText{head, parameters};
  cursor->pos = s.pos();
  return 0;
}

// The markers after a member's argument list belong to its signature:
// "const", "override", "noexcept(...)", "&&", "= 0", "= default" ... are
// appended to `arguments`; the scanner is left after them.
void ReadTrailingSpecifiers(Scanner* s, std::string* arguments) {
  static const char* const kWords[] = {"const", "volatile", "noexcept", "override", "final", "throw"};
  const std::string& t = s->text();
  while (true) {
    s->SkipBlanks();
    bool taken = false;
    for (const char* word : kWords) {
      if (!s->StartsWithWord(word)) continue;
      size_t start = s->pos();
      s->set_pos(start + std::string_view(word).size());
      if (s->Peek() == '(') {
        size_t end = s->MatchGroup(s->pos());
        if (end != std::string::npos) s->set_pos(end);
      }
      *arguments += ' ' + t.substr(start, s->pos() - start);
      taken = true;
      break;
    }
    if (taken) continue;
    if (s->Peek() == '&') {
      size_t length = s->Peek(1) == '&' ? 2 : 1;
      *arguments += ' ' + t.substr(s->pos(), length);
      s->set_pos(s->pos() + length);
      continue;
    }
    if (s->Peek() == '=') {
      size_t at = s->pos();
      s->set_pos(at + 1);
      s->SkipBlanks();
      size_t word = s->pos();
      if (s->StartsWithWord("0") || s->StartsWithWord("default") || s->StartsWithWord("delete")) {
        s->ReadIdent();
        *arguments += " = " + t.substr(word, s->pos() - word);
      } else {
        s->set_pos(at);
      }
    }
    return;
  }
}

bool ReadParameterList(const std::string& t, size_t at, std::string* list) {
  int depth = 0;
  size_t i = at;
  for (; i < t.size(); ++i) {
    char c = t[i];
    if (c == '"' || c == '\'') {
      size_t q = i + 1;
      while (q < t.size() && t[q] != c) q += t[q] == '\\' ? 2 : 1;
      if (q >= t.size()) return false;
      i = q;
    } else if (c == '(') {
      ++depth;
    } else if (c == ')' && --depth == 0) {
      break;
    }
  }
  if (i >= t.size()) return false;
  ScanCursor after{t, i + 1};
  Scanner s(&after);
  std::string written = t.substr(at, i + 1 - at);
  ReadTrailingSpecifiers(&s, &written);
  *list = CollapseBlanks(written);
  return true;
}

// member head: classmember, method
int ScanMemberHead(int kind, ScanCursor* cursor, std::vector<std::string>* fields) {
  Scanner s(cursor);
  s.SkipBlanks();
  if (s.Peek() == '{') s.set_pos(s.pos() + 1);
  // A member template keeps its head in front of its type.
  std::string head;
  if (!s.SkipTemplatePrefix(&head)) return kDeclNotThisKind;
  s.SkipBlanks();
  const std::string& t = s.text();
  size_t first = std::string::npos;
  std::string name;
  size_t name_start = std::string::npos;
  bool is_operator = false;
  std::string arguments;
  char stop = '\0';
  while (!s.AtEnd()) {
    char c = s.Peek();
    if (c == '\r' || c == '\n' || c == '/' || c == '=' || c == ';' || c == '{') {
      stop = c;
      break;
    }
    if (c == ':' && s.Peek(1) == ':') {
      s.set_pos(s.pos() + 2);
      if (!is_operator) name_start = std::string::npos;
      continue;
    }
    if (c == ':') {
      stop = c;
      break;
    }
    if (IsBlank(c)) {
      s.SkipBlanks();
    } else if (c == '(') {
      size_t end = s.MatchGroup(s.pos());
      if (end == std::string::npos) return kDeclContinues;
      arguments = t.substr(s.pos(), end - s.pos());
      s.set_pos(end);
      ReadTrailingSpecifiers(&s, &arguments);
    } else if (c == '<') {
      size_t end = s.MatchGroup(s.pos());
      s.set_pos(end == std::string::npos ? t.size() : end);
    } else if (c == '[') {
      size_t end = s.MatchGroup(s.pos());
      if (end == std::string::npos) return kDeclContinues;
      s.set_pos(end);
    } else if (IsIdentChar(c) || c == '~') {
      size_t start = s.pos();
      if (s.StartsWithWord("operator")) {
        name = s.ReadOperatorName();
        is_operator = true;
      } else {
        s.set_pos(start + 1);
        s.ReadIdent();
        name = t.substr(start, s.pos() - start);
        is_operator = false;
      }
      if (first == std::string::npos) first = start;
      name_start = start;
    } else {
      if (!is_operator) name_start = std::string::npos;
      s.set_pos(s.pos() + 1);
    }
  }
  if (!(stop == ';' || stop == '{' || stop == '=' || stop == ':')) {
    return name_start == std::string::npos && first == std::string::npos && stop != '\0' ? kDeclNotThisKind
                                                                                       : kDeclContinues;
  }
  if (name_start == std::string::npos) return kDeclNotThisKind;
  std::string type = t.substr(first, name_start - first);
  if (!head.empty()) type = head + " " + type;
  fields->push_back(FieldText(type));
  fields->push_back(FieldText(name));
  if (kind == kDeclClassMember) fields->push_back(FieldText(CollapseBlanks(arguments)));
  cursor->pos = s.pos() + 1;
  return 0;
}

// qualified head: memberfunction
int ScanQualifiedHead(ScanCursor* cursor, bool needs_terminator, std::vector<std::string>* fields,
                      DeclarationText* text) {
  Scanner s(cursor);
  std::string head;
  if (!s.SkipTemplatePrefix(&head)) return kDeclNotThisKind;
  const std::string& t = s.text();
  size_t begin = s.pos();
  // The "::" that qualifies the member is the last one before the
  // parameter list; later ones belong to parameter types.
  size_t paren = t.find('(', begin);
  size_t limit = paren == std::string::npos ? t.size() : paren;
  size_t colons = std::string::npos;
  for (size_t i = begin; i + 1 < limit; ++i) {
    if (t[i] == ':' && t[i + 1] == ':') {
      colons = i;
      ++i;
    }
  }
  if (colons == std::string::npos) return kDeclContinues;
  size_t class_end = colons;
  while (class_end > begin && IsBlank(t[class_end - 1])) --class_end;
  if (class_end > begin && t[class_end - 1] == '>') {
    int depth = 0;
    size_t i = class_end;
    bool matched = false;
    while (i > begin) {
      --i;
      if (t[i] == '>') ++depth;
      else if (t[i] == '<' && --depth == 0) {
        matched = true;
        break;
      }
    }
    if (!matched) return kDeclContinues;
    class_end = i;
  }
  size_t class_start = class_end;
  while (class_start > begin && IsIdentChar(t[class_start - 1])) --class_start;
  if (class_start == class_end) return kDeclNotThisKind;
  s.set_pos(colons + 2);
  s.SkipBlanks();
  std::string member;
  if (s.StartsWithWord("operator")) {
    member = s.ReadOperatorName();
  } else {
    size_t start = s.pos();
    while (!s.AtEnd() && s.Peek() != '<' && s.Peek() != '(' && !IsBlank(s.Peek()) && s.Peek() != '\r' &&
           s.Peek() != '\n') {
      s.set_pos(s.pos() + 1);
    }
    member = t.substr(start, s.pos() - start);
  }
  if (member.empty()) return kDeclNotThisKind;
  std::string parameters;
  size_t list = s.pos();
  while (list < t.size() && IsBlank(t[list])) ++list;
  const bool open_list = list < t.size() && t[list] == '(' && !ReadParameterList(t, list, &parameters);
  fields->push_back(FieldText(t.substr(begin, class_start - begin)));
  fields->push_back(FieldText(t.substr(class_start, class_end - class_start)));
  fields->push_back(FieldText(member));
  if (open_list && needs_terminator) return kDeclContinues;  // as in ScanNameList
  if (text) *text = DeclarationText{head, parameters};
  cursor->pos = s.pos();
  return 0;
}

int ScanClassHead(ScanCursor* cursor, std::vector<std::string>* fields, DeclarationText* text) {
  Scanner s(cursor);
  std::string head;
  if (!s.SkipTemplatePrefix(&head)) return kDeclNotThisKind;
  if (!s.StartsWithWord("class") || !IsBlank(s.Peek(5))) return kDeclNoKeyword;
  s.set_pos(s.pos() + 5);
  const std::string& t = s.text();
  std::string name;
  while (!s.AtEnd()) {
    char c = s.Peek();
    if (c == ',' || c == '{' || c == '/' || c == ':' || c == '\r' || c == '\n') break;
    if (IsBlank(c)) {
      s.SkipBlanks();
    } else if (IsIdentChar(c)) {
      size_t start = s.ReadIdent();
      name = t.substr(start, s.pos() - start);
    } else {
      return kDeclNotThisKind;
    }
  }
  if (name.empty()) return kDeclNotThisKind;
  if (text) *text = DeclarationText{head, std::string()};
  fields->push_back(FieldText(name));
  cursor->pos = s.pos();
  return 0;
}

int ScanConstant(ScanCursor* cursor, std::vector<std::string>* fields) {
  Scanner s(cursor);
  s.SkipBlanks();
  const std::string& t = s.text();
  if (t.compare(s.pos(), 7, "#define") == 0) {
    size_t define_start = s.pos();
    s.set_pos(s.pos() + 7);
    s.SkipBlanks();
    if (!IsIdentStart(s.Peek())) return kDeclNotThisKind;
    size_t start = s.ReadIdent();
    fields->push_back(FieldText(t.substr(define_start, 7)));
    fields->push_back(FieldText(t.substr(start, s.pos() - start)));
    cursor->pos = s.pos();
    return 0;
  }
  if (!s.StartsWithWord("const") && !s.StartsWithWord("constexpr")) return kDeclNoKeyword;
  size_t first = s.pos();
  size_t name_start = std::string::npos, name_end = 0;
  while (!s.AtEnd()) {
    char c = s.Peek();
    if (c == '=' || c == ';' || c == '\r' || c == '\n' || c == '/') break;
    if (IsBlank(c)) {
      s.SkipBlanks();
    } else if (IsIdentChar(c)) {
      size_t start = s.ReadIdent();
      if (start == first) continue;  // the keyword itself is never the name
      name_start = start;
      name_end = s.pos();
    } else if (c == '[') {
      size_t end = s.MatchGroup(s.pos());
      s.set_pos(end == std::string::npos ? t.size() : end);
    } else if (c == '<' && name_start == std::string::npos) {
      size_t end = s.MatchGroup(s.pos());
      s.set_pos(end == std::string::npos ? t.size() : end);
    } else {
      name_start = std::string::npos;
      s.set_pos(s.pos() + 1);
    }
  }
  if (name_start == std::string::npos) return kDeclNotThisKind;
  fields->push_back(FieldText(t.substr(first, name_start - first)));
  fields->push_back(FieldText(t.substr(name_start, name_end - name_start)));
  cursor->pos = s.pos();
  return 0;
}

bool StartsWithWordNoCase(const Scanner& s, std::string_view word) {
  const std::string& t = s.text();
  if (s.pos() + word.size() > t.size()) return false;
  for (size_t i = 0; i < word.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(t[s.pos() + i])) != word[i]) return false;
  }
  return s.pos() + word.size() == t.size() || !IsIdentChar(t[s.pos() + word.size()]);
}

int ScanKeywordName(int kind, ScanCursor* cursor, std::vector<std::string>* fields) {
  Scanner s(cursor);
  s.SkipBlanks();
  // C writes its structures as "typedef struct tag ..." as often as not.
  if (kind != kDeclFriend && StartsWithWordNoCase(s, "typedef")) {
    s.set_pos(s.pos() + 7);
    s.SkipBlanks();
  }
  const char* words[] = {"struct", "union", "enum", "friend"};
  size_t length = 0;
  for (const char* word : words) {
    if (StartsWithWordNoCase(s, word)) length = std::string_view(word).size();
  }
  if (length == 0) return kDeclNoKeyword;
  s.set_pos(s.pos() + length);
  s.SkipBlanks();
  if (kind == kDeclEnum && (s.StartsWithWord("class") || s.StartsWithWord("struct"))) {
    s.ReadIdent();
    s.SkipBlanks();
  }
  if (kind == kDeclFriend && (s.StartsWithWord("class") || s.StartsWithWord("struct"))) {
    s.ReadIdent();
    s.SkipBlanks();
  }
  if (!IsIdentStart(s.Peek())) return kDeclNotThisKind;
  size_t start = s.ReadIdent();
  fields->push_back(FieldText(s.text().substr(start, s.pos() - start)));
  cursor->pos = s.pos();
  return 0;
}

int ScanEnumerator(ScanCursor* cursor, std::vector<std::string>* fields) {
  Scanner s(cursor);
  const std::string& t = s.text();
  s.SkipBlanks();
  if (s.Peek() == '{' || s.Peek() == ',') s.set_pos(s.pos() + 1);
  s.SkipBlanks();
  if (!IsIdentStart(s.Peek())) return kDeclNotThisKind;
  size_t start = s.ReadIdent();
  fields->push_back(FieldText(t.substr(start, s.pos() - start)));
  // Pass an initialiser so that the next enumerator on the line follows.
  s.SkipBlanks();
  if (s.Peek() == '=') {
    int depth = 0;
    while (!s.AtEnd()) {
      char c = s.Peek();
      if (c == '(') ++depth;
      else if (c == ')') --depth;
      else if ((c == ',' || c == '}') && depth <= 0) break;
      s.set_pos(s.pos() + 1);
    }
  }
  cursor->pos = s.pos();
  return 0;
}

// ---------------------------------------------------------------------------
// Visual Basic pieces

bool IsVbNameChar(char c) { return IsIdentChar(c) || c == '%' || c == '$'; }

enum VbPiece { kVbAccess, kVbModifiers, kVbProcedure, kVbProperty, kVbPropertyKind, kVbName, kVbBracket, kVbType };

struct VbResult {
  std::string access;
  std::string modifiers;
  std::string name;
  std::string property_kind;
  std::string bracket;
  std::string type;
  bool has_name = false;
  size_t bracket_at = std::string::npos;
};

bool MatchWordWithBlank(const std::string& t, size_t pos, std::string_view word) {
  return t.compare(pos, word.size(), word) == 0;
}

// Reads the pieces in `order`; a piece met after a later one is out of order.
int ScanVbPieces(Scanner* s, const std::vector<VbPiece>& order, bool stop_at_comma, VbResult* result) {
  const std::string& t = s->text();
  size_t next = 0;  // index in `order` of the first piece still allowed
  auto read_name = [&](std::string* out) {
    s->SkipBlanks();
    size_t start = s->pos();
    while (!s->AtEnd() && IsVbNameChar(s->Peek())) s->set_pos(s->pos() + 1);
    *out = t.substr(start, s->pos() - start);
    return !out->empty();
  };
  while (true) {
    s->SkipBlanks();
    if (s->AtEnd()) break;
    char c = s->Peek();
    if (c == '\'' || c == '\r' || c == '\n') break;
    if (stop_at_comma && (c == ',' || c == ')')) break;
    int matched = -1;
    for (size_t k = 0; k < order.size() && matched < 0; ++k) {
      VbPiece piece = order[k];
      size_t at = s->pos();
      switch (piece) {
        case kVbAccess:
        case kVbModifiers: {
          static const char* access[] = {"Private ", "Public ", "Static ", "Friend "};
          static const char* modifiers[] = {"Optional ", "ByVal ", "ByRef ", "ParamArray "};
          const char* const* words = piece == kVbAccess ? access : modifiers;
          for (int w = 0; w < 4; ++w) {
            if (MatchWordWithBlank(t, at, words[w])) {
              matched = static_cast<int>(k);
              break;
            }
          }
          break;
        }
        case kVbProcedure:
          if (MatchWordWithBlank(t, at, "Function ") || MatchWordWithBlank(t, at, "Sub ") ||
              MatchWordWithBlank(t, at, "Type ")) {
            matched = static_cast<int>(k);
          }
          break;
        case kVbProperty:
          if (MatchWordWithBlank(t, at, "Property ")) matched = static_cast<int>(k);
          break;
        case kVbPropertyKind:
          if (MatchWordWithBlank(t, at, "Get ") || MatchWordWithBlank(t, at, "Let ") ||
              MatchWordWithBlank(t, at, "Set ")) {
            matched = static_cast<int>(k);
          }
          break;
        case kVbBracket:
          if (c == '(') matched = static_cast<int>(k);
          break;
        case kVbType:
          if (MatchWordWithBlank(t, at, "As ")) matched = static_cast<int>(k);
          break;
        case kVbName:
          if (IsVbNameChar(c) && !result->has_name) matched = static_cast<int>(k);
          break;
      }
    }
    if (matched < 0) {
      // Text no matcher takes is passed over word by word.
      if (c == '(') {
        size_t end = s->MatchGroup(s->pos());
        s->set_pos(end == std::string::npos ? t.size() : end);
        continue;
      }
      while (!s->AtEnd() && !IsBlank(s->Peek()) && s->Peek() != '(' && s->Peek() != ',' && s->Peek() != ')') {
        s->set_pos(s->pos() + 1);
      }
      if (!s->AtEnd() && !IsBlank(s->Peek()) && s->Peek() != '(') {
        if (stop_at_comma) break;
        s->set_pos(s->pos() + 1);
      }
      continue;
    }
    if (static_cast<size_t>(matched) < next) return kDeclOutOfOrder;
    next = static_cast<size_t>(matched);
    VbPiece piece = order[static_cast<size_t>(matched)];
    switch (piece) {
      case kVbAccess:
      case kVbModifiers: {
        size_t start = s->pos();
        while (!s->AtEnd() && s->Peek() != ' ') s->set_pos(s->pos() + 1);
        std::string& out = piece == kVbAccess ? result->access : result->modifiers;
        if (!out.empty()) out += ' ';
        out += t.substr(start, s->pos() - start);
        break;
      }
      case kVbProcedure:
      case kVbPropertyKind: {
        size_t start = s->pos();
        while (!s->AtEnd() && s->Peek() != ' ') s->set_pos(s->pos() + 1);
        if (piece == kVbPropertyKind) result->property_kind = t.substr(start, s->pos() - start);
        if (!read_name(&result->name)) return kDeclNotThisKind;
        result->has_name = true;
        next = static_cast<size_t>(matched) + 1;
        break;
      }
      case kVbProperty:
        s->set_pos(s->pos() + 9);
        next = static_cast<size_t>(matched) + 1;
        break;
      case kVbName:
        read_name(&result->name);
        result->has_name = true;
        next = static_cast<size_t>(matched) + 1;
        break;
      case kVbBracket: {
        size_t end = s->MatchGroup(s->pos());
        if (end == std::string::npos) return kDeclContinues;
        result->bracket_at = s->pos();
        std::string inner = t.substr(s->pos() + 1, end - s->pos() - 2);
        while (!inner.empty() && IsBlank(inner.back())) inner.pop_back();
        while (!inner.empty() && IsBlank(inner.front())) inner.erase(inner.begin());
        // Written as a Visual Basic programmer writes it: "()" and "(1 To 10)".
        result->bracket = "(" + inner + ")";
        s->set_pos(end);
        next = static_cast<size_t>(matched) + 1;
        break;
      }
      case kVbType: {
        s->set_pos(s->pos() + 3);
        s->SkipBlanks();
        if (MatchWordWithBlank(t, s->pos(), "New ")) s->set_pos(s->pos() + 4);
        read_name(&result->type);
        next = static_cast<size_t>(matched) + 1;
        break;
      }
    }
  }
  return 0;
}

int ScanVisualBasic(int kind, ScanCursor* cursor, std::vector<std::string>* fields) {
  Scanner s(cursor);
  VbResult r;
  int rc = 0;
  switch (kind) {
    case kDeclBParameter:
      s.SkipBlanks();
      if (s.Peek() == ',' || s.Peek() == '(') s.set_pos(s.pos() + 1);
      rc = ScanVbPieces(&s, {kVbModifiers, kVbName, kVbBracket, kVbType}, true, &r);
      if (rc) return rc;
      if (!r.has_name || r.name.empty()) return kDeclNotThisKind;
      fields->push_back(FieldText(r.modifiers));
      fields->push_back(FieldText(r.name + r.bracket));
      fields->push_back(FieldText(r.type));
      cursor->pos = s.pos();
      return 0;
    case kDeclBField:
      rc = ScanVbPieces(&s, {kVbName, kVbBracket, kVbType}, true, &r);
      if (rc) return rc;
      if (!r.has_name || r.name.empty()) return kDeclNotThisKind;
      fields->push_back(FieldText(r.name + r.bracket));
      fields->push_back(FieldText(r.type));
      cursor->pos = s.pos();
      return 0;
    case kDeclBSub:
    case kDeclBType:
    case kDeclBFunc:
      rc = ScanVbPieces(&s, {kVbAccess, kVbProcedure, kVbBracket, kVbType}, false, &r);
      if (rc) return rc;
      if (!r.has_name) return kDeclNotThisKind;
      fields->push_back(FieldText(r.access));
      fields->push_back(FieldText(r.name));
      if (kind == kDeclBFunc) fields->push_back(FieldText(r.type));
      // The parameters are read by the requests that follow.
      cursor->pos = r.bracket_at != std::string::npos ? r.bracket_at : s.pos();
      return 0;
    case kDeclBProperty:
      rc = ScanVbPieces(&s, {kVbAccess, kVbProperty, kVbPropertyKind, kVbBracket, kVbType}, false, &r);
      if (rc) return rc;
      if (!r.has_name) return kDeclNotThisKind;
      fields->push_back(FieldText(r.access));
      fields->push_back(FieldText(r.property_kind));
      fields->push_back(FieldText(r.name));
      fields->push_back(FieldText(r.bracket));
      fields->push_back(FieldText(r.type));
      cursor->pos = s.pos();
      return 0;
    default:
      return kErrUnknownParse;
  }
}

}  // namespace

int InsertedFieldCount(int kind) {
  switch (kind) {
    case kDeclFunction:
    case kDeclField:
    case kDeclParameter:
    case kDeclMethod:
    case kDeclConstant:
    case kDeclBField:
    case kDeclBSub:
    case kDeclBType: return 2;
    case kDeclParameterOpt:
    case kDeclClassMember:
    case kDeclMemberFunction:
    case kDeclBParameter:
    case kDeclBFunc: return 3;
    case kDeclClass:
    case kDeclStruct:
    case kDeclUnion:
    case kDeclEnum:
    case kDeclFriend:
    case kDeclEnumMember: return 1;
    case kDeclBProperty: return 5;
    default: return 0;
  }
}

bool IsTemplateHeaderLine(const std::string& line) {
  ScanCursor cursor{line, 0};
  Scanner s(&cursor);
  s.SkipBlanks();
  if (!s.StartsWithWord("template")) return false;
  if (!s.SkipTemplatePrefix()) return false;
  return s.AtEnd() || s.Peek() == '\r' || s.Peek() == '\n';
}

int ParseDeclaration(int kind, ScanCursor* cursor, bool needs_terminator, std::vector<std::string>* fields,
                     DeclarationText* text) {
  fields->clear();
  if (cursor->pos > cursor->text.size()) cursor->pos = cursor->text.size();
  switch (kind) {
    case kDeclFunction:
    case kDeclField:
    case kDeclParameter:
    case kDeclParameterOpt: return ScanNameList(kind, cursor, needs_terminator, fields, text);
    case kDeclClassMember:
    case kDeclMethod: return ScanMemberHead(kind, cursor, fields);
    case kDeclMemberFunction: return ScanQualifiedHead(cursor, needs_terminator, fields, text);
    case kDeclClass: return ScanClassHead(cursor, fields, text);
    case kDeclConstant: return ScanConstant(cursor, fields);
    case kDeclStruct:
    case kDeclUnion:
    case kDeclEnum:
    case kDeclFriend: return ScanKeywordName(kind, cursor, fields);
    case kDeclEnumMember: return ScanEnumerator(cursor, fields);
    case kDeclBParameter:
    case kDeclBField:
    case kDeclBSub:
    case kDeclBType:
    case kDeclBFunc:
    case kDeclBProperty: return ScanVisualBasic(kind, cursor, fields);
    default: return kErrUnknownParse;
  }
}

}  // namespace folios::docgen
