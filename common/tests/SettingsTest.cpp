#include "common/Settings.h"

#include <gtest/gtest.h>

#include "common/AddinFolder.h"
#include "common/AddinState.h"
#include "common/RegistryStrings.h"
#include "common/StoredSecret.h"
#include "common/tests/TestEnvironment.h"
#include "platform/codepage/CodePage.h"
#include "platform/registry/Registry.h"

namespace tavo {
namespace {

namespace reg = platform::registry;
using namespace std::string_literals;

class RegistryStringsTest : public test::CoreTest {};

TEST_F(RegistryStringsTest, TextUpToTheFirstNul) {
  const std::string key = "Software\\tavo\\test";
  const std::pair<reg::Value, std::string> cases[] = {
      {{reg::REG_SZ, "text\0more"s}, "text"},
      {{reg::REG_SZ, "no terminator"}, "no terminator"},
      {{reg::REG_SZ, "terminated\0"s}, "terminated"},
      {{reg::REG_SZ, ""}, ""},
      {reg::DwordValue(7), ""},
      {{reg::REG_BINARY, "bytes"}, ""},
  };
  for (const auto& [value, text] : cases) {
    ASSERT_TRUE(reg::WriteValue(HKEY_CURRENT_USER, key, "v", value));
    EXPECT_EQ(GetRegistryString(HKEY_CURRENT_USER, key, "v"), text) << value.bytes;
  }
  EXPECT_EQ(GetRegistryString(HKEY_CURRENT_USER, key, "missing"), "");
  EXPECT_EQ(GetRegistryString(HKEY_CURRENT_USER, "Software\\missing", "v"), "");
}

TEST_F(RegistryStringsTest, WritesTextWithoutTerminatorAndReadsItBack) {
  SetRegistryString(HKEY_CURRENT_USER, "Software\\tavo\\new\\key", "v", "value");
  reg::Value stored;
  ASSERT_TRUE(reg::ReadValue(HKEY_CURRENT_USER, "Software\\tavo\\new\\key", "v", &stored));
  EXPECT_EQ(stored.type, reg::REG_SZ);
  EXPECT_EQ(stored.bytes, "value");

  platform::codepage::SetACP(936);  // a double-byte code page
  const std::string chinese = "\xE4\xBD\xA0\xE5\xA5\xBD\xE4\xB8\x96\xE7\x95\x8C";
  SetRegistryString(HKEY_CURRENT_USER, "Software\\tavo\\new\\key", "v", chinese);
  ASSERT_TRUE(reg::ReadValue(HKEY_CURRENT_USER, "Software\\tavo\\new\\key", "v", &stored));
  EXPECT_EQ(stored.bytes.size(), 8u);  // two bytes per character in the ANSI code page
  EXPECT_EQ(GetRegistryString(HKEY_CURRENT_USER, "Software\\tavo\\new\\key", "v"), chinese);
}

TEST_F(RegistryStringsTest, RefusedWritesAreDropped) {
  reg::SetLocalMachineWritable(false);
  CreateRegistryKey(HKEY_LOCAL_MACHINE, kLanguageKey);
  SetRegistryString(HKEY_LOCAL_MACHINE, kLanguageKey, "Language", "eng_us");
  EXPECT_EQ(GetRegistryString(HKEY_LOCAL_MACHINE, kLanguageKey, "Language"), "");
}

class SettingsTest : public test::CoreTest, public ::testing::WithParamInterface<const AddinParameterSet*> {
 protected:
  const AddinParameterSet& params() { return *GetParam(); }
  std::string Setting(std::string_view name) {
    return GetRegistryString(HKEY_CURRENT_USER, params().pluginSettingsKey, name);
  }
  void SetSetting(std::string_view name, std::string_view value) {
    SetRegistryString(HKEY_CURRENT_USER, params().pluginSettingsKey, name, value);
  }
};

TEST_P(SettingsTest, FreshProfile) {
  AddinState state(params());
  EXPECT_TRUE(CreatePluginRegistryKey(state));
  EXPECT_FALSE(reg::SubKeyNames(HKEY_CURRENT_USER, "Software\\tavo").empty());
  ASSERT_TRUE(LoadApplicationSettings(state));
  EXPECT_EQ(state.gApplicationPath, AddinFolder());
  EXPECT_EQ(Setting("applicationpath"), AddinFolder());
  EXPECT_EQ(state.gLanguageCode, "eng_us");
  EXPECT_EQ(GetRegistryString(HKEY_LOCAL_MACHINE, kLanguageKey, "Language"), "eng_us");

  EXPECT_FALSE(LoadServerSettings(state));
  EXPECT_EQ(state.gWriterUrl, params().defaultWebUrl);
  EXPECT_EQ(state.gWriterApiUrl, params().defaultApiUrl);
  EXPECT_EQ(state.gAccountsUrl, "https://accounts.tavo.example/");
  EXPECT_EQ(state.gLogLevel, "Error");
  EXPECT_EQ(state.gWriterApiBaseUrl, params().privateApiBaseUrl);
  EXPECT_EQ(Setting(params().webUrlValue), params().defaultWebUrl);
  EXPECT_EQ(Setting(params().apiUrlValue), params().defaultApiUrl);
  EXPECT_EQ(Setting("tavoaccountsurl"), "https://accounts.tavo.example/");
  EXPECT_EQ(Setting("tavologlevel"), "Error");
}

TEST_P(SettingsTest, StoredValuesWin) {
  SetSetting("applicationpath", "C:\\Program Files\\Tavo");
  SetRegistryString(HKEY_LOCAL_MACHINE, kLanguageKey, "Language", "jap_ja");
  SetSetting(params().webUrlValue, "http://127.0.0.1:8080/");
  SetSetting("tavologlevel", " ");  // only "" takes the default
  AddinState state(params());
  ASSERT_TRUE(LoadApplicationSettings(state));
  EXPECT_EQ(state.gApplicationPath, "C:\\Program Files\\Tavo");
  EXPECT_EQ(state.gLanguageCode, "jap_ja");
  LoadServerSettings(state);
  EXPECT_EQ(state.gWriterUrl, "http://127.0.0.1:8080/");
  EXPECT_EQ(state.gWriterApiUrl, params().defaultApiUrl);
  EXPECT_EQ(state.gLogLevel, " ");
  EXPECT_EQ(Setting("tavologlevel"), " ");
}

TEST_P(SettingsTest, LanguageCodeStaysBlankWhereTheMachineKeyIsReadOnly) {
  reg::SetLocalMachineWritable(false);
  AddinState state(params());
  ASSERT_TRUE(LoadApplicationSettings(state));
  EXPECT_EQ(state.gLanguageCode, "");
  EXPECT_FALSE(state.gApplicationPath.empty());
}

TEST_P(SettingsTest, SavedCredentials) {
  AddinState state(params());
  state.gLoginUser = "earlier";
  SetSetting("tavousername", "   ");  // blanks only: no stored name
  SetSetting("tavoremember", "remember");
  SetSetting("tavosavelocal", "1");
  ASSERT_TRUE(LoadSavedCredentials(state));
  EXPECT_EQ(state.gLoginUser, "earlier");
  EXPECT_EQ(state.gLoginPassword, "");
  EXPECT_EQ(state.gRememberFlag, "remember");
  EXPECT_EQ(state.gSaveLocalFlag, "1");

  state.gLoginUser = " Ann@Tavo.example ";
  state.gLoginPassword = "p\xC3\xA4ss";
  state.gRememberFlag = "";
  state.gSaveLocalFlag = "0";
  SaveCredentials(state);
  EXPECT_EQ(Setting("tavousername"), EncodeBase64(" Ann@Tavo.example "));
  EXPECT_EQ(Setting("tavopassword"), EncodeBase64("p\xC3\xA4ss"));
  EXPECT_EQ(Setting("tavoremember"), "");
  EXPECT_EQ(Setting("tavosavelocal"), "0");

  AddinState restarted(params());
  ASSERT_TRUE(LoadSavedCredentials(restarted));
  EXPECT_EQ(restarted.gLoginUser, "Ann@Tavo.example");
  EXPECT_EQ(restarted.gLoginPassword, "p\xC3\xA4ss");
  EXPECT_EQ(restarted.gSaveLocalFlag, "0");
}

TEST_P(SettingsTest, StoredNameThatDoesNotDecodeFailsTheLoad) {
  SetSetting("tavoremember", "remember");
  SetSetting("tavousername", "<not base64>");
  AddinState state(params());
  EXPECT_FALSE(LoadSavedCredentials(state));
  EXPECT_EQ(state.gRememberFlag, "remember");  // read before the failure
  EXPECT_EQ(state.gLoginUser, "");
}

TEST_P(SettingsTest, OnlyTheWordProcessorRereadsTheLanguageWithTheCredentials) {
  SetRegistryString(HKEY_LOCAL_MACHINE, kLanguageKey, "Language", "chi_ch");
  AddinState state(params());
  state.gLanguageCode = "before";
  ASSERT_TRUE(LoadSavedCredentials(state));
  EXPECT_EQ(state.gLanguageCode, params().credentialsRereadLanguage ? "chi_ch" : "before");
}

INSTANTIATE_TEST_SUITE_P(BothAddins, SettingsTest, ::testing::Values(&kWriterParameters, &kSheetParameters),
                         test::AddinName);

TEST(AddinFolderTest, FolderOfTheRunningCodeAsAWindowsPath) {
  test::TempEnvironment env;
  std::filesystem::path self = std::filesystem::canonical("/proc/self/exe");
  EXPECT_EQ(AddinFolder(), platform::environment::Current().WindowsPath(self.parent_path()));
  EXPECT_EQ(AddinFolder().rfind("Z:\\", 0), 0u);
}

}  // namespace
}  // namespace tavo
