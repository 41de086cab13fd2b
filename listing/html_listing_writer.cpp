#include "html_listing_writer.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>
#include <tuple>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include "paths.h"
#include "rtf_colors.h"
#include "rtf_text.h"
#include "setting_names.h"
#include "settings_table.h"

namespace folios {

namespace {

// The run markup of the page: bytes that no line's text holds (control
// characters stand in it as placeholders), read back by AppendLineText.
constexpr char kKeywordOpen = '\x02';  // then the class number and kKeywordOpenEnd
constexpr char kKeywordOpenEnd = '\x03';
constexpr char kRunClose = '\x04';     // then "{", as RunMarkup asks
constexpr char kCommentOpen = '\x05';
constexpr char kContinuation = '\x06';

// A character style: bold, italic, underline and the two colour indexes
// (0 for the automatic colour).
struct TextStyle {
  bool bold = false;
  bool italic = false;
  bool underline = false;
  int fore = 0;
  int back = 0;
  bool operator<(const TextStyle& o) const {
    return std::tie(bold, italic, underline, fore, back) <
           std::tie(o.bold, o.italic, o.underline, o.fore, o.back);
  }
};

// A colour index as an RTF reader takes it: one of the table, or the
// automatic colour for 0 and anything the table does not hold.
int TableColor(long long index) {
  return index >= 1 && index <= kColorTableSize ? static_cast<int>(index) : 0;
}

// A keyword file's colour field: a number (an optional minus and at most
// ten digits, as the RTF document writes it), else the automatic colour.
int FieldColor(const std::string& field) {
  size_t digits = !field.empty() && field[0] == '-' ? 1 : 0;
  if (field.size() <= digits || field.size() - digits > 10) return 0;
  long long value = 0;
  for (size_t i = digits; i < field.size(); ++i) {
    if (field[i] < '0' || field[i] > '9') return 0;
    value = value * 10 + (field[i] - '0');
  }
  return digits ? 0 : TableColor(value);
}

// "#rrggbb"; `automatic` for colour 0.
std::string CssColor(int index, const char* automatic) {
  if (index == 0) return automatic;
  RtfColor c = ColorOfIndex(index);
  char text[8];
  std::snprintf(text, sizeof text, "#%02x%02x%02x", c.red, c.green, c.blue);
  return text;
}

// The font styles of a style; with `all`, the styles it does not have are
// said too (a run that starts afresh rather than adding to the code's).
std::string CssFontStyle(const TextStyle& style, bool all) {
  std::string css;
  if (style.bold || all) css += style.bold ? "font-weight:bold;" : "font-weight:normal;";
  if (style.italic || all) css += style.italic ? "font-style:italic;" : "font-style:normal;";
  if (style.underline || all) {
    css += style.underline ? "text-decoration:underline;" : "text-decoration:none;";
  }
  return css;
}

std::string CssColors(const TextStyle& style) {
  return "color:" + CssColor(style.fore, "#000") + ";background-color:" +
         CssColor(style.back, "transparent") + ";";
}

// A style of the Fonts page.
TextStyle SectionStyle(const setting_name::StyleSettingNames& section) {
  Settings doc(SettingKey::kDoc);
  TextStyle style;
  style.bold = doc.Int(section.bold) != 0;
  style.italic = doc.Int(section.italic) != 0;
  style.underline = doc.Int(section.underline) != 0;
  style.fore = TableColor(doc.Int(section.forecolor));
  style.back = TableColor(doc.Int(section.back_color));
  return style;
}

// Font sizes as the RTF reader would meet them, kept printable.
std::string Points(int points) { return std::to_string(std::clamp(points, 1, 1638)) + "pt"; }

// Characters that need more than copying, in line text, in the page's own
// text and in attribute values.
struct HtmlSpecials {
  bool table[256] = {};
  constexpr HtmlSpecials() {
    for (int c = 0; c < 0x20; ++c) table[c] = true;
    for (int c = 0x7f; c < 256; ++c) table[c] = true;
    for (char c : {'<', '>', '&', '"', '\'', '\\'}) table[static_cast<unsigned char>(c)] = true;
  }
};
constexpr HtmlSpecials kSpecials;

// The first byte at or after `i` that needs more than copying. Lines are
// mostly plain text: sixteen bytes are tested at once where the processor
// allows.
size_t SkipPlain(std::string_view text, size_t i) {
  const size_t n = text.size();
#ifdef __SSE2__
  const __m128i space = _mm_set1_epi8(0x20);
  const __m128i del = _mm_set1_epi8(0x7f);
  const __m128i specials[] = {_mm_set1_epi8('<'), _mm_set1_epi8('>'), _mm_set1_epi8('&'),
                              _mm_set1_epi8('"'), _mm_set1_epi8('\''), _mm_set1_epi8('\\')};
  while (i + 16 <= n) {
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text.data() + i));
    // As signed bytes, those above 127 are below 0x20 too.
    __m128i hit = _mm_or_si128(_mm_cmplt_epi8(bytes, space), _mm_cmpeq_epi8(bytes, del));
    for (const __m128i& special : specials) hit = _mm_or_si128(hit, _mm_cmpeq_epi8(bytes, special));
    const int mask = _mm_movemask_epi8(hit);
    if (mask != 0) return i + static_cast<size_t>(__builtin_ctz(static_cast<unsigned>(mask)));
    i += 16;
  }
#endif
  while (i < n && !kSpecials.table[static_cast<unsigned char>(text[i])]) ++i;
  return i;
}

