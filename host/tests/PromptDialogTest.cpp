#include "host/prompts/PromptDialog.h"

#include <gtest/gtest.h>

#include "host/excel/ExcelApplication.h"
#include "host/tests/TestSupport.h"
#include "host/word/WordApplication.h"
#include "platform/files/Files.h"
#include "platform/forms/ScriptedOperator.h"

using namespace host::testing;
namespace forms = platform::forms;
namespace ow = platform::office::word;

// The applications' questions reach a test's scripted operator as dialogs of their own.
TEST(PromptDialog, QuestionsAreAnsweredThroughTheOperator) {
  TempEnvironment env;
  forms::ScriptedOperator op;
  auto word = host::word::WordApplication::Create();
  const std::string path = std::string(kDocs) + "\\p.doc";
  word->Documents().Add();
  word->Selection().TypeText("text");
  word->ActiveDocument()->SaveAs({.fileName = path, .password = "pw"});
  word->Selection().TypeText("!");

  op.On("Word", {"click &No"});
  word->ActiveDocument()->Close();
  EXPECT_NE(op.LastRendering("Word").find("Do you want to save the changes you made to p.doc?"), std::string::npos)
      << op.TranscriptText();

  op.On("Password", {"type Text1 wrong", "click OK"});
  EXPECT_EQ(ErrorNumber([&] { word->Documents().Open({.fileName = path}); }), ow::err::WrongPassword);
  op.On("Password", {"key Text1 esc"});
  EXPECT_EQ(ErrorNumber([&] { word->Documents().Open({.fileName = path}); }), ow::err::CommandFailed);
  op.On("Password", {"type Text1 pw", "key Text1 enter"});
  word->Documents().Open({.fileName = path});
  EXPECT_EQ(word->Documents().Count(), 1);
  EXPECT_EQ(op.Pending("Password"), 0u);
}

TEST(PromptDialog, ExcelAsksBeforeReplacingAndTheCloseBoxCancels) {
  TempEnvironment env;
  forms::ScriptedOperator op;
  auto excel = host::excel::ExcelApplication::Create();
  const std::string path = std::string(kDocs) + "\\b.xls";
  platform::files::WriteAllBytes(path, "TAVO-WORKBOOK/1\nopen-password: \nsheet: S\n");
  auto book = excel->workbooks().Add();
  op.On("Excel", {"close"});
  EXPECT_EQ(ErrorNumber([&] { book->SaveAs({.filename = path}); }), platform::office::excel::err::Failed);
  op.On("Excel", {"click Yes"});
  book->SaveAs({.filename = path});
  EXPECT_EQ(book->Name(), "b.xls");
}
