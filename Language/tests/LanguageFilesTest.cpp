// The installed language files hold every key of both add-ins, every translated value decodes,
// and no value is longer than the reader's buffer keeps.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>

#include "common/AddinState.h"
#include "common/Language.h"
#include "common/LanguageText.h"
#include "common/tests/TestEnvironment.h"
#include "platform/environment/Environment.h"

namespace tavo {
namespace {

std::filesystem::path LanguageFolder() {
  const char* stage = std::getenv("TAVO_STAGE_DIR");
  return std::filesystem::path(stage ? stage : "stage") / "bin" / "Language";
}

struct Case {
  const AddinParameterSet* params;
  const char* code;
};

class LanguageFilesTest : public ::testing::TestWithParam<Case> {};

TEST_P(LanguageFilesTest, EveryKeyLoadsAndDecodes) {
  test::TempEnvironment env;
  const Case c = GetParam();
  AddinState state(*c.params);
  state.gApplicationPath = platform::environment::Current().WindowsPath(LanguageFolder().parent_path());
  state.gLanguageCode = c.code;
  // Read every section, also the dialog sections English does not load, through the real reader.
  state.gLanguageFile = GetLanguageFile(state, state.gLanguageCode);
  ASSERT_FALSE(state.gLanguageFile.empty());
  for (const LanguageSection& section : LanguageSections(*c.params)) {
    ASSERT_TRUE(LoadLanguageSection(state, section)) << section.section;
    for (const LanguageKey& key : section.keys) {
      const std::string& value = state.strings[key.variable];
      EXPECT_FALSE(value.empty()) << section.section << " " << key.iniKey;
      if (state.gLanguageName == "english") continue;
      std::string text;
      EXPECT_NO_THROW(text = EscapedTextToUtf8(value)) << section.section << " " << key.iniKey;
      EXPECT_FALSE(text.empty()) << section.section << " " << key.iniKey;
    }
  }
  // Plain values keep the blanks that the toolbar captions and the joined messages need.
  if (state.gLanguageName == "english") EXPECT_EQ(state.strings["gsidemenu1"], " &Open ");
  else EXPECT_EQ(EscapedTextToUtf8(state.strings["gsidemenu1"]).front(), ' ');
  // And the ordinary load of the language succeeds.
  EXPECT_TRUE(LoadLanguage(state));
}

INSTANTIATE_TEST_SUITE_P(AllFiles, LanguageFilesTest,
                         ::testing::Values(Case{&kWriterParameters, "eng_us"}, Case{&kWriterParameters, "chi_ch"},
                                           Case{&kWriterParameters, "jap_ja"}, Case{&kSheetParameters, "eng_us"},
                                           Case{&kSheetParameters, "chi_ch"}, Case{&kSheetParameters, "jap_ja"}),
                         [](const ::testing::TestParamInfo<Case>& param) {
                           return std::string(param.param.params->name) + "_" + param.param.code;
                         });

// The reader cuts values at 259 characters, so a longer value in a file would be lost silently.
TEST(LanguageFilesRawTest, NoValueIsLongerThanTheReaderKeeps) {
  for (const char* name : {"english.ini", "chinese.ini", "japanese.ini"}) {
    std::ifstream in(LanguageFolder() / name);
    ASSERT_TRUE(in) << name;
    std::string line;
    int values = 0;
    while (std::getline(in, line)) {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      auto eq = line.find('=');
      if (line.empty() || line[0] == '[' || eq == std::string::npos) continue;
      ++values;
      EXPECT_LE(line.size() - eq - 1, 259u) << name << ": " << line.substr(0, eq);
    }
    EXPECT_GT(values, 0) << name;
  }
}

}  // namespace
}  // namespace tavo
