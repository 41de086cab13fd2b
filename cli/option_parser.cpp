#include "option_parser.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <map>
#include <sstream>

#include "cli_support.h"
#include "option_words.h"

namespace folios::cli {

namespace {

// Stands in for an argument kept from CLI11 (one passed through, or an
// unknown option taken as an operand): no option begins with this byte, so
// CLI11 passes it on as an operand. An argument that begins with it is kept
// from CLI11 too, so that it cannot be taken for a stand-in.
constexpr char kHiddenMark = '\x01';

std::vector<std::string> SplitNames(const std::string& names) {
  std::vector<std::string> split;
  std::stringstream stream(names);
  std::string name;
  while (std::getline(stream, name, ',')) split.push_back(name);
  return split;
}

}  // namespace

OptionParser::OptionParser(std::string command) : command_(std::move(command)) {
  Flag("-h,--help", [] {});
}

OptionParser::Entry& OptionParser::Add(const std::string& names) {
  Entry& entry = entries_.emplace_back();
  entry.names = SplitNames(names);
  entry.cli_names = names;
  return entry;
}

void OptionParser::Flag(const std::string& names, std::function<void()> on) { Add(names).on = std::move(on); }

void OptionParser::Value(const std::string& names, std::string missing, TakeValue take) {
  Entry& entry = Add(names);
  entry.takes_value = true;
  entry.missing = std::move(missing);
  entry.take = std::move(take);
}

void OptionParser::PassThrough(const std::string& names, bool takes_value) {
  Entry& entry = Add(names);
  entry.takes_value = takes_value;
  entry.pass_through = true;
}

void OptionParser::Operands(TakeOperand take) { operands_ = std::move(take); }

void OptionParser::UnknownOptionsAreOperands() { unknown_are_operands_ = true; }

const OptionParser::Entry* OptionParser::Find(const std::string& name) const {
  for (const Entry& entry : entries_) {
    if (std::find(entry.names.begin(), entry.names.end(), name) != entry.names.end()) return &entry;
  }
  return nullptr;
}

int OptionParser::Error(const std::string& text) const { return UsageError(command_, text); }

int OptionParser::Parse(std::vector<std::string> args) {
  help_asked_ = false;
  options_ended_ = false;
  // Unique beginnings of long names written out; ambiguous beginnings and
  // near misses refused with the choices (CLI11 knows only whole names).
  std::vector<OptionName> table;
  for (const Entry& entry : entries_) {
    for (const std::string& name : entry.names) table.push_back({name.c_str(), entry.takes_value});
  }
  if (int rc = ExpandLongOptions(&args, table, command_.c_str()); rc != kExitOk) return rc;

  // What CLI11 reads differently from this command line's own rules, up to
  // "--": a switch given a value is no option of ours, and "--name=" gives
  // the empty value (CLI11 would take the next argument instead).
  std::vector<std::string> prepared;
  std::vector<std::string> hidden;  // the arguments kept from CLI11
  auto hide = [&](const std::string& arg) {
    hidden.push_back(arg);
    prepared.push_back(std::string(1, kHiddenMark) + std::to_string(hidden.size() - 1));
  };
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--") {
      prepared.insert(prepared.end(), args.begin() + static_cast<long>(i), args.end());
      break;
    }
    const size_t eq = arg.rfind("--", 0) == 0 ? arg.find('=') : std::string::npos;
    const Entry* entry = Find(arg.substr(0, eq));
    if (entry && eq != std::string::npos) {
      if (!entry->takes_value) return Error("unknown option '" + arg + "'");
      if (eq + 1 == arg.size()) {
        prepared.push_back(arg.substr(0, eq));
        prepared.emplace_back();
        continue;
      }
    }
    if (entry && entry->pass_through) {
      hide(arg);
      if (entry->takes_value && i + 1 < args.size()) hide(args[++i]);
      continue;
    }
    if (entry) {
      prepared.push_back(arg);
      if (entry->takes_value && eq == std::string::npos && i + 1 < args.size()) prepared.push_back(args[++i]);
      continue;
    }
    if ((unknown_are_operands_ && arg.size() > 1 && arg[0] == '-') || (!arg.empty() && arg[0] == kHiddenMark)) {
      hide(arg);
      continue;
    }
    prepared.push_back(arg);
  }

  CLI::App app;
  app.set_help_flag();
  app.allow_extras();  // operands and unknown options come back in order, with "--"
  std::map<const CLI::Option*, const Entry*> entry_of;
  for (const Entry& entry : entries_) {
    if (entry.pass_through) continue;
    CLI::Option* option = entry.takes_value ? app.add_option(entry.cli_names) : app.add_flag(entry.cli_names);
    option->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
    entry_of[option] = &entry;
  }
  try {
    std::vector<std::string> reversed(prepared.rbegin(), prepared.rend());
    app.parse(reversed);
  } catch (const CLI::ArgumentMismatch&) {
    // Only the last argument can lack its value: "-j", "--jobs", or the
    // last of grouped switches ("-qj").
    const std::string& last = prepared.back();
    const std::string written = last.rfind("--", 0) == 0 ? last : std::string("-") + last.back();
    const Entry* entry = Find(written);
    if (!entry || entry->missing.empty()) {
      if (entry && entry->take) {
        if (std::string refused = entry->take(std::string()); !refused.empty()) return Error(refused);
      }
      return Error(written + " needs a value");
    }
    return Error(written + " needs " + entry->missing);
  } catch (const CLI::ParseError& error) {
    return Error(error.what());
  }

  if (app.count("--help") > 0) {
    help_asked_ = true;
    return kExitOk;
  }
  // Before "--", whatever begins with '-' (but '-' alone) is an unknown
  // option; the operands are the rest, in order.
  std::vector<std::pair<std::string, bool>> operands;
  bool after_options = false;
  for (const std::string& arg : app.remaining()) {
    if (!after_options && arg == "--") {
      after_options = options_ended_ = true;
      continue;
    }
    if (!after_options && !arg.empty() && arg[0] == kHiddenMark) {
      operands.emplace_back(hidden[std::stoul(arg.substr(1))], false);
      continue;
    }
    if (!after_options && arg.size() > 1 && arg[0] == '-') return Error("unknown option '" + arg + "'");
    operands.emplace_back(arg, after_options);
  }

  std::map<const CLI::Option*, size_t> taken;
  for (const CLI::Option* option : app.parse_order()) {
    const Entry* entry = entry_of.at(option);
    const std::string& value = option->results().at(taken[option]++);
    if (!entry->takes_value) {
      entry->on();
    } else if (std::string refused = entry->take(value); !refused.empty()) {
      return Error(refused);
    }
  }
  for (const auto& [operand, after] : operands) {
    if (!operands_) return Error("unexpected argument '" + operand + "'");
    if (std::string refused = operands_(operand, after); !refused.empty()) return Error(refused);
  }
  return kExitOk;
}

}  // namespace folios::cli
