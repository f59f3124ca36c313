#include "common/UserFiles.h"

#include <gtest/gtest.h>

#include "common/AddinState.h"
#include "common/Log.h"
#include "common/MapStore.h"
#include "common/StoredSecret.h"
#include "common/dialogs/TestSupport.h"
#include "common/tests/TestEnvironment.h"
#include "platform/codepage/CodePage.h"
#include "platform/core/Text.h"
#include "platform/files/Files.h"
#include "platform/forms/ScriptedOperator.h"

namespace tavo {
namespace {

const std::string kRule(85, '-');
constexpr const char* kAppData = "C:\\Users\\tavo\\AppData\\Roaming";
constexpr const char* kDocuments = "C:\\Users\\tavo\\Documents";

class UserFilesTest : public test::CoreTest, public ::testing::WithParamInterface<const AddinParameterSet*> {
 protected:
  UserFilesTest() : state(*GetParam()) {
    state.gLogLevel = "Info";
    state.gLoginUser = "ann@tavo.example";
    state.gLoginPassword = "hunter22";
  }
  std::string Svc() { return std::string(state.params.folderWord); }
  std::string Header(const std::string& user) {
    return kRule + "\r\n" + std::string(state.params.logHeaderTitle) + user + " - Tue Jun 2009 13:05:07\r\n" +
           " Version - 2.0.0\r\n" + kRule + "\r\n\r\n";
  }
  std::string Line(const std::string& level, const std::string& message) {
    return "[2009-06-02 13:05:07] -- [" + level + "] -- " + message + "\r\n";
  }

  AddinState state;
  platform::forms::ScriptedOperator op_;  // a message that comes up without a script fails the test
};

TEST_P(UserFilesTest, SignInPreparesFoldersLogMapAndCredentials) {
  state.gLoginUser = "  ann@tavo.example ";  // the trees use the trimmed name
  InitUserFiles(state, "ann@tavo.example");
  const std::string dataFolder = std::string(kAppData) + "\\tavo\\" + Svc() + "\\users\\ann@tavo.example\\";
  const std::string docsFolder = std::string(kDocuments) + "\\tavo\\" + Svc() + "\\users\\ann@tavo.example\\";
  EXPECT_EQ(state.gAppDataRoot, std::string(kAppData) + "\\tavo\\" + Svc());
  EXPECT_EQ(state.gUserDataFolder, dataFolder);
  EXPECT_EQ(state.gDocsRoot, std::string(kDocuments) + "\\tavo\\" + Svc());
  EXPECT_EQ(state.gUserDocsFolder, docsFolder);
  EXPECT_TRUE(platform::files::FolderExists(docsFolder));
  EXPECT_EQ(state.gLogFile, dataFolder + std::string(state.params.logFileName));

  std::string expectedLog = Header("ann@tavo.example") + Line("Info", "The Current User Folder is " + docsFolder) +
                            Line("Info", "The Current User Log File is " + dataFolder +
                                             std::string(state.params.logFileName));
  if (state.params.logInitialisedLine) expectedLog += Line("Info", "Log File Initialised Sucessfully");
  EXPECT_EQ(Read(state.gLogFile), expectedLog);

  EXPECT_EQ(Read(dataFolder + std::string(state.params.mapFileName)), "<mapxml></mapxml>");
  EXPECT_EQ(state.gEncodedUser, EncodeBase64("  ann@tavo.example "));
  EXPECT_EQ(state.gEncodedPassword, "aAB1AG4AdABlAHIAMgAyAAA=");
  EXPECT_EQ(Read(dataFolder + std::string(state.params.credentialsFileName)),
            "<xml><username>" + state.gEncodedUser + "</username><password>aAB1AG4AdABlAHIAMgAyAAA=</password></xml>");
  EXPECT_TRUE(test::SeenMessages(op_).empty());

  // A second sign-in appends a second header block and keeps the map.
  platform::files::WriteAllBytes(dataFolder + std::string(state.params.mapFileName), "<mapxml><x/></mapxml>");
  InitUserFiles(state, "ann@tavo.example");
  const std::string log = Read(state.gLogFile);
  EXPECT_EQ(log.substr(0, expectedLog.size()), expectedLog);
  EXPECT_EQ(log.substr(expectedLog.size(), Header("ann@tavo.example").size()), Header("ann@tavo.example"));
  EXPECT_EQ(Read(dataFolder + std::string(state.params.mapFileName)), "<mapxml><x/></mapxml>");
}

TEST_P(UserFilesTest, EmptyUserFailsTheLogButNotTheMap) {
  state.gLogFile = "";
  EXPECT_FALSE(InitLogFile(state, ""));
  EXPECT_EQ(state.gLogFile, "");
  EXPECT_FALSE(platform::files::FolderExists(std::string(kAppData) + "\\tavo"));
}

// No account name, no files: the folder of a blank name would be ...\users\ itself, which the
// folder procedures point at then.
TEST_P(UserFilesTest, NothingIsWrittenForNoAccount) {
  const std::string users = std::string(kAppData) + "\\tavo\\" + Svc() + "\\users\\";
  const std::string tavo = std::string(kAppData) + "\\tavo";
  for (const std::string& folder : {tavo, tavo + "\\" + Svc(), users}) platform::files::CreateFolder(folder);
  state.gLoginUser = " ";
  state.gUserDataFolder = users;
  InitUserFiles(state, " ");
  EXPECT_FALSE(platform::files::FileExists(users + std::string(state.params.mapFileName)));
  EXPECT_FALSE(platform::files::FileExists(users + std::string(state.params.credentialsFileName)));
  EXPECT_FALSE(platform::files::FileExists(users + std::string(state.params.logFileName)));
}

TEST_P(UserFilesTest, FolderThatCannotBeMadeShowsTheAddinsMessage) {
  state.strings.Set(std::string(state.params.initUserFilesFailureKey), "Files could not be prepared");
  state.gLanguageName = "english";
  // A file where the users folder belongs.
  platform::files::CreateFolder(std::string(kAppData) + "\\tavo");
  platform::files::CreateFolder(std::string(kAppData) + "\\tavo\\" + Svc());
  platform::files::WriteAllBytes(std::string(kAppData) + "\\tavo\\" + Svc() + "\\users", "in the way");
  EXPECT_FALSE(InitLogFile(state, "ann@tavo.example"));
  const char* dialog = state.params.singleMessageDialog ? "frmMsg" : "frmMsgInfo";
  op_.On(dialog, {"click Command1"});
  InitUserFiles(state, "ann@tavo.example");
  const std::vector<test::SeenMessage> seen = test::SeenMessages(op_);
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].dialog, dialog);
  EXPECT_EQ(seen[0].text, "Files could not be prepared");
}

