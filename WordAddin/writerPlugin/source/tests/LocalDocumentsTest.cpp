// The Local Documents command: the offline check against the credentials file of the last
// sign-in on this computer, and the list of the account's local copies.
#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "WordAddin/writerPlugin/source/tests/WriterTestSupport.h"
#include "platform/environment/Environment.h"
#include "platform/forms/ListBox.h"

namespace tavo::writer::test {
namespace {

constexpr const char* kUser = "ann@tavo.example";
constexpr const char* kPassword = "Secret-1";
constexpr const char* kNoCopies = "frmMsgInfo: No local documents were found for this account.";      // gMsg40
constexpr const char* kNeverHere = "frmMsgInfo: This account has not signed in on this computer yet.";  // gMsg41
constexpr const char* kCannotOpen = "frmMsgInfo: The local documents could not be opened.";             // gMsg42
constexpr const char* kMismatch = "frmMsgInfo: Sign-in failed. Please check your Tavo ID and password.";  // gMsg27

std::string DataFolder() { return std::string(kAppData) + "\\tavo\\tavowriter\\users\\" + kUser; }
std::string DocsFolder() { return std::string(kDocuments) + "\\tavo\\tavowriter\\users\\" + kUser; }

void MakeFolder(const std::string& windowsPath) {
  std::filesystem::create_directories(platform::environment::HostPath(windowsPath));
}

// What an earlier sign-in on this computer left: the credentials file and the copies folder.
void SignedInBefore(const std::vector<std::string>& copies) {
  MakeFolder(DataFolder());
  platform::files::WriteAllBytes(DataFolder() + "\\maptavoworddet.xml",
                                 "<xml><username>" + EncodeBase64(kUser) + "</username><password>" +
                                     EncodeBase64(kPassword) + "</password></xml>");
  MakeFolder(DocsFolder());
  for (const auto& name : copies) platform::files::WriteAllBytes(DocsFolder() + "\\" + name, "copy");
}

class LocalDocumentsTest : public WriterTest {
 protected:
  LocalDocumentsTest() {
    watcher_.onShown = [this](forms::Form& form) {
      if (form.Name() != "frmopenlocalfiles") return;
      auto& list = ControlOf<forms::ListBox>(form, "locallist");
      listed = list.Items();
      selected = list.ListIndex();
    };
  }
  void TypeCredentials(const std::string& user, const std::string& password) {
    user_.On("frmconfiglocal", {"type tavoemailid " + user, "type tavopassword " + password, "click Command1"});
  }
  void LocalDocuments() { word().Click("Local &Documents"); }
  std::vector<std::string> Listed() {
    std::vector<std::string> sorted = listed;
    std::sort(sorted.begin(), sorted.end());
    return sorted;
  }

  FormWatcher watcher_{user_};
  std::vector<std::string> listed;
  int selected = -2;
};

}  // namespace

// A copy ending in ".doc" is listed with that ".doc" made one blank; Word's lock files, names
// ending in capitals and ".docx" files are left out; a name ending in "doc" without a dot is
// listed as it is.
TEST_F(LocalDocumentsTest, TheCopiesAreListedAfterTheOfflineCheck) {
  SignedInBefore({"Report.doc", "~$Report.doc", "NOTES.DOC", "plan.docx", "mydoc", "two.doc.doc", "Budget.doc"});
  RememberCredentials(kUser, kPassword);
  StartWord();
  user_.On("frmopenlocalfiles", {"click Cancel"});
  LocalDocuments();
  // The credentials in memory are used without asking; the check runs all the same.
  EXPECT_FALSE(user_.Saw("frmconfiglocal"));
  EXPECT_EQ(Listed(), (std::vector<std::string>{"Budget ", "Report ", "mydoc", "two  "}));
  EXPECT_EQ(selected, 0);
  EXPECT_TRUE(Messages().empty());
}

TEST_F(LocalDocumentsTest, TheNameMayDifferInCaseButNotThePassword) {
  SignedInBefore({"Report.doc"});
  StartWord();
  TypeCredentials("ANN@Tavo.Example", "secret-1");
  WillReadMessage();
  LocalDocuments();
  EXPECT_EQ(Messages(), std::vector<std::string>{kMismatch});
  EXPECT_FALSE(user_.Saw("frmopenlocalfiles"));

  // A refused check asks again, although credentials are in memory now.
  user_.On("frmconfiglocal", {"clear tavopassword", "type tavopassword " + std::string(kPassword), "click Command1"});
  user_.On("frmopenlocalfiles", {"click Cancel"});
  LocalDocuments();
  EXPECT_EQ(user_.TimesShown("frmconfiglocal"), 2);
  EXPECT_EQ(Listed(), std::vector<std::string>{"Report "});
}

TEST_F(LocalDocumentsTest, WhatIsMissingIsReported) {
  struct Case {
    const char* name;
    void (*prepare)();
    const char* message;
    bool asksAgain;  // the next click shows the local sign-in again
  };
  const Case cases[] = {
      {"never signed in here", [] {}, kNeverHere, true},
      {"no credentials file",
       [] {
         SignedInBefore({"Report.doc"});
         platform::files::DeleteFile(DataFolder() + "\\maptavoworddet.xml");
       },
       kNoCopies, false},
      {"no copies", [] { SignedInBefore({"plan.docx"}); }, kNoCopies, false},
      {"no documents folder",
       [] {
         SignedInBefore({});
         std::filesystem::remove_all(platform::environment::HostPath(DocsFolder()));
       },
       kCannotOpen, false},
      {"unreadable credentials file",
       [] {
         SignedInBefore({"Report.doc"});
         platform::files::WriteAllBytes(DataFolder() + "\\maptavoworddet.xml", "not xml");
       },
       kCannotOpen, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    platform::environment::TempEnvironment env;
    forms::ScriptedOperator user;
    reg::SetLocalMachineWritable(true);
    ASSERT_EQ(host::RegisterLibrary(TAVO_WRITER_LIBRARY), 0);
    c.prepare();
    host::OfficeSession word(host::HostKind::Word);
    ASSERT_EQ(word.Start(), 1);
    user.On("frmconfiglocal", {"type tavoemailid " + std::string(kUser), "type tavopassword " + std::string(kPassword),
                               "click Command1"});
    user.On("frmMsgInfo", {"click Command1"});
    word.Click("Local &Documents");
    std::vector<std::string> seen;
    for (const auto& m : tavo::test::SeenMessages(user)) seen.push_back(m.dialog + ": " + m.text);
    EXPECT_EQ(seen, std::vector<std::string>{c.message});
    EXPECT_FALSE(user.Saw("frmopenlocalfiles"));

    user.On("frmconfiglocal", {"click Cancel"});
    if (!c.asksAgain) user.On("frmMsgInfo", {"click Command1"});
    word.Click("Local &Documents");
    EXPECT_EQ(user.TimesShown("frmconfiglocal"), c.asksAgain ? 2 : 1);
    word.Quit(true);
  }
}

}  // namespace tavo::writer::test
