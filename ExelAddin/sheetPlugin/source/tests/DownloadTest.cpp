// Opening a listed workbook: the local file and its name, the download, the copy protected with
// the account password, the map record, the question when a local copy exists, and the
// temporary downloads of a run that keeps no local copies.
#include <set>
#include <string>
#include <vector>

#include "ExelAddin/sheetPlugin/source/tests/SheetTestSupport.h"
#include "platform/forms/Controls.h"
#include "platform/forms/ListBox.h"

namespace tavo::sheet::test {
namespace {

class DownloadTest : public SheetTest {
 protected:
  std::vector<service::RecordedRequest> Downloads() const {
    std::vector<service::RecordedRequest> found;
    for (const auto& r : server_->Requests())
      if (r.path == "/open.do") found.push_back(r);
    return found;
  }
  // Opens the online list and the entry with this name, whatever characters it holds.
  void DownloadNamed(const std::string& name) {
    std::string quoted = "\"";
    for (const char c : name) quoted += (c == '"' || c == '\\') ? std::string{'\\', c} : std::string{c};
    user_.On("frmDocList", {"select listdoc " + quoted + "\"", "click Command1"});
    excel().Click("&Open Tavo Sheet");
  }
};

// The cell A1 of the first sheet of a workbook's bytes.
std::string FirstCell(const std::string& bytes) {
  auto file = host::excel::ReadWorkbookFile(bytes);
  if (!file || file->sheets.empty() || file->sheets[0].cells.empty()) return {};
  return file->sheets[0].cells.begin()->second;
}

// The files of drive C: but the account's own (its workbooks, its log and map).
std::set<std::string> FilesElsewhere() { return tavo::test::FilesOnDriveCOutside({kUserDocs, kAppData}); }

}  // namespace

TEST_F(DownloadTest, AWorkbookOpensFromItsProtectedLocalCopyAndIsRecorded) {
  const std::string id = server_->AddWorkbook(kUser, "Budget", Workbook({{"A1", "12"}}));
  StartSignedIn();
  Download("Budget");

  const std::string path = kUserDocs + "Budget.xls";
  ASSERT_EQ(Downloads().size(), 1u);
  const std::string ticket = Shared("tavoticketid");
  EXPECT_EQ(Downloads()[0].query, "apikey=7c0e9a5b31f84d62a09e3b7f5c18d24e&ticket=" + ticket +
                                      "&export=xls&docid=" + id + "&time=130507");
  auto book = app()->activeWorkbook();
  ASSERT_TRUE(book);
  EXPECT_EQ(book->FullName(), path);
  EXPECT_EQ(book->Cell("A1"), "12");
  EXPECT_TRUE(book->protectedByPassword());
  EXPECT_FALSE(WorkbookAt(path).passwordHash.empty());
  EXPECT_FALSE(user_.Saw("frmlocalversion"));
  // The status bar tells the open once the list has closed.
  EXPECT_EQ(Status(), "The workbook has been opened from Tavo Sheet.");

  const auto online = *server_->FindWorkbook(id);
  const auto entries = MapEntries();
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0].id, id);
  EXPECT_EQ(entries[0].filename, path);
  EXPECT_EQ(entries[0].bookId, id);
  EXPECT_EQ(entries[0].name, "Budget");
  EXPECT_EQ(entries[0].updateLock, online.updateLock);
  EXPECT_EQ(entries[0].created, online.createdTime);
  EXPECT_EQ(entries[0].modified, online.modifiedTime);
  EXPECT_EQ(entries[0].extension, ".xls");
  EXPECT_EQ(DecodeStoredSecret(entries[0].password), kPassword);
  // The log names the file by the workbook's name, whatever file was used.
  EXPECT_NE(LogText().find("Sucessfully loaded the WorkBook" + path + " in Word"), std::string::npos);
}

