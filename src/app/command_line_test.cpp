#include "app/command_line.h"

#include <gtest/gtest.h>

#ifndef _WIN32
#include <fcntl.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
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

Ran commandLine(std::vector<std::string> words, const test::TempDirectory& dir,
                platform::FileSystem& files = test::systemFiles) {
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
    platform::Arguments given = platform::programArguments(static_cast<int>(arguments.size()), arguments.data());
    code = runCommandLine(test::machine(files), given);
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
  Ran r = commandLine({"--set", "U=on", "Memory-Limit=$10", "b=f", "screen-lines=28", "gtdata-dll=OFF"}, dir);
  EXPECT_EQ(r.code, 0) << r.err;
  Settings set;
  set.screenMode = 3;
  set.gtDataDll = 0;
  set.memoryLimitKb = 16;
  set.screenLines = 28;
  EXPECT_EQ(launcher(), "@ECHO OFF\r\nREM mine\r\n" + dir.dosName() + "ZOR4.EXE" + formatOptionLine(set));
  // The changed settings, each once, and none that stayed; then what of the hand-made
  // launcher is not written back.
  EXPECT_EQ(r.out.substr(r.out.find('\n') + 1),
            "subdirs=on\n"
            "display-mode=F\n"
            "memory-limit=16\n"
            "screen-lines=28\n"
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
  Ran asked = commandLine({"--show", "U", "memory-limit"}, dir);
  EXPECT_EQ(asked.code, 0);
  EXPECT_EQ(asked.out, "off\n3000\n");

  std::filesystem::remove(dir / "ZO.BAT");
  ASSERT_EQ(commandLine({"--set", "u=off", "b=a", "x=300", "f=MY.FAR", "--launcher", "."}, dir).code, 0);
  const std::string made = launcher();
  shown = commandLine({"--show"}, dir);
  EXPECT_NE(shown.out.find("\ncolour-table=MY.FAR\n"), std::string::npos) << shown.out;  // in ZOR's directory
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
  // Files in order, then the arguments, a later pair winning; blanks around "=" and at the
  // ends of a line do not count.
  test::writeFile(dir / "site.conf", "u=on\n x = 5 \t\nmouse=off\nf=C:\\OUT.TAB\n");
  test::writeFile(dir / "host.conf", "u=off\nmouse=on\n");
  r = commandLine({"--set", "--from", "site.conf", "--from", dir.dosName() + "host.conf", "mouse=off"}, dir);
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(commandLine({"--show", "u", "x", "mouse", "f"}, dir).out, "off\n5\noff\nC:\\OUT.TAB\n");
  // Every bad line, by its file and number; nothing written.
  test::writeFile(dir / "site.conf", "u=on\n\nmouse=maybe\nlines=1\n");
  const std::string before = launcher();
  EXPECT_EQ(commandLine({"--set", "--from", "host.conf", "--from", "site.conf"}, dir).err,
            "zorsetup: site.conf:3: mouse=maybe: expected on or off\n"
            "zorsetup: site.conf:4: lines=1: no such setting\nTry 'zorsetup --help'.\n");
  EXPECT_EQ(launcher(), before);
}

TEST_F(CommandLine, NothingIsWrittenForABadPairOrAMissingLauncher) {
  const std::string before = launcher();
  // A colour table the launcher could not hand on to ZOR whole: control characters, a
  // double quote, or more than 252 characters with ZOR's directory in front.
  const std::string tooLong = "f=" + std::string(253 - dir.dosName().size(), 'L');
  for (const std::string& pair : std::vector<std::string>{"u=yes", "b=CE", "b=", "x=-1", "x=2048001", "z=61", "z=44", "z=x", "zz=1", "=on", "u", "*=on",
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
    Ran r = commandLine({"--set", "f=MY.FAR"}, dir, files);
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

// --check and --diff on one machine after another: what each finds, a line each, and the
// exit code. Each machine starts as SetUp leaves it, with an empty folder "ot%her".
TEST_F(CommandLine, CheckAndDiffAnswerByExitCode) {
  const std::string here = dir / "ZO.BAT", other = dir / "ot%her/ZO.BAT", hand = launcher();
  auto own = [&](std::string pair, std::string where = ".") {  // a launcher as --set writes it
    ASSERT_EQ(commandLine({"--set", pair, "--launcher", where}, dir).code, 0) << pair;
  };
  const std::string dropped = ": dropped-line: a save would drop the line: ";
  struct Case {
    std::function<void()> machine;
    std::vector<std::string> words;
    int code;
    std::string out;
  } cases[] = {
      {[] {}, {"--check"}, 1,
       here + ": zor-missing: starts C:\\ZOR4.EXE, which is not there\n" + here + dropped + "C:\\ZOR4.EXE -U- -X7 %1\n"},
      {[&] { own("u=on"); }, {"--check"}, 0, ""},
      {[&] { own("f=MY.FAR"); }, {"--check"}, 1,
       dir / "MY.FAR: table-missing: " + here + " names this colour table, which is not there\n"},
      {[&] { own("f=MY.FAR"), test::writeFile(dir / "MY.FAR", "QXZoFa" + std::string(61, '\0')); }, {"--check"}, 0, ""},
      {[&] { own("f=ZOR4.EXE"); }, {"--check"}, 1,
       dir / "ZOR4.EXE: not-a-table: " + here + " names this as its colour table, but it is none\n"},
      {[&] { own("u=on"), std::filesystem::remove(dir / "ZOR4.EXE"); }, {"--check"}, 1,
       dir / "ZOR4.EXE: no-zor: ZOR4.EXE is not there\n" + here + ": zor-missing: starts " + dir / "ZOR4.EXE" +
           ", which is not there\n"},
      {[&] { std::filesystem::remove(here); }, {"--check"}, 1,
       "ZO.BAT: no-launcher: no launcher ZO.BAT in the current directory or along PATH; name its directory with "
       "--launcher DIR\n"},
      {[] {}, {"--check", "--launcher", "ot%her"}, 1, other + ": no-launcher: the launcher is not there\n"},
      {[&] { own("u=on", "ot%her"); }, {"--check", "--launcher", "ot%her"}, 1,
       here + ": shadows: comes first along PATH, before " + other + "\n"},
      {[&] { own("u=on", "ot%her"), std::filesystem::remove(here); }, {"--check", "--launcher", "ot%her"}, 1,
       other + ": not-on-path: not found along PATH: ZO does not start it\n"},
      {[&] { test::writeFile(dir / "ot%her/ZOR4.EXE", "MZ"), test::writeFile(here, "@ECHO OFF\r\nREM\r\n\"ot%%her\\ZOR4.EXE\""); },
       {"--check"}, 1,
       here + ": zor-other: starts " + dir / "ot%her/ZOR4.EXE" + ", not " + dir / "ZOR4.EXE" + "\n" + here + dropped +
           "\"ot%%her\\ZOR4.EXE\"\n"},
      {[&] { test::writeFile(here, "@ECHO OFF\r\nREM\r\nECHO hi"); }, {"--check"}, 1,
       here + ": no-zor-call: starts no ZOR4.EXE\n" + here + dropped + "ECHO hi\n"},
      // The diff keeps the launcher's CR LF; the hand-made line goes as a save would drop it.
      {[] {}, {"--set", "u=off", "--diff"}, 1,
       "--- " + here + "\n+++ " + here + "\n@@ -1,3 +1,3 @@\n @ECHO OFF\r\n REM mine\r\n-C:\\ZOR4.EXE -U- -X7 %1\n"
       "\\ No newline at end of file\n+" + dir.dosName() +
           "ZOR4.EXE -!- -BC -C+ -G+ -H+ -L+ -ICO+ -M+ -P- -S- -U- -X7 -Z0 %1 %2 %3 %4 %5 %6 %7 %8 %9\n"
           "\\ No newline at end of file\n"},
      {[&] { own("u=on"); }, {"--set", "u=on", "--diff"}, 0, ""},
      {[&] { std::filesystem::remove(here); }, {"--set", "u=on", "--diff"}, 2, ""},
      {[&] { std::filesystem::remove(dir / "ZOR4.EXE"); }, {"--set", "u=on", "--diff"}, 2, ""},
  };
  for (const Case& c : cases) {
    std::filesystem::remove_all(dir / "ot%her");
    std::filesystem::create_directory(dir / "ot%her");
    test::writeFile(dir / "ZOR4.EXE", "MZ");
    test::writeFile(here, hand);
    c.machine();
    const std::string before = launcher();
    Ran r = commandLine(c.words, dir);
    EXPECT_EQ(r.code, c.code) << c.words[0] << ' ' << r.out << r.err;
    EXPECT_EQ(r.out, c.out);
    if (std::filesystem::exists(here)) {
      EXPECT_EQ(launcher(), before);
    }
  }
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
           {{"--launcher=x"}, "'--launcher' goes only with --show, --list, --set, --check"},
           {{"--list", "--zor", "."}, "'--zor' goes only with --show, --set, --check"},
           {{"--check", "--diff"}, "'--diff' goes only with --set"},
           {{"--set", "u=on", "--dry-run", "--diff"}, "'--dry-run' and '--diff' do not go together"},
           {{"--dry-run", "--list"}, "'--dry-run' goes only with --set"},
           {{"--help", "--sh"}, "'--help' and '--show' do not go together"},
           {{"--list", "u"}, "unexpected argument 'u'"},
           {{"--"}, "unexpected argument '--'"},
           {{"--set"}, "--set needs NAME=VALUE pairs or --from FILE"},
           {{"--set", "u=maybe"}, "u=maybe: expected on or off"},
           {{"--set", "mouse"}, "mouse: expected NAME=VALUE"},
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
    for (const char* listed : {", gtdata-dll (on or off)", "switch or step a setting; f, x and z"})
      EXPECT_NE(r.out.find(listed), std::string::npos) << help << listed;
  }
}

}  // namespace
#endif
