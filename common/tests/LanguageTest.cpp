#include "common/Language.h"

#include <gtest/gtest.h>

#include "common/AddinState.h"
#include "common/LanguageText.h"
#include "common/tests/TestEnvironment.h"
#include "platform/core/RuntimeError.h"
#include "platform/files/Files.h"

namespace tavo {
namespace {

using namespace std::string_literals;

TEST(UnicodeEscapeTest, BytesOfEscapedText) {
  const std::pair<std::string, std::string> cases[] = {
      {"", "\xFF\xFE"s},
      {"\\", "\xFF\xFE"s},  // nothing but separators still leaves the mark
      {"\\\\\\", "\xFF\xFE"s},
      {"\\u4F60\\u597D", "\xFF\xFE\x60\x4F\x7D\x59\0\0\0\0\0"s},  // 11 bytes: 5k + 1
      {"\\u4f60\\u597d", "\xFF\xFE\x60\x4F\x7D\x59\0\0\0\0\0"s},  // digits of either case
      {"\\u0041xyz", "\xFF\xFE\x41\0\0\0\0\0\0"s},                // characters after the digits are dropped
      {"ab\\u0041", "\xFF\xFE\x41\0\0\0\0\0"s},                     // fewer than four before the first escape
      {"abcd\\u0041", "\xFF\xFE\xCD\xAB\x41\0\0\0\0\0"s},         // four hex digits before it read as a unit
  };
  for (const auto& [text, bytes] : cases) EXPECT_EQ(UnicodeEscapeToBytes(text), bytes) << text;
}

TEST(UnicodeEscapeTest, WhatIsNotHexIsATypeMismatch) {
  // The last: bytes that are not UTF-8, four characters by count in two bytes.
  for (const char* text : {"\\U4F60", "\\u4G60", "wxyz\\u0041", "\\u0\xC3\xA9" "41", "\\\xFF\xFF"})
    EXPECT_EQ(test::RaisedNumber([&] { UnicodeEscapeToBytes(text); }), platform::err::TypeMismatch) << text;
}

TEST(UnicodeEscapeTest, ShownTextLeavesOutTheMarkAndTheZeros) {
  EXPECT_EQ(EscapedTextToUtf8("\\u4f60\\u597d"), "\xE4\xBD\xA0\xE5\xA5\xBD");
  EXPECT_EQ(EscapedTextToUtf8("\\ud83d\\ude00"), "\xF0\x9F\x98\x80");  // a surrogate pair
  EXPECT_EQ(EscapedTextToUtf8("\\u0041\\u0000\\u0042"), "A");
  EXPECT_EQ(EscapedTextToUtf8(""), "");
}

TEST(LanguageStringsTest, OnlyTheAddinsKeysExist) {
  AddinState writer(kWriterParameters), sheet(kSheetParameters);
  for (const char* key : {"gMsg01", "gMsg50", "gmenu1", "gmenutip4", "gfrmlicense_Label1", "gfrmdoclist_label9"})
    EXPECT_TRUE(writer.strings.Has(key)) << key;
  for (const char* key : {"gMsg51", "gMsg71", "gfrmdoclist_label1", "gfrmdoclist_Label3"})
    EXPECT_TRUE(sheet.strings.Has(key)) << key;
  for (const char* key : {"gMsg51", "gmsg01", "menu1", "gfrmlicense_Label1 ", "gfrmdoclist_label1"})
    EXPECT_THROW(writer.strings[key], std::out_of_range) << key;
  EXPECT_THROW(sheet.strings.Set("gfrmdoclist_label9", "x"), std::out_of_range);
}

class LoadLanguageTest : public test::CoreTest {
 protected:
  // A language file in which each value names its own section and key.
  void WriteLanguageFile(const std::string& name, const AddinParameterSet& params, bool escaped) {
    std::string ini;
    for (const LanguageSection& section : LanguageSections(params)) {
      if (section.section == std::string(params.languageSectionPrefix) + "frmlowversion") continue;
      ini += "[" + section.section + "]\r\n";
      for (const LanguageKey& key : section.keys)
        ini += key.iniKey + "=" + (escaped ? "\\u0041\\u0042" : section.section + "." + key.variable) + "\r\n";
    }
    ini += "[" + std::string(params.languageSectionPrefix) + "Long]\r\nvalue=" + std::string(300, 'x') + "\r\n";
    platform::files::WriteAllBytes("C:\\Tavo\\Language\\" + name, ini);
  }

