// The four language tables, each holding every text in English and German, and the text
// arrays that point into them after the language has been chosen from LANG.
#pragma once

#include <cstdint>
#include <span>
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
  txtAborted, txtSuccess, txtHelpHint, txtStartHint
};
enum EditorText : int { edtFileName = 1, edtComment, edtSave, edtDrop, edtForeground, edtBackground };
enum CategoryName : int {
  catNormal = 1, catCompiler, catArchiver, catExeCompressor, catSoundGraphic, catOverlay,
  catFileError, catVirus, catSystem, catDescription, catSign, catLibrary, catSavegame,
  catColourless, catStatusLine
};
enum DisplayModeName : int { modeEgaVga = 1, modeCga, modeAnsi, modeAscii, modeAsciiFiltered, modeHtml };

// The tables in their byte layout: length-prefixed marker "<SPRA2>", the language list
// "ENDE", a 16-bit little-endian entry count, then every entry's texts length-prefixed.
extern const std::span<const std::uint8_t> generalTexts;
extern const std::span<const std::uint8_t> editorTexts;
extern const std::span<const std::uint8_t> categoryNames;
extern const std::span<const std::uint8_t> displayModeNames;

// The language code from LANG: its first two characters with a-z upper-cased, "EN" when
// LANG is empty or absent.
ShortString<2> languageCode();

// Fills a text array from a table for the language code (the table's first language when
// it lacks the code). Returns the number of entries; refs[k-1] is entry k.
int loadTable(std::span<const std::uint8_t> table, std::string_view code,
              std::span<std::string_view> refs);

// Chooses the language and loads all four tables, then fills the display-mode name array.
void loadAll();

std::string_view text(GeneralText k);
std::string_view text(EditorText k);
std::string_view text(CategoryName k);
std::string_view text(DisplayModeName k);

// Element i names display mode i (DisplayModeNames entry i + 2), cut to 46 characters.
extern ShortString<46> displayModeNameArray[5];

}  // namespace texts
