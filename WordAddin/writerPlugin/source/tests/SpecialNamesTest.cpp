// Names and texts that markup, selections and code pages treat specially go through the
// document operations unchanged.
#include <httplib.h>

#include <mutex>
#include <optional>
#include <regex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "platform/forms/ListBox.h"
#include "platform/http/Http.h"
#include "WordAddin/writerPlugin/source/tests/DocumentsFixture.h"

namespace tavo::writer::test {
namespace {

using SpecialNamesTest = DocumentsTest;

// "<" and ">" cannot stand in a file name: the service names the file with "_" in their place.
constexpr const char* kName = "Bob's notes & <drafts>";
constexpr const char* kFileName = "Bob's notes & _drafts_";

// Stands between the add-in and the word processor's service: every exchange goes through as it
// is, except that the answers name the documents' files as the test chooses.
class NameUrlRelay {
 public:
  explicit NameUrlRelay(const service::Server& service) : servicePort_(service.port()) {
    auto relay = [this](const httplib::Request& request, httplib::Response& response) { Relay(request, response); };
    server_.Get(".*", relay);
    server_.Post(".*", relay);
    port_ = server_.bind_to_any_port("127.0.0.1");
    thread_ = std::thread([this] { server_.listen_after_bind(); });
    while (!server_.is_running()) std::this_thread::yield();
    // The word processor's name leads here; the other names still lead to the service.
    platform::files::WriteAllBytes(platform::http::kHostsFile, "127.0.0.1:" + std::to_string(port_) + " " +
                                                                   std::string(service::defaults::kWriterHost) +
                                                                   ":80\n" + service.HostsFileText());
  }
  ~NameUrlRelay() {
    server_.stop();
    thread_.join();
  }
  // From now on every answer gives `nameUrl` as the documents' file-name form.
  void Answer(const std::string& nameUrl) {
    std::lock_guard lock(mutex_);
    nameUrl_ = nameUrl;
  }

 private:
  void Relay(const httplib::Request& request, httplib::Response& response) {
    httplib::Headers headers;
    for (const auto& [name, value] : request.headers)
      if (name == "Host" || name == "Cookie" || name == "User-Agent") headers.emplace(name, value);
    httplib::Client service("127.0.0.1", servicePort_);
    const httplib::Result answer =
        request.method == "POST"
            ? service.Post(request.target.c_str(), headers, request.body, request.get_header_value("Content-Type").c_str())
            : service.Get(request.target.c_str(), headers);
    if (!answer) {
      response.status = 502;
      return;
    }
    std::string body = answer->body;
    {
      std::lock_guard lock(mutex_);
      if (nameUrl_)
        body = std::regex_replace(body, std::regex("<document_name_url>[^<]*</document_name_url>"),
                                  "<document_name_url>" + *nameUrl_ + "</document_name_url>");
    }
    response.status = answer->status;
    response.set_content(body, answer->get_header_value("Content-Type").c_str());
  }

  int servicePort_;
  httplib::Server server_;
  int port_ = 0;
  std::thread thread_;
  std::mutex mutex_;
  std::optional<std::string> nameUrl_;
};

// The files of drive C: but the add-in's own data (its log and map).
std::set<std::string> FilesOnDriveC() { return tavo::test::FilesOnDriveCOutside({kAppData}); }

// File-name forms that would lead out of the user's documents folder.
const std::vector<std::string> kLeavingNames = {"..\\..\\..\\evil", "../evil", "sub\\evil", "C:\\evil", "C:evil",
                                                ".", ".."};

}  // namespace

TEST_F(SpecialNamesTest, ANameWithAmpersandLessThanAndApostropheGoesThroughListOpenSaveAndAdd) {
  const std::string id = server_->AddDocument(kUser, kName, "<p>notes</p>", 1);
  SignedInWord(/*keepCopies=*/true);
  std::vector<std::string> rows;
  FormWatcher watcher(user_);
  watcher.onShown = [&](forms::Form& form) {
    if (form.Name() == "frmDocList") rows = ControlOf<forms::ListBox>(form, "listdoc").Items();
  };
  OpenFromList(0, "<DRAFTS>");
  EXPECT_EQ(rows, std::vector<std::string>{kName});
  EXPECT_EQ(ActiveName(), std::string(kFileName) + ".doc");
  auto entries = MapEntries();
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0].name, kName);
  EXPECT_EQ(entries[0].filename, kFileName);

  app()->Selection().TypeText("More & more. ");
  word().Click("&Save in Tavo Writer");
  const auto saves = Calls("writer.saveDocument");
  ASSERT_EQ(saves.size(), 1u) << user_.TranscriptText();
  EXPECT_NE(saves[0].body.find("<name>documentname</name><value><string>Bob's notes &amp; &lt;drafts&gt;</string>"),
            std::string::npos);
  EXPECT_EQ(server_->FindDocument(id)->name, kName);
  EXPECT_NE(server_->FindDocument(id)->content.find("More &amp; more."), std::string::npos);
  EXPECT_EQ(MapEntries().at(0).version, "2");

  app()->Documents().Add();
  app()->Selection().TypeText("cartoon");
  app()->ActiveDocument()->SaveAs({.fileName = std::string(kDocuments) + "\\Tom's & Jerry's.doc"});
  word().Click("&Add to Tavo Writer");
  entries = MapEntries();
  ASSERT_EQ(entries.size(), 2u) << user_.TranscriptText();
  EXPECT_EQ(entries[1].name, "Tom's & Jerry's");
  EXPECT_EQ(server_->FindDocument(entries[1].id)->name, "Tom's & Jerry's");
  // Saved again under its new name, it finds its record.
  word().Click("&Save in Tavo Writer");
  EXPECT_EQ(Calls("writer.saveDocument").size(), 2u);
  EXPECT_FALSE(user_.Saw("frmConfirm"));
  EXPECT_TRUE(Messages().empty()) << user_.TranscriptText();

  // Its local copy is deleted with its record.
  app()->ActiveDocument()->Close();
  user_.On("frmopenlocalfiles", {"select locallist \"Tom's & Jerry's \"", "click Delete"});
  user_.On("Frmfileconfirm", {"click Yes"});
  WillReadMessage();
  word().Click("Local &Documents");
  EXPECT_EQ(Messages(), std::vector<std::string>{"frmMsgInfo: The local copy has been deleted."});
  ASSERT_EQ(MapEntries().size(), 1u);
  EXPECT_EQ(MapEntries()[0].name, kName);
}

