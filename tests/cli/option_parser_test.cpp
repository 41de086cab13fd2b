// The subcommands' option parser: the forms an option may take, what ends
// the options, and the messages of a usage error.
#include "option_parser.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli_support.h"

namespace folios::cli {
namespace {

// A parser shaped like a subcommand's, recording every call it makes in
// order as "name" or "name=value", operands as "<operand>" ("<<operand>>"
// after "--").
class Recorder {
 public:
  Recorder() : parser_("reformat") {
    parser_.Flag("--check", Note("check"));
    parser_.Flag("-v,--verbose", Note("verbose"));
    parser_.Flag("-q,--quiet", Note("quiet"));
    parser_.Value("--suffix", "a suffix", Keep("suffix"));
    parser_.Value("-j,--jobs", "a number of jobs", Keep("jobs"));
    parser_.Value("--set", "NAME=VALUE", Keep("set"));
    parser_.Value("--settings", "a settings FILE", Keep("settings"));
    parser_.Value("--backup", "", [this](const std::string& value) {
      if (value != "orig" && value != "none") return "--backup takes orig or none, got '" + value + "'";
      calls_.push_back("backup=" + value);
      return std::string();
    });
    parser_.Operands([this](const std::string& operand, bool after_options) {
      calls_.push_back(after_options ? "<<" + operand + ">>" : "<" + operand + ">");
      return std::string();
    });
  }

  OptionParser& parser() { return parser_; }

  // The calls, or the usage error printed (with its exit status).
  std::string Parse(const std::vector<std::string>& args) {
    calls_.clear();
    testing::internal::CaptureStderr();
    int rc = parser_.Parse(args);
    std::string err = testing::internal::GetCapturedStderr();
    if (rc != kExitOk) return std::to_string(rc) + ": " + err;
    EXPECT_EQ(err, "");
    std::string joined;
    for (const std::string& call : calls_) joined += (joined.empty() ? "" : " ") + call;
    return joined;
  }

 private:
  std::function<void()> Note(const std::string& name) {
    return [this, name] { calls_.push_back(name); };
  }
  OptionParser::TakeValue Keep(const std::string& name) {
    return [this, name](const std::string& value) {
      calls_.push_back(name + "=" + value);
      return std::string();
    };
  }

