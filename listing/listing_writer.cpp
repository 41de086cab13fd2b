#include "listing_writer.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstring>
#include <new>

#include "atomic_file.h"
#include "noise_chars.h"
#include "paths.h"
#include "registry.h"
#include "rtf_text.h"
#include "setting_names.h"
#include "settings_table.h"

namespace folios {

namespace {

// Cuts of a long line end with a downward arrow from the Symbol font.
const char kContinuationMark[] =
    " }{\\f2{\\field{\\*\\fldinst SYMBOL 175 \\\\f Symbol\\\\s 12}{\\fldrslt\\f3}}}{\\f2";
// Closes the line's group and the document's: the two groups open at the
// end of every line.
const char kDocumentEnd[] = "\\par}}";
const size_t kFlushSize = 1 << 18;
const size_t kProgressGranularity = 4096;

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

// Control characters reach the document as escapes; a reader would take
// them raw as nothing, or worse. A tab is a tab's worth of blanks; a form
// feed, which a source holds to start a new page, is a page break.
bool IsControlByte(unsigned char c) { return (c < 0x20 && c != '\t') || c == 0x7f; }

// White space around a line's text. A form feed is not: it stands for a
// page break, also on a line of its own.
bool IsTrimmed(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v'; }

// A control character of a line as the document holds it.
void AppendControl(std::string* out, unsigned char c) {
  if (c == '\f') {
    *out += "\\page ";
  } else {
    AppendRtfHexByte(out, c);
  }
}

// Bytes of a line's text that are not copied as they are: tabs, the RTF
// specials, control characters and everything beyond ASCII.
struct SpecialBytes {
  bool table[256] = {};
  constexpr SpecialBytes() {
    for (int c = 0; c < 256; ++c) table[c] = c < 0x20 || c >= 0x7f;
    for (unsigned char c : {'\\', '{', '}'}) table[c] = true;
  }
};
constexpr SpecialBytes kSpecialBytes;

// The length of the run of bytes at `p` that are copied as they are. A
// block of bytes is judged at once while none of them is special: a byte
// is special below 0x20, from 0x7f up, or as one of "\\", "{", "}".
size_t PlainPrefix(const char* p, size_t n) {
  size_t i = 0;
#if defined(__SSE2__)
  const __m128i space = _mm_set1_epi8(0x20);
  const __m128i del = _mm_set1_epi8(0x7f);
  const __m128i backslash = _mm_set1_epi8('\\');
  const __m128i open = _mm_set1_epi8('{');
  const __m128i close = _mm_set1_epi8('}');
  for (; i + 16 <= n; i += 16) {
    const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
    // Signed, bytes from 0x80 up are below 0x20 too.
    __m128i special = _mm_cmplt_epi8(block, space);
    special = _mm_or_si128(special, _mm_cmpeq_epi8(block, del));
    special = _mm_or_si128(special, _mm_cmpeq_epi8(block, backslash));
    special = _mm_or_si128(special, _mm_cmpeq_epi8(block, open));
    special = _mm_or_si128(special, _mm_cmpeq_epi8(block, close));
    if (const int mask = _mm_movemask_epi8(special)) return i + static_cast<size_t>(__builtin_ctz(static_cast<unsigned>(mask)));
  }
#else
  constexpr uint64_t kOnes = 0x0101010101010101ULL;
  constexpr uint64_t kHigh = 0x8080808080808080ULL;
  auto has_byte = [](uint64_t word, unsigned char b) {
    uint64_t x = word ^ (kOnes * b);
    return (x - kOnes) & ~x & kHigh;
  };
  for (; i + 8 <= n; i += 8) {
    uint64_t word;
    std::memcpy(&word, p + i, 8);
    // Below 0x20, or from 0x80 up; 0x7f and the three escapes one by one.
    uint64_t special = ((word - kOnes * 0x20) | word) & kHigh;
    special |= has_byte(word, 0x7f) | has_byte(word, '\\') | has_byte(word, '{') | has_byte(word, '}');
    if (special) break;
  }
#endif
  while (i < n && !kSpecialBytes.table[static_cast<unsigned char>(p[i])]) ++i;
  return i;
}

// Appends the decimal digits of `number` (which may be negative).
void AppendNumber(std::string* out, long long number) {
  char digits[24];
  char* end = digits + sizeof digits;
  char* p = end;
  unsigned long long magnitude =
      number < 0 ? 0ULL - static_cast<unsigned long long>(number) : static_cast<unsigned long long>(number);
  do {
    *--p = static_cast<char>('0' + magnitude % 10);
    magnitude /= 10;
  } while (magnitude != 0);
  if (number < 0) *--p = '-';
  out->append(p, static_cast<size_t>(end - p));
}

// A regular file up to this size is read in one piece; a larger one is read
// once to check for NUL bytes, then again to be listed.
const size_t kSmallBuffer = 1 << 16;
const size_t kLargeBuffer = 4 << 20;

}  // namespace

// Reads a file line by line through one large buffer. LF, CR LF and a lone
// CR each end a line. A file holding a NUL byte is binary: it is checked
// whole when it is opened, and a piece read later is checked again in case
// the file changed meanwhile.
class CListingWriter::SourceReader {
 public:
  ~SourceReader() {
    if (fd_ >= 0) ::close(fd_);
  }
  // Reads through `buffer`, which is kept from file to file so that it is
  // neither allocated nor cleared for every file.
  explicit SourceReader(std::unique_ptr<char[]>* buffer, size_t* buffer_size)
      : storage_(buffer), storage_size_(buffer_size) {}
  // False with errno's reason in `error`.
  bool Open(const std::string& path, std::string* error) {
    // A pipe, socket or device is refused before it is opened: opening or
    // reading one may wait for ever (standard input reaches here as a copy).
    struct stat st;
    if (::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
      *error = ErrnoMessage(EISDIR);
      return false;
    }
    Status opened = OpenRegularFile(path, &fd_);
    if (!opened.ok()) {
      *error = opened.message();
      return false;
    }
    if (fstat(fd_, &st) == 0) size_ = static_cast<long long>(st.st_size);
    size_t capacity = kSmallBuffer;
    if (size_ >= static_cast<long long>(kSmallBuffer)) {
      capacity = static_cast<size_t>(std::min<long long>(size_ + 1, kLargeBuffer));
    }
    if (*storage_size_ < capacity) {
      storage_->reset();  // the old buffer goes before the new one is taken
      *storage_size_ = 0;
      storage_->reset(new char[capacity]);
      *storage_size_ = capacity;
    }
    buffer_ = storage_->get();
    buffer_size_ = capacity;

    size_t got = 0;
    if (!ReadFully(&got)) {
      *error = ErrnoMessage(error_);
      return false;
    }
    binary_ = std::memchr(buffer_, 0, got) != nullptr;
    if (binary_) {
      eof_ = true;
      return true;
    }
    if (got < buffer_size_) {
      // The whole file is in the buffer.
      any_bytes_ = got > 0;
      whole_ = true;
      begin_ = 0;
      end_ = got;
      piece_has_cr_ = std::memchr(buffer_, '\r', got) != nullptr;
      eof_ = true;
      return true;
    }
    while (got == buffer_size_) {
      if (!ReadFully(&got)) {
        *error = ErrnoMessage(error_);
        return false;
      }
      if (std::memchr(buffer_, 0, got) != nullptr) {
        binary_ = true;
        eof_ = true;
        return true;
      }
    }
    if (::lseek(fd_, 0, SEEK_SET) != 0) {
      *error = ErrnoMessage(errno);
      return false;
    }
    return true;
  }
  long long size() const { return size_; }
  bool any_bytes() const { return any_bytes_; }

