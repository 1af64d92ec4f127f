#include "base/ascii.h"
#include "platform/environment.h"
#include "platform/platform.h"
#include "platform/win32/code_page.h"
#include "platform/win32/windows.h"

namespace platform {

namespace {

// A search path in the OEM code page, a folder with a name the code page cannot carry left
// out: the program could only name another one. Elements keep their quotes.
std::string oemSearchPath(std::wstring_view list) {
  std::string out;
  for (std::size_t i = 0; i <= list.size();) {
    std::size_t end = i;
    for (bool quoted = false; end < list.size() && (quoted || list[end] != L';'); ++end)
      if (list[end] == L'"') quoted = !quoted;
    if (std::optional<std::string> element = win32::oemOf(list.substr(i, end - i))) {
      if (!out.empty() || i > 0) out += ';';
      out += *element;
    }
    i = end + 1;
  }
  return out;
}

}  // namespace

Str environmentValue(std::string_view name) {
  Str value;
  // Wide: the ANSI block holds other bytes than the OEM names the program works with.
  wchar_t* block = GetEnvironmentStringsW();
  if (!block) return value;
  // NAME=VALUE entries, each ended by a zero, the block by an empty entry. An entry may
  // begin with "=" (the current directory of a drive): its name runs to the second "=".
  for (const wchar_t* entry = block; *entry; entry += std::wstring_view(entry).size() + 1) {
    std::wstring_view text(entry);
    std::size_t equals = text.find(L'=', 1);
    if (equals == std::wstring_view::npos) continue;
    std::string entryName = win32::oemShown(text.substr(0, equals));
    if (ascii::sameIgnoringCase(entryName, name)) {
      std::wstring_view wide = text.substr(equals + 1);
      value = ascii::sameIgnoringCase(name, "PATH") ? oemSearchPath(wide) : win32::oemOf(wide).value_or("");
      break;
    }
  }
  FreeEnvironmentStringsW(block);
  return value;
}

Str searchPath(const Machine&) { return environmentValue("PATH"); }

}  // namespace platform
