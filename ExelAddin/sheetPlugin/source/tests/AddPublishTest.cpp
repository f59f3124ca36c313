// Adding a local workbook as a new online workbook, and publishing one under a licence.
#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "ExelAddin/sheetPlugin/source/tests/SheetTestSupport.h"
#include "service/Exchange.h"

namespace tavo::sheet::test {
namespace {

constexpr const char* kAddFailed = "Error occured while adding the Workbook to Tavo sheet";
constexpr const char* kTryAgain = "Please try to add the workbook again.";  // gMsg51

class AddPublishTest : public SheetTest {
 protected:
  // A workbook of this computer, saved in the Documents folder and open in Excel.
  void LocalWorkbook(const std::string& file, const std::string& value = "mine") {
    auto book = app()->workbooks().Add();
    book->SetCell("A1", value);
    book->SaveAs({.filename = std::string(kDocuments) + "\\" + file});
  }
  void Add() { excel().Click("&Add to Tavo Sheet"); }
  std::vector<std::string> PathsOfRequests() const {
    std::vector<std::string> paths;
    for (const auto& r : server_->Requests()) paths.push_back(r.path);
    return paths;
  }
};

}  // namespace

// The file goes under its name without ".xls" (every one of them); the workbook moves into the
// user's folder, numbered past a file that is there, protected, and is linked by a record whose
// times are both the creation time. Its next save takes the linked road.
TEST_F(AddPublishTest, AddCreatesTheWorkbookOnlineAndLinksIt) {
  const struct {
    const char* file;
    const char* name;
    const char* target;
  } cases[] = {
      {"Budget.xls", "Budget", "Budget1.xls"},
      {"a.xls.xls", "a", "a.xls"},
  };
  StartSignedIn();
  platform::files::WriteAllBytes(kUserDocs + "Budget.xls", Workbook({{"A1", "another"}}));
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file);
    LocalWorkbook(c.file);
    Add();
    const auto adds = Calls("addWorkbook");
    ASSERT_FALSE(adds.empty());
    const auto call = service::ParseMethodCall(adds.back().body);
    ASSERT_TRUE(call);
    EXPECT_EQ(call->Value("workbookName"), c.name);
    EXPECT_EQ(call->Value("contentType"), "XLS");
    EXPECT_EQ(service::DecodeBase64(call->Value("content")),
              platform::files::ReadAllBytes(std::string(kDocuments) + "\\" + c.file));

    const auto entries = MapEntries();
    ASSERT_FALSE(entries.empty());
    const auto online = *server_->FindWorkbook(entries.back().id);
    EXPECT_EQ(online.name, c.name);
    EXPECT_EQ(entries.back().filename, kUserDocs + c.target);
    EXPECT_EQ(entries.back().name, c.name);
    EXPECT_EQ(entries.back().created, online.createdTime);
    EXPECT_EQ(entries.back().modified, online.createdTime);
    EXPECT_EQ(entries.back().updateLock, online.updateLock);
    auto book = app()->activeWorkbook();
    EXPECT_EQ(book->FullName(), kUserDocs + c.target);
    EXPECT_TRUE(book->protectedByPassword());
    EXPECT_EQ(Status(), "The Workbook is created successfully!");
    book->Close();
  }
  EXPECT_TRUE(Messages().empty()) << testing::PrintToString(Messages());

  user_.On("frmDocList", {"click Cancel"});
  excel().Click("&Open Tavo Sheet");  // the map keeps both records: the service lists both
  ASSERT_EQ(MapEntries().size(), 2u);
  app()->workbooks().Open({.filename = kUserDocs + "a.xls", .password = kPassword});
  excel().Click("&Save in Tavo Sheet");
  EXPECT_FALSE(user_.Saw("frmConfirm"));
  EXPECT_EQ(Calls("saveWorkbook").size(), 1u);
}

// A refused add shows the code's message and the add's failure; nothing is moved or recorded.
// A code that is no number gives no message of its own.
TEST_F(AddPublishTest, ARefusedAddChangesNothingHere) {
  const struct {
    const char* code;
    std::vector<std::string> messages;
  } cases[] = {
      {"2401", {"Authentication failed. Please sign in again.", kAddFailed, kTryAgain}},
      {"2500", {"The workbook could not be saved: its encoding is not supported.", kAddFailed, kTryAgain}},
      {"2860", {"Tavo Sheet could not complete the request. Please try again.", kAddFailed, kTryAgain}},
      {"abc", {kAddFailed, kTryAgain}},
  };
  StartSignedIn();
  LocalWorkbook("Budget.xls");
  for (const auto& c : cases) {
    SCOPED_TRACE(c.code);
    server_->InjectFault(service::Fault("addWorkbook", service::FaultKind::ErrorCode, 1, c.code));
    const size_t seen = Messages().size();
    WillReadMessage(static_cast<int>(c.messages.size()));
    Add();
    const auto all = Messages();
    EXPECT_EQ(std::vector<std::string>(all.begin() + static_cast<long>(seen), all.end()), c.messages);
    EXPECT_TRUE(MapEntries().empty());
    EXPECT_EQ(app()->activeWorkbook()->FullName(), std::string(kDocuments) + "\\Budget.xls");
    if (std::string(c.code) == "2401") SignInAgain();
  }
}

