// Where the program meets the machine's own names and streams: the real path behind a DOS
// path, a DOS path for one typed in the machine's own form, directories, and text in the
// OEM code page written to standard output or standard error as the terminal shows it.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/short_string.h"
#include "platform/platform.h"

namespace platform {

// The machine's own path for a DOS path; "" where the two are the same (Windows) or the
// path names no file (a drive that is not mapped).
std::string nativePath(const Machine& m, std::string_view dosPath);
// A path in the machine's own form ("/opt/zor", "sub/dir", or a DOS path on Windows) as an
// absolute DOS path; "" when no drive holds it.
Str dosPathOf(const Machine& m, std::string_view nativePath);
// The locale that chooses the language of messages: on POSIX the first of LC_ALL,
// LC_MESSAGES and LANG that is set and not empty, on Windows LANG.
Str messagesLocale();
// True when the path names an existing directory.
bool directoryExists(const Machine& m, std::string_view dosPath);

// OEM text as the machine's own names and streams have it: UTF-8 on POSIX, the same bytes
// on Windows. A native path joins it as it is, never through the code page.
std::string nativeText(std::string_view oemText);
// Text in the machine's own form (a line of a file) in the OEM code page: on POSIX UTF-8 to
// code page 437; on Windows as it is. Nothing when a character has no byte there: lacking
// (when given) then names it ("U+20AC", a byte that is no UTF-8 "0xFF").
std::optional<std::string> oemTextOf(std::string_view nativeText, std::string* lacking = nullptr);

// The program's arguments (without its name) in the OEM code page, taken from the command
// line as the system has it: on Windows its wide form, since the bytes the C runtime hands
// over are those of the ANSI code page, with "?" for what that lacks.
struct Arguments {
  std::vector<std::string> words;
  // The first word that holds a character the OEM code page lacks, as the machine's streams
  // show it, and that character (as oemTextOf names it); both empty when every word fits.
  std::string unfitWord, unfitCharacter;
};
Arguments programArguments(int argc, char** argv);
// The character of the current directory's name that the OEM code page lacks, named as
// oemTextOf names it; "" when there is none.
std::string currentDirectoryLacks(const Machine& m);

enum class Stream { output, error };
// Writes text in the machine's own form (nativeText) whole: 0, or the error number of the
// write that failed (109 for a pipe without a reader, which never ends the process by a
// signal).
int writeStream(Stream stream, std::string_view text);
// Opens a file named in the machine's own form, of any length, to read it: any file that
// can be read (a FIFO, a device, /dev/stdin), "-" for standard input. 0, or the runtime
// error. Read with readSome.
int openNative(const Machine& m, const std::string& path, File& file);

// Text in the machine's own form as a terminal may be given it: each byte it would act on
// (a control byte, DEL, and on POSIX a C1 control, raw or in UTF-8) as \xNN; line feeds
// stay where keepLineFeeds says so.
std::string printable(std::string_view nativeText, bool keepLineFeeds);

// "Z:\ZOR\ZO.BAT (/zor/ZO.BAT)": a DOS path and, where it differs, the machine's own, as
// the machine's streams take it.
inline std::string pathForPeople(const Machine& m, std::string_view dosPath) {
  std::string text = nativeText(dosPath);
  if (std::string native = nativePath(m, dosPath); !native.empty()) text += " (" + native + ")";
  return printable(text, false);  // a line feed in a name must not end the line
}

// One path for a script to take: the machine's own where there is one, else the DOS path.
inline std::string pathForScripts(const Machine& m, std::string_view dosPath) {
  std::string native = nativePath(m, dosPath);
  return native.empty() ? nativeText(dosPath) : native;
}

}  // namespace platform
