// What the user of the day does: one command of the add-in or of the application per step,
// chosen with weights among those the screen offers, with the dialogs it brings up answered.
#include <filesystem>
#include <fstream>
#include <functional>

#include "common/StoredSecret.h"
#include "platform/core/Text.h"
#include "tests/soak/Day.h"

namespace tavo::test::soak {
using std::string;

namespace {

// The add-in's captions in either host.
string OpenCaption(const Host& h) { return h.word() ? "&Open Document" : "&Open Tavo Sheet"; }
string LocalCaption(const Host& h) { return h.word() ? "Local &Documents" : "Local Work&Books"; }
string SendCaption(const Host& h, const string& what) {
  if (what == "save") return h.word() ? "&Save in Tavo Writer" : "&Save in Tavo Sheet";
  if (what == "add") return h.word() ? "&Add to Tavo Writer" : "&Add to Tavo Sheet";
  return "&Publish in Tavo Share";
}

}  // namespace

void DayOfWork::UserStep(Host& host) {
  actor_ = &host;
  const HostScreen& s = host.screen;
  const bool file = s.Active() != nullptr;
  const bool second = HostsOf(host.kind).size() > 1;
  std::vector<Choice> choices;
  const auto offer = [&](bool can, double weight, const char* what, std::function<void()> act) {
    if (can) choices.push_back({weight, what, std::move(act)});
  };
  offer(s.Enabled("&Login"), 6, "signs in", [&] { Login(host); });
  offer(s.Enabled("Lo&gout"), 1, "signs out", [&] { Logout(host); });
  offer(s.Enabled("Se&ttings"), 0.8, "changes the settings", [&] { Settings(host); });
  offer(s.Enabled(LocalCaption(host)), 2.5, "opens the local copies", [&] { LocalCopies(host); });
  offer(s.Enabled(OpenCaption(host)), 5, "opens an online file", [&] { OpenOnline(host); });
  offer(true, file ? 7 : 2, "edits", [&] { Edit(host); });
  offer(true, 1, "starts a new file", [&] { NewFile(host); });
  offer(true, 1.2, "opens a file of this computer", [&] { HostOpen(host); });
  offer(file, 1.5, "saves in the application", [&] { HostSave(host, false); });
  offer(file, 2, "saves as in the application", [&] { HostSave(host, true); });
  for (const string what : {"save", "add", "publish"})
    offer(file && s.Enabled(SendCaption(host, what)), what == "save" ? 5 : 1.5, "sends the file online",
          [&host, this, what] { SendOnline(host, what); });
  offer(file, 1, "closes a file", [&] { CloseFile(host); });
  offer(s.files.size() > 1, 0.7, "switches files", [&] { ActivateOther(host); });
  offer(true, second ? 3 : 0.7, second ? "quits (the second process)" : "quits and starts again",
        [&] { QuitAndStart(host); });

  Take(choices, host.Name());
}

void DayOfWork::Login(Host& host) {
  Intent intent{"login", &SomeAccount(), Chance(0.5), Chance(0.5)};
  Send(host, "click &Login");
  const ScreenDialog* dialog = host.screen.Modal();
  const bool typed = dialog && dialog->name == "frmConfig";
  if (!Stopped()) Settle(host, intent);
  if (Stopped()) return;
  if (!host.screen.SignedIn())
    host.account.clear();
  else
    host.account = typed ? intent.account->email : DecodeStoredSecret(Shared("tavousername"));
  // A sign-in that failed writes no flag: one a killed host left stays until one succeeds.
  if (HostsOf(host.kind).size() == 1 && host.screen.SignedIn()) flagTrusted_[host.kind] = true;
}

void DayOfWork::Logout(Host& host) {
  Send(host, "click Lo&gout");
  if (!Stopped()) Settle(host, Intent{"logout"});
  if (!Stopped() && !host.screen.SignedIn()) host.account.clear();
  if (HostsOf(host.kind).size() == 1) flagTrusted_[host.kind] = true;
}

void DayOfWork::Settings(Host& host) {
  Send(host, "click Se&ttings");
  if (!Stopped()) Settle(host, Intent{"settings", nullptr, Chance(0.5), true});
}

void DayOfWork::LocalCopies(Host& host) {
  const Account& who = SomeAccount();
  const bool online = host.screen.SignedIn();
  Send(host, "click " + LocalCaption(host));
  const ScreenDialog* dialog = host.screen.Modal();
  const bool asked = dialog && dialog->name == "frmconfiglocal";
  // Without asking, the list is of the account of the last local sign-in: whose it is shows in
  // the files it lists.
  bool othersList = false;
  if (dialog && dialog->name == "frmopenlocalfiles" && dialog->Control("locallist")) {
    const string own = "C:\\Users\\tavo\\Documents\\tavo\\" + string(host.word() ? "tavowriter" : "tavosheet") +
                       "\\users\\" + host.account + "\\";
    for (const string& entry : dialog->Control("locallist")->entries)
      othersList |= !std::filesystem::exists(Win(own + platform::text::Trim(entry) + (host.word() ? ".doc" : ".xls")));
  }
  if (!Stopped()) Settle(host, Intent{"local", &who});
  // The local sign-in of another account under an online session is refused, never taken.
  bool refused = false;
  for (const string& message : seen_) refused |= RefusesAnotherAccount(message);
  if (online && ((asked && !refused && !platform::text::EqualsText(host.account, who.email)) || othersList))
    Fail(host.Name() + " works online under " + host.account + " and opens another account's local copies");
}

void DayOfWork::OpenOnline(Host& host) {
  Send(host, "click " + OpenCaption(host));
  if (!Stopped()) Settle(host, Intent{"open"});
  if (Stopped()) return;
  bool failed = false;
  for (const string& message : seen_) failed |= message.find("could not be opened") != string::npos;
  const string folder = host.kind + "|" + platform::text::LCase(host.account);
  if (failed) failedOpenFolders_.insert(folder);
  else if (host.screen.status.find("has been opened from Tavo") != string::npos) failedOpenFolders_.erase(folder);
}

void DayOfWork::Edit(Host& host) {
  if (!host.screen.Active()) {
    Send(host, "new");
    if (!host.screen.Active() && !Stopped()) Fail(host.Name() + " shows no active file after \"new\"");
    if (Stopped()) return;
  }
  const string marker = NewMarker();
  // A marker is a paragraph (or a cell) of its own, so that no later edit lands inside it.
  if (host.word() && Chance(0.2)) {
    // A picture of its own, from a file of the Documents folder.
    const string file = "C:\\Users\\tavo\\Documents\\Pictures\\" + marker + ".png";
    std::filesystem::create_directories(std::filesystem::path(Win(file)).parent_path());
    std::ofstream(Win(file), std::ios::binary) << PictureWithMarker(marker);
    pictures_.insert(marker);
    Send(host, "paragraph");
    if (!Stopped()) Send(host, "picture \"" + file + "\"");
  } else if (host.word()) {
    Send(host, "paragraph");
    if (!Stopped()) Send(host, "type " + marker);
    if (!Stopped()) Send(host, "paragraph");
  } else {
    Send(host, "cell A" + std::to_string(10 + markers_) + " " + marker);
  }
  if (!Stopped() && host.screen.Active()) host.markers[host.screen.Active()->path].insert(marker);
}

void DayOfWork::NewFile(Host& host) {
  Send(host, "new");
  if (!Stopped() && host.screen.Active()) Edit(host);
}

string DayOfWork::SaveAsPath(Host& host) {
  string path;
  for (int attempt = 0; attempt < 5 && (path.empty() || host.markers.count(path)); ++attempt) {
    path.clear();
    const string ext = host.word() ? (Chance(0.9) ? ".doc" : ".rtf") : (Chance(0.95) ? ".xls" : ".xlsx");
    string name;
    const int pick = Pick(10);
    if (pick < 4) {
      name = (host.word() ? "Memo " : "Sheet ") + std::to_string(++names_);
    } else if (pick < 7) {
      static const char* const names[] = {"Welcome", "Trip report", "Plan_ next_", "Budget", "Sales"};
      name = names[Pick(5)];
    } else if (const OpenFile* active = host.screen.Active()) {
      name = FileNameOf(active->path);
      name = name.substr(0, name.rfind('.'));
    } else {
      name = "Note " + std::to_string(++names_);
    }
    string folder = "C:\\Users\\tavo\\Documents\\";
    const Account& who = SomeAccount();
    const string own = folder + "tavo\\" + (host.word() ? "tavowriter" : "tavosheet") + "\\users\\" +
                       (host.account.empty() ? who.email : host.account) + "\\";
    if (Chance(0.5) && std::filesystem::is_directory(Win(own))) folder = own;
    path = folder + name + ext;
    // The add-in's copies are the user's to replace in its own dialogs: a save as over one of
    // them makes the next save send another file over that online item.
    if (folder == own && std::filesystem::exists(Win(path))) path.clear();
  }
  if (path.empty())
    path = "C:\\Users\\tavo\\Documents\\Note " + std::to_string(++names_) + (host.word() ? ".doc" : ".xls");
  // What the file there held is the user's to replace (Word does not ask; Excel does, and
  // whichever the answer, the file is the user's).
  for (const auto& [marker, homes] : before_.of)
    for (const Home& home : homes)
      if (platform::text::EqualsText(home, path)) excused_.insert(marker);
  return path;
}

void DayOfWork::HostOpen(Host& host) {
  // Any document (or workbook) in the Documents folder, the add-in's copies included.
  std::vector<string> found;
  std::error_code ec;
  const std::filesystem::path documents = Win("C:\\Users\\tavo\\Documents");
  for (auto it = std::filesystem::recursive_directory_iterator(documents, ec);
       !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
    const string ext = it->path().extension().string();
    const bool fits = host.word() ? ext == ".doc" || ext == ".rtf" : ext == ".xls" || ext == ".xlsx";
    const string path = WindowsPath(root_, it->path());
    if (it->is_regular_file() && fits && !host.markers.count(path)) found.push_back(path);
  }
  if (found.empty()) return NewFile(host);
  const string path = Choose(found);
  // A copy of the add-in's has its account's password; the user may mistype it.
  const Account* owner = &SomeAccount();
  for (const Account& a : accounts_)
    if (path.find("\\users\\" + a.email + "\\") != string::npos && Chance(0.9)) owner = &a;
  hostErrorsAllowed_ = true;  // a wrong password, a file another host has open
  Send(host, "open \"" + path + "\"");
  if (!Stopped()) Settle(host, Intent{"hostopen", owner});
}

void DayOfWork::HostSave(Host& host, bool saveAs) {
  const OpenFile* active = host.screen.Active();
  hostErrorsAllowed_ = true;  // a replace the user declines, a file another host holds
  if (!saveAs && active->path.find(":\\") != string::npos) {
    Send(host, "save");
  } else {
    Send(host, "saveas \"" + SaveAsPath(host) + "\"");
  }
  if (!Stopped()) Settle(host, Intent{"hostsave"});
}

void DayOfWork::SendOnline(Host& host, const string& what) {
  command_ = what;
  statusBefore_ = host.screen.status;
  sentFrom_ = host.screen.Active() ? host.screen.Active()->path : string();
  // Now and then one of the calls of this very flow fails.
  if (Chance(0.15)) {
    if (host.word())
      InjectFault({"writer.getDocuments", "writer.getVersion", "writer.saveDocument", "writer.newDocument",
                   "writer.uploadImage", "/api/private/xml/makePublic/", "/api/private/TavoSocial/xml/updateLicense/"});
    else
      InjectFault({"getWorkbooks", "saveWorkbook", "addWorkbook", "/api/private/xml/makePublic/",
                   "/api/private/TavoSocial/xml/updateLicense/"});
  }
  Send(host, "click " + SendCaption(host, what));
  if (!Stopped()) Settle(host, Intent{what});
}

void DayOfWork::CloseFile(Host& host) {
  hostErrorsAllowed_ = true;  // Cancel at Word's question fails the command
  Send(host, "close");
  if (!Stopped()) Settle(host, Intent{"close"});
}

void DayOfWork::ActivateOther(Host& host) {
  std::vector<string> others;
  for (const OpenFile& f : host.screen.files)
    if (!f.active) others.push_back(f.path);
  // Word finds a document by its full name too; Excel only by its name (which is unique).
  const string& other = Choose(others);
  Send(host, "activate \"" + (host.word() ? other : FileNameOf(other)) + "\"");
}

void DayOfWork::QuitAndStart(Host& host) {
  const string kind = host.kind;
  Quit(host);
  if (!Stopped() && HostsOf(kind).empty()) StartHost(kind);
}

}  // namespace tavo::test::soak
