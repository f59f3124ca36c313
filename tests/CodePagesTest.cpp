// Chinese and Japanese users: Windows on a double-byte system code page (936, 932) and the
// add-ins' interface in their language, beside the same flows on Windows-1252 in English. Names
// and texts in the user's script go through Excel's list, search, open and add, and through
// Word's open, save and add, as the user wrote them. tavo-office processes on one environment
// root against the stand-in service.
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "common/RegistryStrings.h"
#include "platform/codepage/CodePage.h"
#include "platform/files/Files.h"
#include "platform/html/HtmlDocument.h"
#include "platform/registry/Registry.h"
#include "platform/xml/XmlDocument.h"
#include "service/Seed.h"
#include "tests/EndToEnd.h"

namespace tavo::test {
namespace {

using std::string;
namespace reg = platform::registry;

const string kSheetDocs = string("C:\\Users\\tavo\\Documents\\tavo\\tavosheet\\users\\") + kUser + "\\";
const string kSheetMap =
    string("C:\\Users\\tavo\\AppData\\Roaming\\tavo\\tavosheet\\users\\") + kUser + "\\maptavoexcel.xml";

// A system code page, the interface language its users choose, the captions they click, and the
// names and texts they write.
struct Setting {
  std::uint32_t system;
  const char* language;
  const char* login;     // the same in both add-ins
  const char* sheetAdd;
  const char* writerOpen;
  const char* writerSave;
  const char* writerAdd;
  const char* workbook;  // online before Excel starts
  const char* search;    // a part of it
  const char* added;     // a workbook the user adds
  // Texts of online documents, each opened, saved and read back as it is.
  std::vector<string> texts;
};

const Setting kSettings[] = {
    {936, "chi_ch", "登录(&L)", "添加到 Tavo Sheet(&A)", "打开文档(&O)", "保存到 Tavo Writer(&S)", "添加到 Tavo Writer(&A)",
     "销售表", "销售", "计划表",
     // "说谁" in GBK is CB B5 CB AD, which is valid UTF-8 as well.
     {"说谁", "价格 ¥1000 — 2000"}},
    {932, "jap_ja", "ログイン(&L)", "Tavo Sheet に追加(&A)", "文書を開く(&O)", "Tavo Writer に保存(&S)", "Tavo Writer に追加(&A)",
     "売上表", "売上", "計画表",
     // Characters 932 writes as look-alikes (¥ as "\", 〜 as ～, − as －, ...), and half-width
     // katakana whose bytes are valid UTF-8 as well ("ﾃｽ" is C3 BD).
     {"価格¥1000〜¥2000 − 税込", "‖ ¢ £ ¬ —", "ﾃｽ"}},
    {1252, "eng_us", "&Login", "&Add to Tavo Sheet", "&Open Document", "&Save in Tavo Writer", "&Add to Tavo Writer",
     "Müller Umsatz", "müller", "Übersicht", {"Müller — £5 ½"}},
};

void PrintTo(const Setting& setting, std::ostream* out) { *out << setting.system << " " << setting.language; }

string Name(const ::testing::TestParamInfo<Setting>& info) { return "CodePage" + std::to_string(info.param.system); }

string Workbook(const string& a1) { return service::WorkbookFile({{"Sheet1", {{"A1", a1}}}}); }

struct Record {
  string filename, name;
};
std::vector<Record> SheetRecords() {
  platform::xml::Document map;
  if (!map.load(kSheetMap)) return {};
  std::vector<Record> records;
  for (const auto& r : map.documentElement().childNodes())
    records.push_back({r.getAttribute("filename"), r.selectSingleNode("book_name").text()});
  return records;
}

// The text of a document's HTML as a reader of it sees it, without the line breaks between
// its paragraphs.
string TextOf(const string& html) {
  string text = platform::html::Document::FromText(html).body().innerText();
  std::erase(text, '\n');
  return text;
}

class CodePages : public EndToEndTest, public ::testing::WithParamInterface<Setting> {
 protected:
  void SetUp() override {
    EndToEndTest::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    platform::codepage::SetACP(GetParam().system);
    ASSERT_TRUE(reg::WriteSystemValue(reg::HKEY_LOCAL_MACHINE, kLanguageKey, "Language",
                                      reg::StringValue(GetParam().language)));
  }
  // The host started and signed in through its Login and the sign-in dialog.
  std::unique_ptr<HostProcess> SignedIn(const char* kind) {
    auto host = Start(kind);
    host->Send(string("click ") + GetParam().login);
    host->Send(string("type tavoemailid ") + kUser);
    host->Send(string("type tavopassword ") + kPassword);
    const string screen = host->Send("click Command1");
    EXPECT_TRUE(Has(screen, string(GetParam().login) + " (disabled)")) << screen;
    return host;
  }
};

}  // namespace

// The list shows the name as the service has it, the search finds it by a part of it, the
// download and its record take it, and a workbook added under a name of the script is listed
// under that name from then on.
TEST_P(CodePages, ExcelListsSearchesOpensAndAddsWorkbooksUnderTheirNames) {
  const Setting& s = GetParam();
  const string workbook = s.workbook;
  const string added = s.added;
  server_->AddWorkbook(kUser, workbook, Workbook("online"));
  server_->AddWorkbook(kUser, "Budget", Workbook("b"));
  reg::WriteValue(reg::HKEY_CURRENT_USER, "Software\\tavo\\tavo sheet Excel Plugin\\reg", "tavosavelocal",
                  reg::StringValue("1"));
  auto excel = SignedIn("excel");

  string screen = excel->Send("click Open from &Tavo");
  EXPECT_TRUE(Has(screen, "> 0  " + workbook + "\n")) << screen;
  screen = excel->Send(string("type searchtxt ") + s.search);
  EXPECT_TRUE(Has(screen, "1 entry")) << screen;
  EXPECT_TRUE(Has(screen, "> 0  " + workbook + "\n")) << screen;
  screen = excel->Send("click Command1");
  EXPECT_TRUE(Has(screen, workbook + ".xls (password)")) << screen;
  EXPECT_TRUE(platform::files::FileExists(kSheetDocs + workbook + ".xls"));

  excel->Send("new");
  excel->Send("cell A1 plan");
  excel->Send("saveas " + added + ".xls");
  screen = excel->Send(string("click ") + s.sheetAdd);
  bool addedOnline = false;
  for (const auto& book : server_->Workbooks()) addedOnline = addedOnline || book.name == added;
  EXPECT_TRUE(addedOnline) << screen;
  const std::vector<Record> records = SheetRecords();
  ASSERT_EQ(records.size(), 2u) << screen;
  EXPECT_EQ(records[0].name, workbook);
  EXPECT_EQ(records[0].filename, kSheetDocs + workbook + ".xls");
  EXPECT_EQ(records[1].name, added);
  EXPECT_EQ(records[1].filename, kSheetDocs + added + ".xls");

  screen = excel->Send("click Open from &Tavo");
  EXPECT_TRUE(Has(screen, "    2  " + added + "\n")) << screen;
  excel->Send("click Command2");
  EXPECT_EQ(excel->Quit(), 0) << excel->Output();
}

// Opened, a document shows the text the service holds, character for character, and Save sends
// that text back; a text typed with runs of blanks, added and opened again, keeps them.
TEST_P(CodePages, WordOpensSavesAndAddsTextsAsTheyWereWritten) {
  const Setting& s = GetParam();
  std::vector<string> ids;
  for (const string& text : s.texts)
    ids.push_back(server_->AddDocument(kUser, "Doc" + std::to_string(ids.size()), "<p>" + text + "</p>"));
  auto word = SignedIn("word");

  for (size_t i = 0; i < ids.size(); ++i) {
    SCOPED_TRACE(s.texts[i]);
    word->Send(string("click ") + s.writerOpen);
    word->Send("select listdoc " + std::to_string(i));
    string screen = word->Send("click Command1");
    EXPECT_TRUE(Has(screen, "Text: " + s.texts[i] + "\xc2\xb6\n")) << screen;
    word->Send("type !");
    screen = word->Send(string("click ") + s.writerSave);
    EXPECT_EQ(server_->FindDocument(ids[i])->version, 2) << screen;
    EXPECT_EQ(TextOf(server_->FindDocument(ids[i])->content), s.texts[i] + "!");
  }

  const string typed = "  two  blanks,\ta tab " + s.texts[0] + "  ";
  word->Send("new");
  word->Send("type " + typed + ".");
  word->Send("saveas Memo.doc");
  string screen = word->Send(string("click ") + s.writerAdd);
  ASSERT_EQ(server_->Documents().size(), ids.size() + 1) << screen;
  word->Send("close Memo.doc");
  word->Send(string("click ") + s.writerOpen);
  word->Send("select listdoc " + std::to_string(ids.size()));
  screen = word->Send("click Command1");
  ASSERT_TRUE(Has(screen, "[frmlocalversion]")) << screen;  // the add kept a local copy: download again
  screen = word->Send("click Command1");
  EXPECT_TRUE(Has(screen, "Text: " + typed + ".\xc2\xb6\n")) << screen;
  EXPECT_EQ(word->Quit(), 0) << word->Output();
}

INSTANTIATE_TEST_SUITE_P(, CodePages, ::testing::ValuesIn(kSettings), Name);

}  // namespace tavo::test