// Appends the picture of control character `c` (U+2400 and on, U+2421 for
// DEL): shown, never raw.
void AppendControlPicture(std::string* out, unsigned char c) {
  AppendUtf8(out, c == 0x7f ? 0x2421 : 0x2400 + c);
}

bool AppendEscapedAscii(std::string* out, char c) {
  switch (c) {
    case '<': *out += "&lt;"; return true;
    case '>': *out += "&gt;"; return true;
    case '&': *out += "&amp;"; return true;
    case '"': *out += "&quot;"; return true;
    case '\'': *out += "&#39;"; return true;
    default: return false;
  }
}

// Appends one character of the original bytes at text[i] and returns its
// length: valid UTF-8 as it is (C1 controls as U+FFFD), any other byte
// above 127 as code page 1252, control characters as pictures.
size_t AppendCharacter(std::string* out, std::string_view text, size_t i) {
  unsigned char c = static_cast<unsigned char>(text[i]);
  if (c < 0x80) {
    if (!AppendEscapedAscii(out, static_cast<char>(c))) {
      if (c < 0x20 || c == 0x7f) {
        AppendControlPicture(out, c);
      } else {
        *out += static_cast<char>(c);
      }
    }
    return 1;
  }
  Utf8Char decoded = DecodeUtf8(text, i);
  if (!decoded.valid) {
    AppendUtf8(out, Cp1252CodePoint(c));
    return 1;
  }
  if (decoded.code_point < 0xA0) {
    AppendUtf8(out, 0xFFFD);
  } else {
    out->append(text.substr(i, decoded.length));
  }
  return decoded.length;
}

// Plain text (a path, a note) as HTML text or attribute value.
void AppendPlainText(std::string* out, std::string_view text) {
  for (size_t i = 0; i < text.size();) {
    const size_t j = SkipPlain(text, i);
    out->append(text, i, j - i);
    if (j == text.size()) break;
    i = j + AppendCharacter(out, text, j);
  }
}

}  // namespace

// Gathers the many short pieces of a line in a small buffer and hands them
// to the output string in one piece now and then: cheaper than appending
// each to the string.
class CHtmlListingWriter::Staged {
 public:
  explicit Staged(std::string* out) : out_(out) {}
  ~Staged() { Flush(); }
  Staged(const Staged&) = delete;
  Staged& operator=(const Staged&) = delete;

