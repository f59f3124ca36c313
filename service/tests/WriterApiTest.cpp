#include "service/WriterApi.h"

#include "service/Defaults.h"
#include "service/tests/Fixture.h"

namespace tavo::service::test {
namespace {

class WriterApiTest : public ServiceTest {
 protected:
  Members Id(const std::string& id) { return {{"documentid", "long", id}}; }
  std::string Save(const std::string& id, const std::string& content, const std::string& version = "1") {
    return Writer("writer.saveDocument",
                  {{"documentname", "string", "x"}, {"content", "string", content}, {"documentid", "long", id},
                   {"version", "double", version}});
  }
  std::string Create(const std::string& name, const std::string& content = "<p>new</p>") {
    return Writer("writer.newDocument", {{"documentname", "string", name}, {"content", "string", content}});
  }
};

TEST_F(WriterApiTest, ListsTheAccountsDocumentsWithTheirEntries) {
  const std::string a = server_->AddDocument(kUser, "Quarterly report", "<p>q</p>", 3);
  const std::string b = server_->AddDocument(kUser, "Bob's notes", "<p>b</p>", -2);
  const std::string gone = server_->AddDocument(kUser, "Old", "<p>o</p>");
  const std::string shared = server_->AddDocument(kUser, "From Bob", "<p>s</p>");
  server_->AddDocument("bob@tavo.example", "Not Ann's", "<p>x</p>");
  server_->Trash(gone);
  server_->ShareReadOnly(shared);

  const std::string list = Writer("writer.getDocuments");
  pugi::xml_document doc;
  ASSERT_TRUE(doc.load_string(list.c_str()));
  const auto entries = doc.select_nodes("/methodResponse/document");
  ASSERT_EQ(entries.size(), 2u);
  const pugi::xml_node first = entries[0].node();
  const char* order[] = {"document_name", "document_id", "version", "document_name_url", "author", "created_on"};
  int i = 0;
  for (pugi::xml_node child : first.children()) EXPECT_STREQ(child.name(), order[i++]);
  EXPECT_EQ(i, 6);
  EXPECT_STREQ(first.child_value("document_name"), "Quarterly report");
  EXPECT_EQ(first.child_value("document_id"), a);
  EXPECT_STREQ(first.child_value("version"), "3");
  EXPECT_STREQ(first.child_value("author"), kUser);
  EXPECT_STREQ(first.child_value("created_on"), Store::FormatTime(now_).c_str());
  EXPECT_EQ(entries[1].node().child_value("document_id"), b);
  EXPECT_STREQ(entries[1].node().child_value("version"), "-2");
  EXPECT_STREQ(entries[1].node().child_value("document_name_url"), "Bob's notes");

  EXPECT_EQ(Text(Writer("writer.getSharedDocuments"), "/methodResponse/document/document_id"), shared);

  // An account without documents gets an empty list, not an error.
  server_->AddAccount("new@tavo.example", "p");
  ticket_ = server_->SignIn("new@tavo.example");
  EXPECT_EQ(Writer("writer.getDocuments"), "<methodResponse/>");
}

TEST_F(WriterApiTest, ViewAndVersionOfAReadableDocument) {
  const std::string id = server_->AddDocument(kUser, "Report", "<html><body><p>a &amp; b]]></p></body></html>", 4);
  const std::string view = Writer("writer.viewDocument",
                                  {{"documentname", "string", "Report"}, {"documentid", "long", id}, {"version", "double", "4"}});
  EXPECT_EQ(Text(view, "//view/content"), "<html><body><p>a &amp; b]]></p></body></html>");
  EXPECT_EQ(Text(view, "//view/document_name"), "Report");
  EXPECT_EQ(Text(view, "//view/document_name_url"), "Report");
  EXPECT_EQ(Text(view, "//view/document_id"), id);
  EXPECT_EQ(Text(view, "//view/version"), "4");
  EXPECT_EQ(Text(Writer("writer.getVersion", {{"documentid", "double", id}}), "/methodResponse/version"), "4");
}

TEST_F(WriterApiTest, DocumentsThatCannotBeReadGive1807) {
  const std::string trashed = server_->AddDocument(kUser, "Trashed", "<p/>");
  server_->Trash(trashed);
  const std::string bobs = server_->AddDocument("bob@tavo.example", "Bob's", "<p/>");
  for (const std::string& id : {std::string("999999"), trashed, bobs, std::string()}) {
    for (const char* method : {"writer.viewDocument", "writer.getVersion", "writer.saveDocument"}) {
      EXPECT_EQ(Text(Writer(method, Id(id)), "//error/errorCode"), "1807") << method << " " << id;
    }
  }
}

TEST_F(WriterApiTest, EachSaveRaisesTheVersion) {
  const std::string id = server_->AddDocument(kUser, "Report", "<p>1</p>", 1);
  const std::string saved = Save(id, "<p>2</p>");
  EXPECT_FALSE(Text(saved, "//save/info").empty());
  EXPECT_EQ(Text(saved, "//save/document_id"), id);
  EXPECT_EQ(Text(saved, "//save/version"), "2");
  EXPECT_EQ(Text(saved, "//save/document_name_url"), "Report");
  EXPECT_EQ(Text(saved, "//save/document_name"), "Report");
  EXPECT_EQ(Text(Save(id, "<p>3</p>", "1"), "//save/version"), "3");  // an overwrite of a newer version
  EXPECT_EQ(server_->FindDocument(id)->content, "<p>3</p>");
  EXPECT_EQ(Text(Writer("writer.getVersion", Id(id)), "/methodResponse/version"), "3");

  // After an automatic save (-5) the next real save is version 6.
  const std::string draft = server_->AddDocument(kUser, "Draft", "<p/>", -5);
  EXPECT_EQ(Text(Save(draft, "<p>kept</p>"), "//save/version"), "6");

  // A document shared read-only is readable but not savable.
  server_->ShareReadOnly(id);
  EXPECT_EQ(Text(Save(id, "<p/>"), "//error/errorCode"), "1853");
}

TEST_F(WriterApiTest, NewDocumentsGetFileNamesWindowsAccepts) {
  const struct {
    const char* name;
    const char* nameUrl;
  } cases[] = {
      {"Bob's notes", "Bob's notes"},
      {"Tom & Jerry", "Tom & Jerry"},
      {"a\\b/c:d*e?f\"g<h>i|j", "a_b_c_d_e_f_g_h_i_j"},
      {"Report", "Report"},
      {"report", "report_2"},  // file names differ only in case: the same file
      {"Report", "Report_3"},
      {"M\xC3\xBCller", "M\xC3\xBCller"},
  };
  for (const auto& c : cases) {
    pugi::xml_document member;
    member.append_child(pugi::node_pcdata).set_value(c.name);
    std::string escaped;  // the name as an XML writer would escape it
    {
      std::ostringstream out;
      member.save(out, "", pugi::format_raw | pugi::format_no_declaration);
      escaped = out.str();
    }
    const std::string created = Create(escaped);
    EXPECT_EQ(Text(created, "//create/document_name"), c.name);
    EXPECT_EQ(Text(created, "//create/document_name_url"), c.nameUrl) << c.name;
    EXPECT_EQ(Text(created, "//create/version"), "1");
    EXPECT_FALSE(Text(created, "//create/info").empty());
    const auto doc = server_->FindDocument(Text(created, "//create/document_id"));
    ASSERT_TRUE(doc);
    EXPECT_EQ(doc->content, "<p>new</p>");
  }
  // Members as the add-in writes them, unescaped, are taken where they are well-formed.
  EXPECT_EQ(Text(Create("Ann's \"plan\" > B"), "//create/document_name"), "Ann's \"plan\" > B");
  EXPECT_EQ(Text(Create("Tom & Jerry"), "//create/document_name_url"), "Tom & Jerry_2");
  EXPECT_EQ(Text(Create(" "), "//error/errorCode"), "1800");
}

TEST_F(WriterApiTest, RequestsThatAreNotUsableGetErrorAnswers) {
  const std::string id = server_->AddDocument(kUser, "Report", "<p/>");
  const std::string body = WriterBody("writer.getVersion", Id(id));
  const struct {
    std::string target;
    std::string body;
    const char* code;
  } cases[] = {
      {"/api?apikey=0000&ticket=" + ticket_, body, "1890"},
      {"/api?ticket=" + ticket_, body, "1890"},
      {Auth("not-a-ticket"), body, "1401"},
      {Auth(""), body, "1401"},
      {Auth(ticket_), body.substr(0, body.size() - 10), "1500"},
      {Auth(ticket_), "<html><body>not a call", "1500"},
      {Auth(ticket_), WriterBody("writer.noSuchMethod"), "1501"},
  };
  for (const auto& c : cases) {
    const std::string target = c.target.starts_with("?") ? "/api" + c.target : c.target;
    auto res = Post(target, c.body, std::string(defaults::kWriterHost));
    ASSERT_TRUE(res);
    EXPECT_EQ(Text(res->body, "/methodResponse/error/errorCode"), c.code) << c.target << " " << c.body;
    EXPECT_FALSE(Text(res->body, "/methodResponse/error/info").empty());
    EXPECT_EQ(res->get_header_value("Content-Type"), "text/xml; charset=UTF-8");
  }
  server_->EndTicket(ticket_);
  EXPECT_EQ(Text(Writer("writer.getDocuments"), "//error/errorCode"), "1401");
}

TEST_F(WriterApiTest, AnUploadedPictureIsServedAtTheAddressItWasGiven) {
  // "GIF89a" followed by a zero byte and a line break, as Base64 with a line break in it.
  const std::string uploaded =
      Writer("writer.uploadImage", {{"contenttype", "string", "gif"}, {"content", "string", "R0lGODlh\nAAo="}});
  const std::string url = Text(uploaded, "/methodResponse/url");
  const std::string prefix = "http://" + std::string(defaults::kWriterHost) + "/pictures/";
  ASSERT_TRUE(url.starts_with(prefix)) << uploaded;
  auto res = Get(url.substr(url.find("/pictures/")), std::string(defaults::kWriterHost));
  ASSERT_TRUE(res);
  EXPECT_EQ(res->status, 200);
  EXPECT_EQ(res->body, std::string("GIF89a\0\n", 8));
  EXPECT_EQ(res->get_header_value("Content-Type"), "image/gif");

  for (const auto& [type, content] : {std::pair{"bmp", "R0lGODlh"}, std::pair{"png", "not*base64"}, std::pair{"png", ""}})
    EXPECT_EQ(Text(Writer("writer.uploadImage", {{"contenttype", "string", type}, {"content", "string", content}}),
                   "//error/errorCode"),
              "1502")
        << type << " " << content;
  EXPECT_EQ(Get("/pictures/424242.png")->status, 404);
}

TEST_F(WriterApiTest, PublishingCallsAreRecordedPerDocument) {
  const std::string id = server_->AddDocument(kUser, "Report", "<p/>");
  const std::string other = server_->AddDocument(kUser, "Other", "<p/>");
  const std::string publicQuery = Auth(ticket_).substr(1) + "&showcomment=true&allowcomment=true&issocial=true";
  ASSERT_TRUE(Post("/api/private/xml/makePublic/" + id + "?" + publicQuery, "", std::string(defaults::kWriterHost)));
  ASSERT_TRUE(Post("/api/private/TavoSocial/xml/updateLicense/" + id + Auth(ticket_) +
                       "&licenseurl=http://creativecommons.example/license/by-sa/3.0/"
                       "&licenseimage=/images/l_by_sa.gif&licensename=Attribution-Share%20Alike",
                   "", std::string(defaults::kWriterHost)));
  // Straight at the address, without the host name: the id tells the service.
  ASSERT_TRUE(Post("/api/private/TavoSocial/xml/updateLicense/" + other + Auth(ticket_) +
                       "&licenseurl=NA&licenseimage=/images/allrightsreserved.gif&licensename=All%20Rights%20Reserved",
                   ""));

  const auto doc = server_->FindDocument(id);
  EXPECT_TRUE(doc->publish.isPublic);
  EXPECT_EQ(doc->publish.publicQuery, publicQuery);
  EXPECT_EQ(doc->publish.licenseName, "Attribution-Share Alike");
  EXPECT_EQ(doc->publish.licenseUrl, "http://creativecommons.example/license/by-sa/3.0/");
  EXPECT_EQ(doc->publish.licenseImage, "/images/l_by_sa.gif");
  EXPECT_EQ(doc->publish.makePublicCalls, 1);
  EXPECT_EQ(doc->publish.licenseCalls, 1);
  const auto second = server_->FindDocument(other);
  EXPECT_FALSE(second->publish.isPublic);
  EXPECT_EQ(second->publish.licenseName, "All Rights Reserved");
  EXPECT_EQ(second->publish.licenseUrl, "NA");

  auto bad = Post("/api/private/xml/makePublic/999999" + Auth(ticket_), "", std::string(defaults::kWriterHost));
  EXPECT_EQ(Text(bad->body, "//error/errorCode"), "1807");
}

}  // namespace
}  // namespace tavo::service::test
