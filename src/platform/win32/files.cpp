// Paths and files on Win32. File names are bytes of the OEM code page, as the console
// shows them, so the *A functions are switched to OEM before the first use.
// rand_s, the system's own random numbers, is declared only on request.
#define _CRT_RAND_S
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <utility>

#include "base/ascii.h"
#include "platform/file_system.h"
#include "platform/native.h"
#include "platform/platform.h"
#include "platform/replace.h"
#include "platform/win32/code_page.h"
#include "platform/win32/windows.h"

namespace platform {

namespace {

void useOemNames() {
  static const bool done = (SetFileApisToOEM(), true);
  (void)done;
}

// The *A functions want a terminated name; a short string has room for 255 bytes only.
std::string terminated(std::string_view name) { return std::string(name); }

bool hasWildcard(std::string_view path) { return path.find_first_of("*?") != std::string_view::npos; }

std::string directoryOf(std::string_view path) { return std::string(path.substr(0, path.find_last_of("\\/:") + 1)); }

// Temporary files are named "ZOR", five hex digits nobody can know ahead, and ".$$$" for
// new content, ".BK$" for a backup copy (the old content, maybe its only copy).
constexpr std::string_view newSuffix = ".$$$", copySuffix = ".BK$";
bool isTemporaryName(std::string_view name, std::string_view suffix) {
  return name.size() == 12 && name.starts_with("ZOR") && name.ends_with(suffix) &&
         name.substr(3, 5).find_first_not_of("0123456789ABCDEF") == std::string_view::npos;
}

// The summed-up content of a file, or nothing where it cannot be read.
std::optional<FileSummary> summaryOf(const Machine& m, const std::string& path) {
  File file;
  FileSummary summary;
  if (openFile(m, path, OpenMode::read, file) != 0 || replace::summarizeOpen(file, 0, summary) != 0)
    return std::nullopt;
  return summary;
}

// Removes what runs killed outright left in directory. The file of a save in progress is
// open without delete sharing, so a running save's file cannot be taken away here. A backup
// copy is left by a launcher's save cut short: where the launcher still holds the same, it
// is not needed; else it is the one copy of the old launcher and becomes ZO.BAK. Only a
// launcher's save (with a backupPath) finishes a copy.
void removeLeftovers(const Machine& m, const std::string& directory, const std::string& target,
                    const std::string& backupPath) {
  WIN32_FIND_DATAA found;
  HANDLE h = FindFirstFileA((directory + "ZOR?????.*").c_str(), &found);
  if (h == INVALID_HANDLE_VALUE) return;
  bool finished = false;
  do {
    std::string path = directory + found.cFileName;
    if (isTemporaryName(found.cFileName, newSuffix)) {
      DeleteFileA(path.c_str());
    } else if (isTemporaryName(found.cFileName, copySuffix) && !backupPath.empty()) {
      std::optional<FileSummary> copied = summaryOf(m, path), now = summaryOf(m, target);
      if (!copied) continue;
      if (now && now->sameContent(*copied)) DeleteFileA(path.c_str());
      else if (!finished) finished = m.files.rename(path, backupPath) == 0;
    }
  } while (FindNextFileA(h, &found));
  FindClose(h);
}

// Access denied for what may not be replaced (read-only, a folder, a device), whatever the
// rename (or a file system that lets the owner rename over anything) would allow; else 0.
// exists tells whether anything is there.
int refusal(const std::string& target, bool& exists) {
  DWORD attributes = GetFileAttributesA(target.c_str());
  exists = attributes != INVALID_FILE_ATTRIBUTES;
  if (!exists) return 0;
  if (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) return ERROR_ACCESS_DENIED;
  HANDLE h = CreateFileA(target.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                         OPEN_EXISTING, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return 0;
  bool device = GetFileType(h) != FILE_TYPE_DISK;
  CloseHandle(h);
  return device ? ERROR_ACCESS_DENIED : 0;
}

std::string fullPathOf(const std::string& name) {
  char full[MAX_PATH + 1];
  DWORD length = GetFullPathNameA(name.c_str(), sizeof full, full, nullptr);
  return length > 0 && length < sizeof full ? std::string(full, length) : name;
}

// Right before the new content takes the name: the name still holds the content that was
// judged (or is still free). Anything else, and the save stops: an edit made meanwhile is
// not lost. The old file is closed then, as the rename needs it so.
void stillAsJudged(const std::string& target, File& old, const FileSummary& judged) {
  FileSummary again;
  bool same = !judged.exists ? GetFileAttributesA(target.c_str()) == INVALID_FILE_ATTRIBUTES
                             : replace::rewind(old) == 0 && replace::summarizeOpen(old, 0, again) == 0 &&
                                   again.sameContent(judged);
  if (old.isOpen()) old.close();
  if (!same) refuse(5, Refusal::changedWhileSaving, target);
}

// Written whole to a temporary file, flushed, then put in target's place (ReplaceFileA for
// an existing file keeps its attributes, owner and access list).
void writeReplacing(FileSystem& files, const std::string& target, std::string_view content, File& old,
                    const FileSummary& judged) {
  std::string directory = directoryOf(target);
  DWORD attributes = GetFileAttributesA(target.c_str());
  replace::Temporary temp;
  if (int error = replace::createTemporary(files, directory, temp, false)) runtimeError(error);
  if (int error = replace::writeAll(temp.file, content, target)) runtimeError(error);
  if (int error = files.flush(temp.file.handle())) runtimeError(error);
  temp.file.close();
  // Given to the new file here as well: Wine's ReplaceFileA does not carry them over.
  constexpr DWORD kept = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE;
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & kept))
    SetFileAttributesA(temp.name.c_str(), attributes & kept);
  stillAsJudged(target, old, judged);
  if (int error = files.rename(temp.name, target)) runtimeError(error);
  temp.renamed = true;
}

}  // namespace