  // Starts again at the first line; false when that cannot be done.
  bool Rewind() {
    skip_lf_ = false;
    if (whole_) {
      begin_ = 0;
      return true;
    }
    if (::lseek(fd_, 0, SEEK_SET) != 0) return false;
    begin_ = end_ = 0;
    eof_ = false;
    return true;
  }
  bool binary() const { return binary_; }
  // errno of a failed read, 0 when none.
  int error() const { return error_; }

  // The next line without its line end; false at the end of the file, and
  // from the first NUL byte of a file that was not checked beforehand. The
  // line stays valid until the next call: it lies in the read buffer, or in
  // `joined` when it spans two pieces of the file.
  bool ReadLine(std::string_view* line, std::string* joined) {
    bool partial = false;  // part of the line is in `joined` already
    while (true) {
      if (begin_ == end_ && !Fill()) {
        if (binary_ || !partial || joined->empty()) return false;
        *line = *joined;
        return true;
      }
      if (skip_lf_) {
        skip_lf_ = false;
        if (buffer_[begin_] == '\n') {
          ++begin_;
          continue;
        }
      }
      const char* start = buffer_ + begin_;
      const size_t available = end_ - begin_;
      const void* nl = std::memchr(start, '\n', available);
      const size_t span =
          nl ? static_cast<size_t>(static_cast<const char*>(nl) - start) : available;
      size_t length = span;
      bool ended = nl != nullptr;
      if (const void* cr = piece_has_cr_ ? std::memchr(start, '\r', span) : nullptr) {
        length = static_cast<size_t>(static_cast<const char*>(cr) - start);
        ended = true;
        begin_ += length + 1;
        if (begin_ < end_) {
          if (buffer_[begin_] == '\n') ++begin_;
        } else {
          skip_lf_ = true;  // a LF at the start of the next piece belongs to this CR
        }
      } else {
        begin_ += nl ? span + 1 : span;
      }
      if (ended && !partial) {
        *line = std::string_view(start, length);
        return true;
      }
      if (!partial) joined->clear();
      partial = true;
      joined->append(start, length);
      if (ended) {
        *line = *joined;
        return true;
      }
    }
  }

