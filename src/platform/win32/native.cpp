#include "platform/native.h"

#include "platform/platform.h"
#include "platform/win32/code_page.h"
#include "platform/win32/windows.h"

#include <shellapi.h>

namespace platform {

std::string nativePath(const Machine&, std::string_view) { return {}; }

Str dosPathOf(const Machine& m, std::string_view path) { return expandPath(m, path); }

Str messagesLocale() { return environmentValue("LANG"); }

bool directoryExists(const Machine&, std::string_view dosPath) {
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

std::string currentDirectoryLacks(const Machine&) {
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

int openNative(const Machine& m, const std::string& path, File& file) {
  HANDLE h = INVALID_HANDLE_VALUE;
  if (path == "-") {
    HANDLE process = GetCurrentProcess();
    if (!DuplicateHandle(process, GetStdHandle(STD_INPUT_HANDLE), process, &h, 0, FALSE, DUPLICATE_SAME_ACCESS))
      return static_cast<int>(GetLastError());
  } else {
    // A path beyond MAX_PATH is taken whole, by the wide functions in the long form
    // ("\\?\" and the full path), which the *A functions do not take.
    int wide = MultiByteToWideChar(CP_OEMCP, 0, path.c_str(), -1, nullptr, 0);
    std::wstring name(static_cast<std::size_t>(wide > 0 ? wide : 1), L'\0');
    MultiByteToWideChar(CP_OEMCP, 0, path.c_str(), -1, name.data(), wide);
    name.resize(name.size() - 1);
    if (name.size() >= MAX_PATH) {
      std::wstring full(32768, L'\0');
      DWORD length = GetFullPathNameW(name.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
      if (length > 0 && length < full.size()) name = L"\\\\?\\" + full.substr(0, length);
    }
    h = CreateFileW(name.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return static_cast<int>(GetLastError());
  }
  file = File(m.files, reinterpret_cast<std::intptr_t>(h));
  return 0;
}

// The console shows every byte above 127 as a character of the code page.
std::string printable(std::string_view text, bool keepLineFeeds) {
  std::string shown;
  for (char c : text) {
    auto b = static_cast<unsigned char>(c);
    if ((b >= 32 && b != 127) || (c == '\n' && keepLineFeeds)) {
      shown += c;
      continue;
    }
    const char* hex = "0123456789ABCDEF";
    shown += {'\\', 'x', hex[b >> 4], hex[b & 15]};
  }
  return shown;
}

}  // namespace platform
