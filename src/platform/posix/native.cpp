#include "platform/native.h"

#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/cp437.h"
#include "platform/dos_path.h"
#include "platform/error_number.h"
#include "platform/platform.h"
#include "platform/posix/dos_view.h"

namespace platform {

std::string nativePath(std::string_view dosPath) { return posix::posixPathOf(dosPath).value_or(""); }

Str dosPathOf(std::string_view path) {
  if (path.starts_with('/')) return posix::dosFormOf(std::string(path));
  std::optional<std::string> cwd = posix::workingDirectory();
  return cwd ? posix::dosFormOf(*cwd + '/' + std::string(path)) : Str();  // ".." resolved there
}

Str messagesLocale() {
  for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    Str value = environmentValue(name);
    if (!value.empty()) return value;
  }
  return {};
}

bool directoryExists(std::string_view dosPath) {
  std::optional<std::string> path = posix::posixPathOf(dosPath);
  struct stat status;
  return path && !path->empty() && ::stat(path->c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

std::optional<std::string> oemTextOf(std::string_view nativeText, std::string* lacking) {
  return dos::cp437Of(nativeText, lacking);
}

Arguments programArguments(int argc, char** argv) {
  Arguments arguments;
  for (int i = 1; i < argc; ++i) {
    std::string lacking;
    std::optional<std::string> word = dos::cp437Of(argv[i], &lacking);
    if (!word && arguments.unfitWord.empty()) {
      arguments.unfitWord = argv[i];
      arguments.unfitCharacter = lacking;
    }
    arguments.words.push_back(word.value_or(""));
  }
  return arguments;
}

std::string currentDirectoryLacks() {
  std::optional<std::string> cwd = posix::workingDirectory();
  std::string lacking;
  if (cwd) posix::dosFormOf(*cwd, &lacking);
  return lacking;
}

std::string nativeText(std::string_view oemText) {
  std::string text;
  for (char c : oemText) {
    auto b = static_cast<unsigned char>(c);
    if (b < 0x80) text += c;  // control bytes as they are
    else appendUtf8(text, cp437ToUnicode[b]);
  }
  return text;
}

int writeStream(Stream stream, std::string_view text) {
  ::signal(SIGPIPE, SIG_IGN);  // a reader gone is EPIPE, told by the exit code
  int fd = stream == Stream::output ? STDOUT_FILENO : STDERR_FILENO;
  for (std::size_t done = 0; done < text.size();) {
    ssize_t n = ::write(fd, text.data() + done, text.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return outputErrorOf(errno);
    if (n == 0) return 101;  // nothing taken: a short write
    done += static_cast<std::size_t>(n);
  }
  return 0;
}

int readStandardInput(std::string& text) {
  char buffer[4096];
  for (;;) {
    ssize_t n = ::read(STDIN_FILENO, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return win32ErrorOf(errno);
    if (n == 0) return 0;
    text.append(buffer, static_cast<std::size_t>(n));
  }
}

}  // namespace platform
