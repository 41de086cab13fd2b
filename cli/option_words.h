// Long options written short, and suggestions for mistyped words: what the
// command-line parsers of the subcommands share.
#pragma once

#include <string>
#include <vector>

namespace folios::cli {

struct OptionName {
  const char* name;  // "--check", or a short "-j"
  bool takes_value;  // the next argument is its value unless given as --name=VALUE
};

// The candidate closest to `word` when it is close enough to be a slip of
// the fingers (a letter or two added, left out, changed or swapped); empty
// otherwise.
std::string ClosestWord(const std::string& word, const std::vector<std::string>& candidates);

// Before "--" and outside option values: a long option written as the
// unique beginning of one of `options` is written out in full ("--chec" is
// "--check", "--jo=2" is "--jobs=2"). A beginning that several share, and
// an unknown long option close to a known one, are usage errors naming the
// choices (kExitUsage); other unknown options are left for the command to
// refuse. Returns kExitOk otherwise.
int ExpandLongOptions(std::vector<std::string>* args, const std::vector<OptionName>& options, const char* command);

}  // namespace folios::cli