TEST_P(UserFilesTest, LogLevels) {
  InitUserFiles(state, "ann@tavo.example");
  struct Case {
    std::string configured, level;
    bool written;
  };
  const Case cases[] = {
      {"Info", "Info", true},   {"Info", "Error", true},   {"Info", "", true},     {"Error", "Error", true},
      {"Error", "Info", false}, {"info", "Info", false},   {"info", "info", true}, {" ", "Error", false},
      {"Error", "error", false},
  };
  for (const Case& c : cases) {
    platform::files::WriteAllBytes(state.gLogFile, "");
    state.gLogLevel = c.configured;
    WriteLog(state, "message", c.level);
    EXPECT_EQ(Read(state.gLogFile), c.written ? Line(c.level, "message") : "") << c.configured << "/" << c.level;
  }
  platform::files::WriteAllBytes(state.gLogFile, "");
  state.gLogLevel = "Info";
  WriteLog(state, "", "Info");
  EXPECT_EQ(Read(state.gLogFile), "");
  state.gLogFile = "C:\\no\\such\\folder\\x.log";
  WriteLog(state, "lost", "Info");  // an unwritable log is skipped quietly
  state.gLogFile = "";
  WriteLog(state, "lost", "Info");
}

TEST_P(UserFilesTest, LogLinesCarryNoSecrets) {
  InitUserFiles(state, "ann@tavo.example");
  state.gTicket = "TICKET-1234";
  platform::files::WriteAllBytes(state.gLogFile, "");
  WriteLog(state, "Request ?apikey=7c0e9a5b31f84d62a09e3b7f5c18d24e&ticket=TICKET-1234 for hunter22 as " +
                      EncodeBase64("hunter22"),
           "Info");
  EXPECT_EQ(Read(state.gLogFile), Line("Info", "Request ?apikey=***&ticket=*** for *** as ***"));

  // A one-letter password cannot blank out the fixed texts.
  state.gLoginPassword = "e";
  state.gEncodedPassword = EncodeBase64("e");
  state.gTicket = "";
  platform::files::WriteAllBytes(state.gLogFile, "");
  WriteLog(state, "Sucessfully Appended into Mapxml  ", "Info");
  EXPECT_EQ(Read(state.gLogFile), Line("Info", "Sucessfully Appended into Mapxml  "));
}