replace::Temporary::~Temporary() {
  file = File();  // closed first: an open file cannot be deleted here
  if (made && !renamed) DeleteFileA(name.c_str());
}

int replace::createTemporary(FileSystem& files, const std::string& directory, Temporary& temp, bool backupCopy) {
  for (int attempt = 0; attempt < 1000; ++attempt) {
    unsigned random = 0;
    if (rand_s(&random) != 0) return ERROR_GEN_FAILURE;
    char name[24];
    std::snprintf(name, sizeof name, "ZOR%05X%s", random & 0xFFFFF, backupCopy ? ".BK$" : ".$$$");
    temp.name = directory + name;
    std::intptr_t handle;
    int error = files.open(temp.name, OpenMode::createNew, handle);
    if (error == 0) {
      temp.file = File(files, handle);
      temp.made = true;
      return 0;
    }
    if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) return error;
  }
  return ERROR_FILE_EXISTS;
}

int replace::rewind(const File& file) {
  LARGE_INTEGER start = {};
  return SetFilePointerEx(reinterpret_cast<HANDLE>(file.handle()), start, nullptr, FILE_BEGIN) ? 0
                                                                                            : static_cast<int>(GetLastError());
}

// A device (CON, NUL, a pipe) is access denied.
int openPlain(FileSystem& files, const std::string& name, OpenMode mode, std::intptr_t& handle) {
  if (int error = files.open(name, mode, handle)) return error;
  if (GetFileType(reinterpret_cast<HANDLE>(handle)) == FILE_TYPE_DISK) return 0;
  files.close(handle);
  return ERROR_ACCESS_DENIED;
}

Machine machineOf(FileSystem& files) { return {files, {}}; }

Str currentDirectory(const Machine&) {
  // Wide: the OEM form would give "?" for a character the code page lacks, and so name
  // another directory.
  wchar_t buffer[MAX_PATH + 1];
  DWORD length = GetCurrentDirectoryW(MAX_PATH + 1, buffer);
  if (length == 0 || length > MAX_PATH) return Str();
  return Str(win32::oemOf(std::wstring_view(buffer, length)).value_or(""));
}

Str expandPath(const Machine& m, std::string_view path) {
  if (path.empty()) return currentDirectory(m);
  useOemNames();
  char buffer[MAX_PATH + 1];
  DWORD length = GetFullPathNameA(terminated(path).c_str(), sizeof buffer, buffer, nullptr);
  if (length == 0 || length >= sizeof buffer) return Str(path);
  return Str(std::string_view(buffer, length));
}

