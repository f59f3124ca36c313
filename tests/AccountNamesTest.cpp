// The account name names each add-in's per-user folders (<AppData>\tavo\<svc>\users\<name>\ and
// <Documents>\tavo\<svc>\users\<name>\). In Word and in Excel, run as tavo-office processes
// against the stand-in service: a name typed with a blank in front finds the folders its sign-in
// made.
#include <ostream>
#include <string>

#include "common/tests/AddinTestSupport.h"
#include "platform/files/Files.h"
#include "service/Seed.h"
#include "tests/EndToEnd.h"

namespace tavo::test {
namespace {

using std::string;

constexpr const char* kUser = "ann@tavo.example";
constexpr const char* kPassword = "Secret-1";
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

bool Has(const string& screen, const string& text) { return screen.find(text) != string::npos; }

class AccountNames : public EndToEndTest, public ::testing::WithParamInterface<Host> {
 protected:
  const Host& host() const { return GetParam(); }
  AddinSettings Settings() const { return AddinSettings(host().settingsKey); }
};

}  // namespace

// Signed in as " ann@tavo.example", the folders are those of "ann@tavo.example": the list opens
// the chosen document or workbook, and the local copies are found and opened.
TEST_P(AccountNames, ABlankInFrontOfTheNameFindsTheFoldersOfItsSignIn) {
  server_->AddAccount(kUser, kPassword);
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
