// Language choice from the real environment of the process.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <optional>
#include <string>
#include <vector>

#include "texts/language.h"

namespace texts {
namespace {

// Sets LANG (and lang) for one test and puts the old values back afterwards.
class WithLang : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* name : {"LANG", "lang"}) {
      const char* value = getenv(name);
      saved.push_back(value ? std::optional<std::string>(value) : std::nullopt);
      unsetenv(name);
    }
  }
  void TearDown() override {
    const char* names[] = {"LANG", "lang"};
    for (int i = 0; i < 2; ++i) {
      if (saved[i]) setenv(names[i], saved[i]->c_str(), 1);
      else unsetenv(names[i]);
    }
  }
  std::vector<std::optional<std::string>> saved;
};

TEST_F(WithLang, AbsentOrEmptyGivesEnglish) {
  EXPECT_EQ(languageCode(), "EN");
  setenv("LANG", "", 1);
  loadAll();
  EXPECT_EQ(text(txtTitle), "config program for Zor");
  EXPECT_EQ(text(edtSave), "save");
  EXPECT_EQ(text(catVirus), "viruses");
  EXPECT_EQ(displayModeNameArray[1].view(), "16*16 colors Ansi    (slow)");
}

TEST_F(WithLang, GermanInEveryTable) {
  setenv("LANG", "de_DE.UTF-8", 1);
  EXPECT_EQ(languageCode(), "DE");
  loadAll();
  EXPECT_EQ(text(txtTitle), "Einrichtungsprogramm zu Zor");
  EXPECT_EQ(text(edtSave), "Speichern");
  EXPECT_EQ(text(catVirus), "Viren");
  EXPECT_EQ(text(modeAnsi), "16*16 Farben Ansi    (lahm)");
  EXPECT_EQ(displayModeNameArray[1].view(), "16*16 Farben Ansi    (lahm)");
}

TEST_F(WithLang, NameFoundWhateverItsCase) {
  setenv("lang", "de", 1);
  EXPECT_EQ(languageCode(), "DE");
}

#ifndef _WIN32
// As every POSIX program does: LC_ALL, then LC_MESSAGES, then LANG, the first one set.
TEST_F(WithLang, LcAllThenLcMessagesThenLang) {
  const struct {
    const char* all;
    const char* messages;
    const char* lang;
    const char* code;
  } cases[] = {{"de_DE", "en_US", "en_US", "DE"}, {"", "de_AT", "en_US", "DE"},
               {nullptr, "", "de", "DE"},          {"C", "de_DE", "de_DE", "C"},
               {nullptr, "en_GB", "de_DE", "EN"}};
  for (const auto& c : cases) {
    for (auto [name, value] : {std::pair{"LC_ALL", c.all}, {"LC_MESSAGES", c.messages}, {"LANG", c.lang}})
      value ? setenv(name, value, 1) : unsetenv(name);
    EXPECT_EQ(languageCode(), c.code) << c.all << "|" << c.messages << "|" << c.lang;
  }
  unsetenv("LC_ALL");
  unsetenv("LC_MESSAGES");
}
#endif

}  // namespace
}  // namespace texts