  void Put(char c) {
    if (used_ == sizeof(room_)) Flush();
    room_[used_++] = c;
  }
  void Put(std::string_view text) {
    if (text.size() > sizeof(room_) - used_) {
      Flush();
      if (text.size() > sizeof(room_)) {
        out_->append(text);
        return;
      }
    }
    std::memcpy(room_ + used_, text.data(), text.size());
    used_ += text.size();
  }
  // The string itself, for the rare piece written by a function of its own.
  std::string* Direct() {
    Flush();
    return out_;
  }
  void Flush() {
    out_->append(room_, used_);
    used_ = 0;
  }

 private:
  std::string* out_;
  char room_[2048];
  size_t used_ = 0;
};

namespace {

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// The number of a line as shown, when it is one.
bool ParseNumber(std::string_view text, long long* value) {
  size_t i = !text.empty() && text[0] == '-' ? 1 : 0;
  if (text.size() <= i || text.size() - i > 18) return false;
  long long v = 0;
  for (size_t k = i; k < text.size(); ++k) {
    if (text[k] < '0' || text[k] > '9') return false;
    v = v * 10 + (text[k] - '0');
  }
  *value = i ? -v : v;
  return true;
}

}  // namespace

// The CSS classes of the keyword styles, one per distinct style of the
// three keyword tables, numbered in the order they are met.
class CHtmlListingWriter::StyleClasses {
 public:
  RunMarkup Markup(const KeywordTable& table) {
    RunMarkup markup;
    for (size_t k = 0; k < table.entries.size(); ++k) {
      if (k == 0) {
        markup.openers.push_back(std::string(1, kCommentOpen));
        continue;
      }
      const KeywordRecord& r = table.entries[k];
      TextStyle style;
      style.bold = r.bold == "True";
      style.italic = r.italic == "True";
      style.underline = r.underline == "True";
      style.fore = FieldColor(r.fore);
      style.back = FieldColor(r.back);
      auto found = ids_.try_emplace(style, static_cast<int>(styles_.size()) + 1);
      if (found.second) styles_.push_back(style);
      markup.openers.push_back(kKeywordOpen + std::to_string(found.first->second) +
                               kKeywordOpenEnd);
    }
    markup.block_openers[0] = markup.block_openers[1] = std::string(1, kCommentOpen);
    markup.closer = std::string(1, kRunClose) + "{";
    return markup;
  }
  // Class "k" + n has style n - 1.
  const std::vector<TextStyle>& styles() const { return styles_; }

 private:
  std::map<TextStyle, int> ids_;
  std::vector<TextStyle> styles_;
};

CHtmlListingWriter::CHtmlListingWriter(std::FILE* out, const std::vector<std::string>& index_paths,
                                       Progress* progress, KeywordWarningSink* warnings)
    : CHtmlListingWriter(out, index_paths, progress, warnings, std::make_shared<StyleClasses>()) {}

CHtmlListingWriter::CHtmlListingWriter(std::FILE* out, const std::vector<std::string>& index_paths,
                                       Progress* progress, KeywordWarningSink* warnings,
                                       std::shared_ptr<StyleClasses> classes)
    : CListingWriter(out, progress, warnings,
                     [classes](const KeywordTable& table) { return classes->Markup(table); }),
      classes_(std::move(classes)),
      index_paths_(index_paths) {
  Settings main;
  numbers_ = main.Int(setting_name::kUselinenumbers) == 0;
  page_break_ = main.Int(setting_name::kPagebreak) != 0;
  caption_ = "Create HTML document ";
  continuation_mark_ = std::string(" ") + kContinuation;
  WriteHead();
}

CHtmlListingWriter::~CHtmlListingWriter() = default;

