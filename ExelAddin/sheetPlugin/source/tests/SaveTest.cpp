// Saving the active workbook over its online workbook: the Save command with the service's
// error codes and the overwrite question, the publish command's conflict check, and the
// workbooks that cannot go online as they are.
#include <string>
#include <vector>

#include "ExelAddin/sheetPlugin/source/tests/SheetTestSupport.h"
#include "service/Exchange.h"

namespace tavo::sheet::test {
namespace {

constexpr const char* kSaveFailed = "An Error occurred while saving the Workbook";

// The parameters of a recorded method call.
service::MethodCall Parsed(const service::RecordedRequest& request) {
  auto call = service::ParseMethodCall(request.body);
  if (!call) ADD_FAILURE() << "not a method call: " << request.body;
  return call.value_or(service::MethodCall{});
}

// The cell A1 of a workbook's bytes.
std::string FirstCell(const std::string& bytes) {
  auto file = host::excel::ReadWorkbookFile(bytes);
  if (!file || file->sheets.empty() || file->sheets[0].cells.empty()) return {};
  return file->sheets[0].cells.begin()->second;
}

class SaveTest : public SheetTest {
 protected:
  // A workbook online, downloaded and changed in Excel.
  std::string DownloadedAndChanged(const std::string& name, const std::string& value) {
    const std::string id = server_->AddWorkbook(kUser, name, Workbook({{"A1", "online"}}));
    if (!started_) StartSignedIn();
    started_ = true;
    Download(name);
    app()->activeWorkbook()->SetCell("A1", value);
    return id;
  }
  void Save() { excel().Click("&Save in Tavo Sheet"); }
  void Publish() { excel().Click("&Publish in Tavo Share"); }
  bool started_ = false;
};

}  // namespace

// The file goes as it is on disk without an open password; the answer's update lock and time
// replace the record's, and the workbook stays in the user's folder, protected again.
TEST_F(SaveTest, ALinkedWorkbookIsSavedOverItsOnlineWorkbook) {
  const std::string id = DownloadedAndChanged("Budget", "mine");
  const std::string lock = MapEntries()[0].updateLock;
  const std::string created = MapEntries()[0].created;
  Save();

  const auto saves = Calls("saveWorkbook");
  ASSERT_EQ(saves.size(), 1u);
  const service::MethodCall call = Parsed(saves[0]);
  EXPECT_EQ(call.Value("workbookId"), id);
  EXPECT_EQ(call.Value("updateLock"), lock);
  EXPECT_EQ(call.Value("contentType"), "XLS");
  EXPECT_FALSE(call.Has("overwrite"));
  // A second after the body was made.
  EXPECT_NE(saves[0].query.find("&time=130508"), std::string::npos) << saves[0].query;
  const auto online = *server_->FindWorkbook(id);
  EXPECT_EQ(FirstCell(online.bytes), "mine");
  EXPECT_TRUE(host::excel::ReadWorkbookFile(online.bytes)->passwordHash.empty());

  const auto entries = MapEntries();
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0].updateLock, online.updateLock);
  EXPECT_NE(entries[0].updateLock, lock);
  EXPECT_EQ(entries[0].modified, online.modifiedTime);
  EXPECT_EQ(entries[0].created, created);
  EXPECT_EQ(entries[0].filename, kUserDocs + "Budget.xls");
  EXPECT_TRUE(app()->activeWorkbook()->protectedByPassword());
  EXPECT_EQ(app()->activeWorkbook()->FullName(), kUserDocs + "Budget.xls");
  EXPECT_TRUE(Messages().empty());
  EXPECT_TRUE(app()->DisplayAlerts());
}

