// Two Word processes, or two Excel processes, on one environment root: one keeps no local copies,
// the other keeps them. A document the first opened for temporary use and the second then
// downloaded again to keep is the second's: when the first quits, the file stays, and so does its
// map record, whether the second still has it open or not.
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "platform/files/Files.h"
#include "platform/registry/Registry.h"
#include "platform/xml/XmlDocument.h"
#include "service/Seed.h"
#include "tests/EndToEnd.h"

namespace tavo::test {
namespace {

namespace reg = platform::registry;
using std::string;

const string kAppData = "C:\\Users\\tavo\\AppData\\Roaming\\tavo\\";
const string kDocuments = "C:\\Users\\tavo\\Documents\\tavo\\";

// One host kind: its settings key, its folder word, its map file and how a record names its file.
struct Kind {
  const char* host;
  const char* settingsKey;
  const char* folder;
  const char* mapFile;
  const char* extension;
  bool pathInAttribute;  // the spreadsheet's record names its file in "filename", Word's in <location>
};
constexpr Kind kWord{"word", "Software\\tavo\\tavo writer Word Plugin\\reg", "tavowriter", "maptavoword.xml", ".doc",
                     false};
constexpr Kind kExcel{"excel", "Software\\tavo\\tavo sheet Excel Plugin\\reg", "tavosheet", "maptavoexcel.xml", ".xls",
                      true};

// Which host kind, and whether the host that kept the copy still has it open when the other quits.
class TwoHostsTempCopies : public EndToEndTest, public ::testing::WithParamInterface<std::tuple<const Kind*, bool>> {
 protected:
  // A host of the kind, signed in through its Login, keeping local copies or not.
  std::unique_ptr<HostProcess> SignedIn(const Kind& kind, bool keepCopies) {
    reg::WriteValue(reg::HKEY_CURRENT_USER, kind.settingsKey, "tavosavelocal", reg::StringValue(keepCopies ? "1" : "0"));
    auto host = Start(kind.host);
    host->Send("click &Login");
    host->Send(string("type tavoemailid ") + kUser);
    host->Send(string("type tavopassword ") + kPassword);
    EXPECT_TRUE(Has(host->Send("click Command1"), "&Login (disabled)")) << host->Output();
    return host;
  }
  // Opens the list's only entry; Yes when asked whether to download it again.
  static void OpenTheListed(HostProcess& host, const Kind& kind) {
    host.Send(&kind == &kWord ? "click &Open Document" : "click &Open Tavo Sheet");
    string screen = host.Send("click Command1");
    if (Has(screen, "[frmlocalversion]")) screen = host.Send("click Command1");
    EXPECT_FALSE(Has(screen, "[frm")) << screen;
  }

  static string File(const Kind& kind, const string& name) {
    return kDocuments + kind.folder + "\\users\\" + kUser + "\\" + name + kind.extension;
  }
  // The files the map's records name.
  static std::vector<string> Recorded(const Kind& kind) {
    platform::xml::Document map;
    if (!map.load(kAppData + kind.folder + "\\users\\" + kUser + "\\" + kind.mapFile)) return {};
    std::vector<string> files;
    for (const auto& record : map.documentElement().childNodes())
      files.push_back(kind.pathInAttribute ? record.getAttribute("filename") : record.selectSingleNode("location").text());
    return files;
  }
};

}  // namespace

TEST_P(TwoHostsTempCopies, QuitLeavesACopyTheOtherHostKept) {
  const Kind& kind = *std::get<0>(GetParam());
  const bool otherKeepsItOpen = std::get<1>(GetParam());
  const string name = "Plan";
  if (&kind == &kWord) server_->AddDocument(kUser, name, "<p>online</p>");
  else server_->AddWorkbook(kUser, name, service::WorkbookFile({{"Sheet1", {{"A1", "online"}}}}));
  auto temporary = SignedIn(kind, /*keepCopies=*/false);
  OpenTheListed(*temporary, kind);
  temporary->Send("close " + name + kind.extension);
  auto keeping = SignedIn(kind, /*keepCopies=*/true);
  OpenTheListed(*keeping, kind);
  if (!otherKeepsItOpen) keeping->Send("close " + name + kind.extension);
  ASSERT_EQ(Recorded(kind), std::vector<string>{File(kind, name)});

  EXPECT_EQ(temporary->Quit(), 0) << temporary->Output();
  EXPECT_TRUE(platform::files::FileExists(File(kind, name)));
  EXPECT_EQ(Recorded(kind), std::vector<string>{File(kind, name)});
  EXPECT_EQ(keeping->Quit(), 0) << keeping->Output();
  EXPECT_TRUE(platform::files::FileExists(File(kind, name)));
  EXPECT_EQ(Recorded(kind), std::vector<string>{File(kind, name)});
}

INSTANTIATE_TEST_SUITE_P(WordAndExcel, TwoHostsTempCopies,
                         ::testing::Combine(::testing::Values(&kWord, &kExcel), ::testing::Bool()),
                         [](const auto& param) {
                           return string(std::get<0>(param.param)->host) +
                                  (std::get<1>(param.param) ? "_OtherHasItOpen" : "_OtherClosedIt");
                         });

}  // namespace tavo::test
