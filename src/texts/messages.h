// Texts the program gained after its four language tables were laid down, each in English
// and German like those, in the OEM code page.
#pragma once

#include <string_view>

namespace texts {

struct Message {
  std::string_view english;
  std::string_view german;
};

// The message in the language the run chose.
std::string_view text(const Message& message);

// The full path of ZOR4.EXE has to fit the program's 255 characters.
inline constexpr Message msgZorPathTooLong = {
    "abort : the path of ZOR's directory is longer than 246 characters!",
    "Abbruch : der Pfad des ZOR-Verzeichnisses ist l\x84nger als 246 Zeichen!"};
// The launcher hands ZOR's path on to the command interpreter, which could not take these.
inline constexpr Message msgZorPathUnusable = {
    "abort : the path of ZOR's directory holds a control character or a \"!",
    "Abbruch : der Pfad des ZOR-Verzeichnisses enth\x84lt ein Steuerzeichen oder ein \"!"};

// After the terminal is handed back: which files the run wrote.
inline constexpr Message msgWritten = {"written: ", "geschrieben: "};
inline constexpr Message msgNothingWritten = {"nothing written", "nichts geschrieben"};
inline constexpr Message msgLauncherNotWritten = {"launcher not written; ", "Startdatei nicht geschrieben; "};
inline constexpr Message msgChangedSinceRead = {" (it had changed since it was read)",
                                                " (sie war seit dem Lesen ge\x84ndert worden)"};
inline constexpr Message msgBackupFailed = {" (the old one could not be kept as ZO.BAK)",
                                            " (die alte konnte nicht als ZO.BAK bleiben)"};

}  // namespace texts