// Each code the service answers a save with: a message and the save's failure, or the question
// that decides it, and never a status of success. The publish command shows its own texts for the
// same codes.
TEST_F(SaveTest, EveryErrorCodeHasItsMessageOrQuestion) {
  struct Case {
    const char* code;  // "" an answer that is no XML; "none" XML that is neither result nor error
    std::vector<std::string> save;
    const char* saveQuestion;
    std::vector<std::string> publish;
    const char* publishQuestion;
  };
  const Case cases[] = {
      {"2401", {"Authentication failed. Please sign in again.", kSaveFailed}, nullptr,
       {"Authentication Failed. Please Login again.", "An error occurred while saving the workbook."}, nullptr},
      {"2500", {"The workbook could not be saved: its encoding is not supported.", kSaveFailed}, nullptr,
       {"Unable to Save.Encoding is not proper", "An error occurred while saving the workbook."}, nullptr},
      {"2851", {}, "frmConfirm", {}, "frmLicense"},
      {"2852", {"This workbook has been moved to the trash in Tavo Sheet.", kSaveFailed}, nullptr,
       {"The Document has been trashed and cannot be opened.", "An error occurred while saving the workbook."},
       nullptr},
      {"2853", {"This workbook is shared with you and cannot be saved.", kSaveFailed}, nullptr,
       {"The Document is Shared to you and you can't save.", "An error occurred while saving the workbook."}, nullptr},
      {"2854", {"This workbook is in use and cannot be saved now.", kSaveFailed}, nullptr,
       {"The Document is in use and cannot be saved now.", "An error occurred while saving the workbook."}, nullptr},
      {"2855", {}, "frmLowVersion", {}, "frmLowVersion"},
      {"2999", {"Tavo Sheet could not complete the request. Please try again.", kSaveFailed}, nullptr,
       {"Unable to Save the Workbook", "An error occurred while saving the workbook."}, nullptr},
      {"", {"An error occurred while saving the workbook.", kSaveFailed}, nullptr,
       {"An error occurred while saving the Workbook.", "An error occurred while saving the workbook."}, nullptr},
      {"none", {"Tavo Sheet could not complete the request. Please try again.", kSaveFailed}, nullptr,
       {"Unable to Save the Workbook", "An error occurred while saving the workbook."}, nullptr},
  };
  DownloadedAndChanged("Budget", "mine");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.code);
    for (bool publish : {false, true}) {
      SCOPED_TRACE(publish ? "publish" : "save");
      const std::string code = c.code;
      server_->InjectFault(code.empty()    ? service::Fault("saveWorkbook", service::FaultKind::NotXml)
                           : code == "none" ? service::Fault("saveWorkbook", service::FaultKind::WrongXml)
                                            : service::Fault("saveWorkbook", service::FaultKind::ErrorCode, 1, code));
      const std::vector<std::string>& messages = publish ? c.publish : c.save;
      const char* question = publish ? c.publishQuestion : c.saveQuestion;
      WillReadMessage(static_cast<int>(messages.size()));
      if (question) user_.On(question, {"click Command2"});
      const size_t seen = Messages().size();
      const int asked = question ? user_.TimesShown(question) : 0;
      publish ? Publish() : Save();
      const std::vector<std::string> all = Messages();
      EXPECT_EQ(std::vector<std::string>(all.begin() + static_cast<long>(seen), all.end()), messages);
      if (question) {
        EXPECT_EQ(user_.TimesShown(question), asked + 1);
      }
      // Nothing reached the service: no status may say that it did, also after No to a question.
      EXPECT_NE(Status(), "Workbook Saved Sucessfully !");
      EXPECT_NE(Status(), "Workbook Updated Sucessfully !!");
      if (code == "2401") SignInAgain();
    }
  }
  // The publish command's failure message is the language's.
  EXPECT_EQ(FirstCell(server_->Workbooks()[0].bytes), "online");
}

// Changed online since it was downloaded: the service refuses the save, the overwrite question
// opens, and Yes sends the workbook again with "overwrite", a new time and the record's lock.
TEST_F(SaveTest, ANewerOnlineVersionIsOverwrittenAfterYes) {
  const std::string id = DownloadedAndChanged("Budget", "mine");
  const std::string lock = MapEntries()[0].updateLock;
  server_->ChangeWorkbook(id, Workbook({{"A1", "theirs"}}));
  user_.On("frmLowVersion", {"click Command2"});
  Save();
  EXPECT_EQ(FirstCell(server_->FindWorkbook(id)->bytes), "theirs");

  user_.On("frmLowVersion", {"click Command1"});
  Save();
  const auto saves = Calls("saveWorkbook");
  ASSERT_EQ(saves.size(), 3u);
  const service::MethodCall overwrite = Parsed(saves[2]);
  EXPECT_EQ(overwrite.Value("overwrite"), "true");
  EXPECT_EQ(overwrite.Value("updateLock"), lock);
  EXPECT_NE(saves[2].query.substr(saves[2].query.find("&time=")), saves[1].query.substr(saves[1].query.find("&time=")));
  EXPECT_EQ(FirstCell(server_->FindWorkbook(id)->bytes), "mine");
  EXPECT_EQ(MapEntries()[0].updateLock, server_->FindWorkbook(id)->updateLock);
  EXPECT_TRUE(Messages().empty()) << testing::PrintToString(Messages());
}

