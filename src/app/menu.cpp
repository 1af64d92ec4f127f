#include "app/menu.h"

#include <algorithm>

#include "base/ascii.h"
#include "colours/editor.h"
#include "console/console.h"
#include "prompts/prompts.h"
#include "settings/values.h"

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
    console::writeText(shownInRow(shownValue(*row, s)));
    endLine();
    if (std::string_view below = shownBelow(*row, s); !below.empty()) {
      console::writeText("                             ");
      console::writeText(below);
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

// A name the launcher could not hand on to ZOR whole is refused: the prompt waits again.
void ask(const Setting& row, RunState& run) {
  Settings& s = run.launcher.settings;
  endLine();
  console::writeText(text(row.prompt));
  if (row.promptShowsValue) {
    console::writeText(shownValue(row, s));
    console::writeText(")");
  }
  console::writeText("\r\n   ");
  if (isName(row)) {
    Str answer;
    readAnswer(answer, [&](Str& typed) { return takeName(row, typed, run.zorDirectory, s); });
    return;
  }
  std::int32_t number = s.*row.number;
  readNumber(number, row.taken.lowest, row.taken.highest);
  takeNumber(row, number, s);
}

}  // namespace

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
      if (isStepped(*row)) step(*row, s);
      else ask(*row, run);
    }
    for (const MenuKey& own : ownKeys) {
      if (static_cast<std::uint8_t>(own.key) != key) continue;
      switch (own.action) {
        case Action::editColours:
          if (editColourTable(run.machine, s.colourTableName, run.colourTable))
            run.tablesSaved.push_back(s.colourTableName);
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
