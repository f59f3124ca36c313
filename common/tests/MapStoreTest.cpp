#include "common/MapStore.h"

#include <gtest/gtest.h>

#include "common/AddinState.h"
#include "common/UserFiles.h"
#include "common/tests/TestEnvironment.h"
#include "platform/files/Files.h"

namespace tavo {
namespace {

class MapStoreTest : public test::CoreTest {
 protected:
  // A signed-in account whose user files exist, with an empty log.
  void SignIn(AddinState& state) {
    state.gLogLevel = "Info";
    state.gLoginUser = "ann";
    state.gLoginPassword = "secret";
    InitUserFiles(state, "ann");
    platform::files::DeleteFile(MapFilePath(state));
    platform::files::WriteAllBytes(state.gLogFile, "");
  }
  std::string Map(const AddinState& state) { return Read(MapFilePath(state)); }
  std::string Log(const AddinState& state) { return Read(state.gLogFile); }
};

const DocumentMapRecord kBudget{"42", "Budget & <plan>", "Budget_plan", "3",
                                "C:\\Users\\tavo\\Documents\\tavo\\tavowriter\\users\\ann\\Budget_plan.doc"};

const std::string kBudgetRecord =
    "<document id=\"42\" filename=\"Budget_plan\"><document_id>42</document_id>"
    "<document_name>Budget &amp; &lt;plan&gt;</document_name><document_name_url>Budget_plan</document_name_url>"
    "<version>3</version>"
    "<location>C:\\Users\\tavo\\Documents\\tavo\\tavowriter\\users\\ann\\Budget_plan.doc</location>"
    "<extension>.doc</extension><localtime>Tuesday, June 02, 2009/13:05:07</localtime>"
    "<password>cwBlAGMAcgBlAHQAAA==</password></document>";

TEST_F(MapStoreTest, DocumentRecordByteForByte) {
  AddinState state(kWriterParameters);
  SignIn(state);
  EXPECT_EQ(MapFilePath(state), "C:\\Users\\tavo\\AppData\\Roaming\\tavo\\tavowriter\\users\\ann\\maptavoword.xml");
  ASSERT_TRUE(UpdateMapXml(state, kBudget));  // no file yet: created holding one record
  EXPECT_EQ(Map(state), "<mapxml>" + kBudgetRecord + "</mapxml>");

  const std::string log = Log(state);
  EXPECT_NE(log.find("] -- [Info] -- Sucessfully added the childBudget & <plan>\r\n"), std::string::npos);
  EXPECT_NE(log.find("] -- [Info] -- Sucessfully added the child***\r\n"), std::string::npos);
  EXPECT_EQ(log.find("cwBlAGMAcgBlAHQAAA=="), std::string::npos);
  EXPECT_NE(log.find("] -- [Info] -- Sucessfully Appended into Mapxml  \r\n"), std::string::npos);
  EXPECT_NE(log.find("] -- [Info] -- Mapxml Updated Sucessfully\r\n"), std::string::npos);

  platform::xml::Document doc;
  ASSERT_TRUE(doc.load(MapFilePath(state)));
  EXPECT_EQ(doc.selectSingleNode("//mapxml/document[@filename='Budget_plan']").child(1).text(), "Budget & <plan>");
}

TEST_F(MapStoreTest, UpdatingTheSameIdReplacesTheRecordInPlace) {
  AddinState state(kWriterParameters);
  SignIn(state);
  DocumentMapRecord other{"7", "Other", "Budget_plan", "1", "C:\\x\\Other.doc"};  // same filename, other id
  ASSERT_TRUE(AppendIntoMapXml(state, kBudget));
  ASSERT_TRUE(UpdateMapXml(state, other));
  clock_.clock().Advance(std::chrono::hours(24));
  DocumentMapRecord newer = kBudget;
  newer.version = "4";
  ASSERT_TRUE(UpdateMapXml(state, newer));

  platform::xml::Document doc;
  ASSERT_TRUE(doc.load(MapFilePath(state)));
  platform::xml::Node root = doc.documentElement();
  ASSERT_EQ(root.childCount(), 2u);
  EXPECT_EQ(root.child(0).getAttribute("id"), "42");
  EXPECT_EQ(root.child(0).child(3).text(), "4");
  EXPECT_EQ(root.child(0).child(6).text(), "Wednesday, June 03, 2009/13:05:07");
  EXPECT_EQ(root.child(1).getAttribute("id"), "7");
  EXPECT_NE(Log(state).find("Sucessfully Replaces the node in Mapxml \r\n"), std::string::npos);
}

TEST_F(MapStoreTest, WorkbookRecordByteForByte) {
  AddinState state(kSheetParameters);
  SignIn(state);
  const std::string path = "C:\\Users\\tavo\\Documents\\tavo\\tavosheet\\users\\ann\\Budget1.xls";
  WorkbookMapRecord budget{"wb-9", "Budget", "2009-05-01 10:00", "2009-06-01 09:30", "17", path};
  ASSERT_TRUE(AppendWorkbookIntoMapXml(state, budget));
  EXPECT_EQ(Map(state), "<mapxml><workbook id=\"wb-9\" filename=\"" + path +
                            "\"><book_id>wb-9</book_id><book_name>Budget</book_name><updatelock>17</updatelock>"
                            "<created_time>2009-05-01 10:00</created_time>"
                            "<modified_time>2009-06-01 09:30</modified_time><extension>.xls</extension>"
                            "<localtime>Tuesday, June 02, 2009/13:05:07</localtime>"
                            "<password>cwBlAGMAcgBlAHQAAA==</password></workbook></mapxml>");

  // The spreadsheet's own spelling of the file name reaches the same file.
  EXPECT_TRUE(platform::files::FileExists(state.gUserDataFolder + "maptavoExcel.xml"));

  budget.updateLock = "18";
  budget.path = path.substr(0, path.size() - 4) + "2.xls";
  ASSERT_TRUE(UpdateMapXml(state, WorkbookMapRecord{"wb-1", "Other", "", "", "1", "C:\\o.xls"}));
  ASSERT_TRUE(UpdateMapXml(state, budget));
  platform::xml::Document doc;
  ASSERT_TRUE(doc.load(MapFilePath(state)));
  platform::xml::Node root = doc.documentElement();
  ASSERT_EQ(root.childCount(), 2u);
  EXPECT_EQ(root.child(0).attribute(1), budget.path);
  EXPECT_EQ(root.child(0).child(2).text(), "18");
  EXPECT_EQ(root.child(0).child(1).text(), "Budget");
}

TEST_F(MapStoreTest, IdsWithQuotesSelectLikeAnyOther) {
  AddinState state(kSheetParameters);
  SignIn(state);
  WorkbookMapRecord quoted{"Bob's \"book\"", "Bob's", "", "", "1", "C:\\b.xls"};
  ASSERT_TRUE(UpdateMapXml(state, quoted));
  quoted.updateLock = "2";
  ASSERT_TRUE(UpdateMapXml(state, quoted));
  platform::xml::Document doc;
  ASSERT_TRUE(doc.load(MapFilePath(state)));
  ASSERT_EQ(doc.documentElement().childCount(), 1u);
  EXPECT_EQ(doc.documentElement().child(0).child(2).text(), "2");
}

TEST_F(MapStoreTest, ReplacingAnUnknownIdFails) {
  AddinState state(kWriterParameters);
  SignIn(state);
  ASSERT_TRUE(AppendIntoMapXml(state, kBudget));
  const std::string before = Map(state);
  DocumentMapRecord unknown = kBudget;
  unknown.id = "99";
  EXPECT_FALSE(ReplaceNodeInMapXml(state, unknown));
  EXPECT_EQ(Map(state), before);
  EXPECT_NE(Log(state).find("] -- [Error] -- Error While Replacing a Node in Mapxml | "), std::string::npos);
}

TEST_F(MapStoreTest, MapThatCannotBeSavedFailsTheUpdate) {
  AddinState state(kWriterParameters);
  SignIn(state);
  state.gUserDataFolder = "C:\\Users\\tavo\\missing\\";
  state.gLogFile = "C:\\Users\\tavo\\AppData\\Roaming\\tavo\\tavowriter\\users\\ann\\tavowriter.log";
  EXPECT_FALSE(UpdateMapXml(state, kBudget));
  const std::string log = Log(state);
  EXPECT_NE(log.find("] -- [Error] -- Error While Appending into Mapxml | "), std::string::npos);
  EXPECT_NE(log.find("] -- [Error] -- Error While updating Mapxml | "), std::string::npos);
}

TEST_F(MapStoreTest, DamagedMapIsKeptBesideTheNewOne) {
  for (const AddinParameterSet* params : {&kWriterParameters, &kSheetParameters}) {
    AddinState state(*params);
    SignIn(state);
    const std::string damaged = "<mapxml><document id=\"1\"><document_id>1</document_";
    platform::files::WriteAllBytes(MapFilePath(state), damaged);
    const std::string backup = MapFilePath(state) + ".damaged-20090602130507";

    if (params == &kWriterParameters) {
      ASSERT_TRUE(UpdateMapXml(state, kBudget));
      EXPECT_EQ(Map(state), "<mapxml>" + kBudgetRecord + "</mapxml>");
    } else {
      InitUserFiles(state, "ann");  // signing in again finds the damage too
      EXPECT_EQ(Map(state), "<mapxml></mapxml>");
    }
    EXPECT_EQ(Read(backup), damaged);
    EXPECT_NE(Log(state).find("] -- [Error] -- Mapxml was not well-formed; it was kept as " + backup), std::string::npos);

    // A second damage in the same second does not overwrite the first backup.
    platform::files::WriteAllBytes(MapFilePath(state), "<mapxml>");
    EnsureMapFile(state, MapFilePath(state));
    EXPECT_EQ(Read(backup), damaged);
    EXPECT_EQ(Read(backup + "-1"), "<mapxml>");
  }
}

}  // namespace
}  // namespace tavo
