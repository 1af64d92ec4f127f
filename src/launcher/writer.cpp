#include <string>

#include "console/console.h"
#include "launcher/launcher.h"
#include "prompts/prompts.h"
#include "platform/platform.h"
#include "settings/settings.h"
#include "texts/texts.h"

void writeLauncher(std::string_view fileName) {
  console::writeText(texts::text(texts::txtWriting));
  console::writeText(fileName);
  console::writeText(" ...\r\n");

  std::string content = "@ECHO OFF\r\n";
  content += reservedLine;
  content += "\r\n";
  // The command interpreter would split an unquoted path at its blank; every other path
  // stays unquoted so existing launchers come out byte for byte as before.
  bool quoted = zorDirectory.view().find(' ') != std::string_view::npos;
  if (quoted) content += '"';
  content += zorDirectory;
  content += "ZOR4.EXE";
  if (quoted) content += '"';
  content += formatOptionLine(settings);  // the last line has no line end

  // Written whole to a temporary file and renamed over the old launcher, so a failure
  // leaves the old one as it was.
  platform::replaceFile(fileName, content);
}
