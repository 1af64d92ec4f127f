#include "texts/language.h"

#include "base/ascii.h"
#include "platform/native.h"

namespace texts {

ShortString<2> languageCodeOf(std::string_view langValue) {
  ShortString<2> code = langValue.substr(0, 2);
  if (code.empty()) return "EN";
  for (std::size_t i = 0; i < code.size(); ++i) code[i] = ascii::upper(code[i]);
  return code;
}

ShortString<2> languageCode() { return languageCodeOf(platform::messagesLocale()); }

void loadAll() { loadAllFor(languageCode()); }

}  // namespace texts