// A name from the service that holds line breaks and a terminal's escape cannot write a line of
// its own into the log: every line of it is one the add-in wrote.
TEST_F(SpecialNamesTest, ControlCharactersInANameStayInsideTheirLogLine) {
  const std::string forged = "[2009-06-02 13:05:07] -- [Error] -- Error While Saving The Document";
  server_->AddDocument(kUser, "Plan\x1B[2J\r\n" + forged, "<p>plan</p>");
  SignedInWord(/*keepCopies=*/true);
  OpenFromList(0);
  ASSERT_EQ(app()->Documents().Count(), 1) << user_.TranscriptText();

  const std::string log = LogText(kUser);
  EXPECT_EQ(log.find('\x1B'), std::string::npos);
  EXPECT_NE(log.find("Document Plan\\x1B[2J"), std::string::npos) << log;
  size_t lines = 0;
  for (size_t at = 0; at < log.size(); ++lines) {
    const size_t end = log.find("\r\n", at);
    ASSERT_NE(end, std::string::npos) << "a line not ended by CR LF";
    const std::string line = log.substr(at, end - at);
    EXPECT_EQ(line.find_first_of("\r\n"), std::string::npos) << line;
    EXPECT_FALSE(line.starts_with(forged)) << line;
    at = end + 2;
  }
  EXPECT_GT(lines, 5u);
}

// Word reads a page in the system's code page unless it declares its own; characters that code
// page lacks arrive all the same.
TEST_F(SpecialNamesTest, TextsOutsideTheCodePageOpenIntact) {
  server_->AddDocument(kUser, "Greeting", "<p>\xE4\xBD\xA0\xE5\xA5\xBD, M\xC3\xBCller</p>");
  server_->AddDocument(kUser, "Gruss", "<p>Gr\xC3\xBC\xC3\x9F Gott</p>");
  SignedInWord();
  OpenFromList(0);
  EXPECT_EQ(ActiveText(), "\xE4\xBD\xA0\xE5\xA5\xBD, M\xC3\xBCller\r");
  OpenFromList(1);
  EXPECT_EQ(ActiveText(), "Gr\xC3\xBC\xC3\x9F Gott\r");
}

}  // namespace tavo::writer::test

