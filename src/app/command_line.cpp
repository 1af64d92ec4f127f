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

Outcome run(const Options& o) {
  switch (o.mode) {
    case Options::help: return {.out = platform::nativeText(helpText())};
    case Options::version: return {.out = "zorsetup " ZORSETUP_VERSION "\n"};
    case Options::show: return showJob(o);
    case Options::list: return listJob(o);
    default: return setJob(o);
  }
}

// Tells why the command line stopped; the exit code, unless a runtime error ends the run.
int report(const Stop& stop) {
  for (const std::string& note : stop.notes) complain(note);
  complain(stop.reason);
  if (stop.kind == Stop::runtime) platform::runtimeError(stop.runtimeError);
  if (stop.kind == Stop::nothingToWorkOn) return 1;
  platform::writeStream(platform::Stream::error, said(texts::msgTryHelp) + '\n');
  return 2;
}

}  // namespace

int runCommandLine(const platform::Arguments& arguments) {
  texts::loadAll();
  Outcome result;
  try {
    // No word is taken with a letter it does not have.
    if (!arguments.unfitWord.empty())
      throw Stop{Stop::usage, arguments.unfitWord + ": " + filled(texts::msgLacksCharacter, {arguments.unfitCharacter})};
    result = run(parseOptions(arguments.words));
  } catch (const Stop& stop) {
    return report(stop);
  }
  for (const std::string& note : result.notes) complain(note);
  if (int error = platform::writeStream(platform::Stream::output, platform::printable(result.out, true)))
    report(Stop{Stop::runtime, said(texts::msgStandardOutput) + ": " + meaningOf(error), error});
  return result.code;
}
