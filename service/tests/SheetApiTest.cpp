#include "service/SheetApi.h"

#include "service/Defaults.h"
#include "service/Seed.h"
#include "service/tests/Fixture.h"

namespace tavo::service::test {
namespace {

const std::string kBook = WorkbookFile({{"Sheet1", {{"A1", "1"}}}});
const std::string kBookBase64 = "VEFWTy1XT1JLQk9PSy8xCm9wZW4tcGFzc3dvcmQ6IApzaGVldDogU2hlZXQxCkExOiAxCg==";

class SheetApiTest : public ServiceTest {
 protected:
  void SetUp() override {
    ServiceTest::SetUp();
    id_ = server_->AddWorkbook(kUser, "Budget", "old bytes");
    lock_ = server_->FindWorkbook(id_)->updateLock;
  }
  std::string Save(const std::string& id, const std::string& lock, const std::string& content, bool overwrite = false) {
    std::vector<std::pair<std::string, std::string>> params = {
        {"workbookId", id}, {"updateLock", lock}, {"content", content}, {"contentType", "XLS"}};
    if (overwrite) params.emplace_back("overwrite", "true");
    return Sheet("saveWorkbook", params);
  }
  std::string id_;
  std::string lock_;
};

TEST_F(SheetApiTest, ListsWorkbooksUnderTheSuitesLatin1Label) {
  const std::string muller = server_->AddWorkbook(kUser, "M\xC3\xBCller", kBook);
  server_->Trash(server_->AddWorkbook(kUser, "Trashed", kBook));
  server_->AddWorkbook("bob@tavo.example", "Bob's", kBook);

  auto res = Post("/api/xml" + Auth(ticket_), SheetBody("getWorkbooks"), std::string(defaults::kSheetHost));
  ASSERT_TRUE(res);
  EXPECT_EQ(res->get_header_value("Content-Type"), "text/xml; charset=ISO-8859-1");
  // The bytes are UTF-8 all the same.
  EXPECT_NE(res->body.find("<workbookName>M\xC3\xBCller</workbookName>"), std::string::npos);

  pugi::xml_document doc;
  ASSERT_TRUE(doc.load_string(res->body.c_str()));
  const auto entries = doc.select_nodes("/methodResponse/result/workbook");
  ASSERT_EQ(entries.size(), 2u);
  const char* order[] = {"workbookId", "workbookName", "createdTime", "lastModifiedTime", "lastModifiedBy", "updateLock"};
  int i = 0;
  for (pugi::xml_node child : entries[0].node().children()) EXPECT_STREQ(child.name(), order[i++]);
  EXPECT_EQ(i, 6);
  EXPECT_EQ(entries[0].node().child_value("workbookId"), id_);
  EXPECT_STREQ(entries[0].node().child_value("lastModifiedTime"), Store::FormatTime(now_).c_str());
  EXPECT_STREQ(entries[0].node().child_value("lastModifiedBy"), kUser);
  EXPECT_EQ(entries[0].node().child_value("updateLock"), lock_);
  EXPECT_EQ(entries[1].node().child_value("workbookId"), muller);
}

TEST_F(SheetApiTest, ASaveStoresTheBytesAndIssuesANewLockAndALaterTime) {
  const std::string before = server_->FindWorkbook(id_)->modifiedTime;
  // Base64 as the add-in's encoder writes it, with line breaks.
  const std::string saved = Save(id_, lock_, kBookBase64.substr(0, 40) + "\r\n" + kBookBase64.substr(40));
  EXPECT_EQ(Text(saved, "//result/workbookId"), id_);
  EXPECT_EQ(Text(saved, "//result/workbookName"), "Budget");
  const std::string lock = Text(saved, "//result/updateLock");
  EXPECT_NE(lock, lock_);
  EXPECT_FALSE(lock.empty());
  // Same second on the clock, still a later time: a client comparing times sees the change.
  EXPECT_GT(Text(saved, "//result/modifiedTime"), before);
  const auto wb = server_->FindWorkbook(id_);
  EXPECT_EQ(wb->bytes, kBook);
  EXPECT_EQ(wb->updateLock, lock);
  EXPECT_EQ(wb->modifiedTime, Text(saved, "//result/modifiedTime"));

  EXPECT_EQ(Text(Save(id_, lock, kBookBase64), "//result/workbookId"), id_);  // the new lock works
}

TEST_F(SheetApiTest, ErrorCodesAriseFromTheWorkbooksState) {
  const std::string trashed = server_->AddWorkbook(kUser, "Trashed", kBook);
  server_->Trash(trashed);
  const std::string shared = server_->AddWorkbook(kUser, "Shared", kBook);
  server_->ShareReadOnly(shared);
  const std::string inUse = server_->AddWorkbook(kUser, "In use", kBook);
  server_->MarkInUse(inUse, "bob@tavo.example");
  const std::string bobs = server_->AddWorkbook("bob@tavo.example", "Bob's", kBook);
  auto lockOf = [&](const std::string& id) { return server_->FindWorkbook(id)->updateLock; };

  const struct {
    std::string id;
    std::string lock;
    std::string content;
    bool overwrite;
    const char* code;
  } cases[] = {
      {id_, lock_, "not base64!", false, "2500"},
      {id_, lock_, "QUJD\nR", false, "2500"},
      {id_, lock_, "", false, "2500"},
      {"999999", lock_, kBookBase64, false, "2851"},
      {bobs, lockOf(bobs), kBookBase64, false, "2851"},
      {trashed, lockOf(trashed), kBookBase64, false, "2852"},
      {shared, lockOf(shared), kBookBase64, true, "2853"},
      {inUse, lockOf(inUse), kBookBase64, true, "2854"},
      {id_, "stale", kBookBase64, false, "2855"},
  };
  for (const auto& c : cases) {
    const std::string answer = Save(c.id, c.lock, c.content, c.overwrite);
    EXPECT_EQ(Text(answer, "/methodResponse/error/code"), c.code) << c.id << " " << c.content;
    EXPECT_FALSE(Text(answer, "/methodResponse/error/info").empty());
  }
  EXPECT_EQ(server_->FindWorkbook(id_)->bytes, "old bytes");

  server_->EndTicket(ticket_);
  EXPECT_EQ(Text(Save(id_, lock_, kBookBase64), "//error/code"), "2401");
  ticket_ = server_->SignIn(kUser);
  auto wrongKey = Post("/api/xml?apikey=0&ticket=" + ticket_, SheetBody("getWorkbooks"));
  EXPECT_EQ(Text(wrongKey->body, "//error/code"), "2401");
}

TEST_F(SheetApiTest, AChangeOnlineMakesTheOldLockStaleUntilOverwritten) {
  server_->ChangeWorkbook(id_, "changed online");
  EXPECT_EQ(Text(Save(id_, lock_, kBookBase64), "//error/code"), "2855");
  EXPECT_EQ(server_->FindWorkbook(id_)->bytes, "changed online");
  const std::string saved = Save(id_, lock_, kBookBase64, true);
  EXPECT_EQ(Text(saved, "//result/workbookId"), id_);
  EXPECT_EQ(server_->FindWorkbook(id_)->bytes, kBook);
}

TEST_F(SheetApiTest, AddCreatesAWorkbookThatIsThenListedAndDownloadable) {
  const std::string added = Sheet("addWorkbook", {{"workbookName", "Plan"}, {"content", kBookBase64}, {"contentType", "XLS"}});
  const std::string id = Text(added, "//result/workbookId");
  ASSERT_FALSE(id.empty()) << added;
  EXPECT_EQ(Text(added, "//result/workbookName"), "Plan");
  EXPECT_EQ(Text(added, "//result/createdTime"), Store::FormatTime(now_));
  EXPECT_FALSE(Text(added, "//result/updateLock").empty());
  EXPECT_NE(Sheet("getWorkbooks").find("<workbookName>Plan</workbookName>"), std::string::npos);

  auto res = Get("/open.do" + Auth(ticket_) + "&export=xls&docid=" + id + "&time=101500", std::string(defaults::kSheetHost));
  ASSERT_TRUE(res);
  EXPECT_EQ(res->status, 200);
  EXPECT_EQ(res->body, kBook);

  EXPECT_EQ(Text(Sheet("addWorkbook", {{"workbookName", "Plan"}, {"content", "%%%"}}), "//error/code"), "2500");
  EXPECT_EQ(Text(Sheet("addWorkbook", {{"workbookName", ""}, {"content", kBookBase64}}), "//error/code"), "2860");
  EXPECT_EQ(Text(Sheet("noSuchMethod"), "//error/code"), "2501");
}

TEST_F(SheetApiTest, DownloadRefusesBadTicketsAndUnknownWorkbooks) {
  const std::string trashed = server_->AddWorkbook(kUser, "Trashed", kBook);
  server_->Trash(trashed);
  const struct {
    std::string query;
    int status;
  } cases[] = {
      {Auth(ticket_) + "&export=xls&docid=" + id_, 200},
      {Auth("wrong") + "&export=xls&docid=" + id_, 401},
      {"?apikey=0&ticket=" + ticket_ + "&export=xls&docid=" + id_, 401},
      {Auth(ticket_) + "&export=xls&docid=999999", 404},
      {Auth(ticket_) + "&export=xls&docid=" + trashed, 404},
  };
  for (const auto& c : cases) {
    auto res = Get("/open.do" + c.query + "&time=235959");
    ASSERT_TRUE(res);
    EXPECT_EQ(res->status, c.status) << c.query;
  }
}

TEST_F(SheetApiTest, PublishingCallsAreRecordedPerWorkbook) {
  ASSERT_TRUE(Post("/api/private/xml/makePublic/" + id_ + Auth(ticket_) + "&showcomment=true&allowcomment=true&external=true",
                   ""));
  ASSERT_TRUE(Post("/api/private/TavoSocial/xml/updateLicense/" + id_ + Auth(ticket_) +
                       "&licenseurl=http://creativecommons.example/license/publicdomain/"
                       "&licenseimage=/images/l_publicdomain.gif&licensename=Public%20Domain",
                   "", std::string(defaults::kSheetHost)));
  const auto wb = server_->FindWorkbook(id_);
  EXPECT_TRUE(wb->publish.isPublic);
  EXPECT_NE(wb->publish.publicQuery.find("external=true"), std::string::npos);
  EXPECT_EQ(wb->publish.licenseName, "Public Domain");
  EXPECT_EQ(wb->publish.licenseImage, "/images/l_publicdomain.gif");
  // The host name decides even where the id would say otherwise.
  auto wrongHost = Post("/api/private/xml/makePublic/" + id_ + Auth(ticket_), "", std::string(defaults::kWriterHost));
  EXPECT_EQ(Text(wrongHost->body, "//error/errorCode"), "1807");
}

}  // namespace
}  // namespace tavo::service::test