void CHtmlListingWriter::WriteHead() {
  std::string& out = buffer();
  std::string title = "Source code listing";
  if (!index_paths_.empty()) {
    const std::string& first = index_paths_[0];
    title = "Listing of " + (first.find('/') == std::string::npos ? first : FileName(first));
    if (index_paths_.size() > 1) {
      title += " and " + std::to_string(index_paths_.size() - 1) + " more";
    }
  }
  out +=
      "<!DOCTYPE html>\n"
      "<html lang=\"en\">\n"
      "<head>\n"
      "<meta charset=\"utf-8\">\n"
      "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n"
      "<meta name=\"generator\" content=\"Lumentra Folios\">\n"
      "<title>";
  AppendPlainText(&out, title);
  out += "</title>\n<style>\n";

  // Every section is set in the listing's one font, as in the RTF document.
  const TextStyle header = SectionStyle(setting_name::kHeaderStyle);
  const TextStyle code = SectionStyle(setting_name::kCodeStyle);
  const TextStyle comment = SectionStyle(setting_name::kCommentStyle);
  const KeywordRecord& marker = keyword_table(Language::kCpp).entries[0];
  TextStyle comment_run = comment;
  // The comment colours are the keyword tables' entry 0, which an RTF
  // reader applies after the comment format's own.
  comment_run.fore = FieldColor(marker.fore);
  comment_run.back = FieldColor(marker.back);
  const std::string font = "font-family:\"Courier New\",\"Liberation Mono\",Courier,monospace;";
  out += ":root{color-scheme:light}\n";
  out += "body{margin:1em 1.5em;background:#fff;color:#000;" + font + "}\n";
  out += "nav.index h1{font:bold 1.3em system-ui,sans-serif;margin:0 0 .4em}\n";
  out += "nav.index ol{margin:0 0 1.5em;padding-left:3em}\n";
  out += ".f{margin-top:1.5em}\n";
  out += ".h{font-size:" + Points(Settings(SettingKey::kDoc).Int(setting_name::kHeaderFontsize)) + ";" +
         CssFontStyle(header, true) + CssColors(header) +
         "width:fit-content;max-width:100%;margin:0 0 .6em;overflow-wrap:anywhere}\n";
  out += ".src{" + CssColors(code) + "}\n";
  out += ".l{font-size:" + Points(code_font_size() / 2) + ";" + CssFontStyle(code, false) +
         "white-space:pre-wrap;overflow-wrap:anywhere;line-height:1.25}\n";
  // The number column: a link to the line itself, drawn by CSS so that
  // copied code comes without it.
  out += ".n{display:inline-block;min-width:5ch;padding-right:1ch;text-align:right;"
         "color:#808080;text-decoration:none;font-style:normal;user-select:none}\n";
  out += "a.n::before{content:attr(data-n)}\n";
  out += ".l:target{background-color:#fff1a8}\n";
  out += ".c{font-size:" + Points(comment_font_size() / 2) + ";" + CssFontStyle(comment_run, true) +
         CssColors(comment_run) + "}\n";
  // The continuation mark stands in code text, after the run it cuts.
  out += ".cm::after{content:\"\\2193\";font-style:normal;font-weight:normal;color:" +
         CssColor(code.fore, "#000") + ";user-select:none}\n";
  const std::vector<TextStyle>& keywords = classes_->styles();
  for (size_t i = 0; i < keywords.size(); ++i) {
    out += ".k" + std::to_string(i + 1) + "{" + CssFontStyle(keywords[i], false) +
           CssColors(keywords[i]) + "}\n";
  }
  out += "hr.sep{border:0;border-top:1px solid currentColor;margin:.6em 0 .15em}\n";
  out += ".note{font-style:italic}\n";
  out += ".ff,.pb{break-before:page}\n";
  out += ".unlisted{margin-top:1.5em;font-style:italic}\n";
  out += "@media screen{.src.ff{border-top:1px dashed #999}}\n";
  // The paper and margins of the RTF document (25 mm; 20 mm at the bottom
  // with one column, at the right with two).
  const bool landscape = orientation() != 0;
  const bool two_columns = column_count() != 1;
  out += std::string("@page{size:A4 ") + (landscape ? "landscape" : "portrait") + ";margin:" +
         (two_columns ? "25mm 20.8mm 25mm 25mm" : "25mm 25mm 20mm") + "}\n";
  // On paper a number takes its own width and a blank, as in the RTF
  // document, whose cuts count it so. Each block of lines is set in the
  // columns, so that a page break (between files, at a form feed) stands
  // outside them, where it takes effect.
  out += "@media print{body{margin:0}nav.index{display:none}.f{margin-top:0}"
         ".f+.f:not(.pb){margin-top:1.25em}.l{line-height:1.15}.l:target{background:none}"
         "h2.h{break-after:avoid}.n{min-width:0}span.n{display:none}";
  if (two_columns) {
    out += ".src{columns:2;column-gap:12.5mm;";
    if (column_separator()) out += "column-rule:1px solid #000;";
    out += "}";
  }
  out += "}\n</style>\n</head>\n<body>\n";

  out += "<nav class=\"index\" aria-label=\"Files\">\n<h1>Source code listing</h1>\n<ol>\n";
  for (size_t i = 0; i < index_paths_.size(); ++i) {
    out += "<li><a href=\"#file-" + std::to_string(i + 1) + "\">";
    AppendPlainText(&out, index_paths_[i]);
    out += "</a></li>\n";
  }
  out += "</ol>\n</nav>\n<main>\n";
  FlushWhenFull();
}

