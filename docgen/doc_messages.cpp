// The message table of the documentation engine.
#include "doc_messages.h"

#include <cerrno>
#include <ostream>

namespace folios::docgen {

namespace {

struct MessageEntry {
  int code;
  const char* text;
};

const MessageEntry kMessages[] = {
    {101, "file error"},
    {102, "file not found"},
    {103, "bad path"},
    {104, "too many open files"},
    {105, "access denied"},
    {106, "invalid file"},
    {107, "cannot remove the current directory"},
    {108, "directory full"},
    {109, "seek failed"},
    {110, "hardware I/O error"},
    {111, "sharing violation"},
    {112, "lock violation"},
    {113, "disk full"},
    {114, "unexpected end of file"},
    {115, "\"$\" followed by a character that starts no code"},
    {116, "append mode: trailer not found at the end of the output"},
    {117, "no output file given and the first source name matches no file"},
    {118, "\"d\" value without \"=\" within 64 characters"},
    {119, "option value missing at the end of the options"},
    {120, "usage requested"},
    {121, "\"t\" value is not a number from 1 to 64"},
    {122, "unknown option"},
    {125, "out of memory"},
    {127, "a declaration spread over lines grew past 1023 characters"},
    {130, "collected text of one tag longer than 24575 bytes"},
    {133, "extraction expression: word longer than 64 characters"},
    {134, "extraction expression: ends with an operator or has a character that cannot start a term"},
    {135, "extraction expression: operator expected"},
    {136, "extraction expression: missing \")\""},
    {137, "wrong number of fields for the keyword"},
    {138, "declared field count not below 7"},
    {139, "field number outside 1..6 or the declared count, or not a digit"},
    {140, "missing second word in \"ext\" or in the token \"output\""},
    {141, "unknown keyword for the section, or no \"=\" after it"},
    {142, "unknown condition word in \"if\""},
    {143, "unknown section name"},
    {144, "unknown or overlong \"parse\" value, or no scanner for this declaration kind"},
    {145, "unknown comment style in \"ext\""},
    {146, "a name that is empty or longer than 64 characters"},
    {147, "bad \"token\" character"},
    {148, "the same text keyword twice in one definition"},
    {149, "missing \")\" after a condition"},
    {150, "two conditions not separated by \",\""},
    {151, "a line that is neither keyword, header, comment nor blank"},
    {152, "missing \"=\" in a pattern comparison"},
    {153, "extension does not begin with a letter or digit"},
    {154, "declared field count is not a number"},
    {155, "a \"$\" name reference whose \".\" is not followed by a digit"},
    {156, "a name that does not begin with a letter"},
    {157, "missing \"(\" after \"exists\", \"tagexists\" or \"fieldempty\""},
    {158, "a \"$\" name reference not followed by \".\""},
    {160, "field number larger than the declared field count"},
    {161, "file \"output\" with other than one field"},
    {163, "text after the \"genericdelim\" character"},
    {164, "\"generic\" extension without \"genericdelim\""},
    {165, "bad field pattern part"},
    {166, "text left after a field pattern"},
    {169, "no token definition for the output type"},
    {170, "a keyword before the section's defining keyword"},
    {171, "paragraph example flag neither \"0\" nor \"1\""},
    {172, "paragraph level is not a number"},
    {173, "more than six \"if\" lines in one definition"},
    {174, "topic level is not a number"},
    {175, "constant reference without \")\""},
    {177, "diagram reference without name or \"]\""},
    {178, "field number that the current paragraph does not have"},
    {179, "\"^\" followed by a character other than \"^\" and \"n\""},
    {180, "index reference without \":\" or \"]\" where needed"},
    {181, "a \"map\" field that does not begin with \"$\""},
    {182, "named field reference not found or malformed"},
    {183, "no map for a second paragraph"},
    {184, "file extension without an [extension] definition"},
    {185, "inline tag without \">\""},
    {186, "unknown constant"},
    {187, "unknown diagram"},
    {188, "no [index] definition"},
    {189, "paragraph without [paragraph] definition"},
    {191, "inline tag without [text] definition"},
    {192, "topic without [topic] definition"},
    {194, "the code is not a declaration of the requested kind"},
    {195, "the declaration is not complete"},
    {196, "the expected keyword of the declaration is missing"},
    {197, "keyword list without \")\""},
    {198, "field reference without a current paragraph"},
    {200, "more fields than declared"},
    {201, "inline tag with more than 6 fields"},
    {202, "named field reference without a current topic"},
    {203, "unknown letter after $!"},
    {204, "paragraph tag without [paragraph] definition"},
    {205, "topic tag without [topic] definition"},
    {206, "a tag inside a documentation block before any topic tag"},
    {207, "field count differs from the definition"},
    {208, "inline tag field count differs from its [text] definition"},
    {209, "unknown \"context\" value"},
    {211, "\"prename\", \"postname\", \"precontext\" and \"postcontext\" are not supported in [index]"},
    {212, "Visual Basic declaration pieces out of order"},
    {213, "text after the \"linecont\" character"},
    {214, "a format text that refers to itself: expansion nested too deep"},
    {215, "binary file (it holds NUL bytes), skipped"},
    {216, "a comment that is not closed before the end of the file; the text after it was taken as comment"},
};

}  // namespace

namespace {

// The number a message shows: raw causes are raised by 100.
int ShownCode(int code) { return code >= 0 && code < 15 ? code + kFileErrorBase : code; }

}  // namespace

std::string DocMessage(int code) {
  code = ShownCode(code);
  std::string text = "Error " + std::to_string(code);
  for (const MessageEntry& entry : kMessages) {
    if (entry.code == code) return text + ": " + entry.text;
  }
  return text;
}

void ErrorLog::Add(DocError error) {
  text_ << error.text << '\n';
  errors_.push_back(std::move(error));
}

namespace {

// "file(line): " of a message line.
std::string Location(const std::string& file, long line) {
  if (file.empty()) return std::string();
  std::string text = file;
  if (line > 0) text += "(" + std::to_string(line) + ")";
  return text + ": ";
}

}  // namespace

void ReportError(ErrorLog& log, const std::string& file, long line, int code) {
  log.Add({ShownCode(code), file, line, 0, Location(file, line) + DocMessage(code)});
}

void ReportFailure(ErrorLog& log, const std::string& file, int code, const std::string& reason) {
  std::string text = file.empty() ? std::string() : file + ": ";
  text += "Error " + std::to_string(code) + ": " + reason;
  log.Add({code, file, 0, 0, std::move(text)});
}

namespace {

// 1234567 as "1,234,567".
std::string Grouped(long number) {
  std::string digits = std::to_string(number);
  std::string out;
  for (size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) out.push_back(',');
    out.push_back(digits[i]);
  }
  return out;
}

}  // namespace

