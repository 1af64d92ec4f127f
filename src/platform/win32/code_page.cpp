#include "platform/win32/code_page.h"

#include "platform/dos_path.h"
#include "platform/win32/windows.h"

namespace platform::win32 {

std::wstring wideOf(std::string_view oemText) {
  if (oemText.empty()) return {};
  int size = static_cast<int>(oemText.size());
  std::wstring wide(static_cast<std::size_t>(MultiByteToWideChar(CP_OEMCP, 0, oemText.data(), size, nullptr, 0)), L'\0');
  MultiByteToWideChar(CP_OEMCP, 0, oemText.data(), size, wide.data(), static_cast<int>(wide.size()));
  return wide;
}

namespace {

// One character (a surrogate pair is one) in the OEM code page; false when it has no byte.
// Wine shows a character that no Windows name may hold (a control character, one of
// "*:<>?|\) as that character plus 0xF000: it is given back as itself, so that what a
// name holds is told by its true reason.
bool oemCharacter(std::wstring_view character, std::string& out) {
  if (character.size() == 1 && character[0] > 0xF000 && character[0] < 0xF080) {
    out += static_cast<char>(character[0] - 0xF000);
    return true;
  }
  char bytes[8];
  BOOL usedDefault = FALSE;
  int n = WideCharToMultiByte(CP_OEMCP, WC_NO_BEST_FIT_CHARS, character.data(), static_cast<int>(character.size()),
                              bytes, sizeof bytes, nullptr, &usedDefault);
  if (n <= 0 || usedDefault) return false;
  out.append(bytes, static_cast<std::size_t>(n));
  return true;
}

std::size_t characterLength(std::wstring_view wide, std::size_t i) {
  bool pair = i + 1 < wide.size() && wide[i] >= 0xD800 && wide[i] < 0xDC00 && wide[i + 1] >= 0xDC00 && wide[i + 1] < 0xE000;
  return pair ? 2 : 1;
}

char32_t codePointAt(std::wstring_view wide, std::size_t i) {
  if (characterLength(wide, i) == 1) return wide[i];
  return 0x10000 + ((static_cast<char32_t>(wide[i]) - 0xD800) << 10) + (static_cast<char32_t>(wide[i + 1]) - 0xDC00);
}

}  // namespace

std::optional<std::string> oemOf(std::wstring_view wide, std::string* lacking) {
  std::string out;
  for (std::size_t i = 0; i < wide.size();) {
    std::size_t n = characterLength(wide, i);
    if (!oemCharacter(wide.substr(i, n), out)) {
      if (lacking) *lacking = dos::characterName(codePointAt(wide, i));
      return std::nullopt;
    }
    i += n;
  }
  return out;
}

std::string oemShown(std::wstring_view wide) {
  std::string out;
  for (std::size_t i = 0; i < wide.size();) {
    std::size_t n = characterLength(wide, i);
    if (!oemCharacter(wide.substr(i, n), out)) out += '?';
    i += n;
  }
  return out;
}

}  // namespace platform::win32