// Publish on a workbook that is not linked: the licence picker, then the add, the make-public
// call and the licence call, each once and in that order, and the record.
TEST_F(AddPublishTest, PublishCreatesThePublicWorkbookUnderItsLicence) {
  StartSignedIn();
  LocalWorkbook("Budget.xls");
  server_->ClearRequests();
  user_.On("frmLicense", {"check Check1", "option Option2", "click Command1"});
  excel().Click("&Publish in Tavo Share");

  const std::vector<std::string> paths = PathsOfRequests();
  ASSERT_EQ(paths.size(), 3u) << testing::PrintToString(paths);
  EXPECT_EQ(paths[0], "/api/xml");
  EXPECT_EQ(paths[1].rfind("/api/private/xml/makePublic/", 0), 0u);
  EXPECT_EQ(paths[2].rfind("/api/private/TavoSocial/xml/updateLicense/", 0), 0u);
  const auto entries = MapEntries();
  ASSERT_EQ(entries.size(), 1u);
  const auto online = *server_->FindWorkbook(entries[0].id);
  EXPECT_TRUE(online.publish.isPublic);
  EXPECT_NE(online.publish.publicQuery.find("&showcomment=true&allowcomment=true&external=true"), std::string::npos);
  EXPECT_EQ(online.publish.licenseName, "Attribution");
  EXPECT_EQ(online.publish.licenseUrl, "http://creativecommons.org/license/by/3.0/");
  EXPECT_EQ(online.publish.licenseImage, "/images/l_by.gif");
  EXPECT_EQ(entries[0].filename, kUserDocs + "Budget.xls");
  EXPECT_EQ(Status(), "The Workbook is Published successfully!");
  EXPECT_TRUE(Messages().empty()) << testing::PrintToString(Messages());
}

// A refused publish says so in its own words and makes nothing public.
TEST_F(AddPublishTest, ARefusedPublishMakesNothingPublic) {
  StartSignedIn();
  LocalWorkbook("Budget.xls");
  server_->InjectFault(service::Fault("addWorkbook", service::FaultKind::ErrorCode, 1, "2401"));
  server_->ClearRequests();
  user_.On("frmLicense", {"check Check1", "click Command1"});
  WillReadMessage(2);
  excel().Click("&Publish in Tavo Share");
  EXPECT_EQ(Messages(), (std::vector<std::string>{"Authentication Failed. Please Login again.", kAddFailed}));
  EXPECT_EQ(PathsOfRequests(), std::vector<std::string>{"/api/xml"});
  EXPECT_TRUE(MapEntries().empty());
}

// A run-time error in the publish itself (here the workbook's folder went away while the picker
// was open, so it cannot be saved to be sent) is told by the licence picker in its own words,
// not as a failed add; nothing is sent.
TEST_F(AddPublishTest, ARunTimeErrorOfThePublishIsToldByThePicker) {
  StartSignedIn();
  const std::string folder = std::string(kDocuments) + "\\Stick";
  platform::files::CreateFolder(folder);
  auto book = app()->workbooks().Add();
  book->SetCell("A1", "mine");
  book->SaveAs({.filename = folder + "\\Budget.xls"});
  FormWatcher watcher(user_);
  watcher.onShown = [&](forms::Form& form) {
    if (form.Name() == "frmLicense") std::filesystem::remove_all(platform::environment::HostPath(folder));
  };
  user_.On("frmLicense", {"check Check1", "click Command1"});
  WillReadMessage(2);
  server_->ClearRequests();
  const size_t logBefore = LogText().size();
  excel().Click("&Publish in Tavo Share");

  const auto messages = Messages();
  ASSERT_FALSE(messages.empty());
  EXPECT_EQ(messages[0], "Document Add failed. Please try to 'Add' it again");
  EXPECT_EQ(std::count(messages.begin(), messages.end(), kAddFailed), 0) << testing::PrintToString(messages);
  const std::string log = LogText().substr(logBefore);
  EXPECT_NE(log.find("[Error] -- Error While Creating Document |'" + folder + "\\Budget.xls' cannot be saved"),
            std::string::npos)
      << log;
  EXPECT_EQ(log.find("Error While adding the workbook -"), std::string::npos) << log;
  EXPECT_TRUE(Calls("addWorkbook").empty());
  EXPECT_TRUE(MapEntries().empty());
}

// A save the service answers "unknown workbook" offers to add it anew; Yes adds it.
TEST_F(AddPublishTest, ASaveOfAnUnknownWorkbookAddsItAfterYes) {
  StartSignedIn();
  LocalWorkbook("Budget.xls");
  Add();
  ASSERT_EQ(MapEntries().size(), 1u);
  server_->InjectFault(service::Fault("saveWorkbook", service::FaultKind::ErrorCode, 1, "2851"));
  user_.On("frmConfirm", {"click Command1"});
  excel().Click("&Save in Tavo Sheet");
  EXPECT_EQ(Calls("addWorkbook").size(), 2u);
  EXPECT_EQ(MapEntries().size(), 2u);
  EXPECT_TRUE(Messages().empty()) << testing::PrintToString(Messages());
}

}  // namespace tavo::sheet::test