  void Prepare(AddinState& state, const std::string& code) {
    if (!platform::files::FolderExists("C:\\Tavo\\Language")) {
      platform::files::CreateFolder("C:\\Tavo");
      platform::files::CreateFolder("C:\\Tavo\\Language");
    }
    state.gApplicationPath = "C:\\Tavo";
    state.gLanguageCode = code;
    WriteLanguageFile("english.ini", state.params, false);
    WriteLanguageFile("chinese.ini", state.params, true);
  }
};

TEST_F(LoadLanguageTest, EnglishReadsOnlyMenuAndMessages) {
  AddinState state(kWriterParameters);
  Prepare(state, "eng_us");
  ASSERT_TRUE(LoadLanguage(state));
  EXPECT_EQ(state.gLanguageFile, "C:\\Tavo\\Language\\english.ini");
  EXPECT_EQ(state.gLanguageName, "english");
  EXPECT_EQ(state.strings["gMsg17"], "WRITER_Messages.gMsg17");
  EXPECT_EQ(state.strings["gmenu8"], "WRITER_Menu.gmenu8");
  EXPECT_EQ(state.strings["gusername"], "");
  EXPECT_EQ(state.strings["gfrmlowversion_label1"], "");
  EXPECT_EQ(LanguageText(state, "gMsg17"), "WRITER_Messages.gMsg17");
}

TEST_F(LoadLanguageTest, OtherLanguagesReadEverySection) {
  for (const AddinParameterSet* params : {&kWriterParameters, &kSheetParameters}) {
    AddinState state(*params);
    Prepare(state, "chi_ch");
    ASSERT_TRUE(LoadLanguage(state));
    EXPECT_EQ(state.gLanguageName, "chinese");
    for (const std::string& name : state.strings.Names()) {
      if (name.rfind("gfrmlowversion_", 0) == 0) continue;
      EXPECT_EQ(state.strings[name], "\\u0041\\u0042") << params->name << " " << name;
    }
    EXPECT_EQ(LanguageText(state, "gfrmlicense_Label1"), "AB");  // its key ends in a blank in the file
    // The section is missing: the word processor has built-in defaults for it, the spreadsheet none.
    EXPECT_EQ(state.strings["gfrmlowversion_label1"], params->lowVersionDefaults[0]);
    EXPECT_EQ(state.strings["gfrmlowversion_command1"], params->lowVersionDefaults[1]);
  }
  EXPECT_EQ(kWriterParameters.lowVersionDefaults[0].size(), 10u);
  EXPECT_EQ(kWriterParameters.lowVersionDefaults[2], "Sign &Out");
}

TEST_F(LoadLanguageTest, UnknownOrMissingCode) {
  AddinState unknown(kWriterParameters);
  Prepare(unknown, "fr_fr");
  ASSERT_TRUE(LoadLanguage(unknown));
  EXPECT_EQ(unknown.gLanguageFile, "");
  EXPECT_EQ(unknown.gLanguageName, "");
  EXPECT_EQ(unknown.strings["gMsg17"], "");
  EXPECT_EQ(unknown.strings["gfrmlowversion_command1"], "Sign &In");
  EXPECT_EQ(LanguageText(unknown, "gMsg17"), "");  // decoded: the translated path with an empty text

  AddinState none(kWriterParameters);
  Prepare(none, "");
  none.gLanguageName = "kept";
  ASSERT_TRUE(LoadLanguage(none));
  EXPECT_EQ(none.gLanguageName, "kept");
  EXPECT_EQ(none.gLanguageFile, "");
  EXPECT_EQ(none.strings["gfrmlowversion_command1"], "");  // nothing was read at all
}

// A chosen file that is missing is read like an empty one: every key takes its default.
TEST_F(LoadLanguageTest, AChosenFileThatIsMissingGivesEveryKeyItsDefault) {
  for (const AddinParameterSet* params : {&kWriterParameters, &kSheetParameters}) {
    AddinState state(*params);
    Prepare(state, "jap_ja");
    state.gApplicationPath = "C:\\Nowhere";
    ASSERT_TRUE(LoadLanguage(state)) << params->name;
    EXPECT_EQ(state.gLanguageName, "japanese");
    for (const std::string& name : state.strings.Names()) {
      if (name.rfind("gfrmlowversion_", 0) == 0) continue;
      EXPECT_EQ(state.strings[name], "") << params->name << " " << name;
    }
    EXPECT_EQ(state.strings["gfrmlowversion_command1"], params->lowVersionDefaults[1]) << params->name;
  }
}

TEST_F(LoadLanguageTest, ReaderKeeps259Characters) {
  AddinState state(kSheetParameters);
  Prepare(state, "eng_us");
  EXPECT_EQ(GetIniString("SHEET_Long", "value", "C:\\Tavo\\Language\\english.ini", ""), std::string(259, 'x'));
  EXPECT_EQ(GetIniString("SHEET_Long", "missing", "C:\\Tavo\\Language\\english.ini", "fallback"), "fallback");
  EXPECT_EQ(GetIniString("SHEET_Long", "value", "", "fallback"), "fallback");
}

}  // namespace
}  // namespace tavo