Listing listingOf(const Machine&, std::string_view path) {
  Listing listing;
  // A pattern would list other names; no entry's name holds these characters.
  if (path.empty() || hasWildcard(path)) return listing;
  std::wstring wide = win32::wideOf(path);
  std::wstring name = wide.substr(wide.find_last_of(L"\\/:") + 1);
  if (name.empty()) return listing;
  WIN32_FIND_DATAW found;
  HANDLE h = FindFirstFileW(wide.c_str(), &found);
  if (h == INVALID_HANDLE_VALUE) return listing;
  FindClose(h);
  listing.found = found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY ? Listing::folder : Listing::file;
  listing.name = win32::oemOf(found.cFileName).value_or("");
  if (name == found.cFileName) return listing;  // spelled as given: the one meant
  // Found in another letter case: on a file system that tells cases apart (under Wine)
  // there may be more than one.
  std::wstring upper = name;
  CharUpperBuffW(upper.data(), static_cast<DWORD>(upper.size()));
  h = FindFirstFileW((wide.substr(0, wide.size() - name.size()) + L"*").c_str(), &found);
  if (h == INVALID_HANDLE_VALUE) return listing;
  int matches = 0;
  Str first;
  do {
    std::wstring listed = found.cFileName;
    CharUpperBuffW(listed.data(), static_cast<DWORD>(listed.size()));
    if (listed != upper) continue;
    if (++matches == 1) {
      first = win32::oemOf(found.cFileName).value_or("");
    } else if (matches == 2) {
      listing = {Listing::several, first, Str(win32::oemOf(found.cFileName).value_or(""))};
    }
  } while (FindNextFileW(h, &found));
  FindClose(h);
  return listing;
}

int openFile(const Machine& m, std::string_view name, OpenMode mode, File& file, std::string*) {
  useOemNames();
  std::intptr_t handle;
  if (int error = openPlain(m.files, terminated(name), mode, handle)) return error;
  file = File(m.files, handle);
  return 0;
}

Entry entryAt(const Machine& m, std::string_view name) {
  useOemNames();
  Entry entry;
  std::string path = terminated(name);
  if (path.empty() || hasWildcard(path)) return entry;
  WIN32_FIND_DATAA found;
  HANDLE h = FindFirstFileA(path.c_str(), &found);
  if (h != INVALID_HANDLE_VALUE) {
    FindClose(h);
    if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
      entry = {EntryKind::plainFile, (std::uint64_t{found.nFileSizeHigh} << 32) | found.nFileSizeLow};
  } else if (GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES &&  // a device is there, unlisted
             directoryExists(m, directoryOf(fullPathOf(path)))) {
    entry.kind = EntryKind::free;
  }
  return entry;
}

int readFrom(const File& file, void* buffer, std::size_t size, std::size_t& got) {
  return file.files().read(file.handle(), buffer, size, got);
}

BackupCopy replaceFile(const Machine& m, std::string_view name, std::string_view content, const ReplaceRules& rules) {
  useOemNames();
  bool exists = false;
  if (int error = refusal(terminated(name), exists)) runtimeError(error);
  // Whole paths: Wine's ReplaceFileA finds no directory in a bare name.
  std::string target = fullPathOf(terminated(name));
  std::string directory = directoryOf(target);
  std::string backupPath = rules.backupName.empty() ? "" : directory + std::string(rules.backupName);
  removeLeftovers(m, directory, target, backupPath);
  // What stands there, opened once: what is judged is what is copied, and what the last
  // check before the rename compares with.
  File old;
  FileSummary judged;
  if (exists) {
    if (int error = openFile(m, target, OpenMode::read, old)) runtimeError(error);
    if (int error = replace::summarizeOpen(old, rules.keepUpTo, judged)) runtimeError(error);
  }
  Verdict verdict = rules.judge ? rules.judge(judged) : Verdict::replace;
  if (verdict == Verdict::refuse) refuse(5, Refusal::notATable, target);
  // The old content, held open (so no other run takes it for a leftover) until the new
  // content is in place, then renamed to the backup name.
  replace::Temporary copy;
  BackupCopy backup = BackupCopy::notNeeded;
  if (verdict == Verdict::replaceKeepingOld && exists && !backupPath.empty()) {
    bool taken = false;  // a folder there would be moved aside, not replaced
    int code = ascii::sameIgnoringCase(backupPath, target) || refusal(backupPath, taken) != 0
                   ? 5
                   : replace::copyOldContent(old, judged, directory, copy);
    if (code == -1) refuse(5, Refusal::changedWhileSaving, target);
    if (code != 0) refuse(code, Refusal::noBackup, target);
    backup = BackupCopy::kept;
  }
  writeReplacing(m.files, target, content, old, judged);  // a failure here leaves the backup name as it was
  if (backup != BackupCopy::kept) return backup;
  int error = copy.file.tryClose();
  if (error == 0) error = m.files.rename(copy.name, backupPath);
  copy.renamed = true;  // the backup now, or else the one copy of the old launcher: kept either way
  if (error != 0) refuse(error, Refusal::backupLeftAs, copy.name);
  return backup;
}

}  // namespace platform
