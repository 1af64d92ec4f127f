#include "app/command_line_help.h"

#include <algorithm>
#include <string_view>
#include <vector>

#include "settings/setting_table.h"
#include "settings/values.h"
#include "texts/texts.h"

using namespace texts;

namespace {

// Lines of at most 80 characters, broken at blanks; each line after the first starts
// with indent blanks. A word in brackets stays on the line of the word before it.
std::string wrapped(std::string_view text, std::size_t indent) {
  auto breakable = [&text](std::size_t at) { return text[at] == ' ' && text[at - 1] != ' ' && text[at + 1] != '('; };
  std::string lines;
  for (std::size_t room = 80; text.size() > room; room = 80 - indent) {
    std::size_t cut = room;
    while (cut > 0 && !breakable(cut)) --cut;
    if (cut == 0) break;  // a word longer than a line
    lines.append(text.substr(0, cut)).append("\n").append(indent, ' ');
    text.remove_prefix(cut + 1);
  }
  return lines.append(text).append("\n");
}

// "f, x and z"
std::string listed(const std::vector<std::string_view>& words, std::string_view conjunction) {
  std::string list;
  for (std::size_t i = 0; i < words.size(); ++i) {
    if (i > 0 && i + 1 == words.size()) list.append(" ").append(conjunction).append(" ");
    else if (i > 0) list += ", ";
    list += words[i];
  }
  return list;
}

}  // namespace

std::string helpText() {
  std::vector<std::string_view> switched, asked;
  std::vector<const Setting*> values;  // the first setting to take each kind of values
  for (const Setting* row : shownOrder) {
    if (row->label) (isStepped(*row) ? switched : asked).push_back({&row->key, 1});
    auto sameValues = [row](const Setting* first) { return first->values == row->values; };
    if (!row->name.empty() && std::ranges::none_of(values, sameValues)) values.push_back(row);
  }
  std::string keys(text(msgHelpKeys));
  for (std::string_view key : switched) keys.append(" ").append(key);
  keys.append(" ").append(text(msgHelpKeysSwitch)).append(" ").append(listed(asked, text(msgAnd)));
  keys.append(" ").append(text(msgHelpKeysAsk));

  std::string set(text(msgHelpSet));  // the names of the settings that take the same values, then those
  std::string_view separator = " ";
  for (const Setting* first : values) {
    for (const Setting* row : shownOrder) {
      if (row->name.empty() || row->values != first->values) continue;
      set.append(separator).append(row->name);
      separator = ", ";
    }
    set.append(" (").append(described(*first, first->values)).append(")");
  }

  std::string help = "zorsetup " ZORSETUP_VERSION;
  for (MessageText part :
       {msgHelpTitle, msgHelpUsage, msgHelpUsageSet, msgHelpUsageCheck, msgHelpAbout, msgHelpAboutEnd})
    help.append(text(part));
  help.append(wrapped(keys, 0)).append("\n").append(text(msgHelpShow)).append(text(msgHelpList));
  help.append(wrapped(set, 20));
  for (MessageText part : {msgHelpOptions, msgHelpOptionsMore, msgHelpDiff, msgHelpCheck, msgHelpConventions,
                           msgHelpEnvironment, msgHelpExitStatus})
    help.append(text(part));
  return help;
}
