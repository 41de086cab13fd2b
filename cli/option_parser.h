// The options of a subcommand, parsed by CLI11 in the forms a user of the
// command line expects: "--name VALUE", "--name=VALUE", "-xVALUE", grouped
// switches ("-qv"), repeats, unique beginnings of long names, "--" ending
// the options and "-" as an operand. The messages stay this program's own.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace folios::cli {

class OptionParser {
 public:
  // Takes an option's value; returns why it is refused, empty when taken.
  using TakeValue = std::function<std::string(const std::string& value)>;
  // Takes an operand; `after_options` is true for one that follows "--".
  using TakeOperand = std::function<std::string(const std::string& operand, bool after_options)>;

  // `command` names the subcommand in the hint "Try 'folios COMMAND --help'."
  explicit OptionParser(std::string command);

  // A switch, named as "-v,--verbose" or "--check".
  void Flag(const std::string& names, std::function<void()> on);
  // An option with a value. When none follows, the message is "<option as
  // written> needs <missing>"; an empty `missing` hands `take` an empty
  // value instead, so that its own refusal is the message.
  void Value(const std::string& names, std::string missing, TakeValue take);
  // An option of another parser, such as "-o" of the documentation build:
  // handed on whole among the operands, with the argument after it when it
  // takes a value, whatever that looks like.
  void PassThrough(const std::string& names, bool takes_value);
  // Where the operands go, in order. Without it an operand is refused.
  void Operands(TakeOperand take);
  // Arguments that look like options but are none of these are operands
  // too, kept whole (a setting's value may begin with '-'); otherwise each
  // is a usage error.
  void UnknownOptionsAreOperands();

  // Parses `args` (without the program and command names). The handlers
  // run once the whole line has parsed, options in the order given, then
  // the operands; the first refusal ends the parse. Returns kExitOk, or
  // kExitUsage after printing the message and the hint. "-h" or "--help"
  // before "--" stops the parse with kExitOk and help_asked() true.
  int Parse(std::vector<std::string> args);
  bool help_asked() const { return help_asked_; }
  // True when "--" ended the options.
  bool options_ended() const { return options_ended_; }

 private:
  struct Entry {
    std::vector<std::string> names;  // as written: "-j", "--jobs"
    std::string cli_names;
    bool takes_value = false;
    bool pass_through = false;
    std::string missing;
    std::function<void()> on;
    TakeValue take;
  };
  // A new entry under `names` ("-j,--jobs"), the rest left to the caller.
  Entry& Add(const std::string& names);
  const Entry* Find(const std::string& name) const;
  int Error(const std::string& text) const;

  std::string command_;
  std::vector<Entry> entries_;
  TakeOperand operands_;
  bool unknown_are_operands_ = false;
  bool help_asked_ = false;
  bool options_ended_ = false;
};

}  // namespace folios::cli
