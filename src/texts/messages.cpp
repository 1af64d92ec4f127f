#include "texts/messages.h"

#include "texts/language.h"

namespace texts {

std::string_view text(const Message& message) {
  return languageCode() == "DE" ? message.german : message.english;
}

}  // namespace texts
