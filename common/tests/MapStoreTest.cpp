#include "common/MapStore.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "common/AddinState.h"
#include "common/UserFiles.h"
#include "common/tests/TestEnvironment.h"
#include "platform/core/RuntimeError.h"
#include "platform/core/Text.h"
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

// The flows read a record's fields by name: each name reads the child the store writes for it,
// and the selections the flows use find the records written.
TEST_F(MapStoreTest, NamedFieldsReadWhatTheStoreWrote) {
  AddinState writer(kWriterParameters);
  SignIn(writer);
  ASSERT_TRUE(UpdateMapXml(writer, kBudget));
  EXPECT_EQ(MapFilePath(writer, " ann "), MapFilePath(writer));
  const MapFile documents(MapFilePath(writer));
  ASSERT_TRUE(documents.Loaded());
  const MapRecord document = documents.Select(DocumentRecordByFilename("Budget_plan"));
  ASSERT_TRUE(document);
  EXPECT_EQ(documents.Select(DocumentRecordById("42")).Markup(), document.Markup());

  AddinState sheet(kSheetParameters);
  SignIn(sheet);
  const WorkbookMapRecord book{"wb-9", "Budget", "2009-05-01 10:00", "2009-06-01 09:30", "17", "C:\\b.xls"};
  ASSERT_TRUE(UpdateMapXml(sheet, book));
  const MapFile workbooks(MapFilePath(sheet));
  const MapRecord workbook = workbooks.Select(WorkbookRecordById("wb-9"));
  ASSERT_TRUE(workbook);
  ASSERT_EQ(workbooks.Records().size(), 1u);

  const std::string time = "Tuesday, June 02, 2009/13:05:07";
  const struct {
    std::string field, read, written;
  } cases[] = {
      {"document id", document.Id(), kBudget.id},
      {"document name", document.Name(), kBudget.name},
      {"name url", document.NameUrl(), kBudget.nameUrl},
      {"version", document.Version(), kBudget.version},
      {"location", document.Location(), kBudget.location},
      {"document extension", document.Extension(), ".doc"},
      {"document localtime", document.LocalTime(), time},
      {"document password", document.StoredPassword(), "cwBlAGMAcgBlAHQAAA=="},
      {"document filename", document.Filename(), kBudget.nameUrl},
      {"book id", workbook.Id(), book.id},
      {"book name", workbook.Name(), book.name},
      {"updatelock", workbook.UpdateLock(), book.updateLock},
      {"created time", workbook.CreatedTime(), book.createdTime},
      {"modified time", workbook.ModifiedTime(), book.modifiedTime},
      {"book extension", workbook.Extension(), ".xls"},
      {"book localtime", workbook.LocalTime(), time},
      {"book password", workbook.StoredPassword(), "cwBlAGMAcgBlAHQAAA=="},
      {"book filename", workbook.Filename(), book.path},
      {"book second attribute", workbook.SecondAttribute(), book.path},
  };
  for (const auto& c : cases) EXPECT_EQ(c.read, c.written) << c.field;

  // A record too short to hold a field raises, as reading an unset object does.
  platform::files::WriteAllBytes(MapFilePath(sheet), "<mapxml><workbook id=\"1\"><book_id>1</book_id></workbook></mapxml>");
  const MapFile shortMap(MapFilePath(sheet));
  EXPECT_THROW(shortMap.Records().at(0).StoredPassword(), platform::RuntimeError);
  EXPECT_THROW(shortMap.Records().at(0).SecondAttribute(), platform::RuntimeError);
  // No map loaded: nothing is selected, and there are no records to walk.
  const MapFile none(MapFilePath(sheet) + ".missing");
  EXPECT_FALSE(none.Loaded());
  EXPECT_FALSE(none.Select(WorkbookRecordById("1")));
  EXPECT_THROW(none.Records(), platform::RuntimeError);
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

// The store keeps the tree it saved last and reuses it while the file is unchanged; every
// sequence must leave the file as a store that parses the file each time (a fresh state) would.
TEST_F(MapStoreTest, KeptMapGivesTheSameFileAsParsingIt) {
  const DocumentMapRecord blankName{"8", "  ", "Blank", "1", "C:\\x\\Blank.doc"};
  const DocumentMapRecord other{"9", "Other", "Other", "1", "C:\\x\\Other.doc"};
  struct Case {
    const char* name;
    std::function<void(AddinState&)> between;  // what happens between the two updates
  };
  const Case cases[] = {
      {"nothing", [](AddinState&) {}},
      {"another writer", [&](AddinState& state) {
         AddinState writer(kWriterParameters);
         writer.gUserDataFolder = state.gUserDataFolder;
         ASSERT_TRUE(AppendIntoMapXml(writer, other));
       }},
      {"same bytes rewritten", [&](AddinState& state) { platform::files::WriteAllBytes(MapFilePath(state), Map(state)); }},
  };
  for (const Case& c : cases) {
    for (const DocumentMapRecord& first : {kBudget, blankName}) {
      std::string expected;
      for (bool keep : {false, true}) {
        AddinState state(kWriterParameters);
        SignIn(state);
        auto fresh = [&]() -> AddinState& {
          if (!keep) state.savedMap.reset();
          return state;
        };
        ASSERT_TRUE(UpdateMapXml(fresh(), first));
        c.between(state);
        DocumentMapRecord second = first;
        second.version = "7";
        ASSERT_TRUE(UpdateMapXml(fresh(), second));
        ASSERT_TRUE(UpdateMapXml(fresh(), DocumentMapRecord{"10", "Last", "Last", "1", "C:\\x\\Last.doc"}));
        if (!keep) expected = Map(state);
        else EXPECT_EQ(Map(state), expected) << c.name << " / " << first.name;
      }
    }
  }
}

class LocalCopyRecordsTest : public MapStoreTest, public ::testing::WithParamInterface<const AddinParameterSet*> {
 protected:
  bool IsWriter() const { return GetParam() == &kWriterParameters; }
  // Records 0 to 5 with the local copies C:\Docs\<n>.doc (or .xls).
  std::vector<std::string> Fill(AddinState& state) {
    std::vector<std::string> paths;
    for (int n = 0; n < 6; ++n) {
      const std::string id = std::to_string(n), path = "C:\\Docs\\R&D " + id + (IsWriter() ? ".doc" : ".xls");
      paths.push_back(path);
      const bool stored = IsWriter() ? AppendIntoMapXml(state, DocumentMapRecord{id, id, id, "1", path})
                                     : AppendWorkbookIntoMapXml(state, WorkbookMapRecord{id, id, "", "", "1", path});
      EXPECT_TRUE(stored);
    }
    return paths;
  }
  LocalCopyKey Key() const { return IsWriter() ? LocalCopyKey::LocationChild : LocalCopyKey::FilenameAttribute; }
  std::string Ids(AddinState& state) {
    platform::xml::Document doc;
    EXPECT_TRUE(doc.load(MapFilePath(state)));
    std::string ids;
    for (const platform::xml::Node& record : doc.documentElement().childNodes()) ids += record.getAttribute("id");
    return ids;
  }
};

TEST_P(LocalCopyRecordsTest, RemovesTheRecordsOfTheCopiesInOneWalk) {
  AddinState state(*GetParam());
  SignIn(state);
  std::vector<std::string> paths = Fill(state);
  // Neighbours 1 and 2, a path that differs in case only (4), one that is not in the map; the
  // paths hold "&", which the location's markup escapes.
  const std::vector<std::string> copies = {paths[2], paths[1], platform::text::UCase(paths[4]), "C:\\Docs\\gone.doc"};
  EXPECT_EQ(RemoveLocalCopyRecords(state, MapFilePath(state), copies, Key()), 3u);
  EXPECT_EQ(Ids(state), "035");

  const std::string before = Map(state);
  EXPECT_EQ(RemoveLocalCopyRecords(state, MapFilePath(state), copies, Key()), 0u);
  EXPECT_EQ(Map(state), before);
  // The store's kept tree followed the removal: an update now writes on top of it.
  ASSERT_TRUE(IsWriter() ? UpdateMapXml(state, DocumentMapRecord{"6", "6", "6", "1", "C:\\6.doc"})
                         : UpdateMapXml(state, WorkbookMapRecord{"6", "6", "", "", "1", "C:\\6.xls"}));
  EXPECT_EQ(Ids(state), "0356");
}

TEST_P(LocalCopyRecordsTest, AnErrorKeepsWhatWasRemovedBeforeIt) {
  AddinState state(*GetParam());
  SignIn(state);
  std::vector<std::string> paths = Fill(state);
  // Record 3 loses what its key is read from.
  std::string map = Map(state);
  const std::string start = IsWriter() ? "<document id=\"3\"" : "<workbook id=\"3\"";
  const std::size_t at = map.find(start), end = map.find(IsWriter() ? "</document>" : "</workbook>", at);
  map.replace(at, end - at, start + ">");
  platform::files::WriteAllBytes(MapFilePath(state), map);

  EXPECT_EQ(test::RaisedNumber([&] { RemoveLocalCopyRecords(state, MapFilePath(state), paths, Key()); }),
            platform::err::ObjectNotSet);
  EXPECT_EQ(Ids(state), "345");

  platform::files::DeleteFile(MapFilePath(state));
  EXPECT_EQ(test::RaisedNumber([&] { RemoveLocalCopyRecords(state, MapFilePath(state), paths, Key()); }),
            platform::err::ObjectNotSet);
}

// After a download or an add has written a copy, the map holds one record of that file: that of
// the copy's id (the first, a later one with the same id goes too). Other records go when they
// name the file by any spelling of its path, or, in the word processor, by the filename the save
// finds the copy by; records of other files stay.
TEST_P(LocalCopyRecordsTest, OnlyTheCopysOwnRecordNamesItsFile) {
  AddinState state(*GetParam());
  SignIn(state);
  const std::string ext = IsWriter() ? ".doc" : ".xls";
  const std::string folder = "C:\\Docs\\";
  struct Entry {
    std::string id, nameUrl, path;
  };
  const Entry entries[] = {
      {"1", "Plan", "C:\\DOCS\\\\Plan" + ext},         // the same file, spelled otherwise
      {"2", "Notes", folder + "Notes" + ext},          // another file
      {"3", "Plan", folder + "Old\\Plan" + ext},       // the same filename, another path
      {"4", "Plan", folder + "Plan" + ext},            // the copy
      {"5", "Other", folder + "sub\\..\\Plan" + ext},  // the same file, spelled otherwise
      {"4", "Plan", folder + "Plan" + ext},            // the copy's id again
  };
  auto store = [&](const Entry& e) {
    return IsWriter() ? AppendIntoMapXml(state, DocumentMapRecord{e.id, e.id, e.nameUrl, "1", e.path})
                      : AppendWorkbookIntoMapXml(state, WorkbookMapRecord{e.id, e.id, "", "", "1", e.path});
  };
  auto removeOthers = [&](const Entry& e) {
    return IsWriter() ? RemoveOtherRecordsOfCopy(state, DocumentMapRecord{e.id, e.id, e.nameUrl, "1", e.path})
                      : RemoveOtherRecordsOfCopy(state, WorkbookMapRecord{e.id, e.id, "", "", "1", e.path});
  };
  for (const Entry& e : entries) ASSERT_TRUE(store(e));
  EXPECT_EQ(removeOthers(entries[3]), IsWriter() ? 4u : 3u);
  EXPECT_EQ(Ids(state), IsWriter() ? "24" : "234");
  EXPECT_NE(Log(state).find("[Info] -- Removed the map record of 1, which named the file of 4 too: " + entries[3].path),
            std::string::npos);

  // Nothing else names it now: the map stays as it is.
  const std::string before = Map(state);
  EXPECT_EQ(removeOthers(entries[3]), 0u);
  EXPECT_EQ(Map(state), before);
}

INSTANTIATE_TEST_SUITE_P(BothAddins, LocalCopyRecordsTest, ::testing::Values(&kWriterParameters, &kSheetParameters),
                         test::AddinName);

}  // namespace
}  // namespace tavo
