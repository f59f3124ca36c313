#include <gtest/gtest.h>

#include "host/files/LineFormat.h"
#include "host/excel/ExcelApplication.h"
#include "host/tests/TestSupport.h"
#include "platform/files/Files.h"

using namespace host::testing;
using host::Answer;
namespace files = platform::files;
namespace oe = platform::office::excel;
using host::excel::ExcelApplication;

namespace {

class ExcelTest : public ::testing::Test {
 protected:
  TempEnvironment env;
  QueuePrompter prompter;
  std::shared_ptr<ExcelApplication> excel = ExcelApplication::Create();

  static std::string Book(const std::string& name) { return std::string(kDocs) + "\\" + name; }

  // Budget.xls with two cells, saved and closed.
  void SaveBudget(std::optional<std::string> password = std::nullopt) {
    auto book = excel->workbooks().Add();
    book->SetCell("A1", "Budget");
    book->SetCell("b2", "line one\nline \\two");
    book->SaveAs({.filename = Book("Budget.xls"), .password = password});
    book->Close();
  }
};

}  // namespace

TEST_F(ExcelTest, WorkbookFileFormat) {
  SaveBudget();
  EXPECT_EQ(files::ReadAllBytes(Book("Budget.xls")),
            "TAVO-WORKBOOK/1\nopen-password: \nsheet: Sheet1\nA1: Budget\nB2: line one\\nline \\\\two\n");
  // A file as the service writes it, with a second sheet; saved again, it is written as it was.
  const std::string seed =
      "TAVO-WORKBOOK/1\nopen-password: \nsheet: Sales\nC3: 12\nAB40: \\\\x\\n\nsheet: Notes\nA1: a: b\n";
  files::WriteAllBytes(Book("Seed.xls"), seed);
  auto book = excel->Workbooks().Open({.filename = Book("Seed.xls")});
  EXPECT_EQ(excel->ActiveSheet()->Name(), "Sales");
  EXPECT_EQ(excel->activeWorkbook()->Cell("C3"), "12");
  EXPECT_EQ(excel->activeWorkbook()->Cell("AB40"), "\\x\n");
  EXPECT_EQ(excel->activeWorkbook()->Cell("Notes!A1"), "a: b");
  excel->activeWorkbook()->Save();
  EXPECT_EQ(files::ReadAllBytes(Book("Seed.xls")), seed);
  for (const char* bad : {"TAVO-WORKBOOK/2\nopen-password: \n", "TAVO-WORKBOOK/1\nsheet: S\n",
                          "TAVO-WORKBOOK/1\nopen-password: \nA1: before any sheet\n",
                          "TAVO-WORKBOOK/1\nopen-password: \nsheet: S\n1A: x\n"}) {
    files::WriteAllBytes(Book("Bad.xls"), bad);
    EXPECT_EQ(ErrorNumber([&] { excel->Workbooks().Open({.filename = Book("Bad.xls")}); }), oe::err::Failed) << bad;
  }
}

// A workbook larger than the pieces the file is written in, with values to escape that fall
// across the pieces' ends: the file is the same as one written whole.
TEST_F(ExcelTest, LargeWorkbooksAreWrittenAsTheyAre) {
  auto book = excel->workbooks().Add();
  std::string expected = "TAVO-WORKBOOK/1\nopen-password: \nsheet: Sheet1\n";
  for (int row = 1; row <= 3000; ++row) {
    std::string value(97 + row % 13, static_cast<char>('a' + row % 26));
    value[static_cast<size_t>(row) % value.size()] = row % 2 ? '\n' : '\\';
    const std::string ref = "B" + std::to_string(row);
    book->SetCell(ref, value);
    expected += ref + ": " + host::EscapeValue(value) + "\n";
  }
  book->SaveAs({.filename = Book("Large.xls")});
  EXPECT_EQ(files::ReadAllBytes(Book("Large.xls")), expected);
  // Saved again over itself: the same bytes, and nothing left beside the file.
  book->Save();
  EXPECT_EQ(files::ReadAllBytes(Book("Large.xls")), expected);
  EXPECT_EQ(files::ListFileNames(kDocs), std::vector<std::string>{"Large.xls"});
}

