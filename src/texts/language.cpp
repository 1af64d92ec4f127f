// Language selection from the environment; kept apart from the tables and the loader,
// which work on any language code.
#include "platform/platform.h"
#include "texts/language.h"
#include "texts/texts.h"

namespace texts {

ShortString<2> languageCode() { return languageCodeOf(platform::environmentValue("LANG")); }

void loadAll() { loadAllFor(languageCode()); }

}  // namespace texts
