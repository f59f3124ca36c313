// One keystroke in the search box of the document list, with 10,000 entries listed: the Word
// add-in's SearchDocuments and the Excel add-in's SearchWorkbooks, each reached as the user
// reaches it. The add-in library is loaded by the emulated host, signs in to the stand-in
// service (in this process, over loopback), fetches the list and shows it; then every timed
// iteration is one key press in the search box, whose change handler runs the add-in's search.
// The keys alternate between one letter that every name holds and the backspace that removes
// it, so each keystroke rebuilds the whole list (the most a keystroke can cost).
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <memory>
#include <string>

#include "common/dialogs/TestSupport.h"
#include "common/tests/AddinTestSupport.h"
#include "host/OfficeSession.h"
#include "platform/environment/Environment.h"
#include "platform/environment/TestSupport.h"
#include "platform/forms/Controls.h"
#include "platform/forms/Form.h"
#include "platform/forms/ListBox.h"
#include "platform/forms/Operator.h"
#include "platform/forms/PageSource.h"
#include "platform/forms/UserActions.h"
#include "platform/forms/WebBrowser.h"
#include "platform/http/Http.h"
#include "platform/registry/Registry.h"
#include "service/Seed.h"
#include "service/Server.h"

namespace {

namespace forms = platform::forms;

constexpr int kEntries = 10000;
constexpr const char* kUser = "ann@tavo.example";
constexpr const char* kPassword = "Secret-1";
// Every name holds the letter typed.
constexpr char kKey = 'r';

std::string EntryName(int i) {
  char name[32];
  std::snprintf(name, sizeof name, "Quarterly report %05d", i);
  return name;
}

// What differs between the two add-ins here.
struct AddinUnderTest {
  host::HostKind kind;
  const char* library;
  const char* settingsKey;
  const char* otherStatus;  // the other add-in's status value: its sign-in is adopted at start
  const char* homePage;     // the page the sign-in loads first
  const char* openCaption;  // the command that shows the list
};

const AddinUnderTest kWriter{host::HostKind::Word, TAVO_WRITER_LIBRARY, "Software\\tavo\\tavo writer Word Plugin\\reg",
                             "excelstatus", "http://www.tavo.example/", "&Open Document"};
const AddinUnderTest kSheet{host::HostKind::Excel, TAVO_SHEET_LIBRARY, "Software\\tavo\\tavo sheet Excel Plugin\\reg",
                            "wordstatus", "http://sheet.tavo.example/", "&Open Tavo Sheet"};

// The user: in the document list, presses the keys of the benchmark's iterations, then closes
// the list with Cancel; answers any message box with OK.
class Typist final : public forms::Operator {
 public:
  explicit Typist(benchmark::State& state) : state_(state), scoped_(*this) {}

  void Act(forms::Form& form) override {
    if (form.Name() != "frmDocList" || done_)
      throw forms::OperatorError("unexpected form " + form.Name() + " in the search benchmark");
    auto& box = tavo::test::ControlOf<forms::TextBox>(form, "searchtxt");
    auto& list = tavo::test::ControlOf<forms::ListBox>(form, "listdoc");
    listed = list.ListCount();
    bool typed = false;
    for (auto _ : state_) {
      forms::user::Key(box, typed ? 8 : kKey);
      typed = !typed;
    }
    // Whatever the last key was, the whole list is shown again, in the service's order.
    shown = list.ListCount();
    last = shown > 0 ? list.List(shown - 1) : std::string();
    done_ = true;
    forms::user::Click(*form.FindControl("Cancel"));
  }
  int MessageBox(const forms::MessageBoxRequest& box) override {
    message = box.prompt;
    return forms::kOK;
  }

  int listed = -1, shown = -1;
  std::string last, message;

 private:
  benchmark::State& state_;
  forms::ScopedOperator scoped_;
  bool done_ = false;
};

void BM_Search(benchmark::State& state, const AddinUnderTest& addin) {
  platform::environment::TempEnvironment env;
  platform::registry::SetLocalMachineWritable(true);
  if (host::RegisterLibrary(addin.library) != 0) return state.SkipWithError("the add-in did not register");
  tavo::service::ServerOptions options;
  options.caOut = platform::environment::HostPath(platform::http::kCaFile);
  tavo::service::Server server(options);
  server.Start();
  server.WriteHostsFile(platform::environment::HostPath(platform::http::kHostsFile));
  server.AddAccount(kUser, kPassword);
  for (int i = 0; i < kEntries; ++i) {
    if (addin.kind == host::HostKind::Word)
      server.AddDocument(kUser, EntryName(i), "<html><body>x</body></html>");
    else
      server.AddWorkbook(kUser, EntryName(i), tavo::service::WorkbookFile({{"Sheet1", {{"A1", "1"}}}}));
  }
  tavo::test::SignedInElsewhere(addin.otherStatus, kUser, kPassword, server.SignIn(kUser));
  tavo::test::AddinSettings(addin.settingsKey).RememberCredentials(kUser, kPassword, false);
  forms::ScriptedPages pages;
  pages.Add(addin.homePage, {forms::kReadyStateComplete}, "<html><body>Tavo</body></html>");

  Typist user(state);
  {
    host::OfficeSession office(addin.kind);
    if (office.Start() != 1) return state.SkipWithError("the host did not load the add-in");
    office.Click(addin.openCaption);
    office.Quit(true);
  }
  server.Stop();
  if (!user.message.empty()) return state.SkipWithError(("the add-in said: " + user.message).c_str());
  if (user.listed != kEntries || user.shown != kEntries || user.last != EntryName(kEntries - 1))
    return state.SkipWithError(("the list showed " + std::to_string(user.listed) + " entries, then " +
                                std::to_string(user.shown) + " ending in \"" + user.last + "\"")
                                   .c_str());
  state.counters["entries"] = kEntries;
}

BENCHMARK_CAPTURE(BM_Search, documents, kWriter)->Name("BM_SearchDocuments")->Unit(benchmark::kMillisecond)->Iterations(40);
BENCHMARK_CAPTURE(BM_Search, workbooks, kSheet)->Name("BM_SearchWorkbooks")->Unit(benchmark::kMillisecond)->Iterations(40);

}  // namespace
