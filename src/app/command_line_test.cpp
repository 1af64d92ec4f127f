#include "app/command_line.h"

#include <gtest/gtest.h>

#ifndef _WIN32
#include <fcntl.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "failing_files.h"
#include "settings/settings.h"
#include "test_support.h"

namespace {

// Runs the command line with standard output and error into files; the exit code, then
// what each stream got.
struct Ran {
  int code;
  std::string out, err;
};

Ran commandLine(std::vector<std::string> words, const test::TempDirectory& dir) {
  std::string name = "zorsetup";
  std::vector<char*> arguments = {name.data()};
  for (std::string& w : words) arguments.push_back(w.data());
  int saved[2] = {::dup(1), ::dup(2)};
  for (int fd : {1, 2}) {
    int file = ::open((dir / (fd == 1 ? "out" : "err")).c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    ::dup2(file, fd);
    ::close(file);
  }
  int code = 0;
  try {
    code = runCommandLine(platform::programArguments(static_cast<int>(arguments.size()), arguments.data()));
  } catch (const platform::RunEnd& end) {  // as the top of the program ends it
    code = end.code;
  }
  for (int fd : {1, 2}) {
    ::dup2(saved[fd - 1], fd);
    ::close(saved[fd - 1]);
  }
  return {code, test::readFile(dir / "out"), test::readFile(dir / "err")};
}

class CommandLine : public ::testing::Test {
 protected:
  void SetUp() override {
    test::writeFile(dir / "ZOR4.EXE", "MZ");
    test::writeFile(dir / "ZO.BAT", "@ECHO OFF\r\nREM mine\r\nC:\\ZOR4.EXE -U- -X7 %1");
  }
  std::string launcher() const { return test::readFile(dir / "ZO.BAT"); }
  test::TempDirectory dir;
  test::ScopedVariable lang{"LANG", "C"};
  test::ScopedVariable path{"PATH", ""};  // the launcher of the current directory is found first
};

TEST_F(CommandLine, SetTakesLettersAndNamesInEitherCaseAndWritesWhatTheMenuWould) {
  Ran r = commandLine({"--set", "U=on", "Memory-Limit=$10", "b=f", "screen-lines=30", "gtdata-dll=OFF"}, dir);
  EXPECT_EQ(r.code, 0) << r.err;
  Settings set;
  set.screenMode = 3;
  set.gtDataDll = 0;
  set.memoryLimitKb = 16;
  set.screenLines = 25;
  EXPECT_EQ(launcher(), "@ECHO OFF\r\nREM mine\r\n" + dir.dosName() + "ZOR4.EXE" + formatOptionLine(set));
  // The changed settings, each once, and none that stayed; then what of the hand-made
  // launcher is not written back.
  EXPECT_EQ(r.out.substr(r.out.find('\n') + 1),
            "subdirs=on\n"
            "display-mode=F\n"
            "memory-limit=16\n"
            "screen-lines=25\n"
            "gtdata-dll=off\n"
            "not kept: C:\\ZOR4.EXE -U- -X7 %1\n");
  EXPECT_NE(r.out.find("(the old one stays in ZO.BAK)\n"), std::string::npos) << r.out;
}

TEST_F(CommandLine, ShowPrintsWhatSetTakesBackAndASetThatChangesNothingWritesNothing) {
  // A hand-edited table name with escape sequences: shown escaped, never as they are.
  test::writeFile(dir / "ZO.BAT", "@ECHO OFF\r\nREM mine\r\nC:\\ZOR4.EXE -U- -F\x1b[?1049h\x0e %1");
  Ran shown = commandLine({"--show"}, dir);
  EXPECT_EQ(shown.code, 0) << shown.err;
  EXPECT_EQ(shown.out.find('\x1b'), std::string::npos);
  EXPECT_NE(shown.out.find("\ncolour-table=\\x1B[?1049h\\x0E\n"), std::string::npos) << shown.out;
  EXPECT_EQ(commandLine({"--show", "U", "memory-limit"}, dir).out, "off\n3000\n");

  std::filesystem::remove(dir / "ZO.BAT");
  ASSERT_EQ(commandLine({"--set", "u=off", "b=a", "x=300", "f=MY.FAR", "--launcher", "."}, dir).code, 0);
  const std::string made = launcher();
  shown = commandLine({"--show"}, dir);
  // The lines from a file, with a comment, a blank line and CR LF line ends, into a new launcher.
  std::filesystem::create_directory(dir / "other");
  test::writeFile(dir / "site.conf", "# copied\r\n\r\n" + shown.out);
  Ran r = commandLine({"--set", "--from", "site.conf", "--launcher", dir / "other"}, dir);
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(test::readFile(dir / "other/ZO.BAT"), made);
  // Once more: nothing to change, so nothing written and the file's time stays.
  auto time = std::filesystem::last_write_time(dir / "ZO.BAT");
  r = commandLine({"--set", "--from=site.conf", "x=300"}, dir);
  EXPECT_EQ(r.out.substr(0, 11), "unchanged: ");
  EXPECT_EQ(std::filesystem::last_write_time(dir / "ZO.BAT"), time);
  EXPECT_NE(r.err.find("note: no such file (yet): " + dir.dosName() + "MY.FAR"), std::string::npos) << r.err;
  // A bad line of the file is named by its number.
  test::writeFile(dir / "site.conf", "u=on\n\nmouse=maybe\n");
  EXPECT_EQ(commandLine({"--set", "--from", "site.conf"}, dir).err,
            "zorsetup: site.conf:3: mouse=maybe: expected on or off\nTry 'zorsetup --help'.\n");
}

TEST_F(CommandLine, NothingIsWrittenForABadPairOrAMissingLauncher) {
  const std::string before = launcher();
  // A colour table the launcher could not hand on to ZOR whole: control characters, a
  // double quote, or more than 252 characters with ZOR's directory in front.
  const std::string tooLong = "f=" + std::string(253 - dir.dosName().size(), 'L');
  for (const std::string& pair : std::vector<std::string>{"u=yes", "b=CE", "b=", "x=-1", "x=2048001", "z=61", "z=x", "zz=1", "=on", "u", "*=on",
                           "f=a\r\nDEL *.*", "f=a\"b", "f=\x1b\x01", tooLong}) {
    Ran r = commandLine({"--set", "x=5", pair}, dir);
    EXPECT_EQ(r.code, 2) << pair;
    EXPECT_NE(r.err.find(pair.substr(0, 2)), std::string::npos) << r.err;
    EXPECT_EQ(r.err.find('\n') + 1, r.err.find("Try 'zorsetup --help'.\n")) << r.err;  // one line of reason
    EXPECT_EQ(launcher(), before) << pair;
  }
  EXPECT_EQ(commandLine({"--set", tooLong.substr(0, tooLong.size() - 1), "--dry-run"}, dir).code, 0);
  {  // a note comes before the reason the save stops with
    test::FailingFiles files;
    files.failNext(test::FileOp::Create, ENOSPC);
    Ran r = commandLine({"--set", "f=MY.FAR"}, dir);
    EXPECT_EQ(r.code, 112);
    EXPECT_EQ(r.err.find("zorsetup: note: no such file (yet): "), 0u) << r.err;
  }
  for (std::vector<std::string> words : {std::vector<std::string>{"--set", "u=on", "--dry-run"}, {"--show"}}) {
    EXPECT_EQ(commandLine(words, dir).code, 0);
    EXPECT_EQ(launcher(), before);
  }
  // The dry run prints the launcher's lines as a terminal shows them, without CR.
  Settings shown;
  shown.colourTableName = dir.dosName() + "T\\MY.FAR";
  shown.subdirs = 0;
  shown.memoryLimitKb = 7;
  EXPECT_EQ(commandLine({"--set", "f=T\\MY.FAR", "--dry-run"}, dir).out,
            "@ECHO OFF\nREM mine\n" + dir.dosName() + "ZOR4.EXE" + formatOptionLine(shown) + "\n");
  std::filesystem::remove(dir / "ZO.BAT");
  for (const char* mode : {"--show", "--set"}) {
    Ran r = commandLine({mode, "u=on"}, dir);
    EXPECT_EQ(r.code, mode == std::string("--show") ? 2 : 1) << mode;  // --show takes no pairs
  }
  EXPECT_EQ(commandLine({"--show"}, dir).code, 1);
  EXPECT_FALSE(std::filesystem::exists(dir / "ZO.BAT"));
}

TEST_F(CommandLine, ALauncherDirectoryNamedOnTheCommandLine) {
  std::filesystem::create_directory(dir / "bin");
  Ran r = commandLine({"--set", "f=", "--launcher", dir / "bin"}, dir);  // a new launcher there
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.out.substr(0, r.out.find('\n')),
            "written: " + dir.dosName() + "bin\\ZO.BAT (" + dir / "bin/ZO.BAT)");
  EXPECT_EQ(test::readFile(dir / "bin/ZO.BAT").substr(0, 57),
            "@ECHO OFF\r\nREM * reserved line * please do not remove *\r\n");
  EXPECT_EQ(commandLine({"--show", "--launcher", dir / "none"}, dir).code, 1);
  {  // elsewhere: the launcher's directory in DOS form, ZOR's named
    const std::string top = dir.dosName();
    test::ScopedDirectory elsewhere{dir / "bin"};
    r = commandLine({"--set", "u=off", "--launcher", top + "bin", "--zor", top}, dir);
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_NE(test::readFile(dir / "bin/ZO.BAT").find(top + "ZOR4.EXE -!-"), std::string::npos);
    EXPECT_EQ(commandLine({"--set", "u=off", "--launcher", ".", "--zor", "."}, dir).err,
              "zorsetup: no ZOR4.EXE in " + top + "bin\n");
  }
  // Room for "ZO.BAT" behind the directory and its backslash: 255 characters in all.
  std::string longest(248 - dir.dosName().size(), 'd');
  for (const std::string& name : {longest, longest + "d"}) std::filesystem::create_directory(dir / name);
  EXPECT_EQ(commandLine({"--show", "--launcher", longest}, dir).code, 0);
  r = commandLine({"--show", "--launcher", longest + "d"}, dir);
  EXPECT_EQ(r.code, 1);
  EXPECT_EQ(r.err, "zorsetup: too long for ZO.BAT behind it: " + longest + "d\n");
}

TEST_F(CommandLine, AUsageErrorIsOneLineOfReasonWhereverItRuns) {
  std::filesystem::remove(dir / "ZOR4.EXE");  // and no launcher: the arguments are checked first
  std::filesystem::remove(dir / "ZO.BAT");
  for (auto [words, reason] : std::vector<std::pair<std::vector<std::string>, std::string>>{
           {{"--bogus"}, "unrecognized option '--bogus'"},
           {{"-x"}, "unrecognized option '-x'"},
           {{"--s"}, "option '--s' is ambiguous"},
           {{"--show", "--launcher"}, "option '--launcher' requires an argument"},
           {{"--show=all"}, "option '--show' doesn't allow an argument"},
           {{"--launcher=x"}, "'--launcher' goes only with --show, --list, --set"},
           {{"--show", "--zor", "."}, "'--zor' goes only with --set"},
           {{"--dry-run", "--list"}, "'--dry-run' goes only with --set"},
           {{"--help", "--sh"}, "'--help' and '--show' do not go together"},
           {{"--list", "u"}, "unexpected argument 'u'"},
           {{"--"}, "unexpected argument '--'"},
           {{"--set"}, "--set needs NAME=VALUE pairs or --from FILE"},
           {{"--set", "u=maybe"}, "u=maybe: expected on or off"},
           {{"--show", "u", "--", "--x"}, "--x: no such setting"},
       }) {
    Ran r = commandLine(words, dir);
    EXPECT_EQ(r.code, 2) << words[0];
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "zorsetup: " + reason + "\nTry 'zorsetup --help'.\n");
  }
  for (const char* help : {"--help", "--he", "-h", "-?", "/?"}) {
    Ran r = commandLine({help}, dir);
    EXPECT_EQ(r.code, 0);
    EXPECT_NE(r.out.find("Usage: zorsetup"), std::string::npos) << help;
  }
}

}  // namespace
#endif