void CHtmlListingWriter::OpenLines(bool page_break) {
  if (lines_open_ && !page_break) return;
  if (lines_open_) buffer() += "</div>\n";
  buffer() += page_break ? "<div class=\"src ff\">\n" : "<div class=\"src\">\n";
  lines_open_ = true;
}

void CHtmlListingWriter::CloseFile() {
  if (lines_open_) buffer() += "</div>\n";
  if (file_open_) buffer() += "</section>\n";
  lines_open_ = file_open_ = false;
}

void CHtmlListingWriter::WriteFileHeader(const std::string& path) {
  CloseFile();
  std::string& out = buffer();
  ++files_;
  const std::string id = "file-" + std::to_string(files_);
  // A page break goes between files, not before the first.
  out += page_break_ && files_ > 1 ? "<section class=\"f pb\" id=\"" : "<section class=\"f\" id=\"";
  out += id + "\">\n<h2 class=\"h\">";
  AppendPlainText(&out, path);
  out += "</h2>\n";
  file_open_ = true;
  id_prefix_ = id + "-line-";
  last_number_ = 0;
  numbered_lines_ = 0;
  numbers_rise_ = true;
  FlushWhenFull();
}

void CHtmlListingWriter::WriteNote(const std::string& text) {
  OpenLines(false);
  std::string& out = buffer();
  out += "<div class=\"l note\">";
  AppendPlainText(&out, text);
  out += "</div>\n";
  FlushWhenFull();
}

void CHtmlListingWriter::WriteLine(const OutputLine& line) {
  using namespace std::string_view_literals;
  OpenLines(line.page_break);
  Staged out(&buffer());
  if (line.separator) out.Put("<hr class=\"sep\">\n"sv);
  out.Put("<div class=\"l\""sv);
  std::string_view number = line.number;
  while (!number.empty() && number.back() == ' ') number.remove_suffix(1);
  if (!number.empty()) {
    // The id cites the line by its number while the numbers rise;
    // otherwise (an increment below 1) by its place among the file's
    // numbered lines as well.
    long long value = 0;
    const bool parsed = ParseNumber(number, &value);
    ++numbered_lines_;
    if (!parsed || (numbered_lines_ > 1 && value <= last_number_)) numbers_rise_ = false;
    last_number_ = value;
    id_.assign(id_prefix_);
    if (parsed) {
      id_.append(number);
    } else {
      AppendPlainText(&id_, number);
    }
    const size_t number_end = id_.size();
    if (!numbers_rise_) {
      id_ += '-';
      id_ += std::to_string(numbered_lines_);
    }
    out.Put(" id=\""sv);
    out.Put(id_);
    out.Put("\"><a class=\"n\" href=\"#"sv);
    out.Put(id_);
    out.Put("\" data-n=\""sv);
    out.Put(std::string_view(id_).substr(id_prefix_.size(), number_end - id_prefix_.size()));
    out.Put("\"></a>"sv);
  } else {
    out.Put(numbers_ ? "><span class=\"n\"></span>"sv : ">"sv);
  }
  bool shown = AppendLineText(out, line.indent);
  shown = AppendLineText(out, line.text) || shown;
  // An empty line keeps its height, and its place in copied text.
  if (!shown) out.Put("<br>"sv);
  out.Put("</div>\n"sv);
  out.Flush();
  FlushWhenFull();
}

