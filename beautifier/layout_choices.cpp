// Layout choices beyond the classic layout.
#include "layout_choices.h"

#include <algorithm>

#include "output_stage.h"

namespace folios {

namespace {

bool IsWordChar(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
         c == '$';
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view SkipBlanks(std::string_view s) {
  size_t i = 0;
  while (i < s.size() && IsBlank(s[i])) ++i;
  return s.substr(i);
}

}  // namespace

BraceBody BodyOpenedBy(std::string_view code) {
  if (StartsWithKeyword(code, "namespace")) return BraceBody::kNamespace;
  if (StartsWithKeyword(code, "inline") && StartsWithKeyword(SkipBlanks(code.substr(6)), "namespace")) {
    return BraceBody::kNamespace;
  }
  if (StartsWithKeyword(code, "switch")) return BraceBody::kSwitch;
  if (StartsWithKeyword(code, "do") && SkipBlanks(code.substr(2)).empty()) return BraceBody::kDo;
  return BraceBody::kPlain;
}

void BraceBodies::Open(BraceBody body) {
  if (bodies_.size() >= kMaxBodies) {
    ++overflow_;
    return;
  }
  bodies_.push_back(body);
}

BraceBody BraceBodies::Close() {
  if (overflow_ > 0) {
    --overflow_;
    return BraceBody::kPlain;
  }
  if (bodies_.empty()) return BraceBody::kPlain;
  BraceBody body = bodies_.back();
  bodies_.pop_back();
  return body;
}

bool BraceBodies::OnlyNamespaces() const {
  if (overflow_ > 0) return false;
  for (BraceBody body : bodies_) {
    if (body != BraceBody::kNamespace) return false;
  }
  return true;
}

bool EndsLikeFunctionHead(std::string_view code, const CharStateMap& map) {
  size_t n = std::min(code.size(), map.size());
  while (n > 0 && (map[n - 1] != mark::kCode || IsBlank(code[n - 1]))) {
    if (map[n - 1] != mark::kBlank && map[n - 1] != mark::kBlockComment && map[n - 1] != mark::kLineComment &&
        map[n - 1] != mark::kCode) {
      return false;
    }
    --n;
  }
  if (n == 0) return false;
  if (code[n - 1] == ')') return true;
  size_t start = n;
  while (start > 0 && map[start - 1] == mark::kCode && IsWordChar(code[start - 1])) --start;
  std::string_view word = code.substr(start, n - start);
  if (word != "const" && word != "noexcept" && word != "override" && word != "final") return false;
  return EndsLikeFunctionHead(code.substr(0, start), map.substr(0, start));
}

bool StartsWithStatementLabel(std::string_view code, const CharStateMap& map) {
  size_t n = 0;
  while (n < code.size() && n < map.size() && map[n] == mark::kCode && IsWordChar(code[n])) ++n;
  if (n == 0 || (code[0] >= '0' && code[0] <= '9')) return false;
  std::string_view name = code.substr(0, n);
  if (HangKeywordKind(name) != 0 || name == "signals" || name == "slots" || name == "Q_SIGNALS" ||
      name == "Q_SLOTS") {
    return false;
  }
  size_t i = n;
  while (i < code.size() && IsBlank(code[i])) ++i;
  return i < code.size() && i < map.size() && map[i] == mark::kCode && code[i] == ':' &&
         (i + 1 >= code.size() || code[i + 1] != ':');
}

bool CuddlesAfterBrace(std::string_view code, bool closes_do) {
  return StartsWithKeyword(code, "else") || StartsWithKeyword(code, "catch") ||
         StartsWithKeyword(code, "finally") || (closes_do && StartsWithKeyword(code, "while"));
}

void ParenColumns::Note(std::string_view code, const CharStateMap& map, int column, bool in_paren) {
  if (!in_paren) {
    columns_.clear();
    overflow_ = 0;
  }
  const size_t n = std::min(code.size(), map.size());
  for (size_t i = 0; i < n; ++i) {
    if (map[i] != mark::kCode) continue;
    if (code[i] == '(') {
      if (columns_.size() >= kMaxOpen) {
        ++overflow_;
        continue;
      }
      size_t next = i + 1;
      while (next < n && IsBlank(code[next])) ++next;
      // A comment after the parenthesis is no place to align code under.
      bool ends = next >= n || map[next] == mark::kLineComment || map[next] == mark::kBlockComment;
      columns_.push_back(ends ? kAtLineEnd : column + static_cast<int>(next));
    } else if (code[i] == ')') {
      if (overflow_ > 0) {
        --overflow_;
      } else if (!columns_.empty()) {
        columns_.pop_back();
      }
    }
  }
}

int KeptCommentGap(int column, int code_end, int read) {
  return std::max({column - code_end, read, 1});
}

int BlanksBefore(std::string_view text, size_t offset) {
  size_t i = std::min(offset, text.size());
  size_t j = i;
  while (j > 0 && (text[j - 1] == ' ' || text[j - 1] == '\t')) --j;
  return static_cast<int>(i - j);
}

bool StarLineKeepsColumn(std::string_view text, int blanks, int opener_column, bool after_double) {
  if (text.empty() || text[0] != '*' || blanks > opener_column) return false;
  return after_double || (text.size() >= 2 && text[1] == '*');
}

}  // namespace folios
