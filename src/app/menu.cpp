#include "app/menu.h"

#include <algorithm>

#include "base/ascii.h"
#include "base/number.h"
#include "colours/editor.h"
#include "console/console.h"
#include "prompts/prompts.h"

using namespace texts;

namespace {

// The menu's keys that are no setting, drawn below the settings' rows.
enum class Action { editColours, giveUp, save };
struct MenuKey {
  char key;
  std::string_view sign;  // the five-character sign of a key that has no letter, else ""
  GeneralText label;
  Action action;
};
constexpr MenuKey ownKeys[] = {
    {'*', "", txtCreateColourTable, Action::editColours},
    {console::keyEsc, "[Esc]", txtExitNoSave, Action::giveUp},
    {console::keyEnter, "[<\xC4\xD9]", txtSaveExit, Action::save},  // a return arrow in the OEM code page
};

void endLine() { console::writeText("\r\n"); }

// "                     [u]  .. ", or "                    [Esc] .. ": every label starts in
// column 30, every value in column 52.
void leadIn(char key, std::string_view sign) {
  if (sign.empty()) {
    char text[] = "                     [ ]  .. ";
    text[22] = key;
    console::writeText(text);
  } else {
    console::writeText("                    ");
    console::writeText(sign);
    console::writeText(" .. ");
  }
}

// Values start in column 52; one that reached the last column would wrap and push every
// later row down. A longer one keeps its end, which is what tells paths apart.
constexpr std::string_view goesOn = "...";

Str shownInRow(const Str& value) {
  const auto room = static_cast<std::size_t>(std::max(console::screen().width, 80) - 52);
  if (value.size() <= room) return value;
  return Str(goesOn) + value.view().substr(value.size() - (room - goesOn.size()));
}

void drawMenu(const Settings& s) {
  newScreen();
  endLine();
  console::writeText("                       ");
  console::writeText(text(txtTitle));
  endLine();
  endLine();
  endLine();
  for (const Setting* row : shownOrder) {
    if (!row->label) continue;  // a key without a row
    leadIn(row->key, "");
    console::writeText(text(row->label));
    console::writeText(shownInRow(menuValue(*row, s)));
    endLine();
    if (row->kind == Kind::screenMode) {  // the name of the display mode, on a row of its own
      console::writeText("                             ");
      console::writeText(displayModeNameArray[s.screenMode]);
      endLine();
    }
  }
  for (const MenuKey& own : ownKeys) {
    leadIn(own.key, own.sign);
    console::writeText(text(own.label));
    endLine();
  }
  endLine();
  console::writeText("                      ");
}

// The prompt shows the old value, but for the screen lines, whose prompt takes two rows. A
// name the launcher could not hand on to ZOR whole is refused: the prompt waits again.
void ask(const Setting& row, RunState& run) {
  Settings& s = run.launcher.settings;
  endLine();
  console::writeText(text(row.prompt));
  if (row.kind != Kind::screenLines) {
    console::writeText(menuValue(row, s));
    console::writeText(")");
  }
  console::writeText("\r\n   ");
  if (row.kind == Kind::name) {
    Str answer;
    std::string full;
    readAnswer(answer, [&full, &run](Str& typed) {
      full = colourTableAnswer(typed, run.zorDirectory);
      return fitsOptionLine(full);
    });
    s.*row.text = full;
    return;
  }
  std::int32_t& value = s.*row.number;
  readNumber(value, row.taken.lowest, row.taken.highest);
  if (row.kind == Kind::screenLines) value = screenLinesAnswer(value);
}

}  // namespace

Str menuValue(const Setting& row, const Settings& s) {
  switch (row.kind) {
    case Kind::flag: return text(s.*row.flag ? txtOn : txtOff);
    case Kind::screenMode: return screenModeLetters.substr(static_cast<std::size_t>(s.screenMode), 1);
    case Kind::name: return s.*row.text;
    case Kind::memoryLimit: case Kind::screenLines: return decimal(s.*row.number).view();
    case Kind::ignored: break;
  }
  return {};
}

std::string colourTableAnswer(std::string_view answer, std::string_view zorDirectory) {
  bool absolute = (answer.size() >= 2 && ascii::isLetter(answer[0]) && answer[1] == ':') ||
                  (!answer.empty() && answer[0] == '\\');
  return answer.empty() || absolute ? std::string(answer) : std::string(zorDirectory) + std::string(answer);
}

std::int32_t screenLinesAnswer(std::int32_t lines) {
  switch (lines) {
    case 0: case 25: case 28: case 43: case 50: case 60: return lines;
    default: return 25;
  }
}

bool runMenu(RunState& run) {
  Settings& s = run.launcher.settings;
  for (;;) {
    drawMenu(s);
    std::uint8_t key = readKeyUpper();
    if (key == console::keyNone) {
      console::readKey();  // a cursor, function or Alt key: its scan code is no letter here
      continue;
    }
    for (const Setting* row : shownOrder) {
      if (static_cast<std::uint8_t>(ascii::upper(row->key)) != key) continue;
      switch (row->kind) {
        case Kind::flag: toggleFlag(s.*row->flag); break;
        case Kind::screenMode: s.screenMode = s.screenMode == 4 ? 0 : static_cast<std::int8_t>(s.screenMode + 1); break;
        default: ask(*row, run); break;
      }
    }
    for (const MenuKey& own : ownKeys) {
      if (static_cast<std::uint8_t>(own.key) != key) continue;
      switch (own.action) {
        case Action::editColours:
          if (editColourTable(s.colourTableName, run.colourTable)) run.tablesSaved.push_back(s.colourTableName);
          break;
        case Action::giveUp:
          run.outcome = RunState::Outcome::gaveUp;
          console::setTextAttribute(console::closingColours);
          console::clearScreen();
          abortWithMessage(text(txtAborted));
          return false;
        case Action::save: return true;
      }
    }
  }
}
