#include "platform/native.h"

#include "platform/platform.h"
#include "platform/win32/code_page.h"
#include "platform/win32/windows.h"

#include <shellapi.h>

namespace platform {

std::string nativePath(std::string_view) { return {}; }

Str dosPathOf(std::string_view path) { return expandPath(path); }

Str messagesLocale() { return environmentValue("LANG"); }

bool directoryExists(std::string_view dosPath) {
  if (dosPath.empty()) return false;
  DWORD attributes = GetFileAttributesA(std::string(dosPath).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::optional<std::string> oemTextOf(std::string_view nativeText, std::string*) { return std::string(nativeText); }

Arguments programArguments(int, char**) {
  Arguments arguments;
  int count = 0;
  LPWSTR* words = CommandLineToArgvW(GetCommandLineW(), &count);
  for (int i = 1; words && i < count; ++i) {
    std::string lacking;
    std::optional<std::string> word = win32::oemOf(words[i], &lacking);
    if (!word && arguments.unfitWord.empty()) {
      arguments.unfitWord = win32::oemShown(words[i]);
      arguments.unfitCharacter = lacking;
    }
    arguments.words.push_back(word.value_or(""));
  }
  LocalFree(words);
  return arguments;
}

std::string currentDirectoryLacks() {
  wchar_t buffer[MAX_PATH + 1];
  DWORD length = GetCurrentDirectoryW(MAX_PATH + 1, buffer);
  std::string lacking;
  if (length > 0 && length <= MAX_PATH) win32::oemOf(std::wstring_view(buffer, length), &lacking);
  return lacking;
}

std::string nativeText(std::string_view oemText) { return std::string(oemText); }

int writeStream(Stream stream, std::string_view oemText) {
  // Text in the OEM code page is what the console shows; a pipe gets the same bytes.
  HANDLE h = GetStdHandle(stream == Stream::output ? STD_OUTPUT_HANDLE : STD_ERROR_HANDLE);
  for (std::size_t done = 0; done < oemText.size();) {
    DWORD written = 0;
    if (!WriteFile(h, oemText.data() + done, static_cast<DWORD>(oemText.size() - done), &written, nullptr)) {
      // A pipe whose reader went away, however the system words it, is a broken pipe.
      DWORD error = GetLastError();
      bool noReader = error == ERROR_NO_DATA || error == ERROR_PIPE_NOT_CONNECTED;
      return noReader ? ERROR_BROKEN_PIPE : static_cast<int>(error);
    }
    if (written == 0) return 101;  // nothing taken: a short write
    done += written;
  }
  return 0;
}

int readStandardInput(std::string& text) {
  HANDLE h = GetStdHandle(STD_INPUT_HANDLE);
  char buffer[4096];
  for (;;) {
    DWORD n = 0;
    if (!ReadFile(h, buffer, sizeof buffer, &n, nullptr)) {
      DWORD error = GetLastError();
      return error == ERROR_BROKEN_PIPE ? 0 : static_cast<int>(error);  // the writer's end closed: the end
    }
    if (n == 0) return 0;
    text.append(buffer, n);
  }
}

}  // namespace platform