// The publish command compares the online time with the recorded one before it sends: an
// equal time goes ahead, a later one asks whether to overwrite instead of sending. The time
// comes from a fresh list, whether a list was fetched since Excel started or not.
TEST_F(SaveTest, ThePublishCommandChecksForANewerOnlineCopyFirst) {
  const std::string id = DownloadedAndChanged("Budget", "mine");
  Publish();
  ASSERT_EQ(Calls("saveWorkbook").size(), 1u);
  EXPECT_EQ(FirstCell(server_->FindWorkbook(id)->bytes), "mine");

  server_->ChangeWorkbook(id, Workbook({{"A1", "theirs"}}));
  user_.On("frmLowVersion", {"click Command2"});
  Publish();
  EXPECT_EQ(user_.TimesShown("frmLowVersion"), 1);
  EXPECT_EQ(Calls("saveWorkbook").size(), 1u);

  // Excel again: no list fetched since.
  app()->activeWorkbook()->Close();
  ASSERT_TRUE(QuitExcel());
  StartSignedIn();
  server_->ClearRequests();
  ASSERT_EQ(app()->workbookList().size(), 0u);
  user_.On("frmopenlocalfiles", {"click Command1"});
  excel().Click("Local Work&Books");
  ASSERT_EQ(app()->workbookList().size(), 1u);
  user_.On("frmLowVersion", {"click Command1"});
  Publish();
  EXPECT_EQ(Calls("getWorkbooks").size(), 1u);
  ASSERT_EQ(Calls("saveWorkbook").size(), 1u);
  EXPECT_EQ(Parsed(Calls("saveWorkbook")[0]).Value("overwrite"), "true");
}

// A map that cannot be read tells nothing about the workbook: the save fails, and says so,
// without sending anything or offering to add the workbook.
TEST_F(SaveTest, WithoutAReadableMapTheSaveFails) {
  DownloadedAndChanged("Budget", "mine");
  platform::files::WriteAllBytes(MapFile(), "not xml");
  WillReadMessage();
  Save();
  EXPECT_EQ(Messages(), std::vector<std::string>{kSaveFailed});
  EXPECT_FALSE(user_.Saw("frmConfirm"));
  EXPECT_TRUE(Calls("saveWorkbook").empty());
  EXPECT_NE(LogText().find("Error While Saviing the WorkBook "), std::string::npos);
}

// A workbook saved under a name holding an apostrophe is found in the map like any other.
TEST_F(SaveTest, ANameWithAnApostropheIsFound) {
  DownloadedAndChanged("Bob's budget", "mine");
  Save();
  EXPECT_FALSE(user_.Saw("frmConfirm"));
  EXPECT_EQ(Calls("saveWorkbook").size(), 1u);
}

