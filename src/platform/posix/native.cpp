#include "platform/native.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/cp437.h"
#include "platform/dos_path.h"
#include "platform/error_number.h"
#include "platform/file_system.h"
#include "platform/platform.h"
#include "platform/posix/dos_view.h"

namespace platform {

std::string nativePath(const Machine& m, std::string_view dosPath) {
  return posix::posixPathOf(m, dosPath).value_or("");
}

Str dosPathOf(const Machine& m, std::string_view path) {
  if (path.starts_with('/')) return posix::dosFormOf(m.drives, std::string(path));
  std::optional<std::string> cwd = posix::workingDirectory();
  return cwd ? posix::dosFormOf(m.drives, *cwd + '/' + std::string(path)) : Str();  // ".." resolved there
}

Str messagesLocale() {
  for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    Str value = environmentValue(name);
    if (!value.empty()) return value;
  }
  return {};
}

bool directoryExists(const Machine& m, std::string_view dosPath) {
  std::optional<std::string> path = posix::posixPathOf(m, dosPath);
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

std::string currentDirectoryLacks(const Machine& m) {
  std::optional<std::string> cwd = posix::workingDirectory();
  std::string lacking;
  if (cwd) posix::dosFormOf(m.drives, *cwd, &lacking);
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

int openNative(const Machine& m, const std::string& path, File& file) {
  // The user named this file to be read: its links are followed, and it may be anything.
  int fd = path == "-" ? ::fcntl(STDIN_FILENO, F_DUPFD_CLOEXEC, 0) : ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) return runtimeErrorCode(errno, path);
  struct stat status;
  if (::fstat(fd, &status) == 0 && S_ISDIR(status.st_mode)) {
    ::close(fd);
    return 5;
  }
  file = File(m.files, fd);
  return 0;
}

std::string printable(std::string_view text, bool keepLineFeeds) {
  std::string shown;
  auto escaped = [&shown](unsigned char b) {
    const char* hex = "0123456789ABCDEF";
    shown += {'\\', 'x', hex[b >> 4], hex[b & 15]};
  };
  for (std::size_t i = 0; i < text.size(); ++i) {
    auto b = static_cast<unsigned char>(text[i]);
    if (b < 0x80) {
      if ((b >= 32 && b != 127) || (b == '\n' && keepLineFeeds)) shown += text[i];
      else escaped(b);
      continue;
    }
    // A whole UTF-8 character goes out as it is, but for U+0080 to U+009F, the C1
    // controls; a byte that begins none is shown as it is unless it is one of them, raw.
    std::size_t length = b >= 0xC2 && b <= 0xDF ? 2 : b >= 0xE0 && b <= 0xEF ? 3 : b >= 0xF0 && b <= 0xF4 ? 4 : 1;
    bool whole = length > 1 && i + length <= text.size();
    for (std::size_t k = 1; whole && k < length; ++k) whole = (static_cast<unsigned char>(text[i + k]) & 0xC0) == 0x80;
    bool c1 = whole && b == 0xC2 && static_cast<unsigned char>(text[i + 1]) < 0xA0;
    if (whole && !c1) {
      shown.append(text.substr(i, length));
      i += length - 1;
    } else if (c1) {
      escaped(b);
      escaped(static_cast<unsigned char>(text[++i]));
    } else if (b < 0xA0) {
      escaped(b);
    } else {
      shown += text[i];
    }
  }
  return shown;
}

}  // namespace platform
