#include "tests/soak/Day.h"

#include <signal.h>
#include <stdlib.h>

#include <fstream>
#include <iterator>
#include <sstream>

#include "common/AddinParameterSet.h"
#include "common/StoredSecret.h"
#include "platform/core/Text.h"
#include "platform/registry/Registry.h"
#include "service/Admin.h"
#include "service/Seed.h"

namespace tavo::test::soak {
namespace fs = std::filesystem;
namespace reg = platform::registry;
using std::string;

namespace {

// The sign-in's own waits (3.2 s of the host's time) take 64 ms.
constexpr int kFastClock = 50;
// A call that gets no answer fails after this long: long enough for a loaded machine, short
// enough for a day with a few of them.
constexpr const char* kHttpTimeoutMs = "5000";
constexpr size_t kTranscript = 40;   // commands kept for the report
constexpr size_t kScreensShown = 5;  // of which the last ones with their screens

string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// What a host printed that only a command the host could not carry out prints.
string ErrorLine(const string& printed) {
  std::istringstream lines(printed);
  for (string line; std::getline(lines, line);)
    if (line.starts_with("Run-time error ") || line.starts_with("Error: ") || line.starts_with("Unknown command"))
      return line;
  return {};
}

}  // namespace

string Host::Name() const { return string(word() ? "Word " : "Excel ") + std::to_string(number); }

void DayOfWork::SetUp() {
  ::setenv("TAVO_HTTP_TIMEOUT_MS", kHttpTimeoutMs, 1);
  EndToEndTest::SetUp();
  if (IsSkipped() || HasFatalFailure()) return;
  if (const char* verbose = std::getenv("TAVO_SOAK_VERBOSE")) verbose_ = std::atoi(verbose);
  // The accounts service over plain HTTP: a day signs in many times, and the sign-in over TLS
  // has tests of its own.
  for (const AddinParameterSet* addin : {&kWriterParameters, &kSheetParameters})
    reg::WriteValue(reg::HKEY_CURRENT_USER, addin->pluginSettingsKey, "tavoaccountsurl",
                    reg::StringValue("http://accounts.tavo.example/"));

  // Two accounts with items of the same names: the second one comes through the admin endpoint,
  // as a person trying things by hand adds one.
  accounts_ = {{"ann@tavo.example", "Secret-1"}, {"ben@tavo.example", "Other-2"}};
  server_->AddAccount(accounts_[0].email, accounts_[0].password);
  service::Call call;
  call.method = "POST";
  call.path = "/_admin/account";
  call.params = {{"email", accounts_[1].email}, {"password", accounts_[1].password}};
  ASSERT_EQ(service::AdminCall(*server_, call).status, 200);
  for (const Account& a : accounts_) {
    server_->AddDocument(a.email, "Welcome", "<html><body><h1>Welcome</h1><p>Start here.</p></body></html>", 2);
    server_->AddDocument(a.email, "Trip report", "<html><body><h1>Trip report</h1><p>We went.</p></body></html>", 1);
    server_->AddDocument(a.email, "Plan: next?", "<html><body><h1>Plan</h1><p>To do.</p></body></html>", 1);
    server_->AddWorkbook(a.email, "Budget", service::WorkbookFile({{"Sheet1", {{"A1", "Item"}, {"B1", "Amount"}}}}));
    server_->AddWorkbook(a.email, "Sales", service::WorkbookFile({{"Sheet1", {{"A1", "Month"}}}}));
  }
}

void DayOfWork::TearDown() {
  hosts_.clear();
  // TAVO_SOAK_KEEP=DIR keeps the environment of a broken day (files, maps, logs) for a look.
  if (const char* keep = std::getenv("TAVO_SOAK_KEEP"); keep && Failed() && !root_.empty()) {
    std::error_code ec;
    fs::create_directories(keep, ec);
    fs::copy(root_, fs::path(keep) / ("seed" + std::to_string(seed_)), fs::copy_options::recursive, ec);
  }
  EndToEndTest::TearDown();
  ::unsetenv("TAVO_HTTP_TIMEOUT_MS");
}

string DayOfWork::Win(const string& path) const { return platform::environment::HostPath(path).string(); }

std::optional<Stamp> DayOfWork::StampAt(const string& path) const {
  if (path.find(":\\") == string::npos) return std::nullopt;
  return StampOf(Win(path));
}

void DayOfWork::Run(unsigned seed, int steps) {
  seed_ = seed;
  steps_ = steps;
  random_.seed(seed);
  flagTrusted_ = {{"word", true}, {"excel", true}};
  StartHost("word");
  StartHost("excel");
  after_ = FindHomes(*server_, root_);
  RememberItems();
  std::map<string, int> done;
  for (step_ = 1; !Stopped() && (done["word"] < steps || done["excel"] < steps); ++step_) {
    before_ = after_;
    excused_.clear();
    overwriteOnline_.clear();
    overwriteFolders_.clear();
    seen_.clear();
    actor_ = nullptr;
    command_.clear();
    claimedItem_.clear();
    createdItem_.clear();
    sentFrom_.clear();
    listsAnswered_ = 0;
    picturesLeftOut_ = false;
    addAsked_.clear();
    hostErrorsAllowed_ = false;
    server_->ClearRequests();
    if (Chance(0.12)) {
      ++tally_.world;
      WorldStep();
    } else {
      std::vector<string> kinds;
      for (const string kind : {"word", "excel"})
        if (done[kind] < steps) kinds.push_back(kind);
      const string kind = Choose(kinds);
      std::vector<Host*> running = HostsOf(kind);
      Host& host = running.empty() ? StartHost(kind) : *Choose(running);
      std::map<string, std::optional<Stamp>> files;
      for (const OpenFile& f : host.screen.files) files[f.path] = StampAt(f.path);
      if (!Stopped()) UserStep(host);
      ++done[kind];
      if (!Stopped()) CheckStep();
      if (!Stopped() && actor_) FollowFiles(files);
      continue;
    }
    if (!Stopped()) CheckStep();
  }
  // The end of the day: every host quits in order, then nothing may be left behind.
  if (!Stopped()) {
    before_ = after_;
    excused_.clear();
    stepWhat_ = "the end of the day: every host quits";
    while (!hosts_.empty() && !Stopped()) Quit(*hosts_.back());
    if (!Stopped()) CheckStep();
  }
  if (Failed()) ADD_FAILURE() << Report();
  size_t picturesKept = 0;
  for (const string& p : pictures_) picturesKept += after_.of.count(p);
  std::printf(
      "seed %u: %d steps, %d of them the world's; %d edits (%zu pictures, %zu kept), %zu of them kept at the end, "
      "%d given up by a step; %d messages of success checked, %d items added; %d processes\n",
      seed_, step_ - 1, tally_.world, markers_, pictures_.size(), picturesKept, after_.of.size(), tally_.givenUp,
      tally_.claims, tally_.added, started_["word"] + started_["excel"]);
}

Host& DayOfWork::StartHost(const string& kind) {
  auto host = std::make_unique<Host>();
  host->kind = kind;
  host->number = ++started_[kind];
  host->process = Start(kind.c_str(), kFastClock);
  Host& h = *host;
  hosts_.push_back(std::move(host));
  if (HostsOf(kind).size() > 1) flagTrusted_[kind] = false;
  const AddinParameterSet& addin = kind == "word" ? kWriterParameters : kSheetParameters;
  reg::Value keep;
  h.keepLocal = reg::ReadValue(reg::HKEY_CURRENT_USER, addin.pluginSettingsKey, "tavosavelocal", &keep) &&
                keep.bytes.substr(0, keep.bytes.find('\0')) == "1";
  Note("(" + h.Name() + " starts)");
  Send(h, "screen");
  // A host that starts beside a signed-in one of the other kind takes over its sign-in.
  if (h.screen.SignedIn()) h.account = DecodeStoredSecret(Shared("tavousername"));
  return h;
}

const HostScreen& DayOfWork::Send(Host& host, const string& line) {
  const string printed = host.quitting ? host.process->SendMayEnd(line) : host.process->Send(line);
  transcript_.push_back("[" + host.Name() + "] " + printed);
  while (transcript_.size() > kTranscript) transcript_.pop_front();
  if (verbose_)
    std::printf("[%s] %s", host.Name().c_str(),
                verbose_ > 1 ? printed.c_str() : printed.substr(0, printed.find('\n') + 1).c_str());
  if (host.quitting && host.process->Ended()) return host.screen;
  host.screen = ParseScreen(printed);
  if (host.process->Ended()) {
    Fail(host.Name() + " ended on \"" + line + "\" (exit status " + std::to_string(host.process->End()) + ")");
  } else if (HasFailure()) {
    Fail(host.Name() + " did not finish \"" + line + "\" within a minute");
  } else if (const string error = ErrorLine(printed); !error.empty()) {
    // A failed command sets the host's exit status.
    host.failedCommands = true;
    if (!hostErrorsAllowed_) Fail(host.Name() + " could not carry out \"" + line + "\": " + error);
  } else if (!host.screen.parsed) {
    Fail(host.Name() + " printed no screen after \"" + line + "\"");
  }
  if (!Stopped()) SyncFiles(host);
  return host.screen;
}

void DayOfWork::SyncFiles(Host& host) {
  std::map<string, std::set<string>> now;
  for (const OpenFile& file : host.screen.files) {
    const auto known = host.markers.find(file.path);
    const bool onDisk = file.path.find(":\\") != string::npos && fs::is_regular_file(Win(file.path));
    if (!file.modified && onDisk)
      now[file.path] = FileMarkers(*server_, ReadFile(Win(file.path)));
    else if (known != host.markers.end())
      now[file.path] = known->second;
    else
      now[file.path] = {};
  }
  host.markers = std::move(now);
  std::erase_if(host.links, [&](const auto& link) { return !host.markers.count(link.first); });
}

void DayOfWork::Settle(Host& host, const Intent& intent) {
  for (int answered = 0; !Stopped(); ++answered) {
    const ScreenDialog* dialog = host.screen.Modal();
    if (!dialog) return;
    if (answered == 40) return Fail(host.Name() + " kept asking: " + dialog->name + " after 40 answers");
    const ScreenDialog shown = *dialog;  // the next Send replaces the screen
    Answer(host, shown, intent);
  }
}

void DayOfWork::Answer(Host& host, const ScreenDialog& d, const Intent& intent) {
  const string& name = d.name;
  const auto click = [&](const string& control) { Send(host, "click " + control); };
  const auto fill = [&](const string& box, const string& text) {
    if (!d.Value(box).empty()) Send(host, "clear " + box);
    if (!Stopped()) Send(host, "type " + box + " \"" + text + "\"");
  };
  if (name == "frmMsgInfo" || name == "frmMsgError" || name == "frmMsg") {
    seen_.push_back(name + ": " + d.Value(name == "frmMsg" ? "msgfld" : "Label1"));
    click("Command1");
  } else if (name == "frmAboutUs") {
    click("Command1");
  } else if (name == "frmConfig" || name == "frmconfiglocal") {
    // Another account is refused while the session lasts, and the dialog stays: the user gives up.
    if (!seen_.empty() && RefusesAnotherAccount(seen_.back())) return click("Command2");
    // The sign-in (or the local sign-in) as the step wants it; Settings keep the account shown.
    const bool settings = intent.what == "settings";
    if (!settings) {
      const Account& who = intent.account ? *intent.account : accounts_[0];
      fill("tavoemailid", who.email);
      if (!Stopped()) fill("tavopassword", who.password);
    }
    if (name == "frmConfig" && intent.touchLocal && !Stopped()) {
      if (!d.Control("localsave")) Send(host, "click Image1");
      const ScreenControl* box = host.screen.Modal() ? host.screen.Modal()->Control("localsave") : nullptr;
      if (box && !Stopped()) Send(host, string(intent.keepLocal ? "check" : "uncheck") + " localsave");
    }
    if (Stopped()) return;
    if (settings && Chance(0.15)) return click("Command2");
    // Confirming takes the box as it is; hidden, it shows what the add-in holds already.
    if (name == "frmConfig" && host.screen.Modal() && host.screen.Modal()->Control("localsave"))
      host.keepLocal = host.screen.Modal()->Value("localsave") == "[x]";
    click("Command1");
  } else if (name == "frmDocList") {
    const ScreenControl* list = d.Control("listdoc");
    // After an open that failed twice the user gives up for now.
    if (!list || list->entries.empty() || Chance(0.05) || ++listsAnswered_ > 2) return click("Command2");
    if (Chance(0.2)) {
      // Search by the first letters of an entry.
      const string& entry = list->entries[Pick(static_cast<int>(list->entries.size()))];
      Send(host, "type searchtxt \"" + entry.substr(0, 1 + Pick(3)) + "\"");
      if (Stopped() || !host.screen.Modal() || host.screen.Modal()->name != "frmDocList") return;
      const ScreenControl* found = host.screen.Modal()->Control("listdoc");
      if (!found || found->entries.empty()) return click("Command2");
      Send(host, "select listdoc " + std::to_string(Pick(static_cast<int>(found->entries.size()))));
    } else {
      Send(host, "select listdoc " + std::to_string(Pick(static_cast<int>(list->entries.size()))));
    }
    if (!Stopped()) click("Command1");
  } else if (name == "frmlocalversion") {
    // Download the online copy over the local one? Yes gives up what only the local copy held.
    if (Chance(0.6)) {
      overwriteFolders_.insert(host.word() ? "\\tavowriter\\users\\" : "\\tavosheet\\users\\");
      click("Command1");
    } else {
      click("Command2");
    }
  } else if (name == "frmopenlocalfiles") {
    const ScreenControl* list = d.Control("locallist");
    if (!list || list->entries.empty() || Chance(0.1)) return click("Command2");
    const int entry = Pick(static_cast<int>(list->entries.size()));
    chosenLocal_ = platform::text::Trim(list->entries[entry]);
    Send(host, "select locallist " + std::to_string(entry));
    if (!Stopped()) click(Chance(0.3) ? "Command3" : "Command1");
  } else if (name == "Frmfileconfirm") {
    if (Chance(0.8)) {
      // The user gives up the local copy: what only it held may go. (The list is of the account
      // of the last local sign-in, which a later Local Documents does not ask for again.)
      const string folder = string(host.word() ? "\\tavowriter" : "\\tavosheet") + "\\users\\";
      const string file = "\\" + chosenLocal_ + (host.word() ? ".doc" : ".xls");
      for (const auto& [marker, homes] : before_.of)
        for (const Home& home : homes)
          if (home.find(folder) != string::npos && home.size() > file.size() &&
              platform::text::EqualsText(home.substr(home.size() - file.size()), file))
            excused_.insert(marker);
      click("Command1");
    } else {
      click("Command2");
    }
  } else if (name == "frmConfirm") {
    if (host.screen.Active()) addAsked_ = host.screen.Active()->path;
    click(Chance(0.75) ? "Command1" : "Command2");
  } else if (name == "frmLowVersion") {
    if (Chance(0.5)) {
      overwriteOnline_.insert("*");
      click("Command1");
    } else {
      click("Command2");
    }
  } else if (name == "frmLicense") {
    if (host.screen.Active()) addAsked_ = host.screen.Active()->path;
    if (Chance(0.1)) return click("Command2");
    Send(host, "check Check1");
    if (!Stopped()) Send(host, "option Option" + std::to_string(1 + Pick(8)));
    if (!Stopped()) click("Command1");
  } else if (name == "frmPrompt") {
    if (d.Control("Text1")) {
      // The application asks for a file name (Save As) or a file's password.
      if (d.caption == "Save As")
        fill("Text1", SaveAsPath(host));
      else
        fill("Text1", (intent.account ? *intent.account : accounts_[Pick(2)]).password);
      if (!Stopped()) click("Command1");
    } else {
      click(Chance(0.7) ? "Command1" : "Command2");
    }
  } else {
    Fail(host.Name() + " shows a dialog the day does not know: " + name + " \"" + d.caption + "\"");
  }
}

void DayOfWork::Quit(Host& host) {
  Note("(" + host.Name() + " quits)");
  host.quitting = true;
  hostErrorsAllowed_ = true;  // the application may refuse a name given at its Save As question
  // Each open file may ask twice (save the changes? under which name?) and once more when a
  // replace is declined: past that, the quit goes round in circles.
  const int answers = 3 * static_cast<int>(host.screen.files.size()) + 20;
  Send(host, "quit");
  // Save the changes? The answers are the user's, as in any other step.
  for (int answered = 0; !host.process->Ended() && !Stopped(); ++answered) {
    const ScreenDialog* dialog = host.screen.Modal();
    if (answered == answers)
      return Fail(host.Name() + " did not quit after " + std::to_string(answers) + " answers");
    if (!dialog) {
      // A replace the user declined at the Save As question cancels the quit: quit again.
      Send(host, "quit");
      continue;
    }
    const ScreenDialog shown = *dialog;
    Answer(host, shown, Intent{"quit"});
  }
  if (Stopped()) return;
  const int status = host.process->End();
  if (status != (host.failedCommands ? 1 : 0))
    return Fail(host.Name() + " quit with exit status " + std::to_string(status));
  CheckTemporaryCopies(host);
  const string kind = host.kind;
  Forget(host);
  // Of two processes of a kind the one that quits writes the shared flag for both.
  if (!HostsOf(kind).empty())
    flagTrusted_[kind] = false;
  else
    CheckLeftovers(kind);
}

void DayOfWork::Kill(Host& host) {
  Note("(" + host.Name() + " is killed)");
  ::kill(host.process->pid(), SIGKILL);
  flagTrusted_[host.kind] = false;
  Forget(host);
}

void DayOfWork::Forget(Host& host) {
  if (actor_ == &host) actor_ = nullptr;
  for (auto it = hosts_.begin(); it != hosts_.end(); ++it)
    if (it->get() == &host) return void(hosts_.erase(it));
}

std::vector<Host*> DayOfWork::HostsOf(const string& kind) {
  std::vector<Host*> of;
  for (auto& h : hosts_)
    if (h->kind == kind) of.push_back(h.get());
  return of;
}

void DayOfWork::Take(const std::vector<Choice>& choices, const string& who) {
  double total = 0;
  for (const Choice& c : choices) total += c.weight;
  double at = std::uniform_real_distribution<double>(0, total)(random_);
  const Choice* chosen = &choices.back();
  for (const Choice& c : choices)
    if ((at -= c.weight) < 0) {
      chosen = &c;
      break;
    }
  stepWhat_ = who.empty() ? chosen->what : who + " " + chosen->what;
  Note("-- step " + std::to_string(step_) + ": " + stepWhat_);
  chosen->act();
}

void DayOfWork::Note(const string& line) {
  if (verbose_) std::printf("%s\n", line.c_str());
  transcript_.push_back(line + "\n");
  while (transcript_.size() > kTranscript) transcript_.pop_front();
}

void DayOfWork::Fail(const string& what) { failures_.push_back(what); }

string DayOfWork::Report() const {
  std::ostringstream out;
  out << "The day of seed " << seed_ << " broke at step " << step_ << " (" << stepWhat_ << "):\n";
  for (const string& f : failures_) out << "  - " << f << "\n";
  out << "What the hosts were told and showed last:\n";
  for (size_t i = 0; i < transcript_.size(); ++i) {
    const string& entry = transcript_[i];
    if (i + kScreensShown >= transcript_.size())
      out << entry;
    else
      out << entry.substr(0, entry.find('\n') + 1);
  }
  out << StateReport();
  out << "Replay it with: scripts/soak seed=" << seed_ << " " << steps_ << "\n";
  return out.str();
}

}  // namespace tavo::test::soak
