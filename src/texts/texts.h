// The texts of the program: the entry numbers of the language tables, and the text arrays
// that point into the tables once they are loaded for a language.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>

#include "base/short_string.h"

namespace texts {

// Entry numbers of the tables (1-based, fixed: the table layout relies on them).
enum GeneralText : int {
  txtOff = 1, txtOn, txtPathChoiceFor, txtRecommend, txtWhichPath, txtMayI, txtCreateQ,
  txtReading, txtWriting, txtReservedRexx, txtReservedBatch, txtTitle, txtAbortColon,
  txtNotInCurrentDir, txtNotCopyProgram, txtStartDriveQ, txtYesNo, txtCopyToHardDisk,
  txtLblSubdirs, txtLblPartitionTable, txtLblBootSectors, txtLblVerbose, txtLblScreen,
  txtLblHex, txtLblMouse, txtLblColourTable, txtLblMemoryLimit, txtLblCpuEmulator,
  txtLblResources, txtLblIcons, txtLblLines, txtCreateColourTable, txtExitNoSave,
  txtSaveExit, txtAskColourTable, txtAskEmsLimit, txtAskRamLimit, txtAskScreenLines,
  txtAborted, txtSuccess, txtHelpHint, txtStartHint, generalTextsEnd
};
enum EditorText : int { edtFileName = 1, edtComment, edtSave, edtDrop, edtForeground, edtBackground, editorTextsEnd };
enum CategoryName : int {
  catNormal = 1, catCompiler, catArchiver, catExeCompressor, catSoundGraphic, catOverlay,
  catFileError, catVirus, catSystem, catDescription, catSign, catLibrary, catSavegame,
  catColourless, catStatusLine, categoryNamesEnd
};
enum DisplayModeName : int { modeEgaVga = 1, modeCga, modeAnsi, modeAscii, modeAsciiFiltered, modeHtml, displayModeNamesEnd };
// The texts the program gained after the first four tables were laid down: what the
// command line says, its help, and the line shown once the terminal is handed back.
enum MessageText : int {
  msgZorPathTooLong = 1, msgWritten, msgNothingWritten, msgLauncherNotWritten, msgChangedSinceRead,
  msgLauncher, msgLauncherNotThere, msgNoSuchDirectory, msgTooLongForLauncher,
  msgNoLauncher, msgNoSuchSetting, msgExpected, msgOnOrOff, msgExpectMode, msgExpectMemoryLimit,
  msgExpectScreenLines, msgExpectFileName, msgStandardOutput, msgHelpTitle,
  msgHelpUsage, msgHelpUsageSet, msgHelpUsageCheck, msgHelpAbout, msgHelpAboutEnd, msgHelpKeys, msgHelpKeysSwitch,
  msgHelpKeysAsk, msgAnd, msgHelpShow, msgHelpList, msgHelpSet, msgHelpModes, msgHelpFileName,
  msgHelpMemoryLimit, msgHelpScreenLines, msgHelpOptions, msgHelpOptionsMore, msgHelpDiff, msgHelpCheck, msgHelpConventions,
  msgHelpEnvironment, msgHelpExitStatus, msgTryHelp, msgUnknownOption, msgNeedsValue,
  msgTakesNoValue, msgAmbiguous, msgNotTogether, msgOnlyWith, msgUnexpected, msgNoPairs,
  msgUnchanged, msgNotKept, msgKeptAsBackup, msgNoTableYet, msgNoZorIn, msgStandardInput,
  msgErrorNotFound, msgErrorPathNotFound, msgErrorAccessDenied, msgErrorReadPast,
  msgErrorShortWrite, msgErrorBrokenPipe, msgErrorDiskFull, msgErrorOther, msgRefusedForeignLink,
  msgRefusedNoBackup, msgRefusedChanged, msgRefusedNotATable, msgRefusedBackupLeftAs, msgLineTooLong,
  msgLacksCharacter, msgZorLacksCharacter, msgZorNameHolds, msgZorNameEnds, msgClash, msgKeysYes,
  msgKeysNo, msgKeysSave, msgKeysDrop, msgPairForm, msgCheckNoZor,
  msgCheckNoLauncher, msgCheckNotOnPath, msgCheckShadows, msgCheckNoZorCall, msgCheckZorMissing, msgCheckZorOther,
  msgCheckTableMissing, msgCheckNotATable, msgCheckDropped, messageTextsEnd
};

// The number of entries of each table.
inline constexpr int generalTextCount = generalTextsEnd - 1;
inline constexpr int editorTextCount = editorTextsEnd - 1;
inline constexpr int categoryNameCount = categoryNamesEnd - 1;
inline constexpr int displayModeNameCount = displayModeNamesEnd - 1;
inline constexpr int messageTextCount = messageTextsEnd - 1;
// The display modes the screen setting chooses from: DisplayModeNames from entry 2 on.
inline constexpr int displayModeCount = displayModeNameCount - 1;

// Fills a text array from a table for the language code (the table's first language when
// it lacks the code). Returns the number of entries; refs[k-1] is entry k.
int loadTable(std::span<const std::uint8_t> table, std::string_view code,
              std::span<std::string_view> refs);

// Loads the tables for this language code, in the order General, Editor, Category,
// DisplayMode, Message, and fills the display-mode name array.
void loadAllFor(std::string_view code);

std::string_view text(GeneralText k);
std::string_view text(EditorText k);
std::string_view text(CategoryName k);
std::string_view text(DisplayModeName k);
std::string_view text(MessageText k);

// A text of either table that holds labels: the menu's first ones are general texts, any
// later one a message text.
struct Label {
  constexpr Label() = default;
  constexpr Label(GeneralText k) : general(k) {}  // NOLINT: a text is a label
  constexpr Label(MessageText k) : message(k) {}  // NOLINT
  explicit constexpr operator bool() const { return general != 0 || message != 0; }
  GeneralText general = {};
  MessageText message = {};
};
inline std::string_view text(Label label) { return label.general ? text(label.general) : text(label.message); }

// Whether the key is one of the letters of an answer's text (msgKeysYes, ...).
inline bool answers(MessageText letters, char key) { return text(letters).find(key) != std::string_view::npos; }

// The text with each "%s" replaced by the next of the words; a "%s" without a word stays.
std::string filled(std::string_view text, std::initializer_list<std::string_view> words);

// Element i names display mode i (DisplayModeNames entry i + 2), cut to 46 characters.
extern ShortString<46> displayModeNameArray[displayModeCount];

}  // namespace texts
