// The format model: what a format file says about tags, fields and output
// texts, read from one or more format files.
//
// A format file has nine sections ([file], [topic], [paragraph], [text],
// [diagram], [constant], [index], [extension], [token]). Each keeps its
// definitions in file order; several files accumulate into the same lists.
// Definitions whose output-type field is not active for the run are skipped
// with all their keywords.
#pragma once

#include <array>
#include <cstdint>
#include <iosfwd>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace folios::docgen {

class ErrorLog;

enum Section {
  kSectionFile = 1,
  kSectionTopic,
  kSectionParagraph,
  kSectionText,
  kSectionDiagram,
  kSectionConstant,
  kSectionIndex,
  kSectionExtension,
  kSectionToken,
};
inline constexpr int kSectionCount = 9;

// Declaration kinds that a "parse" keyword asks the scanners for.
enum DeclKind {
  kDeclNone = 0,
  kDeclClassMember = 101,
  kDeclField = 102,
  kDeclParameter = 103,
  kDeclParameterOpt = 104,
  kDeclEnumMember = 105,
  kDeclMethod = 106,
  kDeclFriend = 107,
  kDeclBParameter = 108,
  kDeclBField = 109,
  kDeclBProperty = 110,
  kDeclJMethod = 111,
  kDeclJParameter = 112,
  kDeclFunction = 201,
  kDeclMemberFunction = 202,
  kDeclClass = 203,
  kDeclEnum = 204,
  kDeclConstant = 205,
  kDeclBSub = 206,
  kDeclBFunc = 207,
  kDeclStruct = 208,
  kDeclBType = 209,
  kDeclUnion = 210,
  kDeclJClass = 211,
  kDeclJInterface = 212,
};

enum CommentStyle { kStyleC = 1, kStyleBas = 2, kStyleAsm = 3, kStyleGeneric = 4 };

inline constexpr int kMaxFields = 6;
inline constexpr size_t kMaxName = 64;
inline constexpr size_t kMaxRendered = 256;

// One part of a field pattern.
struct PatternPart {
  enum Kind { kLiteral, kField, kFieldHead, kNamedField };
  Kind kind = kLiteral;
  std::string text;  // literal text, or the tag name of a named field
  int field = 0;     // 1..6
};
using FieldPattern = std::vector<PatternPart>;

struct Condition {
  enum Kind { kExists, kTagExists, kFieldEmpty, kEquals };
  Kind kind = kExists;
  FieldPattern left;   // exists: the pattern; equals: the left side
  FieldPattern right;  // equals: the right side
  std::string tag;     // tagexists
  int field = 0;       // fieldempty
};
// All conditions of one "if" line must hold.
using ConditionLine = std::vector<Condition>;

struct Replacement {
  char character = 0;
  std::string text;
  int context = 0;  // 0 body, 1 example
};

// A field map of a paragraph definition: builds a second paragraph with tag
// `target` from field references ("$N" or "$name.N").
struct FieldMap {
  std::string target;
  std::vector<PatternPart> references;
};

// Text slots, indexed by TextSlot.
enum TextSlot { kSlotPre, kSlotPost, kSlotFormat, kSlotFormatFirst, kSlotFormatLast, kSlotCount };

// One definition of any section; the members a section does not use stay empty.
struct Definition {
  std::string file;  // format file as given, for messages
  long line = 0;     // line of the defining keyword
  std::string name;  // tag name, constant name, extension
  std::array<std::string, kSlotCount> text;
  std::array<bool, kSlotCount> has_text{};
  // topic, paragraph, text
  int field_count = 0;
  int level = 0;
  int parse = kDeclNone;
  std::vector<ConditionLine> conditions;  // at most six
  // topic
  FieldPattern name_pattern;
  FieldPattern context_pattern;
  bool has_context = false;
  std::vector<std::string> order;
  // paragraph
  bool example = false;
  std::vector<FieldMap> maps;
  // diagram
  std::string second_name;
  std::vector<std::string> cancel;  // lower case
  // extension
  int style = kStyleC;
  char delimiter = 0;
  char line_continuation = 0;
  // token
  std::string out_extension;
  std::vector<Replacement> replacements;  // newest first
  std::string high_char_mask;
};

