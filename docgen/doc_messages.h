// Result codes of the documentation engine and their messages.
//
// Every engine error is written as one line: the file name when known, the
// line number in parentheses when known, ": " after a file name, then
// "Error N: text". Codes 0..14 are file-error causes; they are reported
// raised by 100.
#pragma once

#include <iosfwd>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace folios::docgen {

// File-error causes (reported as 100 + cause).
inline constexpr int kCauseGeneric = 1;
inline constexpr int kCauseNotFound = 2;
inline constexpr int kCauseBadPath = 3;
inline constexpr int kCauseTooManyOpen = 4;
inline constexpr int kCauseAccessDenied = 5;
inline constexpr int kCauseInvalidFile = 6;
inline constexpr int kCauseBadSeek = 9;
inline constexpr int kCauseHardIo = 10;
inline constexpr int kCauseDiskFull = 13;
inline constexpr int kCauseEndOfFile = 14;
inline constexpr int kFileErrorBase = 100;

// Engine errors.
inline constexpr int kErrNotFound = 102;
inline constexpr int kErrBadDollar = 115;
inline constexpr int kErrTrailerNotFound = 116;
inline constexpr int kErrNoOutputName = 117;
inline constexpr int kErrDefineTooLong = 118;
inline constexpr int kErrOptionValueMissing = 119;
inline constexpr int kErrUsage = 120;
inline constexpr int kErrTabNotNumber = 121;
inline constexpr int kErrUnknownOption = 122;
inline constexpr int kErrOutOfMemory = 125;
inline constexpr int kErrDeclTooLong = 127;
inline constexpr int kErrTextTooLong = 130;
inline constexpr int kErrExprWordTooLong = 133;
inline constexpr int kErrExprSyntax = 134;
inline constexpr int kErrExprOperator = 135;
inline constexpr int kErrExprParen = 136;
inline constexpr int kErrFieldCount = 137;
inline constexpr int kErrFieldCountTooBig = 138;
inline constexpr int kErrFieldNumber = 139;
inline constexpr int kErrMissingWord = 140;
inline constexpr int kErrUnknownKeyword = 141;
inline constexpr int kErrUnknownCondition = 142;
inline constexpr int kErrUnknownSection = 143;
inline constexpr int kErrUnknownParse = 144;
inline constexpr int kErrUnknownStyle = 145;
inline constexpr int kErrNameTooLong = 146;
inline constexpr int kErrBadTokenChar = 147;
inline constexpr int kErrTextTwice = 148;
inline constexpr int kErrMissingParen = 149;
inline constexpr int kErrMissingComma = 150;
inline constexpr int kErrBadLine = 151;
inline constexpr int kErrMissingEquals = 152;
inline constexpr int kErrBadExtension = 153;
inline constexpr int kErrCountNotNumber = 154;
inline constexpr int kErrNameRefDigit = 155;
inline constexpr int kErrNameNotLetter = 156;
inline constexpr int kErrMissingOpenParen = 157;
inline constexpr int kErrNameRefDot = 158;
inline constexpr int kErrFieldAboveCount = 160;
inline constexpr int kErrFileOutputFields = 161;
inline constexpr int kErrGenericDelimExtra = 163;
inline constexpr int kErrGenericNoDelim = 164;
inline constexpr int kErrBadPatternPart = 165;
inline constexpr int kErrPatternTrailing = 166;
inline constexpr int kErrNoToken = 169;
inline constexpr int kErrNoDefinition = 170;
inline constexpr int kErrExampleFlag = 171;
inline constexpr int kErrParagraphLevel = 172;
inline constexpr int kErrTooManyIf = 173;
inline constexpr int kErrTopicLevel = 174;
inline constexpr int kErrConstantParen = 175;
inline constexpr int kErrDiagramSyntax = 177;
inline constexpr int kErrNoSuchField = 178;
inline constexpr int kErrBadCaret = 179;
inline constexpr int kErrIndexSyntax = 180;
inline constexpr int kErrMapNotDollar = 181;
inline constexpr int kErrNamedField = 182;
inline constexpr int kErrNoMap = 183;
inline constexpr int kErrNoExtension = 184;
inline constexpr int kErrInlineNoClose = 185;
inline constexpr int kErrUnknownConstant = 186;
inline constexpr int kErrUnknownDiagram = 187;
inline constexpr int kErrNoIndex = 188;
inline constexpr int kErrNoParagraphDef = 189;
inline constexpr int kErrNoTextDef = 191;
inline constexpr int kErrNoTopicDef = 192;
inline constexpr int kDeclNotThisKind = 194;
inline constexpr int kDeclContinues = 195;
inline constexpr int kDeclNoKeyword = 196;
inline constexpr int kErrKeywordListParen = 197;
inline constexpr int kErrNoCurrentParagraph = 198;
inline constexpr int kErrTooManyFields = 200;
inline constexpr int kErrInlineFields = 201;
inline constexpr int kErrNoCurrentTopic = 202;
inline constexpr int kErrBangLetter = 203;
inline constexpr int kErrParagraphTag = 204;
inline constexpr int kErrTopicTag = 205;
inline constexpr int kErrTagBeforeTopic = 206;
inline constexpr int kErrFieldsDiffer = 207;
inline constexpr int kErrInlineFieldCount = 208;
inline constexpr int kErrContextValue = 209;
inline constexpr int kErrIndexKeyword = 211;
inline constexpr int kDeclOutOfOrder = 212;
inline constexpr int kErrLineContExtra = 213;
inline constexpr int kErrNestedTooDeep = 214;
inline constexpr int kErrBinaryFile = 215;
inline constexpr int kErrUnclosedComment = 216;