// Which files lie in another account's documents folder, however the path is spelled.
TEST(UserFoldersTest, AFileInAnotherAccountsFolder) {
  AddinState state(kWriterParameters);
  state.gDocsRoot = std::string(kDocuments) + "\\tavo\\tavowriter";
  state.gLoginUser = " bob@tavo.example";
  const std::string users = state.gDocsRoot + "\\users\\";
  const struct {
    std::string path;
    bool other;
  } cases[] = {
      {users + "ann@tavo.example\\Welcome.doc", true},
      {users + "ANN@tavo.example\\sub\\Welcome.doc", true},
      {users + "bob@tavo.example\\..\\ann@tavo.example\\Welcome.doc", true},
      {users + "bob@tavo.example.old\\Welcome.doc", true},
      {users + "bob@tavo.example\\Welcome.doc", false},
      {users + "BOB@TAVO.EXAMPLE\\\\Welcome.doc", false},
      {users + "ann@tavo.example\\..\\bob@tavo.example\\Welcome.doc", false},
      {users + "bob@tavo.example. \\Welcome.doc", false},
      {std::string(kDocuments) + "\\Welcome.doc", false},
      {state.gDocsRoot + "\\Welcome.doc", false},
  };
  for (const auto& c : cases) EXPECT_EQ(InAnotherAccountsFolder(state, c.path), c.other) << c.path;
}

// Which files a map record may lead the add-in to write or delete: those right in the account's
// documents folder, however the path is spelled; anything else is refused with an Error line.
TEST_P(UserFilesTest, ARecordIsFollowedOnlyToAFileRightInTheUserFolder) {
  InitUserFiles(state, "ann@tavo.example");
  const std::string folder = state.gUserDocsFolder;  // ...\users\ann@tavo.example\ (ends in "\")
  const std::string docs = std::string(kDocuments) + "\\tavo\\" + Svc() + "\\users\\";
  const struct {
    std::string path;
    bool followed;
  } cases[] = {
      {folder + "Budget.xls", true},
      {platform::text::UCase(folder) + "BUDGET.XLS", true},
      {docs + "ann@tavo.example\\\\Budget.xls", true},
      {docs + "ann@tavo.example/Budget.xls", true},
      {docs + "bob@tavo.example\\..\\ann@tavo.example\\Budget.xls", true},
      {folder + "Budget.xls.", true},
      {folder + "..\\..\\..\\Budget.xls", false},
      {folder + "sub\\Budget.xls", false},
      {folder + "..", false},
      {folder, false},
      {docs + "bob@tavo.example\\Budget.xls", false},
      {docs + "ann@tavo.example.old\\Budget.xls", false},
      {std::string(kDocuments) + "\\Budget.xls", false},
      {"Budget.xls", false},
      {"C:Budget.xls", false},
      {"\\\\server\\share\\Budget.xls", false},
      {"", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path);
    platform::files::WriteAllBytes(state.gLogFile, "");
    EXPECT_EQ(InUserDocsFolder(state, c.path), c.followed);
    EXPECT_EQ(RefusedRecordedCopy(state, c.path), !c.followed);
    const std::string refused = "A map record names a file outside the user folder, which is not used: " + c.path;
    EXPECT_EQ(Read(state.gLogFile), c.followed ? "" : Line("Error", refused));
  }
  // Nobody signed in: no file is anyone's.
  state.gUserDocsFolder.clear();
  EXPECT_FALSE(InUserDocsFolder(state, folder + "Budget.xls"));
}

// One call writes one line: control characters of a message, and of the name in the header,
// are written escaped; other characters, and the CR LF that ends the line, as they are.
TEST_P(UserFilesTest, ControlCharactersAreWrittenEscaped) {
  InitUserFiles(state, "ann@tavo.example");
  const struct {
    std::string message, written;
  } cases[] = {
      {"a\r\n[2009-06-02 13:05:07] -- [Error] -- forged", "a\\x0D\\x0A[2009-06-02 13:05:07] -- [Error] -- forged"},
      {"\x1B[2J\tx\x7F", "\\x1B[2J\\x09x\\x7F"},
      {std::string("nul\0end", 7), "nul\\x00end"},
      {"next line\xC2\x85" "csi\xC2\x9B", "next line\\x85csi\\x9B"},                  // U+0085, U+009B
      {"C:\\Users \xC2\xA0" "caf\xC3\xA9 \xE2\x80\xA6", "C:\\Users \xC2\xA0" "caf\xC3\xA9 \xE2\x80\xA6"},  // not controls
  };
  for (const auto& c : cases) {
    platform::files::WriteAllBytes(state.gLogFile, "");
    WriteLog(state, c.message, "Info");
    EXPECT_EQ(Read(state.gLogFile), platform::codepage::Utf8ToAnsi(Line("Info", c.written))) << c.written;
  }
  // A password that holds a control character is masked all the same.
  state.gLoginPassword = "pass\nword";
  platform::files::WriteAllBytes(state.gLogFile, "");
  WriteLog(state, "sent pass\nword", "Info");
  EXPECT_EQ(Read(state.gLogFile), Line("Info", "sent ***"));

  state.gLoginUser = "ann\r\n[Error] bob";
  InitUserFiles(state, state.gLoginUser);
  EXPECT_NE(Read(state.gLogFile).find(Header("ann\\x0D\\x0A[Error] bob")), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(BothAddins, UserFilesTest, ::testing::Values(&kWriterParameters, &kSheetParameters),
                         test::AddinName);

}  // namespace
}  // namespace tavo
