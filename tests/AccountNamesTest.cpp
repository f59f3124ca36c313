// The account name names each add-in's per-user folders (<AppData>\tavo\<svc>\users\<name>\ and
// <Documents>\tavo\<svc>\users\<name>\). In Word and in Excel, run as tavo-office processes
// against the stand-in service: a name that would lead out of those folders is refused wherever
// it comes in, and a name typed with a blank in front finds the folders its sign-in made.
#include <ostream>
#include <set>
#include <string>

#include "common/StoredSecret.h"
#include "common/tests/AddinTestSupport.h"
#include "platform/files/Files.h"
#include "platform/registry/Registry.h"
#include "service/Seed.h"
#include "tests/EndToEnd.h"

namespace tavo::test {
namespace {

using std::string;

// From ...\users\, five steps up and into a folder of its own.
constexpr const char* kEscaping = "..\\..\\..\\..\\..\\Escaped";
constexpr const char* kRefused = "The Tavo ID cannot contain \\, / or : or control characters";
constexpr const char* kAppData = "C:\\Users\\tavo\\AppData\\Roaming";
constexpr const char* kDocuments = "C:\\Users\\tavo\\Documents";

struct Host {
  const char* kind;
  const char* settingsKey;
  const char* otherStatus;  // the other add-in's status value in the shared key
  const char* ownStatus;
  const char* folderWord;
  const char* localCommand;
  const char* openCommand;
  const char* extension;
  const char* credentialsFile;
};
const Host kWord{"word",       "Software\\tavo\\tavo writer Word Plugin\\reg", "excelstatus", "wordstatus",
                 "tavowriter", "Local &Documents", "&Open Document", ".doc", "maptavoworddet.xml"};
const Host kExcel{"excel",     "Software\\tavo\\tavo sheet Excel Plugin\\reg", "wordstatus", "excelstatus",
                  "tavosheet", "Local Work&Books", "&Open Tavo Sheet", ".xls", "maptavoexceldet.xml"};

void PrintTo(const Host& host, std::ostream* out) { *out << host.kind; }

class AccountNames : public EndToEndTest, public ::testing::WithParamInterface<Host> {
 protected:
  const Host& host() const { return GetParam(); }
  AddinSettings Settings() const { return AddinSettings(host().settingsKey); }
  // The files of drive C: outside the add-ins' own trees.
  static std::set<string> FilesElsewhere() {
    return FilesOnDriveCOutside({string(kAppData) + "\\tavo", string(kDocuments) + "\\tavo"});
  }
  // The refusal on the screen; its OK leaves the screen returned, with the dialog that asked for
  // the name (if any) still open.
  static string Refused(HostProcess& process, const string& screen, const string& dialog = "") {
    EXPECT_TRUE(Has(screen, kRefused)) << screen;
    const string after = process.Send("click Command1");
    if (!dialog.empty()) {
      EXPECT_TRUE(Has(after, "[" + dialog + "]")) << after;
    }
    return after;
  }
};

}  // namespace

// Typed into either sign-in dialog (with OK or with Enter), remembered from before, or taken
// over from the other add-in: the name is neither sent, nor stored, nor used for a folder.
TEST_P(AccountNames, ANameThatLeavesTheFoldersIsRefusedWhereverItComesIn) {
  server_->AddAccount(kEscaping, kPassword);
  // What an earlier sign-in under the name would have left where the name leads: the local
  // sign-in would find it there.
  const string dataOutside = "C:\\Users\\tavo\\Escaped";
  const string docsOutside = "C:\\Users\\Escaped";
  for (const string& folder : {dataOutside, docsOutside}) platform::files::CreateFolder(folder);
  platform::files::WriteAllBytes(dataOutside + "\\" + host().credentialsFile,
                                 "<xml><username>" + EncodeBase64(kEscaping) + "</username><password>" +
                                     EncodeBase64(kPassword) + "</password></xml>");
  platform::files::WriteAllBytes(docsOutside + "\\Outside" + host().extension, "not the add-in's");
  const std::set<string> before = FilesElsewhere();

  auto typed = Start(host().kind);
  for (const char* dialog : {"frmConfig", "frmconfiglocal"}) {
    typed->Send(string("click ") + (dialog == string("frmConfig") ? "&Login" : host().localCommand));
    typed->Send(string("type tavoemailid ") + kEscaping);
    typed->Send(string("type tavopassword ") + kPassword);
    typed->Send("check rememberme");
    Refused(*typed, typed->Send("click Command1"), dialog);
    Refused(*typed, typed->Send("key tavopassword enter"), dialog);
    const string screen = typed->Send("click Cancel");
    EXPECT_FALSE(Has(screen, "[frm")) << screen;
  }
  EXPECT_EQ(typed->Quit(), 0);
  EXPECT_EQ(Settings().Get("tavousername"), "");

  // Remembered by an earlier version: Login and the local copies refuse it; Login then asks.
  Settings().RememberCredentials(kEscaping, kPassword, true);
  for (const char* command : {host().localCommand, "&Login"}) {
    auto remembered = Start(host().kind);
    const string screen = Refused(*remembered, remembered->Send(string("click ") + command));
    EXPECT_FALSE(Has(screen, "[frm")) << screen;
    EXPECT_TRUE(Has(remembered->Send(string("click ") + command), "[frm")) << command;
    remembered->Send("click Cancel");
    EXPECT_EQ(remembered->Quit(), 0);
  }

  // The other add-in's sign-in under the name is not taken over.
  SignedInElsewhere(host().otherStatus, kEscaping, kPassword, server_->SignIn(kEscaping));
  auto adopting = Start(host().kind);
  const string screen = Refused(*adopting, adopting->Send("# started"));
  EXPECT_TRUE(Has(screen, "  &Login\n")) << screen;
  EXPECT_NE(Shared(host().ownStatus), "1");
  EXPECT_EQ(adopting->Quit(), 0);

  EXPECT_EQ(Requests("POST", "/login"), 0u);
  EXPECT_EQ(FilesElsewhere(), before);
}

// Signed in as " ann@tavo.example", the folders are those of "ann@tavo.example": the list opens
// the chosen document or workbook, and the local copies are found and opened.
TEST_P(AccountNames, ABlankInFrontOfTheNameFindsTheFoldersOfItsSignIn) {
  if (host().kind == string("word")) server_->AddDocument(kUser, "Welcome", "<p>Hello</p>");
  else server_->AddWorkbook(kUser, "Welcome", service::WorkbookFile({{"Sheet1", {{"A1", "Hello"}}}}));
  Settings().Set("tavosavelocal", "1");
  auto process = Start(host().kind, 20);
  process->Send("click &Login");
  process->Send(string("type tavoemailid \" ") + kUser + "\"");
  process->Send(string("type tavopassword ") + kPassword);
  ASSERT_TRUE(Has(process->Send("click Command1"), "&Login (disabled)")) << process->Output();

  process->Send(string("click ") + host().openCommand);
  process->Send("select listdoc \"Welcome\"");
  const string copy = string("Welcome") + host().extension;
  string screen = process->Send("click Command1");
  EXPECT_FALSE(Has(screen, "[frmDocList]")) << screen;
  EXPECT_TRUE(Has(screen, copy)) << screen;
  const string folder = string(kDocuments) + "\\tavo\\" + host().folderWord + "\\users\\" + kUser;
  EXPECT_TRUE(platform::files::FileExists(folder + "\\" + copy));

  process->Send("close " + copy);
  process->Send(string("click ") + host().localCommand);
  process->Send("select locallist \"Welcome \"");
  screen = process->Send("click Command1");
  EXPECT_FALSE(Has(screen, "[frm")) << screen;
  EXPECT_TRUE(Has(screen, copy)) << screen;
  EXPECT_EQ(process->Quit(), 0);
}

INSTANTIATE_TEST_SUITE_P(BothHosts, AccountNames, ::testing::Values(kWord, kExcel),
                         [](const ::testing::TestParamInfo<Host>& p) { return string(p.param.kind); });

}  // namespace tavo::test