TEST_F(ExcelTest, SaveAsWithPasswordAndAccessMode) {
  SaveBudget("pw");
  EXPECT_EQ(files::ReadAllBytes(Book("Budget.xls")).find("pw\n"), std::string::npos);
  EXPECT_EQ(ErrorNumber([&] { excel->Workbooks().Open({.filename = Book("Budget.xls"), .password = "PW"}); }),
            oe::err::Failed);
  prompter.Text(std::nullopt);  // asked for the password, the user cancels
  EXPECT_EQ(ErrorNumber([&] { excel->Workbooks().Open({.filename = Book("Budget.xls")}); }), oe::err::Failed);
  auto book = excel->Workbooks().Open({.filename = Book("Budget.xls"), .password = "pw"});
  EXPECT_EQ(excel->activeWorkbook()->Cell("B2"), "line one\nline \\two");

  EXPECT_EQ(ErrorNumber([&] { book->SaveAs({.filename = Book("x.xls"), .accessMode = 7}); }), oe::err::Failed);
  // Saving in place with Password "" removes the protection (alerts off: no replace question).
  excel->SetDisplayAlerts(false);
  book->SaveAs({.filename = Book("Budget.xls"), .password = "", .accessMode = oe::access_mode::NoChange});
  excel->SetDisplayAlerts(true);
  EXPECT_TRUE(files::ReadAllBytes(Book("Budget.xls")).starts_with("TAVO-WORKBOOK/1\nopen-password: \n"));
  // A copy elsewhere keeps the workbook's current protection unless a password is given.
  book->SaveAs({.filename = Book("Copy.xls"), .password = "acct"});
  EXPECT_EQ(book->Name(), "Copy.xls");
  EXPECT_EQ(book->Path(), kDocs);
  EXPECT_EQ(excel->Workbooks().Count(), 1);
  book->Close();
  EXPECT_EQ(ErrorNumber([&] { excel->Workbooks().Open({.filename = Book("Copy.xls"), .password = "pw"}); }),
            oe::err::Failed);
  EXPECT_TRUE(prompter.drained());
}

TEST_F(ExcelTest, AlertsBeforeReplacingAFileUnlessDisplayAlertsIsOff) {
  SaveBudget();
  auto book = excel->workbooks().Add();
  book->SetCell("A1", "other");
  prompter.Answer(Answer::No);
  EXPECT_EQ(ErrorNumber([&] { book->SaveAs({.filename = Book("Budget.xls")}); }), oe::err::Failed);
  EXPECT_NE(prompter.lastQuestion().find("already exists"), std::string::npos);
  EXPECT_NE(files::ReadAllBytes(Book("Budget.xls")).find("A1: Budget"), std::string::npos);
  prompter.Answer(Answer::Yes);
  book->SaveAs({.filename = Book("Budget.xls")});
  EXPECT_NE(files::ReadAllBytes(Book("Budget.xls")).find("A1: other"), std::string::npos);
  excel->SetDisplayAlerts(false);
  book->SaveAs({.filename = Book("Budget.xls")});
  EXPECT_EQ(prompter.asked(), 2);
}

TEST_F(ExcelTest, ClosingModifiedWorkbooks) {
  SaveBudget();
  auto budget = excel->Workbooks().Open({.filename = Book("Budget.xls")});
  excel->activeWorkbook()->SetCell("A2", "changed");
  auto fresh = excel->workbooks().Add();
  fresh->SetCell("A1", "new");
  // Cancel keeps the workbook open and stops closing the rest.
  prompter.Answer(Answer::Cancel);
  excel->Workbooks().Close();
  EXPECT_EQ(excel->Workbooks().Count(), 2);
  prompter.Answer(Answer::Yes);
  prompter.Answer(Answer::No);
  excel->Workbooks().Close();
  EXPECT_EQ(excel->Workbooks().Count(), 0);
  EXPECT_NE(files::ReadAllBytes(Book("Budget.xls")).find("A2: changed"), std::string::npos);
  // With alerts off a modified workbook closes without a question and without saving.
  excel->Workbooks().Open({.filename = Book("Budget.xls")});
  excel->activeWorkbook()->SetCell("A3", "lost");
  excel->SetDisplayAlerts(false);
  excel->Workbooks().Close();
  EXPECT_EQ(files::ReadAllBytes(Book("Budget.xls")).find("lost"), std::string::npos);
  EXPECT_TRUE(prompter.drained());
}

TEST_F(ExcelTest, OpenWorkbooksAreLockedAndNamesAreUnique) {
  SaveBudget();
  files::CreateFolder(Book("other"));
  files::WriteAllBytes(Book("other\\Budget.xls"), "TAVO-WORKBOOK/1\nopen-password: \nsheet: S\n");
  auto book = excel->Workbooks().Open({.filename = Book("Budget.xls")});
  EXPECT_TRUE(excel->Workbooks().Open({.filename = Book("BUDGET.xls")}).Is(book));
  EXPECT_EQ(ErrorNumber([&] { excel->Workbooks().Open({.filename = Book("other\\Budget.xls")}); }), oe::err::Failed);
  EXPECT_EQ(ErrorNumber([&] { files::DeleteFile(Book("Budget.xls")); }), platform::err::PermissionDenied);
  EXPECT_TRUE(excel->Workbooks().Item("budget.xls").Is(book));
  EXPECT_EQ(ErrorNumber([&] { excel->Workbooks().Item("none.xls"); }), oe::err::SubscriptOutOfRange);
  excel->ActiveWindow()->SetView(oe::window_view::Normal);
  book->Close();
  EXPECT_TRUE(excel->ActiveWorkbook().IsNothing());
  EXPECT_TRUE(excel->ActiveSheet().IsNothing());
  files::DeleteFile(Book("Budget.xls"));
}
