#include "app/refusal.h"

#include <utility>

#include "platform/native.h"
#include "texts/texts.h"

std::string refusalLine(const platform::RunEnd& end) {
  using platform::Refusal;
  using namespace texts;
  static constexpr std::pair<Refusal, MessageText> reasons[] = {
      {Refusal::foreignLink, msgRefusedForeignLink}, {Refusal::noBackup, msgRefusedNoBackup},
      {Refusal::changedWhileSaving, msgRefusedChanged}, {Refusal::notATable, msgRefusedNotATable},
      {Refusal::backupLeftAs, msgRefusedBackupLeftAs}};
  for (auto [refusal, reason] : reasons)
    if (refusal == end.refusal) return platform::printable(end.file + ": " + platform::nativeText(text(reason)), false);
  return {};
}