// A file of the name that is there already is kept: each candidate takes the next counter
// behind the previous one's name. The record has the numbered file and the service's name; a
// name that arrived mis-decoded names its file as the list shows it.
TEST_F(DownloadTest, TheLocalFileIsNumberedPastFilesThatExist) {
  server_->AddWorkbook(kUser, "Budget", Workbook({{"A1", "new"}}));
  server_->AddWorkbook(kUser, "M\xc3\xbcller", Workbook({}));
  StartSignedIn();
  platform::files::WriteAllBytes(kUserDocs + "Budget.xls", Workbook({{"A1", "mine"}}));
  platform::files::WriteAllBytes(kUserDocs + "Budget1.xls", Workbook({{"A1", "mine too"}}));
  Download("Budget");
  Download("M\xc3\xbcller");
  const auto entries = MapEntries();
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[0].filename, kUserDocs + "Budget12.xls");
  EXPECT_EQ(entries[0].name, "Budget");
  EXPECT_EQ(entries[1].filename, kUserDocs + "M\xc3\xbcller.xls");
  EXPECT_EQ(entries[1].name, "M\xc3\xbcller");
  EXPECT_EQ(WorkbookAt(kUserDocs + "Budget.xls").sheets[0].cells.begin()->second, "mine");
  EXPECT_EQ(WorkbookAt(kUserDocs + "Budget1.xls").sheets[0].cells.begin()->second, "mine too");
}

// A workbook with a local copy: No keeps the copy and downloads nothing; Yes downloads over
// the recorded file, closing it first when Excel has it open, and the record stays one, in its
// place.
TEST_F(DownloadTest, ALocalCopyIsReplacedOnlyAfterYes) {
  const std::string first = server_->AddWorkbook(kUser, "First", Workbook({}));
  const std::string id = server_->AddWorkbook(kUser, "Budget", Workbook({{"A1", "1"}}));
  StartSignedIn();
  Download("First");
  Download("Budget");
  ASSERT_EQ(MapEntries().size(), 2u);

  user_.On("frmlocalversion", {"click Command2"});
  Download("Budget");
  EXPECT_EQ(Downloads().size(), 2u);
  // The question closed the list too.
  for (const forms::Form* form : forms::LoadedForms()) EXPECT_NE(form->Name(), "frmDocList");

  server_->ChangeWorkbook(id, Workbook({{"A1", "2"}}));
  user_.On("frmlocalversion", {"click Command1"});
  Download("Budget");
  EXPECT_EQ(Downloads().size(), 3u);
  EXPECT_EQ(user_.TimesShown("frmlocalversion"), 2);
  ASSERT_EQ(app()->workbookList().size(), 2u);
  EXPECT_EQ(app()->activeWorkbook()->Cell("A1"), "2");
  const auto entries = MapEntries();
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[0].id, first);
  EXPECT_EQ(entries[1].id, id);
  EXPECT_EQ(entries[1].filename, kUserDocs + "Budget.xls");
  EXPECT_EQ(entries[1].updateLock, server_->FindWorkbook(id)->updateLock);
}

// A local copy with unsaved changes: Excel asks; the user who keeps it open keeps it, and
// nothing is downloaded over it.
TEST_F(DownloadTest, AnOpenLocalCopyTheUserKeepsIsNotReplaced) {
  server_->AddWorkbook(kUser, "Budget", Workbook({{"A1", "1"}}));
  StartSignedIn();
  Download("Budget");
  app()->activeWorkbook()->SetCell("B1", "unsaved");
  user_.On("frmlocalversion", {"click Command1"});
  user_.On("frmPrompt", {"click Cancel"});
  Download("Budget");
  EXPECT_EQ(Downloads().size(), 1u);
  ASSERT_EQ(app()->workbookList().size(), 1u);
  EXPECT_EQ(app()->activeWorkbook()->Cell("B1"), "unsaved");
}

// Without local copies every download is this run's only: any number of them (a 27th works
// like the first), and at shut-down their files go with their records.
TEST_F(DownloadTest, TemporaryDownloadsGoAtShutDown) {
  for (int i = 1; i <= 27; ++i) server_->AddWorkbook(kUser, "Book" + std::to_string(i), Workbook({}));
  StartSignedIn(/*saveLocal=*/false);
  for (int i = 1; i <= 27; ++i) Download("Book" + std::to_string(i));
  EXPECT_TRUE(Messages().empty()) << testing::PrintToString(Messages());
  EXPECT_EQ(app()->workbookList().size(), 27u);
  EXPECT_EQ(MapEntries().size(), 27u);
  ASSERT_TRUE(platform::files::FileExists(kUserDocs + "Book27.xls"));

  ASSERT_TRUE(QuitExcel());
  for (int i = 1; i <= 27; ++i) EXPECT_FALSE(platform::files::FileExists(kUserDocs + "Book" + std::to_string(i) + ".xls"));
  EXPECT_TRUE(MapEntries().empty());
  EXPECT_NE(LogText().find("addininstance:workbook xml deleted"), std::string::npos);
}