// "Error N: text" for any code (codes below 15 are taken as causes and
// raised by 100). Unknown codes read "Error N".
std::string DocMessage(int code);

// One message line a run reported.
struct DocError {
  int code = 0;      // the number shown (100 + cause, or an engine code); 0
                     // for a line that only says what followed from the
                     // errors before it
  std::string file;  // empty when the fault belongs to no file
  long line = 0;     // 0 when no line is known
  long more = 0;     // a summary line: this many more of `code` in `file`
                     // were counted and not shown
  std::string text;  // the line as written, without its line feed
};

// Where the engine's messages go: each is written as one line to a stream
// (the command line's standard error) and kept, so that a front end can
// read the run's errors without reading the text back.
class ErrorLog {
 public:
  explicit ErrorLog(std::ostream& text) : text_(text) {}
  ErrorLog(const ErrorLog&) = delete;
  ErrorLog& operator=(const ErrorLog&) = delete;

  // Writes `error.text` and a line feed, and keeps `error`.
  void Add(DocError error);
  const std::vector<DocError>& errors() const { return errors_; }

 private:
  std::ostream& text_;
  std::vector<DocError> errors_;
};

// Reports one message line: "file(line): Error N: text". An empty file
// leaves out the file and the ": "; a line of 0 or less leaves out "(line)".
void ReportError(ErrorLog& log, const std::string& file, long line, int code);

// What a run has reported: the number of error messages and the first code.
struct ErrorTally {
  long count = 0;
  int first_code = 0;
  void Add(int code) {
    if (count++ == 0) first_code = code;
  }
};

// Reports errors through ReportError, but no more than kShown of one code
// for one file: a flood of one fault (a 10 MB comment, a broken format text
// used by every topic) would bury everything else. Summarise() then writes
// one line per file and code for the rest: "file: Error N: text ... and
// 1,234 more".
class ErrorReporter {
 public:
  static constexpr long kShown = 5;

  // Every report is also counted in `tally` when it is not null.
  explicit ErrorReporter(ErrorLog& log, ErrorTally* tally = nullptr) : log_(log), tally_(tally) {}
  ErrorReporter(const ErrorReporter&) = delete;
  ErrorReporter& operator=(const ErrorReporter&) = delete;

  // `excerpt`, when not empty, is the text at fault, quoted after the
  // message.
  void Report(const std::string& file, long line, int code, const std::string& excerpt = std::string());
  // Writes the summary lines and forgets the counts.
  void Summarise();

 private:
  ErrorLog& log_;
  ErrorTally* tally_;
  std::map<std::pair<std::string, int>, long> counts_;
};

// Reports "file: Error N: reason" for a failure whose reason the system gave
// (a refused output: "Permission denied", "it is also one of the input
// files"): where a helper's Status meets the engine, `code` is 100 + the
// cause of errno and `reason` the Status's message, so the line carries the
// number the engine returns and the words the helper chose.
void ReportFailure(ErrorLog& log, const std::string& file, int code, const std::string& reason);

// The cause code of an errno value, for 100 + cause.
int CauseOfErrno(int error_number);

}  // namespace folios::docgen
