#include "service/Admin.h"

#include "service/Defaults.h"
#include "service/tests/Fixture.h"

namespace tavo::service::test {
namespace {

class AdminTest : public ServiceTest {
 protected:
  std::string Admin(const std::string& call, const std::string& body = {}) {
    auto res = Post("/_admin/" + call, body);
    return res ? std::to_string(res->status) + " " + res->body : "(no answer)";
  }
};

TEST_F(AdminTest, ChangesMadeOnlineShowInTheApis) {
  const std::string added = Admin("document?owner=ann%40tavo.example&name=Plan&version=4", "<p>v4</p>");
  ASSERT_TRUE(added.starts_with("200 ok ")) << added;
  const std::string doc = added.substr(7);
  EXPECT_EQ(Admin("change-document?id=" + doc, "<p>v5</p>"), "200 ok");
  EXPECT_EQ(server_->FindDocument(doc)->version, 5);
  EXPECT_EQ(server_->FindDocument(doc)->content, "<p>v5</p>");

  const std::string book = Admin("workbook?owner=ann%40tavo.example&name=Budget", "bytes").substr(7);
  const std::string lock = server_->FindWorkbook(book)->updateLock;
  EXPECT_EQ(Admin("change-workbook?id=" + book, "new bytes"), "200 ok");
  EXPECT_NE(server_->FindWorkbook(book)->updateLock, lock);
  EXPECT_EQ(Admin("in-use?id=" + book + "&editor=bob%40tavo.example"), "200 ok");
  EXPECT_EQ(server_->FindWorkbook(book)->inUseBy, "bob@tavo.example");
  EXPECT_EQ(Admin("share?id=" + book), "200 ok");
  EXPECT_TRUE(server_->FindWorkbook(book)->sharedReadOnly);
  EXPECT_EQ(Admin("trash?id=" + doc), "200 ok");
  EXPECT_EQ(Text(Writer("writer.getVersion", {{"documentid", "double", doc}}), "//errorCode"), "1807");
  EXPECT_EQ(Admin("trash?id=" + doc + "&undo=1"), "200 ok");
  EXPECT_EQ(Text(Writer("writer.getVersion", {{"documentid", "double", doc}}), "/methodResponse/version"), "5");

  EXPECT_EQ(Admin("fault?match=getDocuments&kind=error-code&code=1890"), "200 ok");
  EXPECT_EQ(Text(Writer("writer.getDocuments"), "//errorCode"), "1890");
  EXPECT_EQ(Admin("end-tickets"), "200 ok");
  EXPECT_EQ(Text(Writer("writer.getDocuments"), "//errorCode"), "1401");

  EXPECT_EQ(Admin("trash?id=999999"), "400 no such id");
  EXPECT_EQ(Admin("fault?kind=meltdown"), "400 unknown fault kind");
  EXPECT_EQ(Admin("explode"), "400 unknown admin call");
}

TEST_F(AdminTest, ListsWhatWasReceivedExceptItsOwnCalls) {
  Writer("writer.getDocuments");
  Admin("clear-faults");
  auto res = Get("/_admin/requests");
  ASSERT_TRUE(res);
  pugi::xml_document doc;
  ASSERT_TRUE(doc.load_string(res->body.c_str()));
  const auto requests = doc.select_nodes("/requests/request");
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_STREQ(requests[0].node().attribute("path").value(), "/api");
  EXPECT_STREQ(requests[0].node().attribute("host").value(), "writer.tavo.example");
  EXPECT_NE(std::string(requests[0].node().child_value("body")).find("writer.getDocuments"), std::string::npos);

  const auto recorded = server_->Requests();
  ASSERT_EQ(recorded.size(), 1u);
  EXPECT_EQ(recorded[0].method, "POST");
  EXPECT_EQ(recorded[0].query, Auth(ticket_).substr(1));
  EXPECT_EQ(recorded[0].body, WriterBody("writer.getDocuments"));
  EXPECT_FALSE(recorded[0].tls);

  auto state = Get("/_admin/state");
  ASSERT_TRUE(state);
  EXPECT_EQ(state->status, 200);
}

}  // namespace
}  // namespace tavo::service::test