// A download that fails (the workbook was trashed meanwhile, or what came is no workbook) tells
// the user, leaves the list open and the map as it was; a kept local copy whose new download
// failed stays as it was, and is not this run's to delete.
TEST_F(DownloadTest, AFailedDownloadChangesNothing) {
  const std::string id = server_->AddWorkbook(kUser, "Budget", Workbook({{"A1", "kept"}}));
  StartSignedIn(/*saveLocal=*/true);
  Download("Budget");
  app()->activeWorkbook()->Close();
  QuitExcel();
  const std::string kept = platform::files::ReadAllBytes(kUserDocs + "Budget.xls");

  for (const bool trashed : {true, false}) {
    SCOPED_TRACE(trashed ? "trashed" : "no workbook");
    StartSignedIn(/*saveLocal=*/false);
    FormWatcher watcher(user_);
    watcher.onShown = [&](forms::Form& form) {
      if (form.Name() != "frmDocList") return;
      if (trashed) server_->Trash(id);
      else server_->InjectFault(service::Fault("/open.do", service::FaultKind::WrongXml));
    };
    const auto before = MapEntries();
    user_.On("frmlocalversion", {"click Command1"});
    WillReadMessage();
    const size_t logBefore = LogText().size();
    Download("Budget");
    EXPECT_EQ(Messages().back(), "The workbook could not be opened. Please try again.");
    // A refused download raises no run-time error, so the line ends with no description; Excel's
    // failure to open what came has one.
    const std::string log = LogText().substr(logBefore);
    EXPECT_EQ(log.find("Error Wile Download from URL error code is ") != std::string::npos, trashed) << log;
    EXPECT_NE(log.find("[Error] -- Error While loading the workbook in Excel"), std::string::npos) << log;
    EXPECT_EQ(log.find("[Error] -- Error While loading the workbook in Excel\r\n") != std::string::npos, trashed)
        << log;
    EXPECT_EQ(MapEntries().size(), before.size());
    EXPECT_EQ(platform::files::ReadAllBytes(kUserDocs + "Budget.xls"), kept);
    ASSERT_TRUE(QuitExcel());
    EXPECT_EQ(platform::files::ReadAllBytes(kUserDocs + "Budget.xls"), kept);
    EXPECT_EQ(MapEntries().size(), 1u);
    server_->Trash(id, false);
  }
}

// A map file that is no XML has no records to walk: the open fails with that run-time error.
TEST_F(DownloadTest, AnUnreadableMapFailsTheOpenWithItsRunTimeError) {
  server_->AddWorkbook(kUser, "Budget", Workbook({{"A1", "online"}}));
  StartSignedIn();
  platform::files::WriteAllBytes(MapFile(), "<mapxml><workbook>");
  WillReadMessage();
  user_.On("frmDocList", {"select listdoc \"Budget\"", "click Command1", "click Cancel"});
  excel().Click("&Open Tavo Sheet");
  EXPECT_EQ(Messages().back(), "The workbook could not be opened. Please try again.");
  EXPECT_NE(LogText().find("[Error] -- Error While loading the workbook in Excel"
                           "Object variable or With block variable not set\r\n"),
            std::string::npos)
      << LogText();
}

}  // namespace tavo::sheet::test

