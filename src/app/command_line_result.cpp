#include "app/command_line_result.h"

#include <utility>

#include "base/number.h"
#include "platform/native.h"

using namespace texts;

std::string said(MessageText message) { return platform::nativeText(text(message)); }

std::string filled(MessageText message, std::initializer_list<std::string_view> words) {
  return platform::nativeText(texts::filled(text(message), words));
}

std::string meaningOf(int runtimeError) {
  static constexpr std::pair<int, MessageText> known[] = {
      {2, msgErrorNotFound},   {3, msgErrorPathNotFound}, {5, msgErrorAccessDenied}, {100, msgErrorReadPast},
      {101, msgErrorShortWrite}, {109, msgErrorBrokenPipe}, {112, msgErrorDiskFull}};
  for (auto [number, message] : known)
    if (number == runtimeError) return said(message);
  return said(msgErrorOther) + std::string(decimal(runtimeError).view());
}
