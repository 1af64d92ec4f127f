#include "app/command_line.h"

#include <string>
#include <string_view>

#include "app/command_line_help.h"
#include "app/command_line_jobs.h"
#include "app/command_line_options.h"
#include "app/command_line_result.h"
#include "app/command_line_set.h"
#include "platform/native.h"
#include "platform/platform.h"
#include "texts/language.h"

namespace {

// "zorsetup: " and the text, on one line of standard error.
void complain(std::string_view text) {
  platform::writeStream(platform::Stream::error, "zorsetup: " + platform::printable(text, false) + '\n');
}

Outcome run(const platform::Machine& m, const Options& o) {
  switch (o.mode) {
    case Options::help: return {.out = platform::nativeText(helpText())};
    case Options::version: return {.out = "zorsetup " ZORSETUP_VERSION "\n"};
    case Options::show: return showJob(m, o);
    case Options::list: return listJob(m, o);
    case Options::check: return checkJob(m, o);
    default: return setJob(m, o);
  }
}

// The text as platform::printable shows it, but with the CR of each CR LF kept: a diff
// shows the launcher's line ends as they are.
std::string printableKeepingCrLf(std::string_view text) {
  std::string shown;
  for (std::size_t at; (at = text.find("\r\n")) != std::string_view::npos; text.remove_prefix(at + 2))
    shown += platform::printable(text.substr(0, at), true) + "\r\n";
  return shown + platform::printable(text, true);
}

// Tells why the command line stopped; the exit code, unless a runtime error ends the run.
// Nothing to work on is 1, or 2 where 1 means an answer (--diff: a change, --check: findings).
int report(const Stop& stop, const Options& o) {
  for (const std::string& note : stop.notes) complain(note);
  if (!stop.reason.empty()) complain(stop.reason);
  if (stop.kind == Stop::runtime) platform::runtimeError(stop.runtimeError);
  if (stop.kind == Stop::nothingToWorkOn) return o.diff || o.mode == Options::check ? 2 : 1;
  platform::writeStream(platform::Stream::error, said(texts::msgTryHelp) + '\n');
  return 2;
}

}  // namespace

int runCommandLine(const platform::Machine& m, const platform::Arguments& arguments) {
  texts::loadAll();
  Outcome result;
  Options options;
  try {
    // No word is taken with a letter it does not have.
    if (!arguments.unfitWord.empty())
      throw Stop{Stop::usage, arguments.unfitWord + ": " + filled(texts::msgLacksCharacter, {arguments.unfitCharacter})};
    options = parseOptions(arguments.words);
    result = run(m, options);
  } catch (const Stop& stop) {
    return report(stop, options);
  }
  for (const std::string& note : result.notes) complain(note);
  std::string shown = result.keepCrLf ? printableKeepingCrLf(result.out) : platform::printable(result.out, true);
  if (int error = platform::writeStream(platform::Stream::output, shown))
    report(Stop{Stop::runtime, said(texts::msgStandardOutput) + ": " + meaningOf(error), error}, options);
  return result.code;
}