namespace tavo::sheet::test {

// A workbook whose name cannot name a file has a local file with "_" for each character that a
// Windows file name cannot hold; everywhere else it keeps its name. Listed, opened, saved,
// opened again over its copy and deleted among the local workbooks, it works as any other.
TEST_F(DownloadTest, AWorkbookWhoseNameCannotNameAFileWorksInEveryFlow) {
  constexpr const char* kName = "Q1/Q2: plan";
  const std::string file = kUserDocs + "Q1_Q2_ plan.xls";
  const std::string id = server_->AddWorkbook(kUser, kName, Workbook({{"A1", "online"}}));
  StartSignedIn();
  Download(kName);
  auto book = app()->activeWorkbook();
  ASSERT_TRUE(book) << user_.TranscriptText();
  EXPECT_EQ(book->FullName(), file);
  EXPECT_EQ(book->Cell("A1"), "online");
  ASSERT_EQ(MapEntries().size(), 1u);
  EXPECT_EQ(MapEntries()[0].filename, file);
  EXPECT_EQ(MapEntries()[0].name, kName);

  // The save finds the record by the file; the online workbook keeps its name.
  book->SetCell("A1", "mine");
  excel().Click("&Save in Tavo Sheet");
  ASSERT_EQ(Calls("saveWorkbook").size(), 1u) << user_.TranscriptText();
  const auto saved = *server_->FindWorkbook(id);
  EXPECT_EQ(FirstCell(saved.bytes), "mine");
  EXPECT_EQ(saved.name, kName);
  ASSERT_EQ(MapEntries().size(), 1u);
  EXPECT_EQ(MapEntries()[0].updateLock, saved.updateLock);
  EXPECT_EQ(MapEntries()[0].name, kName);
  EXPECT_EQ(app()->activeWorkbook()->FullName(), file);

  // Opened again, it is downloaded over its copy.
  app()->activeWorkbook()->Close();
  server_->ChangeWorkbook(id, Workbook({{"A1", "theirs"}}));
  user_.On("frmlocalversion", {"click Command1"});
  Download(kName);
  ASSERT_TRUE(app()->activeWorkbook()) << user_.TranscriptText();
  EXPECT_EQ(app()->activeWorkbook()->FullName(), file);
  EXPECT_EQ(app()->activeWorkbook()->Cell("A1"), "theirs");
  EXPECT_EQ(MapEntries().size(), 1u);
  EXPECT_FALSE(platform::files::FileExists(kUserDocs + "Q1_Q2_ plan1.xls"));

  // Among the local workbooks it shows its online name and is deleted with its record.
  app()->activeWorkbook()->Close();
  std::vector<std::string> listed;
  std::string shownName;
  FormWatcher watcher(user_);
  watcher.onClosed = [&](forms::Form& form) {
    if (form.Name() != "frmopenlocalfiles") return;
    listed = ControlOf<forms::ListBox>(form, "locallist").Items();
    shownName = ControlOf<forms::Label>(form, "docname").Caption();
  };
  user_.On("frmopenlocalfiles", {"select locallist \"Q1_Q2_ plan \"", "click Command3"});
  user_.On("Frmfileconfirm", {"click Command1"});
  WillReadMessage();
  excel().Click("Local Work&Books");
  EXPECT_EQ(listed, std::vector<std::string>{"Q1_Q2_ plan "});
  EXPECT_EQ(shownName, kName);
  EXPECT_EQ(Messages(), std::vector<std::string>{"The local copy has been deleted."});
  EXPECT_FALSE(platform::files::FileExists(file));
  EXPECT_TRUE(MapEntries().empty());
}

// No workbook name makes a file outside the user's folder: names that would lead out of it,
// that are no file names at all or that name devices make numbered files in it like any other. Not kept, they
// go at shut-down with their records.
TEST_F(DownloadTest, NoWorkbookNameLeadsOutOfTheUserFolder) {
  const std::pair<std::string, std::string> cases[] = {
      {"..\\..\\evil", ".._.._evil.xls"},
      {"../../evil", ".._.._evil1.xls"},
      {"C:\\Users\\evil", "C__Users_evil.xls"},
      {"C:evil", "C_evil.xls"},
      {"..", "__.xls"},
      {".", "_.xls"},
      {"", "_1.xls"},
      {"a*b?\"c\"<d>|e\tf", "a_b__c__d__e_f.xls"},
      // Devices on Windows, in every folder.
      {"CON", "_CON.xls"},
      {"lpt1.backup", "_lpt1.backup.xls"},
      {"Nul ", "_Nul .xls"},
  };
  for (const auto& [name, file] : cases) server_->AddWorkbook(kUser, name, Workbook({{"A1", name}}));
  StartSignedIn(/*saveLocal=*/false);
  const std::set<std::string> before = FilesElsewhere();
  for (const auto& [name, file] : cases) {
    SCOPED_TRACE(name);
    DownloadNamed(name);
    ASSERT_TRUE(app()->activeWorkbook()) << user_.TranscriptText();
    EXPECT_EQ(app()->activeWorkbook()->FullName(), kUserDocs + file);
    EXPECT_EQ(app()->activeWorkbook()->Cell("A1"), name);
    EXPECT_EQ(MapEntries().back().filename, kUserDocs + file);
    EXPECT_EQ(MapEntries().back().name, name);
  }
  EXPECT_TRUE(Messages().empty()) << testing::PrintToString(Messages());
  EXPECT_EQ(FilesElsewhere(), before);

  ASSERT_TRUE(QuitExcel());
  for (const auto& [name, file] : cases) EXPECT_FALSE(platform::files::FileExists(kUserDocs + file)) << file;
  EXPECT_TRUE(MapEntries().empty());
  EXPECT_EQ(FilesElsewhere(), before);
}

// A hand-edited or damaged record that names a file outside the user's folder is not followed:
// the workbook downloads as one without a record (no question, a file in the user's folder,
// the record then naming it), the log says why, and the file the record named is neither
// written nor deleted with the temporary downloads at shut-down.
TEST_F(DownloadTest, ARecordNamingAFileOutsideTheUserFolderIsNotFollowed) {
  const std::string others = std::string(kDocuments) + "\\tavo\\tavosheet\\users\\bob@tavo.example\\";
  const std::string cases[] = {
      std::string(kDocuments) + "\\Precious.xls",
      kUserDocs + "..\\..\\..\\..\\Kept.xls",
      kUserDocs + "..\\bob@tavo.example\\Budget.xls",
      others + "Plans.xls",
      "Budget.xls",
  };
  server_->AddWorkbook(kUser, "Budget", Workbook({{"A1", "online"}}));
  StartSignedIn(/*saveLocal=*/false);
  platform::files::CreateFolder(others);
  for (const std::string& file : {std::string(kDocuments) + "\\Precious.xls", std::string(kDocuments) + "\\Kept.xls",
                                  others + "Budget.xls", others + "Plans.xls"})
    platform::files::WriteAllBytes(file, Workbook({{"A1", "precious"}}));
  const std::set<std::string> before = FilesElsewhere();
  Download("Budget");
  for (const std::string& outside : cases) {
    SCOPED_TRACE(outside);
    app()->activeWorkbook()->Close();
    platform::files::DeleteFile(kUserDocs + "Budget.xls");
    std::string map = platform::files::ReadAllBytes(MapFile());
    map = platform::text::Replace(map, "filename=\"" + MapEntries()[0].filename + "\"", "filename=\"" + outside + "\"");
    platform::files::WriteAllBytes(MapFile(), map);

    user_.On("frmlocalversion", {"click Command1"});  // Yes, were it asked
    Download("Budget");
    EXPECT_FALSE(user_.Saw("frmlocalversion"));
    ASSERT_TRUE(app()->activeWorkbook()) << user_.TranscriptText();
    EXPECT_EQ(app()->activeWorkbook()->FullName(), kUserDocs + "Budget.xls");
    ASSERT_EQ(MapEntries().size(), 1u);
    EXPECT_EQ(MapEntries()[0].filename, kUserDocs + "Budget.xls");
    EXPECT_NE(LogText().find("[Error] -- A map record names a file outside the user folder, which is not used: " +
                             outside + "\r\n"),
              std::string::npos);
  }
  EXPECT_TRUE(Messages().empty()) << testing::PrintToString(Messages());

  ASSERT_TRUE(QuitExcel());
  EXPECT_FALSE(platform::files::FileExists(kUserDocs + "Budget.xls"));
  EXPECT_EQ(FilesElsewhere(), before);
  for (const std::string& file : {std::string(kDocuments) + "\\Precious.xls", std::string(kDocuments) + "\\Kept.xls",
                                  others + "Budget.xls", others + "Plans.xls"})
    EXPECT_EQ(FirstCell(platform::files::ReadAllBytes(file)), "precious") << file;
}

}  // namespace tavo::sheet::test
