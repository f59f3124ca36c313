// Registration, the start-up chain and the command bars it builds, in both add-ins.
#include <filesystem>
#include <string>
#include <vector>

#include "platform/environment/Environment.h"
#include "platform/office/AddinRegistration.h"
#include "platform/office/Clipboard.h"
#include "tests/addins/HostedAddin.h"

namespace tavo::test {
namespace {

namespace office = platform::office;
namespace reg = platform::registry;

using StartUpTest = HostedAddinTest;
INSTANTIATE_TEST_SUITE_P(BothAddins, StartUpTest, ::testing::ValuesIn(kBothAddins), AddinName);

TEST_P(StartUpTest, RegistrationNamesTheConnectionClassForItsHost) {
  auto addins = office::RegisteredAddins(addin.host == host::HostKind::Word ? "Word" : "Excel");
  ASSERT_EQ(addins.size(), 1u);
  EXPECT_EQ(addins[0].progId, addin.progId);
  EXPECT_EQ(addins[0].friendlyName, addin.friendlyName);
  EXPECT_EQ(addins[0].description, addin.description);
  EXPECT_EQ(platform::environment::HostPath(addins[0].libraryPath), std::filesystem::path(addin.library));
  EXPECT_EQ(Dword(reg::HKEY_CURRENT_USER, addin.userAddinKey, "LoadBehavior"), 3u);
  EXPECT_EQ(Dword(reg::HKEY_CURRENT_USER, addin.userAddinKey, "CommandLineSafe"), 0u);
  EXPECT_EQ(Dword(reg::HKEY_LOCAL_MACHINE, addin.machineAddinKey, "LoadBehavior"), 3u);
  EXPECT_EQ(Dword(reg::HKEY_LOCAL_MACHINE, addin.machineAddinKey, "CommandLineSafe"), 0u);
  EXPECT_TRUE(office::RegisteredAddins(addin.otherHost).empty());
  // The interface language starts as English; a language chosen before stays.
  EXPECT_EQ(GetRegistryString(HKEY_LOCAL_MACHINE, kLanguageKey, "Language"), "eng_us");
  SetLanguage("jap_ja");
  ASSERT_EQ(host::RegisterLibrary(addin.library), 0);
  EXPECT_EQ(GetRegistryString(HKEY_LOCAL_MACHINE, kLanguageKey, "Language"), "jap_ja");
}

TEST_P(StartUpTest, AFreshProfileGetsItsSettingsAndTheSignedOutToolbar) {
  office::clipboard::SetData(office::clipboard::kTextFormat, "left over");
  Start();
  EXPECT_TRUE(reports.empty());
  EXPECT_TRUE(Messages().empty());
  // The installation folder is the library's own, and the language is English.
  EXPECT_EQ(platform::environment::HostPath(Setting("applicationpath")),
            std::filesystem::path(addin.library).parent_path());
  EXPECT_EQ(GetRegistryString(HKEY_LOCAL_MACHINE, kLanguageKey, "Language"), "eng_us");
  // The refresh wrote the service addresses.
  for (const auto& [name, value] : addin.startUpSettings) EXPECT_EQ(Setting(name), value) << name;
  EXPECT_EQ(Status(), addin.statusNobodyRemembered);
  EXPECT_TRUE(office::clipboard::Formats().empty());

  auto bar = Toolbar();
  EXPECT_TRUE(bar->Visible());
  EXPECT_EQ(bar->Position(), office::bar_position::Top);
  auto menu = bar->Controls().Item(1);
  EXPECT_EQ(menu->Type(), office::control_type::Popup);
  EXPECT_EQ(menu->Caption(), addin.menuCaption);
  EXPECT_EQ(menu->Tag(), "menu 13:05:07");
  EXPECT_EQ(EnabledStates(), kSignedOut);

  // The File menu carries the add-in's item.
  auto item = session().bars().Item("File")->Controls().Item(3);
  EXPECT_EQ(item->Caption(), "Open from &Tavo");
  EXPECT_EQ(item->Tag(), "Open from Tavo");
  EXPECT_EQ(item->Style(), office::button_style::IconAndCaption);
  EXPECT_TRUE(item->Enabled());
}

// The twelve controls in English and in a translated interface: English shows the built-in
// texts whatever its language file holds, any other language the decoded texts of its Menu
// section (the fifth menu item takes menu8, the sixth to eighth menu5 to menu7); a tool tip
// without a built-in text is the file's text as it stands in both. The drop-down's caption is
// never translated.
TEST_P(StartUpTest, ControlsCarryTheirCaptionsTooltipsTagsAndLooks) {
  for (bool english : {true, false}) {
    SCOPED_TRACE(english ? "english" : "chinese");
    platform::environment::TempEnvironment env;
    reg::SetLocalMachineWritable(true);
    ASSERT_EQ(host::RegisterLibrary(addin.library), 0);
    settings.InstallLanguageFile(english ? "english.ini" : "chinese.ini", MarkedMenuSection(addin.languagePrefix));
    SetLanguage(english ? "eng_us" : "chi_ch");
    host::OfficeSession session(addin.host);
    ASSERT_EQ(session.Start(), 1);

    auto bar = session.bars().Item(addin.toolbar);
    EXPECT_EQ(bar->Controls().Item(1)->Caption(), addin.menuCaption);
    auto& items = bar->Controls().Item(1)->Controls();
    ASSERT_EQ(items.Count(), 8);
    ASSERT_EQ(bar->Controls().Count(), 5);
    for (int i = 0; i < 12; ++i) {
      SCOPED_TRACE(i + 1);
      const ControlText& row = addin.controls[i];
      const bool menuItem = i < 8;
      auto c = menuItem ? items.Item(i + 1) : bar->Controls().Item(i - 6);
      EXPECT_EQ(c->Type(), office::control_type::Button);
      EXPECT_EQ(c->Caption(), english ? std::string(row.english) : "\xe8\x8f\x9c" + std::string(row.key));
      const std::string tooltip = !row.tooltip                 ? "\\u83dc" + Escaped(row.tooltipKey)
                                  : english || !*row.tooltip ? std::string(row.tooltip)
                                                             : "\xe8\x8f\x9c" + std::string(row.tooltipKey);
      EXPECT_EQ(c->TooltipText(), tooltip);
      EXPECT_EQ(c->Tag(), row.tag);
      EXPECT_EQ(c->BeginGroup(), row.beginGroup);
      if (menuItem) {
        EXPECT_EQ(c->FaceId(), 0);
      } else {
        EXPECT_EQ(c->Style(), office::button_style::Caption);
      }
    }
    session.Quit(true);
  }
}

// Each step runs only when the one before succeeded; a failing step shows the add-in's notice of
// the error, if it has one, then the start-up message once (empty when the texts did not load),
// and leaves what was done.
TEST_P(StartUpTest, AFailingStepEndsTheStartUp) {
  constexpr const char* kCouldNotStart = "The Tavo add-in could not start. Please restart the application.";
  struct Case {
    const char* name;
    void (*prepare)(const HostedAddin&);
    bool inOtherHost;  // loaded into the host it is not for (only Word's add-in checks its host)
    bool toolbar;      // IntiCmdBar ran
    bool refreshed;    // RefreshCmdBar ran (it writes the service addresses)
    const char* message;
  };
  const Case cases[] = {
      {"stored name that does not decode",
       [](const HostedAddin& a) { AddinSettings(a.settingsKey).Set("tavousername", "<not base64>"); }, false, false, false, ""},
      {"shared name that does not decode",
       [](const HostedAddin& a) {
         SignedInElsewhere(a.otherStatus, "", "", "T-1");
         SetShared("tavousername", "<bad>");
       },
       false, true, true, kCouldNotStart},
      {"loaded into Excel", nullptr, true, false, false, kCouldNotStart},
  };
  for (const Case& c : cases) {
    if (c.inOtherHost && addin.host != host::HostKind::Word) continue;
    SCOPED_TRACE(c.name);
    platform::environment::TempEnvironment env;
    std::vector<std::string> expected = c.inOtherHost ? std::vector<std::string>{} : addin.startUpErrorNotice;
    expected.push_back(std::string(addin.errorDialog) + ": " + c.message);
    platform::forms::ScriptedOperator user;
    for (size_t i = 0; i < expected.size(); ++i) user.On(addin.errorDialog, {"click Command1"});
    reg::SetLocalMachineWritable(true);
    ASSERT_EQ(host::RegisterLibrary(addin.library), 0);
    if (c.prepare) c.prepare(addin);
    std::vector<std::string> told;
    // Excel is no Word: Word's add-in cannot build its command bars there.
    host::OfficeSession session(c.inOtherHost ? host::HostKind::Excel : addin.host,
                                [&](const std::string& m) { told.push_back(m); });
    if (c.inOtherHost) session.addins().Load(addin.progId, addin.library);
    else ASSERT_EQ(session.Start(), 1) << testing::PrintToString(told);
    EXPECT_EQ(BuiltToolbar(session), c.toolbar);
    EXPECT_EQ(Setting(addin.webUrlSetting) != "", c.refreshed);
    EXPECT_EQ(MessageLines(user), expected);
    session.Quit(true);
  }
}

// Unloaded and loaded again while the host runs, the add-in builds its toolbar again in the one
// that the host still shows, and takes over its File-menu item.
TEST_P(StartUpTest, ALoadAfterAnUnloadRebuildsTheToolbar) {
  Start();
  session().addins().Disconnect(office::disconnect_mode::UserClosed);
  session().addins().Load(addin.progId, addin.library);
  int toolbars = 0;
  for (const auto& bar : session().bars().bars()) toolbars += bar->Name() == addin.toolbar;
  EXPECT_EQ(toolbars, 1);
  EXPECT_EQ(Toolbar()->Controls().Count(), 5);
  EXPECT_EQ(EnabledStates(), kSignedOut);
  auto& file = session().bars().Item("File")->Controls();
  int items = 0;
  for (int i = 1; i <= file.Count(); ++i) items += file.Item(i)->Tag() == "Open from Tavo";
  EXPECT_EQ(items, 1);
  EXPECT_TRUE(Messages().empty());

  // Its Click reaches the add-in loaded now, once.
  for (size_t i = 0; i < addin.openSignedOutMessages.size(); ++i) WillReadMessage();
  Click("Open from &Tavo");
  EXPECT_EQ(Calls(addin.listMethod), addin.listCallsSignedOut);
  EXPECT_EQ(Messages(), addin.openSignedOutMessages);
}

}  // namespace
}  // namespace tavo::test