// Values a pattern or a condition is evaluated against.
struct PatternScope {
  const std::vector<std::string>* fields = nullptr;      // current paragraph's fields
  const std::string* topic_tag = nullptr;                // the topic's own tag name
  const std::vector<std::string>* topic_fields = nullptr;
};

// Answers the questions a condition asks about the current topic; supplied
// by topic output. Null during extraction, where conditions are not evaluated.
class ConditionContext {
 public:
  virtual ~ConditionContext() = default;
  virtual bool ContextExists(const std::string& context) const = 0;
  virtual bool TopicHasTag(const std::string& tag) const = 0;
  virtual PatternScope Scope() const = 0;
};

class FormatModel {
 public:
  explicit FormatModel(std::string output_type = "doc");

  // Loads one format file. `name` is tried as given, then in the directory
  // of `fallback_path`, then in the directories of $PATH. Returns 0 or an
  // error code; *line gets the line at which reading stopped. With
  // `verbose`, "Getting tags from <path>" is written to `out`.
  int Load(const std::string& name, const std::string& fallback_path, bool verbose,
           std::ostream& out, long* line);
  // Loads format text from memory; `name` is used in messages.
  int LoadText(const std::string& name, std::string_view text, long* line);

  // Adds a constant ahead of all others (from the "d" option).
  void DefineConstantFirst(const std::string& name, const std::string& value);

  // The section checks after all files are loaded; reports failures to
  // `errors` and returns false when any failed (a run type without a token
  // definition is named, with the types the files define).
  bool Validate(ErrorLog& errors) const;
  // Why the run's output type has no token definition, naming it and the
  // types the files loaded so far define.
  std::string NoTokenReason() const;

  const std::vector<Definition>& section(int section) const { return sections_[section - 1]; }
  // The first definition named `name` (case-insensitive) whose conditions
  // hold in `context`; with a null context conditions are not evaluated.
  const Definition* Find(int section, std::string_view name, const ConditionContext* context) const;
  // The first definition of the file, index or token section, or null.
  const Definition* First(int section) const;
  const Definition* FindExtension(std::string_view extension) const;

  const std::string& output_type() const { return output_type_; }
  // The paths of the format files read so far, as found.
  const std::vector<std::string>& loaded_files() const { return loaded_files_; }
  // Whether an output-type field is active for this run.
  bool IsActiveType(std::string_view type) const;

 private:
  std::string output_type_;
  std::array<std::vector<Definition>, kSectionCount> sections_;
  std::vector<Definition> pending_constants_;
  std::vector<std::string> loaded_files_;
  std::vector<std::string> token_types_;  // output types of [token] definitions, in file order
  bool token_section_seen_ = false;
  int token_context_ = 0;
  void NoteTokenType(std::string_view type);
  void Append(int section, Definition definition);
  // Per section: the positions of the definitions of each lower-case name,
  // in list order.
  std::array<std::unordered_map<std::string, std::vector<size_t>>, kSectionCount> by_name_;
  friend class FormatReader;
};

// Renders a field pattern over `scope` into at most 256 characters.
std::string RenderPattern(const FieldPattern& pattern, const PatternScope& scope);
// Evaluates the conditions of a definition (true when it has none).
bool ConditionsHold(const Definition& definition, const ConditionContext& context);

// Parses a field pattern at text[*pos] (for tests and the extraction of
// maps). `declared` limits the "$N" forms (0: no limit beyond 6).
// Returns 0 or an error code.
int ParsePattern(std::string_view text, size_t* pos, int declared, FieldPattern* pattern);

bool EqualsNoCase(std::string_view a, std::string_view b);
// `name` with ASCII letters in lower case, as EqualsNoCase compares.
std::string LowerName(std::string_view name);

}  // namespace folios::docgen