namespace tavo::writer::test {

// A document whose file-name form would lead out of the user's folder does not open: the user
// is told as for any document that cannot be opened, and no file is written or recorded.
TEST_F(SpecialNamesTest, AFileNameLeadingOutOfTheUserFolderIsRefusedOnOpen) {
  server_->AddDocument(kUser, "Plan", "<p>plan</p>");
  NameUrlRelay relay(*server_);
  SignedInWord(/*keepCopies=*/true);
  const std::set<std::string> before = FilesOnDriveC();
  for (const std::string& nameUrl : kLeavingNames) {
    SCOPED_TRACE(nameUrl);
    relay.Answer(nameUrl);
    WillReadMessage();
    const size_t shown = Messages().size();
    OpenFromList(0);
    ASSERT_EQ(Messages().size(), shown + 1) << user_.TranscriptText();
    EXPECT_EQ(Messages().back(), "frmMsgInfo: The document could not be opened. Please try again.");
    EXPECT_EQ(app()->Documents().Count(), 0);
    EXPECT_EQ(FilesOnDriveC(), before);
    EXPECT_TRUE(MapEntries().empty());
  }
  EXPECT_NE(LogText(kUser).find("Error While Opening The Document | The document's file name leaves the user folder: "
                                "..\\..\\..\\evil"),
            std::string::npos);
}

// Added or published, a new document whose file-name form would lead out of the user's folder
// fails as an add that went wrong does: the Word document stays where it is and nothing is
// recorded.
TEST_F(SpecialNamesTest, AFileNameLeadingOutOfTheUserFolderIsRefusedOnCreate) {
  NameUrlRelay relay(*server_);
  SignedInWord();
  app()->Documents().Add();
  app()->Selection().TypeText("memo");
  const std::string memo = std::string(kDocuments) + "\\Memo.doc";
  app()->ActiveDocument()->SaveAs({.fileName = memo});
  const std::set<std::string> before = FilesOnDriveC();
  const struct {
    const char* command;
    const char* message;
  } commands[] = {
      {"&Add to Tavo Writer", "frmMsgInfo: The document could not be added to Tavo Writer. Please try again."},
      {"&Publish in Tavo Share", "frmMsgInfo: Document Add failed. Please try to 'Add' it again"},
  };
  for (const auto& command : commands) {
    for (const std::string& nameUrl : kLeavingNames) {
      SCOPED_TRACE(std::string(command.command) + " " + nameUrl);
      relay.Answer(nameUrl);
      user_.On("frmLicense", {"check Check1", "click Upload"});
      WillReadMessage();
      const size_t shown = Messages().size();
      word().Click(command.command);
      ASSERT_EQ(Messages().size(), shown + 1) << user_.TranscriptText();
      EXPECT_EQ(Messages().back(), command.message);
      EXPECT_EQ(Active()->FullName(), memo);
      EXPECT_EQ(FilesOnDriveC(), before);
      EXPECT_TRUE(MapEntries().empty());
    }
  }
}

// A file-name form that Windows takes for a device (CON, nul.draft) names a file with "_" in
// front, on open and on add alike; its record holds that name, answers to later saves included,
// so each save finds the document again and nothing is offered for adding twice.
TEST_F(SpecialNamesTest, ADeviceNameGetsAFileOfItsOwn) {
  server_->AddDocument(kUser, "Plan", "<p>plan</p>");
  NameUrlRelay relay(*server_);
  SignedInWord(/*keepCopies=*/true);
  relay.Answer("CON");
  OpenFromList(0);
  ASSERT_EQ(ActiveName(), "_CON.doc") << user_.TranscriptText();
  EXPECT_TRUE(SavedWithPassword(DocsFolder() + "\\_CON.doc", kPassword));
  for (int save = 1; save <= 2; ++save) {
    ASSERT_EQ(MapEntries().size(), 1u);
    EXPECT_EQ(MapEntries()[0].filename, "_CON");
    EXPECT_EQ(MapEntries()[0].nameUrl, "_CON");
    word().Click("&Save in Tavo Writer");
  }
  EXPECT_EQ(Calls("writer.saveDocument").size(), 2u);

  app()->Documents().Add();
  app()->Selection().TypeText("memo");
  app()->ActiveDocument()->SaveAs({.fileName = std::string(kDocuments) + "\\Memo.doc"});
  relay.Answer("nul.draft");
  word().Click("&Add to Tavo Writer");
  EXPECT_EQ(Active()->FullName(), DocsFolder() + "\\_nul.draft.doc");
  ASSERT_EQ(MapEntries().size(), 2u) << user_.TranscriptText();
  EXPECT_EQ(MapEntries()[1].filename, "_nul.draft");
  word().Click("&Save in Tavo Writer");
  EXPECT_EQ(Calls("writer.saveDocument").size(), 3u);
  EXPECT_FALSE(user_.Saw("frmConfirm"));
  EXPECT_TRUE(Messages().empty()) << user_.TranscriptText();
}

// File-name forms that stay in the folder, however unusual, open, are recorded and save as
// before.
TEST_F(SpecialNamesTest, UnusualFileNamesThatStayInTheFolderStillWork) {
  const std::string id = server_->AddDocument(kUser, "Plan", "<p>plan</p>");
  NameUrlRelay relay(*server_);
  SignedInWord(/*keepCopies=*/true);
  for (const std::string nameUrl : {"...", ".plan", "plan..", "a*b?c"}) {
    SCOPED_TRACE(nameUrl);
    relay.Answer(nameUrl);
    if (!MapEntries().empty()) user_.On("frmlocalversion", {"click Yes"});
    OpenFromList(0);
    ASSERT_EQ(ActiveName(), nameUrl + ".doc") << user_.TranscriptText();
    EXPECT_TRUE(SavedWithPassword(DocsFolder() + "\\" + nameUrl + ".doc", kPassword));
    ASSERT_EQ(MapEntries().size(), 1u);
    EXPECT_EQ(MapEntries()[0].filename, nameUrl);
    EXPECT_EQ(MapEntries()[0].location, DocsFolder() + "\\" + nameUrl + ".doc");
    word().Click("&Save in Tavo Writer");
    EXPECT_FALSE(user_.Saw("frmConfirm"));
    app()->ActiveDocument()->Close();
  }
  EXPECT_EQ(Calls("writer.saveDocument").size(), 4u);
  EXPECT_EQ(server_->FindDocument(id)->version, 5);
  EXPECT_TRUE(Messages().empty()) << user_.TranscriptText();
}

}  // namespace tavo::writer::test
