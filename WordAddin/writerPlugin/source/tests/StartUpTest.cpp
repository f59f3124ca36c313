// Registration, the start-up chain and the command bars it builds.
#include <string>

#include "WordAddin/writerPlugin/source/tests/WriterTestSupport.h"
#include "platform/environment/Environment.h"
#include "platform/office/AddinRegistration.h"

namespace tavo::writer::test {
namespace {

namespace files = platform::files;

constexpr const char* kAddinKey = "Software\\Microsoft\\Office\\Word\\Addins\\tavowriterwordaddin.service";

using tavo::test::Dword;
using tavo::test::SetLanguage;

using StartUpTest = WriterTest;

}  // namespace

TEST_F(StartUpTest, RegistrationNamesTheConnectionClassForWord) {
  auto addins = office::RegisteredAddins("Word");
  ASSERT_EQ(addins.size(), 1u);
  EXPECT_EQ(addins[0].progId, "tavowriterwordaddin.service");
  EXPECT_EQ(addins[0].friendlyName, "TavoWriter");
  EXPECT_EQ(addins[0].description, "TavoWriter Word Plug-In");
  EXPECT_EQ(platform::environment::HostPath(addins[0].libraryPath), std::filesystem::path(TAVO_WRITER_LIBRARY));
  EXPECT_EQ(Dword(reg::HKEY_CURRENT_USER, kAddinKey, "LoadBehavior"), 3u);
  EXPECT_EQ(Dword(reg::HKEY_CURRENT_USER, kAddinKey, "CommandLineSafe"), 0u);
  const char* machineKey = "SOFTWARE\\Microsoft\\Office\\Word\\Addins\\tavowriterwordaddin.service";
  EXPECT_EQ(Dword(reg::HKEY_LOCAL_MACHINE, machineKey, "LoadBehavior"), 3u);
  EXPECT_EQ(Dword(reg::HKEY_LOCAL_MACHINE, machineKey, "CommandLineSafe"), 0u);
  EXPECT_TRUE(office::RegisteredAddins("Excel").empty());
  // The interface language starts as English; a language chosen before stays.
  EXPECT_EQ(GetRegistryString(HKEY_LOCAL_MACHINE, kLanguageKey, "Language"), "eng_us");
  SetLanguage("jap_ja");
  ASSERT_EQ(host::RegisterLibrary(TAVO_WRITER_LIBRARY), 0);
  EXPECT_EQ(GetRegistryString(HKEY_LOCAL_MACHINE, kLanguageKey, "Language"), "jap_ja");
}

TEST_F(StartUpTest, AFreshProfileGetsItsSettingsAndTheSignedOutToolbar) {
  StartWord();
  EXPECT_TRUE(reports.empty());
  // The installation folder is the library's own, and the language is English.
  EXPECT_EQ(platform::environment::HostPath(Setting("applicationpath")),
            std::filesystem::path(TAVO_WRITER_LIBRARY).parent_path());
  EXPECT_EQ(GetRegistryString(HKEY_LOCAL_MACHINE, kLanguageKey, "Language"), "eng_us");
  // The refresh wrote the service addresses.
  EXPECT_EQ(Setting("tavowriterurl"), "http://writer.tavo.example");
  EXPECT_EQ(Setting("tavowriterapiurl"), "http://writer.tavo.example/api");
  EXPECT_EQ(Setting("tavoaccountsurl"), "https://accounts.tavo.example/");
  EXPECT_EQ(Setting("tavologlevel"), "Error");
  // Nobody is remembered: the status bar says so.
  EXPECT_EQ(word().application()->StatusBar(), "You are not signed in to Tavo. Use Login to sign in.");

  auto bar = Toolbar();
  EXPECT_TRUE(bar->Visible());
  EXPECT_EQ(bar->Position(), office::bar_position::Top);
  auto menu = bar->Controls().Item(1);
  EXPECT_EQ(menu->Type(), office::control_type::Popup);
  EXPECT_EQ(menu->Caption(), "&Tavo Writer");
  EXPECT_EQ(menu->Tag(), "menu 13:05:07");
  EXPECT_EQ(EnabledStates(), kAfterStartUp);

  // The File menu carries the add-in's item, which Open does too.
  auto file = word().bars().Item("File");
  auto item = file->Controls().Item(3);
  EXPECT_EQ(item->Caption(), "Open from &Tavo");
  EXPECT_EQ(item->Tag(), "Open from Tavo");
  EXPECT_EQ(item->Style(), office::button_style::IconAndCaption);
  EXPECT_TRUE(item->Enabled());
}

// Unloaded and loaded again while Word runs, the add-in builds its toolbar again in the one
// that Word still shows.
TEST_F(StartUpTest, ALoadAfterAnUnloadRebuildsTheToolbar) {
  StartWord();
  word().addins().Disconnect(office::disconnect_mode::UserClosed);
  word().addins().Load("tavowriterwordaddin.service", TAVO_WRITER_LIBRARY);
  int toolbars = 0;
  for (const auto& bar : word().bars().bars()) toolbars += bar->Name() == "Tavo Writer Word Add-In";
  EXPECT_EQ(toolbars, 1);
  EXPECT_EQ(Toolbar()->Controls().Count(), 5);
  EXPECT_EQ(EnabledStates(), kAfterStartUp);
  EXPECT_TRUE(Messages().empty());
}

// The twelve controls in English and in a translated interface: English always shows the
// built-in texts, whatever its language file holds; any other language shows the decoded texts
// of its Menu section (the fifth menu item takes menu8, the sixth to eighth menu5 to menu7).
TEST_F(StartUpTest, ControlsCarryTheirCaptionsTooltipsTagsAndLooks) {
  struct Row {
    const char* english;
    const char* translated;
    const char* tooltip;
    const char* translatedTooltip;
    const char* tag;
    bool beginGroup;
  };
  const Row rows[] = {
      {"&Login", "M1", "", "", "login 13:05:07", false},
      {"&Open Document", "M2", "", "", "open 13:05:07", true},
      {"&Add to Tavo Writer", "M3", "", "", "add 13:05:07", false},
      {"&Save in Tavo Writer", "M4", "", "", "save 13:05:07", false},
      {"&Publish in Tavo Share", "M8", "", "", "share 13:05:07", false},
      {"Se&ttings", "M5", "", "", "conf 13:05:07", true},
      {"Lo&gout", "M6", "", "", "logout 13:05:07", false},
      {"About &Tavo Office Plugin", "M7", "", "", "about 13:05:07", true},
      {" &Open ", "S1", "Open from Tavo Writer", "T1", "openbtn 13:05:07", true},
      {" &Save ", "S2", "Save in Tavo Writer", "T2", "savebtn 13:05:07", true},
      {" &Add ", "S3", "Add to Tavo Writer", "T3", "addbtn 13:05:07", true},
      {"Local &Documents", "S4", "Open LocalDocuments of Tavo Writer", "T4", "localbtn 13:05:07", true},
  };
  for (bool english : {true, false}) {
    SCOPED_TRACE(english ? "english" : "chinese");
    platform::environment::TempEnvironment env;
    reg::SetLocalMachineWritable(true);
    ASSERT_EQ(host::RegisterLibrary(TAVO_WRITER_LIBRARY), 0);
    kSettings.InstallLanguageFile(english ? "english.ini" : "chinese.ini", tavo::test::MarkedMenuSection("WRITER_"));
    SetLanguage(english ? "eng_us" : "chi_ch");
    host::OfficeSession word(host::HostKind::Word);
    ASSERT_EQ(word.Start(), 1);

    auto bar = word.bars().Item("Tavo Writer Word Add-In");
    auto& items = bar->Controls().Item(1)->Controls();
    ASSERT_EQ(items.Count(), 8);
    ASSERT_EQ(bar->Controls().Count(), 5);
    for (int i = 0; i < 12; ++i) {
      SCOPED_TRACE(i + 1);
      const Row& row = rows[i];
      const bool menuItem = i < 8;
      auto c = menuItem ? items.Item(i + 1) : bar->Controls().Item(i - 6);
      EXPECT_EQ(c->Type(), office::control_type::Button);
      EXPECT_EQ(c->Caption(), english ? std::string(row.english) : "\xe8\x8f\x9c" + std::string(row.translated));
      const std::string tooltip = english || !*row.tooltip ? row.tooltip : "\xe8\x8f\x9c" + std::string(row.translatedTooltip);
      EXPECT_EQ(c->TooltipText(), tooltip);
      EXPECT_EQ(c->Tag(), row.tag);
      EXPECT_EQ(c->BeginGroup(), row.beginGroup);
      if (menuItem) {
        EXPECT_EQ(c->FaceId(), 0);
      } else {
        EXPECT_EQ(c->Style(), office::button_style::Caption);
      }
    }
    word.Quit(true);
  }
}

// Each step runs only when the one before succeeded; any failure shows the error message once
// and leaves what was done. A failure before the messages were loaded shows an empty message.
TEST_F(StartUpTest, AFailingStepEndsTheStartUp) {
  constexpr const char* kCouldNotStart = "frmMsgError: The Tavo add-in could not start. Please restart the application.";
  struct Case {
    const char* name;
    void (*prepare)();
    bool toolbar;    // IntiCmdBar ran
    bool refreshed;  // RefreshCmdBar ran (it writes the service addresses)
    const char* message;
  };
  const Case cases[] = {
      {"stored name that does not decode", [] { SetSetting("tavousername", "<not base64>"); }, false, false,
       "frmMsgError: "},
      {"loaded into Excel", nullptr, false, false, kCouldNotStart},
      {"shared name that does not decode", [] { SheetSignedIn("", "", "T-1"); SetShared("tavousername", "<bad>"); },
       true, true, kCouldNotStart},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    platform::environment::TempEnvironment env;
    platform::forms::ScriptedOperator user;
    user.On("frmMsgError", {"click Command1"});
    reg::SetLocalMachineWritable(true);
    ASSERT_EQ(host::RegisterLibrary(TAVO_WRITER_LIBRARY), 0);
    if (c.prepare) c.prepare();
    // Excel is no Word: the command bars cannot be built there.
    host::OfficeSession word(c.prepare ? host::HostKind::Word : host::HostKind::Excel);
    if (c.prepare) ASSERT_EQ(word.Start(), 1);
    else word.addins().Load("tavowriterwordaddin.service", TAVO_WRITER_LIBRARY);
    bool toolbar = false;
    for (const auto& bar : word.bars().bars())
      if (bar->Name() == "Tavo Writer Word Add-In" && bar->Controls().Count() > 0) toolbar = true;
    EXPECT_EQ(toolbar, c.toolbar);
    EXPECT_EQ(Setting("tavowriterurl") != "", c.refreshed);
    std::vector<std::string> seen;
    for (const auto& m : tavo::test::SeenMessages(user)) seen.push_back(m.dialog + ": " + m.text);
    EXPECT_EQ(seen, std::vector<std::string>{c.message});
    word.Quit(true);
  }
}

}  // namespace tavo::writer::test