void ErrorReporter::Report(const std::string& file, long line, int code, const std::string& excerpt) {
  if (tally_) tally_->Add(code);
  long& count = counts_[{file, code}];
  if (++count > kShown) return;
  std::string text = Location(file, line) + DocMessage(code);
  if (!excerpt.empty()) text += ": \"" + excerpt + '"';
  log_.Add({ShownCode(code), file, line, 0, std::move(text)});
}

void ErrorReporter::Summarise() {
  for (const auto& [key, count] : counts_) {
    if (count <= kShown) continue;
    std::string text = key.first.empty() ? std::string() : key.first + ": ";
    text += DocMessage(key.second) + " ... and " + Grouped(count - kShown) + " more";
    log_.Add({ShownCode(key.second), key.first, 0, count - kShown, std::move(text)});
  }
  counts_.clear();
}

int CauseOfErrno(int error_number) {
  switch (error_number) {
    case ENOENT: return kCauseNotFound;
    case ENOTDIR:
    case ENAMETOOLONG: return kCauseBadPath;
    case EMFILE:
    case ENFILE: return kCauseTooManyOpen;
    case EACCES:
    case EPERM:
    case EROFS: return kCauseAccessDenied;
    case EISDIR: return kCauseInvalidFile;
    case ESPIPE: return kCauseBadSeek;
    case EIO: return kCauseHardIo;
    case ENOSPC:
    case EDQUOT: return kCauseDiskFull;
    default: return kCauseGeneric;
  }
}

}  // namespace folios::docgen
