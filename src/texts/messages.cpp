#include "texts/messages.h"

#include "texts/texts.h"

namespace texts {

std::string_view text(const Message& message) {
  return languageCode() == "DE" ? message.german : message.english;
}

}  // namespace texts