  OptionParser parser_;
  std::vector<std::string> calls_;
};

std::string Usage(const std::string& message) { return "2: folios: " + message + "\nTry 'folios reformat --help'.\n"; }

TEST(OptionParser, ValuesInEveryFormInTheOrderGiven) {
  Recorder r;
  EXPECT_EQ(r.Parse({"--set", "a=1", "x.c", "--set=b=2", "-j4", "-j", "5", "--jobs=6", "--jobs", "7", "y.c"}),
            "set=a=1 set=b=2 jobs=4 jobs=5 jobs=6 jobs=7 <x.c> <y.c>");
  // Switches grouped, a value attached to the last of a group.
  EXPECT_EQ(r.Parse({"-qv", "-vj3", "--check", "--check"}), "quiet verbose verbose jobs=3 check check");
  // A value is taken whatever it looks like: an option, "--", a list.
  EXPECT_EQ(r.Parse({"--suffix", "--check", "--set", "--", "--settings", "-", "a.c"}),
            "suffix=--check set=-- settings=- <a.c>");
  EXPECT_EQ(r.Parse({"--set", "[a,b]", "[c,d].c"}), "set=[a,b] <[c,d].c>");
  // "--name=" is the empty value, not a request for the next argument.
  EXPECT_EQ(r.Parse({"--set=", "a.c"}), "set= <a.c>");
  EXPECT_EQ(r.Parse({"--backup=", "a.c"}), Usage("--backup takes orig or none, got ''"));
}

TEST(OptionParser, LongNamesMayBeShortenedWhileUnique) {
  Recorder r;
  EXPECT_EQ(r.Parse({"--chec", "--jo=2", "--verb", "--suf", ".bak", "a.c"}), "check jobs=2 verbose suffix=.bak <a.c>");
  EXPECT_EQ(r.Parse({"--se", "a.c"}), Usage("option '--se' is ambiguous: --set, --settings"));
  EXPECT_EQ(r.Parse({"--s", "a.c"}), Usage("option '--s' is ambiguous: --suffix, --set, --settings"));
  // The help option is always there.
  EXPECT_EQ(r.Parse({"--he"}), "");
  EXPECT_TRUE(r.parser().help_asked());
}

TEST(OptionParser, UnknownOptionsAreRefusedWithASuggestionWhenClose) {
  Recorder r;
  EXPECT_EQ(r.Parse({"--chekc", "a.c"}), Usage("unknown option '--chekc'; did you mean '--check'?"));
  EXPECT_EQ(r.Parse({"--verbsoe"}), Usage("unknown option '--verbsoe'; did you mean '--verbose'?"));
  EXPECT_EQ(r.Parse({"--zzzzzz", "a.c"}), Usage("unknown option '--zzzzzz'"));
  EXPECT_EQ(r.Parse({"-z", "a.c"}), Usage("unknown option '-z'"));
  EXPECT_EQ(r.Parse({"-qz"}), Usage("unknown option '-z'"));
  // Numbers and stray dashes are options too until "--".
  EXPECT_EQ(r.Parse({"a.c", "-5"}), Usage("unknown option '-5'"));
  EXPECT_EQ(r.Parse({"---x"}), Usage("unknown option '---x'"));
  // A switch takes no value.
  EXPECT_EQ(r.Parse({"--check=yes", "a.c"}), Usage("unknown option '--check=yes'"));
  EXPECT_EQ(r.Parse({"--chec=", "a.c"}), Usage("unknown option '--check='"));
}

TEST(OptionParser, DoubleDashEndsTheOptionsAndADashIsAnOperand) {
  Recorder r;
  EXPECT_EQ(r.Parse({"-", "--check", "--", "--chekc", "-5", "-", "--", "a.c"}),
            "check <-> <<--chekc>> <<-5>> <<->> <<-->> <<a.c>>");
  EXPECT_TRUE(r.parser().options_ended());
  EXPECT_EQ(r.Parse({"--check", "a.c"}), "check <a.c>");
  EXPECT_FALSE(r.parser().options_ended());
  // An operand may begin with any byte.
  EXPECT_EQ(r.Parse({std::string("\x01" "0.c"), "a.c"}), std::string("<\x01" "0.c> <a.c>"));
  // Help after "--" is a FILE named so.
  EXPECT_EQ(r.Parse({"--", "--help"}), "<<--help>>");
  EXPECT_FALSE(r.parser().help_asked());
}

TEST(OptionParser, AMissingValueIsNamedAsItWasWritten) {
  Recorder r;
  EXPECT_EQ(r.Parse({"a.c", "-j"}), Usage("-j needs a number of jobs"));
  EXPECT_EQ(r.Parse({"a.c", "--jobs"}), Usage("--jobs needs a number of jobs"));
  EXPECT_EQ(r.Parse({"a.c", "--jo"}), Usage("--jobs needs a number of jobs"));
  EXPECT_EQ(r.Parse({"-qj"}), Usage("-j needs a number of jobs"));
  EXPECT_EQ(r.Parse({"--set"}), Usage("--set needs NAME=VALUE"));
  // Without a text for it, the option's own refusal of the empty value.
  EXPECT_EQ(r.Parse({"--backup"}), Usage("--backup takes orig or none, got ''"));
}

TEST(OptionParser, HelpStopsBeforeAnyOptionActsAndTheFirstRefusalEndsTheParse) {
  Recorder r;
  EXPECT_EQ(r.Parse({"--check", "--set", "a=1", "a.c", "-h"}), "");
  EXPECT_TRUE(r.parser().help_asked());
  EXPECT_EQ(r.Parse({"--check", "--backup", "old", "--set", "a=1", "--backup=maybe"}),
            Usage("--backup takes orig or none, got 'old'"));
  EXPECT_FALSE(r.parser().help_asked());

  OptionParser strict("files");
  EXPECT_EQ(strict.Parse({}), kExitOk);
  testing::internal::CaptureStderr();
  EXPECT_EQ(strict.Parse({"a.c"}), kExitUsage);
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "folios: unexpected argument 'a.c'\nTry 'folios files --help'.\n");
}

TEST(OptionParser, OptionsOfAnotherParserAndUnknownOnesPassThroughWhole) {
  std::vector<std::string> words;
  bool quiet = false;
  OptionParser parser("doc");
  parser.PassThrough("-o", true);
  parser.Flag("-q,--quiet", [&] { quiet = true; });
  parser.UnknownOptionsAreOperands();
  parser.Operands([&](const std::string& word, bool after_options) {
    words.push_back(after_options ? "after:" + word : word);
    return std::string();
  });
  ASSERT_EQ(parser.Parse({"-o", "-q", "-rhtml", "-uv", "a.c", "-5", "--", "-q"}), kExitOk);
  EXPECT_EQ(words, (std::vector<std::string>{"-o", "-q", "-rhtml", "-uv", "a.c", "-5", "after:-q"}));
  EXPECT_FALSE(quiet);
  words.clear();
  // A group that holds a letter of no option stays whole; a known switch acts.
  ASSERT_EQ(parser.Parse({"-qx", "--qui", "set", "-old"}), kExitOk);
  EXPECT_EQ(words, (std::vector<std::string>{"-qx", "set", "-old"}));
  EXPECT_TRUE(quiet);
}

}  // namespace
}  // namespace folios::cli
