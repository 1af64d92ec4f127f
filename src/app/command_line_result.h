// What the parts of the command line hand back, and the one way they stop: a job ends
// with an Outcome that runCommandLine prints; anything that ends the command line early
// throws a Stop, which runCommandLine reports.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "app/refusal.h"
#include "platform/run_end.h"
#include "texts/texts.h"

// A job done: its exit code, what goes to standard output and the notes for standard
// error, in the machine's own form.
struct Outcome {
  int code = 0;
  std::string out = {};
  std::vector<std::string> notes = {};  // a line each, told as "zorsetup: NOTE"
  bool keepCrLf = false;                // out shows the launcher's CR LF line ends as they are
};

// The command line ends early, told as "zorsetup: REASON" (the machine's own form): a
// usage error (exit code 2) with the line that points to the help after it, nothing to
// work on (1), or a runtime error (its number), with "Runtime error N" after it.
struct Stop {
  enum Kind { usage, nothingToWorkOn, runtime } kind;
  std::string reason;  // none when the notes say it all
  int runtimeError = 0;
  std::vector<std::string> notes = {};  // the job's notes so far, told first
};

// A message in the machine's own form.
std::string said(texts::MessageText message);
// The message with each "%s" replaced by the next of the words (OEM text), in the machine's
// own form.
std::string filled(texts::MessageText message, std::initializer_list<std::string_view> words);
// What a runtime error's number means, as the line before "Runtime error N" says it.
std::string meaningOf(int runtimeError);

// Runs step; a runtime error on the way stops the command line as "FILE: reason" (the
// refusal's reason, when a refusal explains it).
template <class Step>
auto about(std::string_view file, Step step) {
  try {
    return step();
  } catch (const platform::RunEnd& end) {
    std::string refused = refusalLine(end);
    throw Stop{Stop::runtime, refused.empty() ? std::string(file) + ": " + meaningOf(end.code) : refused, end.code};
  }
}