// What cannot go online as it is: no workbook, one never saved, one that is no ".xls" file
// (kept, protected, in the user's folder); and one not linked yet, which Save offers to add,
// saying so in the status bar. A No there leaves a same-named local copy of another workbook in
// the user's folder as it was.
TEST_F(SaveTest, WorkbooksThatAreNotSentAsTheyAre) {
  StartSignedIn();
  WillReadMessage();
  Save();
  EXPECT_EQ(Messages().back(), "Open a Workbook and then Save.");

  app()->workbooks().Add();
  WillReadMessage();
  Save();
  EXPECT_EQ(Messages().back(),
            "The Workbook has to be locally saved for it to be added to Tavo. Please 'Save' the file before adding it "
            "to Tavo.");

  app()->activeWorkbook()->SaveAs({.filename = std::string(kDocuments) + "\\Budget.XLS"});
  WillReadMessage();
  Save();
  EXPECT_EQ(Messages().back(), "XLS files cannot be saved to Tavo Sheet. Please save the file as .xls.");
  EXPECT_EQ(app()->activeWorkbook()->FullName(), kUserDocs + "Budget.XLS");
  EXPECT_TRUE(app()->activeWorkbook()->protectedByPassword());
  app()->activeWorkbook()->Close();

  platform::files::WriteAllBytes(kUserDocs + "Sales.xls", Workbook({{"A1", "another"}}));
  app()->workbooks().Add();
  app()->activeWorkbook()->SetCell("A1", "mine");
  app()->activeWorkbook()->SaveAs({.filename = std::string(kDocuments) + "\\Sales.xls"});
  FormWatcher watcher(user_);
  std::string asking;
  watcher.onShown = [&](forms::Form& form) {
    if (form.Name() == "frmConfirm") asking = Status();
  };
  user_.On("frmConfirm", {"click Command2"});
  Save();
  EXPECT_TRUE(user_.Saw("frmConfirm"));
  EXPECT_EQ(asking, "This workbook is not in Tavo Sheet yet.");
  EXPECT_EQ(FirstCell(platform::files::ReadAllBytes(kUserDocs + "Sales.xls")), "another");
  EXPECT_EQ(app()->activeWorkbook()->FullName(), std::string(kDocuments) + "\\Sales.xls");
  EXPECT_TRUE(Calls("saveWorkbook").empty());
  EXPECT_TRUE(Calls("addWorkbook").empty());
}

// The user keeps local copies and deletes one by hand; its record stays. Another online workbook
// of that name downloaded to the free path, or a local workbook of that name added, writes that
// file again: the old record goes, and the save sends the file to its own online workbook, not
// over the first.
TEST_F(SaveTest, TheSaveGoesToTheWorkbookThatWroteTheFileLast) {
  for (const bool add : {false, true}) {
    SCOPED_TRACE(add ? "add" : "download");
    const std::string name = add ? "Sales" : "Budget";
    const std::string first = server_->AddWorkbook(kUser, name, Workbook({{"A1", "first"}}));
    if (!started_) StartSignedIn(/*saveLocal=*/true);
    started_ = true;
    Download(name);
    app()->activeWorkbook()->Close();
    platform::files::DeleteFile(kUserDocs + name + ".xls");

    if (add) {
      app()->workbooks().Add();
      app()->activeWorkbook()->SetCell("A1", "second");
      app()->activeWorkbook()->SaveAs({.filename = std::string(kDocuments) + "\\" + name + ".xls"});
      excel().Click("&Add to Tavo Sheet");
    } else {
      server_->AddWorkbook(kUser, name, Workbook({{"A1", "second"}}));
      user_.On("frmDocList", {"select listdoc 1", "click Command1"});
      excel().Click("&Open Tavo Sheet");
    }
    ASSERT_EQ(app()->activeWorkbook()->FullName(), kUserDocs + name + ".xls") << user_.TranscriptText();
    std::string second;
    for (const auto& online : server_->Workbooks())
      if (online.name == name && online.id != first) second = online.id;
    std::vector<std::string> recorded;
    for (const auto& entry : MapEntries())
      if (entry.filename == kUserDocs + name + ".xls") recorded.push_back(entry.id);
    EXPECT_EQ(recorded, std::vector<std::string>{second});

    app()->activeWorkbook()->SetCell("A1", "second, edited");
    const size_t saves = Calls("saveWorkbook").size();
    Save();
    ASSERT_EQ(Calls("saveWorkbook").size(), saves + 1) << user_.TranscriptText();
    EXPECT_EQ(Parsed(Calls("saveWorkbook").back()).Value("workbookId"), second);
    EXPECT_EQ(FirstCell(server_->FindWorkbook(first)->bytes), "first");
    EXPECT_EQ(FirstCell(server_->FindWorkbook(second)->bytes), "second, edited");
    app()->activeWorkbook()->Close();
  }
  EXPECT_TRUE(Messages().empty()) << testing::PrintToString(Messages());
}

}  // namespace tavo::sheet::test
