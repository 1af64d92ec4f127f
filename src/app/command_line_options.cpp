#include "app/command_line_options.h"

#include <string>

#include "app/command_line_result.h"

using namespace texts;

namespace {

// The long options; a value member for those that take one (a list for one that may be
// given again).
struct LongOption {
  std::string_view name;
  Options::Mode mode = Options::none;
  std::optional<std::string_view> Options::*value = nullptr;
  std::vector<std::string_view> Options::*values = nullptr;
};
constexpr LongOption longOptions[] = {
    {"--help", Options::help}, {"--version", Options::version}, {"--show", Options::show},
    {"--list", Options::list}, {"--set", Options::set},         {"--check", Options::check},
    {"--from", {}, {}, &Options::from},                         {"--launcher", {}, &Options::launcherDirectory},
    {"--zor", {}, &Options::zorDirectory},                      {"--dry-run"},
    {"--diff"},
};

[[noreturn]] void usage(std::string reason) { throw Stop{Stop::usage, std::move(reason)}; }

// The long option a word ("--sh") names: itself or the one it begins.
const LongOption& longOption(std::string_view word) {
  const LongOption* found = nullptr;
  int matches = 0;
  for (const LongOption& option : longOptions) {
    if (option.name == word) return option;
    if (word.size() > 2 && option.name.starts_with(word)) {
      found = &option;
      ++matches;
    }
  }
  if (matches == 0) usage(filled(msgUnknownOption, {word}));
  if (matches > 1) usage(filled(msgAmbiguous, {word}));
  return *found;
}

// The long option at arguments[i] with its value, if it takes one (then perhaps the next
// argument, and i moves on to it).
const LongOption& takeLongOption(std::span<const std::string> arguments, std::size_t& i, Options& o) {
  std::string_view word = arguments[i];
  std::size_t equals = word.find('=');
  const LongOption& option = longOption(word.substr(0, equals));
  if (option.value || option.values) {
    std::string_view value;
    if (equals != std::string_view::npos) value = word.substr(equals + 1);
    else if (i + 1 < arguments.size()) value = arguments[++i];
    else usage(filled(msgNeedsValue, {option.name}));
    if (option.value) o.*option.value = value;
    else (o.*option.values).push_back(value);
  } else if (equals != std::string_view::npos) {
    usage(filled(msgTakesNoValue, {option.name}));
  }
  return option;
}

// What goes with what: the options given besides the mode, and the operands. --launcher
// goes with each mode on the launcher, --zor with those that need ZOR's directory, the
// others with --set.
void checkTogether(const Options& o, const std::vector<std::string_view>& given, std::string_view first) {
  bool onLauncher = o.mode == Options::show || o.mode == Options::list || o.mode == Options::set ||
                    o.mode == Options::check;
  for (std::string_view name : given) {
    if (name == "--launcher" && !onLauncher) usage(filled(msgOnlyWith, {name, "--show, --list, --set, --check"}));
    if (name == "--zor" && (!onLauncher || o.mode == Options::list))
      usage(filled(msgOnlyWith, {name, "--show, --set, --check"}));
    if (name != "--launcher" && name != "--zor" && o.mode != Options::set) usage(filled(msgOnlyWith, {name, "--set"}));
  }
  if (o.dryRun && o.diff) usage(filled(msgNotTogether, {"--dry-run", "--diff"}));
  bool operandsTaken = o.mode == Options::show || o.mode == Options::set;
  if (!o.operands.empty() && !operandsTaken) usage(filled(msgUnexpected, {o.operands[0]}));
  if (o.mode == Options::none) usage(filled(msgUnexpected, {first}));
  if (o.mode == Options::set && o.operands.empty() && o.from.empty()) usage(said(msgNoPairs));
}

}  // namespace

Options parseOptions(std::span<const std::string> arguments) {
  Options o;
  bool onlyOperands = false;
  std::vector<std::string_view> given;  // the options that only go with some modes
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    std::string_view word = arguments[i];
    std::string_view modeWord = word;
    Options::Mode mode = Options::help;
    if (onlyOperands || word == "-" || (!word.starts_with('-') && word != "/?")) {
      o.operands.push_back(word);
      continue;
    }
    if (word == "--") {
      onlyOperands = true;
      continue;
    }
    if (word.starts_with("--")) {
      const LongOption& option = takeLongOption(arguments, i, o);
      if (option.mode == Options::none) {
        given.push_back(option.name);
        o.dryRun = o.dryRun || option.name == "--dry-run";
        o.diff = o.diff || option.name == "--diff";
        continue;
      }
      mode = option.mode;
      modeWord = option.name;
    } else if (word != "-h" && word != "-?" && word != "/?") {
      usage(filled(msgUnknownOption, {word}));
    }
    if (o.mode != Options::none && o.mode != mode) usage(filled(msgNotTogether, {o.modeWord, modeWord}));
    o.mode = mode;
    o.modeWord = modeWord;
  }
  checkTogether(o, given, arguments.empty() ? std::string_view() : std::string_view(arguments[0]));
  return o;
}