 private:
  // Reads until the buffer is full or the file ends.
  bool ReadFully(size_t* got) {
    *got = 0;
    while (*got < buffer_size_) {
      ssize_t n = ::read(fd_, buffer_ + *got, buffer_size_ - *got);
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) {
        error_ = errno;
        return false;
      }
      if (n == 0) break;
      *got += static_cast<size_t>(n);
    }
    return true;
  }

  // A read interrupted by a signal ends the file with error EINTR, so that
  // Ctrl-C stops the build at once.
  bool Fill() {
    if (eof_) return false;
    ssize_t n = ::read(fd_, buffer_, buffer_size_);
    if (n <= 0) {
      if (n < 0) error_ = errno;
      eof_ = true;
      return false;
    }
    if (std::memchr(buffer_, 0, static_cast<size_t>(n)) != nullptr) {
      binary_ = true;
      eof_ = true;
      return false;
    }
    any_bytes_ = true;
    begin_ = 0;
    end_ = static_cast<size_t>(n);
    // Most files have no CR at all: one look per piece saves one per line.
    piece_has_cr_ = std::memchr(buffer_, '\r', end_) != nullptr;
    return true;
  }

  std::unique_ptr<char[]>* storage_;
  size_t* storage_size_;
  int fd_ = -1;
  char* buffer_ = nullptr;
  size_t buffer_size_ = 0;
  size_t begin_ = 0, end_ = 0;
  long long size_ = 0;
  bool eof_ = false;
  bool any_bytes_ = false;
  bool binary_ = false;
  bool skip_lf_ = false;
  bool piece_has_cr_ = false;  // the bytes in the buffer hold a CR
  bool whole_ = false;         // the whole file is in the buffer
  int error_ = 0;
};

struct CListingWriter::FileSettings {
  int linebreaks;
  int linesep;
  int remove_noise;
  int format;
  int counter_mode;
  long long start_at;
  bool numbers;
  long long increment;
  bool visual_basic;
};

std::string UnreadableFileText(const std::string& reason) {
  return "This file could not be read: " + reason;
}

CListingWriter::CListingWriter(std::FILE* out, Progress* progress, KeywordWarningSink* warnings)
    : CListingWriter(out, progress, warnings, MarkupForTable()) {
  WriteText(GetDocumentHead(), 2);
}

CListingWriter::CListingWriter(std::FILE* out, Progress* progress, KeywordWarningSink* warnings,
                               const MarkupForTable& markup)
    : out_(out), progress_(progress) {
  continuation_mark_ = kContinuationMark;
  Settings main;
  page_break_ = main.Int(setting_name::kPagebreak);
  line_counter_ = CRegistry::AtoiRule(main.Text(setting_name::kStartat));
  // The layout is read once, when the build starts: every file of a build is
  // laid out alike, and a build of many small files does not spend its time
  // reading settings.
  settings_ = std::make_unique<FileSettings>();
  settings_->linebreaks = main.Int(setting_name::kLinebreaks);
  settings_->linesep = main.Int(setting_name::kLinesep);
  settings_->remove_noise = main.Int(setting_name::kRemoveNoiseChars);
  settings_->format = main.Int(setting_name::kFormat);
  settings_->counter_mode = main.Int(setting_name::kLinecountermode);
  settings_->start_at = line_counter_;
  settings_->numbers = main.Int(setting_name::kUselinenumbers) == 0;
  settings_->increment = CRegistry::AtoiRule(main.Text(setting_name::kIncrementby));
  settings_->visual_basic = false;
  header_format_ = GetHeaderFormat();
  code_format_ = GetCodeFormat();
  // Noise characters beyond ASCII could cut a multi-byte character in two,
  // and removing backslashes from the escaped text could leave a brace bare.
  if (settings_->remove_noise) {
    for (char c : LoadNoiseChars()) {
      if (static_cast<unsigned char>(c) < 0x80 && c != kCharacterPlaceholder && c != '\\') {
        noise_ += c;
      }
    }
  }
  buffer_.reserve(kFlushSize + 4096);
  std::string comment_format = GetCommentFormat();
  for (int i = 0; i < kLanguageCount; ++i) {
    Language language = static_cast<Language>(i);
    tables_[i] = LoadKeywordTableForListing(KeywordFileForListing(language), language, warnings);
    stylers_.push_back(markup ? std::make_unique<LineStyler>(tables_[i], markup(tables_[i]))
                              : std::make_unique<LineStyler>(tables_[i], comment_format));
  }
}

CListingWriter::~CListingWriter() { Flush(); }

Status CListingWriter::Flush() {
  if (!buffer_.empty() && write_error_ == 0) {
    if (std::fwrite(buffer_.data(), 1, buffer_.size(), out_) != buffer_.size()) {
      write_error_ = errno ? errno : EIO;
    }
  }
  buffer_.clear();
  if (write_error_ == 0 && std::fflush(out_) != 0) write_error_ = errno ? errno : EIO;
  if (write_error_ != 0) return Status::Error(ErrnoMessage(write_error_));
  return Status::OK();
}

void CListingWriter::AppendExpanded(std::string_view text) {
  const size_t npos = std::string_view::npos;
  if (placeholder_lengths_.empty() || text.find(kCharacterPlaceholder) == npos) {
    buffer_.append(text);
    return;
  }
  size_t copied = 0;
  for (size_t p = text.find(kCharacterPlaceholder); p != npos;
       p = text.find(kCharacterPlaceholder, p + 1)) {
    buffer_.append(text, copied, p - copied);
    copied = p + 1;
    std::string_view original = TakePlaceholder();
    if (original.empty()) {
      AppendRtfHexByte(&buffer_, static_cast<unsigned char>(kCharacterPlaceholder));
      continue;
    }
    unsigned char first = static_cast<unsigned char>(original[0]);
    if (first < 0x80) {
      AppendControl(&buffer_, first);
    } else {
      AppendRtfNonAscii(&buffer_, original, 0);
    }
  }
  buffer_.append(text, copied);
}

void CListingWriter::AppendHeaderPath(const std::string& path) {
  for (size_t i = 0; i < path.size();) {
    unsigned char c = static_cast<unsigned char>(path[i]);
    if (c >= 0x80) {
      i += AppendRtfNonAscii(&buffer_, path, i);
      continue;
    }
    if (c < 0x20 || c == 0x7f) {
      AppendRtfHexByte(&buffer_, c);
    } else {
      // Braces in a file name would unbalance the document: escape them
      // with the backslashes.
      if (c == '\\' || c == '{' || c == '}') buffer_ += '\\';
      buffer_ += static_cast<char>(c);
    }
    ++i;
  }
}

// One line as a paragraph: its parts one after another, with a separator
// line before it when `separator`.
void CListingWriter::WriteParagraph(std::string_view number, std::string_view indent, std::string_view text,
                                    bool separator) {
  if (separator) {
    buffer_ += "\\par }\\pard \\widctlpar\\brdrb\\brdrs\\brdrw10\\brsp20 \\adjustright {";
    buffer_ += "\\par }\\pard \\widctlpar\\adjustright {";
  } else {
    buffer_ += "\\par }{";
  }
  if (placeholder_lengths_.empty()) {
    buffer_.append(number);
    buffer_.append(indent);
    buffer_.append(text);
  } else {
    AppendExpanded(number);
    AppendExpanded(indent);
    AppendExpanded(text);
  }
  // Some readers take a backslash escape right before a line end as a
  // line end of its own: a backslash that ends the line is written as
  // its hex escape. Backslashes pair up from the left, so an even run
  // at the end is made of escaped backslashes.
  size_t run = 0;
  while (run < buffer_.size() && buffer_[buffer_.size() - 1 - run] == '\\') ++run;
  if (run >= 2 && run % 2 == 0) {
    buffer_.resize(buffer_.size() - 2);
    buffer_ += "\\'5c";
  }
  buffer_ += '\n';
  if (buffer_.size() >= kFlushSize) Flush();
}

void CListingWriter::WriteText(const std::string& text, int mode, bool separator) {
  switch (mode) {
    case 0:
      WriteParagraph(std::string_view(), std::string_view(), text, separator);
      return;
    case 1:
      buffer_ += '\n';
      // A page break goes between files, not before the first.
      buffer_ += page_break_ && headers_written_ > 0 ? "\\page " : "\\par ";
      ++headers_written_;
      buffer_ += header_format_;
      buffer_ += ' ';  // ends the last control word: the path may begin with any character
      AppendHeaderPath(text);
      buffer_ += "{\\par } ";
      buffer_ += code_format_;
      break;
    default:
      buffer_ += text;
      buffer_ += '\n';
      break;
  }
  if (buffer_.size() >= kFlushSize) Flush();
}

void CListingWriter::FlushWhenFull() {
  if (buffer_.size() >= kFlushSize) Flush();
}

std::string_view CListingWriter::TakePlaceholder() {
  if (next_placeholder_ >= placeholder_lengths_.size()) return std::string_view();
  size_t length = placeholder_lengths_[next_placeholder_++];
  std::string_view original =
      std::string_view(placeholder_bytes_).substr(next_placeholder_byte_, length);
  next_placeholder_byte_ += length;
  return original;
}

void CListingWriter::WriteFileHeader(const std::string& path) { WriteText(path, 1); }

void CListingWriter::WriteNote(const std::string& text) { WriteText(text, 0); }

void CListingWriter::WriteLine(const OutputLine& line) {
  // The indentation goes after the number and its blank.
  WriteParagraph(line.number, line.indent, line.text, line.separator);
}

void CListingWriter::EndDocument() {
  if (ended_) return;
  WriteText(kDocumentEnd, 2);
  ended_ = true;
}

bool CListingWriter::AppendSource(const std::string& path, int index, int total) {
  return AppendSource(path, path, index, total);
}

// Reads one source line into indent_ and text_: trailing white space off,
// indentation apart, tabs as five blanks, the line number in front, RTF
// specials escaped. Control characters and characters beyond ASCII become
// placeholders. An empty file gives one empty line; the end of any other
// file gives none.
bool CListingWriter::ReadSourceLine(const FileSettings& s) {
  std::string_view raw;
  if (!reader_->ReadLine(&raw, &raw_)) {
    if (reader_->any_bytes() || reader_->binary() || gave_empty_line_) return false;
    gave_empty_line_ = true;
    raw = std::string_view();
  }
  // A byte-order mark says how the file is encoded; it is not text.
  if (first_line_ && raw.substr(0, 3) == "\xEF\xBB\xBF") raw.remove_prefix(3);
  first_line_ = false;
  marks_ready_ = false;
  form_feed_ = false;
  placeholder_bytes_.clear();
  placeholder_lengths_.clear();
  next_placeholder_ = 0;
  next_placeholder_byte_ = 0;

  size_t end = raw.size();
  while (end > 0 && IsTrimmed(raw[end - 1])) --end;
  size_t start = 0;
  while (start < end && IsTrimmed(raw[start])) ++start;
  indent_.clear();
  for (size_t i = 0; i < start; ++i) {
    unsigned char c = static_cast<unsigned char>(raw[i]);
    if (c == '\t') {
      indent_.append(5, ' ');
    } else if (IsControlByte(c)) {
      AppendControl(&indent_, c);
    } else {
      indent_ += static_cast<char>(c);
    }
  }
  text_.clear();
  number_width_ = 0;
  if (s.numbers) {
    AppendNumber(&text_, line_counter_);
    number_width_ = text_.size();
    text_ += ' ';
    line_counter_ += s.increment;
  }
  // Trimming stops at a form feed, so every one of the line is in the body.
  std::string_view body = raw.substr(start, end - start);
  text_.reserve(text_.size() + body.size());
  for (size_t i = 0; i < body.size();) {
    size_t j = i + PlainPrefix(body.data() + i, body.size() - i);
    text_.append(body.data() + i, j - i);
    if (j == body.size()) break;
    const unsigned char c = static_cast<unsigned char>(body[j]);
    size_t length = 1;
    if (c == '\t') {
      text_.append(5, ' ');
    } else if (c == '\\' || c == '{' || c == '}') {
      text_ += '\\';
      text_ += static_cast<char>(c);
    } else {
      if (c >= 0x80) length = DecodeUtf8(body, j).length;
      if (c == '\f') form_feed_ = true;
      placeholder_bytes_.append(body.data() + j, length);
      placeholder_lengths_.push_back(static_cast<unsigned char>(length));
      text_ += kCharacterPlaceholder;
    }
    i = j + length;
  }
  return true;
}

// The next line that is listed: lines emptied by noise removal are left out,
// and the Visual Basic filters skip what is not to be shown.
bool CListingWriter::ReadListedLine(const FileSettings& s) {
  while (true) {
    if (vb_form_ended_) return false;
    if (!ReadSourceLine(s)) {
      // "Code only" starts a module at its name line. A file without one
      // has no form definition to leave out: all of it is code, and it is
      // read again from its first line.
      if (!s.visual_basic || s.format != 1 || vb_code_found_ || !reader_->Rewind()) return false;
      vb_code_found_ = true;
      line_counter_ = file_first_number_;
      first_line_ = true;
      gave_empty_line_ = false;
      unreported_progress_ = 0;
      if (progress_) progress_->SetRange(progress_->lower(), progress_->upper());
      continue;
    }
    if (s.remove_noise) {
      bool keep = true;
      for (char c : noise_) {
        if (!RemoveNoise(&text_, c, 0)) {
          keep = false;
          break;
        }
      }
      if (!keep) continue;
    }
    if (s.visual_basic && s.format != 2) {
      // The line number does not hide the attribute line.
      size_t from = std::min(number_width_ > 0 ? number_width_ + 1 : 0, text_.size());
      while (from < text_.size() && IsBlank(text_[from])) ++from;
      bool name_line = text_.compare(from, 17, "Attribute VB_Name") == 0;
      if (s.format == 0 && name_line) {
        vb_form_ended_ = true;
        return false;
      }
      if (s.format == 1 && !vb_code_found_) {
        if (!name_line) continue;
        vb_code_found_ = true;
      }
    }
    return true;
  }
}

int CListingWriter::ComputeCapacity(size_t segment_start, bool line_comment_seen) {
  const int code = GetLineCapacity(code_font_size());
  const int comment = GetLineCapacity(comment_font_size());
  if (line_comment_seen) return comment;
  const std::string& line = text_;
  const size_t npos = std::string::npos;
  // The marks are found by cursors that move on with the segment start, so
  // cutting a line costs time linear in its length.
  if (!marks_ready_) {
    slashes_.Reset(line, "//");
    apostrophes_.Reset(line, "'");
    opens_.Reset(line, "/*");
    closes_.Reset(line, "*/");
    marks_ready_ = true;
  }
  size_t marker = slashes_.Find(segment_start);
  if (marker == npos) marker = apostrophes_.Find(segment_start);
  size_t open = opens_.Find(segment_start);
  size_t close = open == npos ? npos : closes_.Find(open + 2);
  long long smaller = GetLineCapacity(std::min(code_font_size(), comment_font_size()));
  long long end = std::min<long long>(static_cast<long long>(segment_start) + smaller,
                                      static_cast<long long>(line.size()));
  long long first = static_cast<long long>(segment_start);
  // Positions first..end (inclusive) at or after the marker, or strictly
  // inside the block comment.
  long long j = 0;
  if (end >= first) {
    long long from_marker = marker == npos ? end + 1 : std::max<long long>(first, static_cast<long long>(marker));
    if (from_marker <= end) j += end - from_marker + 1;
    if (open != npos && close != npos) {
      long long a = std::max<long long>(first, static_cast<long long>(open) + 1);
      long long b = std::min<long long>(end, static_cast<long long>(close) - 1);
      if (marker != npos) b = std::min<long long>(b, from_marker - 1);
      if (b >= a) j += b - a + 1;
    }
  }
  if (j == 0) return code;
  // The mix is measured over the segment's own window: measured from the
  // line's start, a later segment would count every earlier character as
  // code, and its capacity would shrink to nothing.
  const long long window = end - first;
  if (j >= window) return comment;
  long long c = window - j;
  long long g = (code - c) * 100 / code;
  return static_cast<int>(c + g * comment / 100);
}

// Where a segment ending near `limit` is cut: the last blank or comma at or
// before the limit when it lies more than 14 places into the segment, else
// the limit. An escape is never split, nor a segment left empty.
size_t CListingWriter::FindCut(size_t limit, size_t segment_start) const {
  const std::string& line = text_;
  size_t cut = limit;
  for (size_t p = std::min(limit, line.size() - 1) + 1; p-- > segment_start;) {
    if (line[p] == ' ' || line[p] == ',') {
      if (p > segment_start + 14) cut = p;
      break;
    }
  }
  // Backslashes pair up as escapes from the left; an odd run before the cut
  // means its last one escapes the character after the cut.
  size_t run = 0;
  while (cut - run > segment_start && line[cut - run - 1] == '\\') ++run;
  if (run % 2 == 1) {
    if (cut - 1 > segment_start) {
      --cut;
    } else {
      ++cut;
    }
  }
  return cut;
}

void CListingWriter::ReportProgress() {
  progress_->SetStep(static_cast<int>(std::min<size_t>(unreported_progress_, INT_MAX)));
  progress_->StepIt();
  unreported_progress_ = 0;
}

bool CListingWriter::AppendSource(const std::string& path, const std::string& read_path,
                                  int index, int total) {
  FileSettings s = *settings_;
  const Language language = LanguageOfPath(path);
  s.visual_basic = language == Language::kVisualBasic;
  if (s.counter_mode != 0) line_counter_ = s.start_at;

  SourceReader reader(&read_buffer_, &read_buffer_size_);
  std::string open_error;
  bool opened = reader.Open(read_path, &open_error);

  if (progress_) {
    progress_->SetCaption(caption_ + ShortenPath(path, 28));
    progress_->SetRange(0, static_cast<int>(std::min<long long>(reader.size(), INT_MAX)));
    progress_->SetStatus("Editing codefile " + std::to_string(index) + " of " +
                         std::to_string(total) + ": " + ShortenPath(path, 36));
  }
  WriteFileHeader(path);

  bool cancelled = false;
  if (!opened) {
    failures_.push_back({path, open_error});
    WriteNote(UnreadableFileText(open_error));
  } else if (!reader.binary()) {
    ++files_read_;
    reader_ = &reader;
    unreported_progress_ = 0;
    first_line_ = true;
    gave_empty_line_ = false;
    vb_code_found_ = false;
    vb_form_ended_ = false;
    file_first_number_ = line_counter_;
    try {
      cancelled = ListLines(s, language);
    } catch (const std::bad_alloc&) {
      // A line longer than memory holds ends this file, not the build.
      ReleaseLineMemory();
      failures_.push_back({path, kOutOfMemoryReason});
      WriteNote(kOutOfMemoryText);
    }
    reader_ = nullptr;
    if (progress_ && unreported_progress_ > 0) ReportProgress();
    // A read cut short by the signal that asks to cancel is the cancel.
    if (!cancelled && reader.error() == EINTR && progress_ && progress_->CheckCancel()) {
      cancelled = true;
    }
    if (reader.error() != 0 && !cancelled) {
      failures_.push_back({path, ErrnoMessage(reader.error())});
    }
  }
  // A binary file gets a note; one that gained NUL bytes while it was listed
  // keeps the lines listed before them.
  if (opened && reader.binary()) {
    failures_.push_back({path, kBinaryFileReason});
    WriteNote(kBinaryFileText);
  }
  placeholder_lengths_.clear();
  placeholder_bytes_.clear();
  if (cancelled) {
    WriteNote("Operation was canceled!");
    EndDocument();
    return true;
  }
  if (index == total) EndDocument();
  return false;
}

void CListingWriter::ReleaseLineMemory() {
  for (std::string* text :
       {&raw_, &indent_, &text_, &placeholder_bytes_, &segment_, &styled_}) {
    std::string().swap(*text);
  }
  std::vector<unsigned char>().swap(placeholder_lengths_);
  for (auto& styler : stylers_) styler->ReleaseScratch();
}

bool CListingWriter::ListLines(const FileSettings& s, Language language) {
  LineStyler& styler = *stylers_[static_cast<size_t>(language)];
  const size_t smallest_capacity = static_cast<size_t>(
      std::min(GetLineCapacity(code_font_size()), GetLineCapacity(comment_font_size())));
  const std::string& marker = tables_[static_cast<size_t>(language)].entries[0].keyword;
  CommentState comments;
  bool pending = false;
  size_t segment_start = 0;

  while (true) {
    const bool fresh = !pending || s.linebreaks == 0;  // the first output line of a source line
    if (fresh) {
      if (!ReadListedLine(s)) break;
      pending = false;
      segment_start = 0;
      comments.line_comment_seen = false;
      // The bar moves by the length of each line; a step per few kilobytes
      // shows the same as a step per line at a fraction of the cost.
      unreported_progress_ += text_.size();
      if (progress_ && unreported_progress_ >= kProgressGranularity) ReportProgress();
    }
    // A line well within both capacities is neither cut nor re-indented,
    // whatever its mix of code and comment: no mix gives a capacity more
    // than two below the smaller one.
    const bool short_line = !pending && indent_.size() + text_.size() + 2 < smallest_capacity;
    const int capacity =
        short_line ? static_cast<int>(smallest_capacity) : ComputeCapacity(segment_start, comments.line_comment_seen);
    const std::string* indent = &indent_;
    static const std::string kTenBlanks(10, ' ');
    if (indent_.size() >= static_cast<size_t>(capacity)) indent = &kTenBlanks;
    const long long room = static_cast<long long>(capacity) - static_cast<long long>(indent->size());

    size_t mark_start = std::string::npos;
    const bool cutting = s.linebreaks == 1 &&
        (static_cast<long long>(indent->size() + text_.size()) > capacity + 3 || pending);
    if (cutting) {
      segment_.clear();
      if (!pending) {
        size_t limit = static_cast<size_t>(std::max<long long>(1, std::min<long long>(room, static_cast<long long>(text_.size()))));
        size_t cut = FindCut(limit, 0);
        segment_.assign(text_, 0, cut);
        pending = cut < text_.size();
        segment_start = cut;
      } else {
        long long limit = static_cast<long long>(segment_start) + room -
                          (comments.line_comment_seen ? 2 : 0);
        if (limit <= static_cast<long long>(segment_start)) limit = static_cast<long long>(segment_start) + 1;
        if (comments.line_comment_seen) {
          segment_ += ' ';
          segment_ += marker;
          comments.line_comment_seen = false;
        }
        if (limit < static_cast<long long>(text_.size())) {
          size_t cut = FindCut(static_cast<size_t>(limit), segment_start);
          segment_.append(text_, segment_start, cut - segment_start);
          segment_start = cut;
        } else {
          segment_.append(text_, segment_start, std::string::npos);
          segment_start = text_.size();
          pending = false;
        }
      }
      if (pending) {
        mark_start = segment_.size();
        segment_ += continuation_mark_;
      }
    }
    const std::string_view segment = cutting ? std::string_view(segment_) : std::string_view(text_);

    StyleInput input;
    input.text = segment;
    input.number_end = number_width_ > 0 ? number_width_ + 1 : 0;
    // The procedure test reads the line text, not its number.
    const bool separator = s.visual_basic && s.linesep != 0 &&
                           IsProcedureStart(segment.substr(std::min(input.number_end, segment.size())));
    input.mark_start = mark_start;
    styled_.clear();
    styler.Style(input, &comments, &styled_);
    const size_t number_end = std::min(input.number_end, styled_.size());
    OutputLine line{std::string_view(styled_).substr(0, number_end), *indent,
                    std::string_view(styled_).substr(number_end), separator,
                    fresh && form_feed_};
    WriteLine(line);
    number_width_ = 0;

    if (progress_ && progress_->CheckCancel()) return true;
  }
  return false;
}

}  // namespace folios
