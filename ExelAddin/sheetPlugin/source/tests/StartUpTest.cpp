// Registration, the start-up chain and the command bars it builds.
#include <string>
#include <vector>

#include "ExelAddin/sheetPlugin/source/tests/SheetTestSupport.h"
#include "platform/environment/Environment.h"
#include "platform/office/AddinRegistration.h"
#include "platform/office/Clipboard.h"

namespace tavo::sheet::test {
namespace {

using tavo::test::Dword;
using tavo::test::SetLanguage;

using StartUpTest = SheetTest;

}  // namespace

TEST_F(StartUpTest, RegistrationNamesTheConnectionClassForExcel) {
  auto addins = office::RegisteredAddins("Excel");
  ASSERT_EQ(addins.size(), 1u);
  EXPECT_EQ(addins[0].progId, "tavosheet.Connect");
  EXPECT_EQ(addins[0].friendlyName, "TavoSheet");
  EXPECT_EQ(addins[0].description, "Tavo Sheet Excel Plugin");
  EXPECT_EQ(platform::environment::HostPath(addins[0].libraryPath), std::filesystem::path(TAVO_SHEET_LIBRARY));
  const char* userKey = "Software\\Microsoft\\Office\\Excel\\Addins\\tavosheet.Connect";
  EXPECT_EQ(Dword(reg::HKEY_CURRENT_USER, userKey, "LoadBehavior"), 3u);
  EXPECT_EQ(Dword(reg::HKEY_CURRENT_USER, userKey, "CommandLineSafe"), 0u);
  EXPECT_EQ(Dword(reg::HKEY_LOCAL_MACHINE, userKey, "LoadBehavior"), 3u);
  EXPECT_TRUE(office::RegisteredAddins("Word").empty());
  EXPECT_EQ(GetRegistryString(HKEY_LOCAL_MACHINE, kLanguageKey, "Language"), "eng_us");
}

TEST_F(StartUpTest, AFreshProfileGetsItsSettingsAndTheSignedOutToolbar) {
  office::clipboard::SetData(office::clipboard::kTextFormat, "left over");
  StartExcel();
  EXPECT_TRUE(reports.empty());
  EXPECT_TRUE(Messages().empty());
  EXPECT_EQ(platform::environment::HostPath(Setting("applicationpath")),
            std::filesystem::path(TAVO_SHEET_LIBRARY).parent_path());
  EXPECT_EQ(Setting("tavosheeturl"), "http://sheet.tavo.example/");
  EXPECT_EQ(Setting("tavosheetapiurl"), "http://sheet.tavo.example/api/xml");
  // Unlike Word's, nobody remembered gives no hint: the status bar shows what the sign-in
  // dialog, loaded hidden to be prefilled, says.
  EXPECT_EQ(Status(), "Fill in the Login Informations...");
  EXPECT_TRUE(office::clipboard::Formats().empty());

  auto bar = Toolbar();
  EXPECT_TRUE(bar->Visible());
  EXPECT_EQ(bar->Position(), office::bar_position::Top);
  auto menu = bar->Controls().Item(1);
  EXPECT_EQ(menu->Type(), office::control_type::Popup);
  EXPECT_EQ(menu->Caption(), "&Tavo Sheet");
  EXPECT_EQ(menu->Tag(), "menu 13:05:07");
  EXPECT_EQ(EnabledStates(), kSignedOut);

  // The File menu keeps the add-in's item.
  auto item = excel().bars().Item("File")->Controls().Item(3);
  EXPECT_EQ(item->Caption(), "Open from &Tavo");
  EXPECT_EQ(item->Tag(), "Open from Tavo");
  EXPECT_EQ(item->Style(), office::button_style::IconAndCaption);
}

// The twelve controls in English and in a translated interface: English shows the built-in
// texts whatever its language file holds, any other language the decoded texts of its Menu
// section; the Save button's tool tip is the file's text as it stands in both. The drop-down's
// caption is never translated.
TEST_F(StartUpTest, ControlsCarryTheirCaptionsTooltipsTagsAndLooks) {
  struct Row {
    const char* english;
    const char* key;  // the translated caption's marker
    const char* tooltip;
    const char* tooltipKey;
    const char* tag;
    bool beginGroup;
  };
  const Row rows[] = {
      {"&Login", "M1", "", "", "login 13:05:07", false},
      {"&Open Tavo Sheet", "M2", "", "", "open 13:05:07", true},
      {"&Add to Tavo Sheet", "M3", "", "", "add 13:05:07", false},
      {"&Save in Tavo Sheet", "M4", "", "", "save 13:05:07", false},
      {"&Publish in Tavo Share", "M8", "", "", "publish 13:05:07", false},
      {"Se&ttings", "M5", "", "", "conf 13:05:07", true},
      {"Lo&gout", "M6", "", "", "logout 13:05:07", false},
      {"About &Tavo Office Plugin", "M7", "", "", "about 13:05:07", true},
      {" &Open ", "S1", "Open from Tavo Sheet", "T1", "openbtn", true},
      {"&Save", "S2", nullptr, "T2", "savebtn", true},
      {" &Add ", "S3", "Add to Tavo Sheet", "T3", "addbtn", true},
      {"Local Work&Books", "S4", "Open LocalWorkBooks of Tavo Sheet", "T4", "localbtn 13:05:07", true},
  };
  for (bool english : {true, false}) {
    SCOPED_TRACE(english ? "english" : "chinese");
    platform::environment::TempEnvironment env;
    reg::SetLocalMachineWritable(true);
    ASSERT_EQ(host::RegisterLibrary(TAVO_SHEET_LIBRARY), 0);
    kSettings.InstallLanguageFile(english ? "english.ini" : "chinese.ini", tavo::test::MarkedMenuSection("SHEET_"));
    SetLanguage(english ? "eng_us" : "chi_ch");
    host::OfficeSession session(host::HostKind::Excel);
    ASSERT_EQ(session.Start(), 1);

    auto bar = session.bars().Item("Tavo Sheet Excel Add-In");
    EXPECT_EQ(bar->Controls().Item(1)->Caption(), "&Tavo Sheet");
    auto& items = bar->Controls().Item(1)->Controls();
    ASSERT_EQ(items.Count(), 8);
    ASSERT_EQ(bar->Controls().Count(), 5);
    for (int i = 0; i < 12; ++i) {
      SCOPED_TRACE(i + 1);
      const Row& row = rows[i];
      const bool menuItem = i < 8;
      auto c = menuItem ? items.Item(i + 1) : bar->Controls().Item(i - 6);
      EXPECT_EQ(c->Caption(), english ? std::string(row.english) : "\xe8\x8f\x9c" + std::string(row.key));
      const std::string escapedTip = "\\u83dc" + tavo::test::Escaped(row.tooltipKey);
      const std::string tooltip = !row.tooltip ? escapedTip
                                  : english || !*row.tooltip ? std::string(row.tooltip)
                                                             : "\xe8\x8f\x9c" + std::string(row.tooltipKey);
      EXPECT_EQ(c->TooltipText(), tooltip);
      EXPECT_EQ(c->Tag(), row.tag);
      EXPECT_EQ(c->BeginGroup(), row.beginGroup);
      if (menuItem) EXPECT_EQ(c->FaceId(), 0);
      else EXPECT_EQ(c->Style(), office::button_style::Caption);
    }
    session.Quit(true);
  }
}

// Any failing step shows "error" with the error's number and description, then the start-up
// message (empty when the texts did not load); the chain stops there.
TEST_F(StartUpTest, AFailingStepEndsTheStartUp) {
  constexpr const char* kCouldNotStart = "The Tavo add-in could not start. Please restart the application.";
  struct Case {
    const char* name;
    void (*prepare)();
    bool toolbar;
    std::vector<std::string> messages;
  };
  const Case cases[] = {
      {"stored name that does not decode", [] { SetSetting("tavousername", "<not base64>"); }, false, {"error0", ""}},
      {"shared name that does not decode",
       [] {
         WordSignedIn("", "", "T-1");
         SetShared("tavousername", "<bad>");
       },
       true,
       {"error0", kCouldNotStart}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    platform::environment::TempEnvironment env;
    forms::ScriptedOperator user;
    user.On("frmMsg", {"click Command1"}).On("frmMsg", {"click Command1"});
    reg::SetLocalMachineWritable(true);
    ASSERT_EQ(host::RegisterLibrary(TAVO_SHEET_LIBRARY), 0);
    c.prepare();
    std::vector<std::string> told;
    host::OfficeSession session(host::HostKind::Excel, [&](const std::string& m) { told.push_back(m); });
    ASSERT_EQ(session.Start(), 1) << testing::PrintToString(told);
    bool toolbar = false;
    for (const auto& bar : session.bars().bars())
      if (bar->Name() == "Tavo Sheet Excel Add-In" && bar->Controls().Count() > 0) toolbar = true;
    EXPECT_EQ(toolbar, c.toolbar);
    std::vector<std::string> seen;
    for (const auto& m : tavo::test::SeenMessages(user)) seen.push_back(m.text);
    EXPECT_EQ(seen, c.messages);
    session.Quit(true);
  }
}

// Unloaded and loaded again while Excel runs, the add-in builds its toolbar again in the one
// that Excel still shows, and takes over its File-menu item.
TEST_F(StartUpTest, ALoadAfterAnUnloadRebuildsTheToolbar) {
  StartExcel();
  excel().addins().Disconnect(office::disconnect_mode::UserClosed);
  excel().addins().Load("tavosheet.Connect", TAVO_SHEET_LIBRARY);
  int toolbars = 0;
  for (const auto& bar : excel().bars().bars()) toolbars += bar->Name() == "Tavo Sheet Excel Add-In";
  EXPECT_EQ(toolbars, 1);
  EXPECT_EQ(Toolbar()->Controls().Count(), 5);
  EXPECT_EQ(EnabledStates(), kSignedOut);
  auto& file = excel().bars().Item("File")->Controls();
  int items = 0;
  for (int i = 1; i <= file.Count(); ++i) items += file.Item(i)->Tag() == "Open from Tavo";
  EXPECT_EQ(items, 1);
  EXPECT_TRUE(Messages().empty());

  // Its Click reaches the add-in loaded now, once: one list request (refused: nobody is signed in).
  WillReadMessage();
  excel().Click("Open from &Tavo");
  EXPECT_EQ(Calls("getWorkbooks").size(), 1u);
  EXPECT_EQ(Messages(), std::vector<std::string>{"Authentication failed. Please sign in again."});
}

}  // namespace tavo::sheet::test