bool CHtmlListingWriter::AppendPlaceholder() {
  std::string_view original = TakePlaceholder();
  if (original.empty()) {
    AppendControlPicture(&buffer(), static_cast<unsigned char>(kCharacterPlaceholder));
  } else if (original == "\f") {
    return false;  // the line starts a new page
  } else {
    AppendCharacter(&buffer(), original, 0);
  }
  return true;
}

bool CHtmlListingWriter::AppendLineText(Staged& out, std::string_view text) {
  using namespace std::string_view_literals;
  bool shown = false;
  const size_t n = text.size();
  size_t i = 0;
  while (i < n) {
    const size_t j = SkipPlain(text, i);
    if (j > i) {
      out.Put(text.substr(i, j - i));
      shown = true;
    }
    if (j == n) break;
    const char c = text[j];
    i = j + 1;
    switch (c) {
      case '\\':
        // "\\", "\{", "\}", or a control character of the indentation as
        // "\'hh".
        if (i < n && (text[i] == '\\' || text[i] == '{' || text[i] == '}')) {
          out.Put(text[i++]);
        } else if (i + 2 < n && text[i] == '\'' && HexDigit(text[i + 1]) >= 0 &&
                   HexDigit(text[i + 2]) >= 0) {
          AppendControlPicture(out.Direct(), static_cast<unsigned char>(HexDigit(text[i + 1]) * 16 +
                                                                        HexDigit(text[i + 2])));
          i += 3;
        } else {
          out.Put('\\');
        }
        shown = true;
        break;
      case '<': out.Put("&lt;"sv); shown = true; break;
      case '>': out.Put("&gt;"sv); shown = true; break;
      case '&': out.Put("&amp;"sv); shown = true; break;
      case '"': out.Put("&quot;"sv); shown = true; break;
      case '\'': out.Put("&#39;"sv); shown = true; break;
      case kCharacterPlaceholder:
        out.Flush();
        shown = AppendPlaceholder() || shown;
        break;
      case kKeywordOpen: {
        size_t end = text.find(kKeywordOpenEnd, i);
        if (end == std::string_view::npos) end = n;
        out.Put("<span class=\"k"sv);
        out.Put(text.substr(i, end - i));
        out.Put("\">"sv);
        ++open_runs_;
        i = std::min(end + 1, n);
        break;
      }
      case kCommentOpen:
        out.Put("<span class=\"c\">"sv);
        ++open_runs_;
        break;
      case kRunClose:
        if (i < n && text[i] == '{') ++i;
        if (open_runs_ > 0) {
          out.Put("</span>"sv);
          --open_runs_;
        }
        break;
      case kContinuation:
        out.Put("<span class=\"cm\"></span>"sv);
        shown = true;
        break;
      default:
        i = j + AppendCharacter(out.Direct(), text, j);
        shown = true;
        break;
    }
  }
  for (; open_runs_ > 0; --open_runs_) out.Put("</span>"sv);
  return shown;
}

void CHtmlListingWriter::EndDocument() {
  if (document_ended()) return;
  CloseFile();
  std::string& out = buffer();
  // The index links every file: those the build did not reach (it was
  // cancelled) are named here.
  if (static_cast<size_t>(files_) < index_paths_.size()) {
    out += "<div class=\"unlisted\">\n<p>These files were not listed:</p>\n<ul>\n";
    for (size_t i = static_cast<size_t>(files_); i < index_paths_.size(); ++i) {
      out += "<li id=\"file-" + std::to_string(i + 1) + "\">";
      AppendPlainText(&out, index_paths_[i]);
      out += "</li>\n";
    }
    out += "</ul>\n</div>\n";
  }
  out += "</main>\n</body>\n</html>\n";
  set_document_ended();
  FlushWhenFull();
}

}  // namespace folios
