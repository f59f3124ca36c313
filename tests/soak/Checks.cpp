// The whole state, checked after every step: no edit lost, every map record sound, no online
// item the user did not ask for, what the user was told true, the shared status flags right,
// nothing left behind after an orderly quit, no secret where others can read it.
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <pugixml.hpp>
#include <sstream>

#include "common/StoredSecret.h"
#include "platform/core/Text.h"
#include "service/Exchange.h"
#include "tests/soak/Day.h"

namespace tavo::test::soak {
namespace fs = std::filesystem;
using platform::text::EqualsText;
using std::string;

namespace {

constexpr const char* kDocuments = "C:\\Users\\tavo\\Documents\\tavo\\";
constexpr const char* kAppData = "C:\\Users\\tavo\\AppData\\Roaming\\tavo\\";

string Lower(string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

bool StartsWithText(const string& text, const string& start) {
  return text.size() >= start.size() && EqualsText(text.substr(0, start.size()), start);
}

string Join(const std::set<string>& items) {
  string out;
  for (const string& i : items) out += (out.empty() ? "" : ", ") + i;
  return out.empty() ? "nowhere" : out;
}

bool AsksToSignIn(const string& text) {
  return text.find("Please sign in again") != string::npos || text.find("Please Login again") != string::npos;
}

// An online item as a step may change it: who owns it, its content, version, lock and publishing.
std::map<string, string> ItemStamps(const service::Server& server) {
  std::map<string, string> stamps;
  for (const auto& d : server.Documents())
    stamps[d.id] = d.owner + "|" + std::to_string(d.trashed) + "|" + service::FormatVersion(d.version) + "|" +
                   std::to_string(d.publish.makePublicCalls) + std::to_string(d.publish.licenseCalls) + "|" + d.content;
  for (const auto& w : server.Workbooks())
    stamps[w.id] = w.owner + "|" + std::to_string(w.trashed) + "|" + w.updateLock + "|" +
                   std::to_string(w.publish.makePublicCalls) + std::to_string(w.publish.licenseCalls) + "|" + w.bytes;
  return stamps;
}

// What the add-ins tell the user when a file reached the service.
bool ClaimsSuccess(const string& text) {
  static const char* const claims[] = {"Document saved successfully",
                                       "Successfully Updated in Tavo!!!",
                                       "The document is created successfully",
                                       "The Document is Published Successfully",
                                       "Saved successfully.",
                                       "Workbook Saved Sucessfully !",
                                       "Workbook Updated Sucessfully !",
                                       "The Workbook is created successfully!",
                                       "The Workbook is Published successfully!",
                                       "Workbook sent successfully."};
  for (const char* claim : claims)
    if (text.find(claim) != string::npos) return true;
  return false;
}

// A publish that created the item but did not finish says the item is online all the same.
bool ClaimsAdded(const string& text) {
  return ClaimsSuccess(text) || text.find(" is in Tavo Writer") != string::npos ||
         text.find(" is in Tavo Sheet") != string::npos;
}

bool ClaimsPublished(const string& text) {
  return text.find("Published Successfully") != string::npos || text.find("Published successfully") != string::npos;
}

// Whether a request is one the fault's match names: its path (or a path below one ending in
// "/"), or its method, whole or by its last part.
bool Meets(const service::RecordedRequest& r, const string& match) {
  if (match.starts_with("/")) return r.path == match || (match.ends_with("/") && r.path.starts_with(match));
  const string method = service::PeekMethodName(r.body);
  return method == match || method.ends_with("." + match);
}

}  // namespace

void DayOfWork::CheckStep() {
  metFault_ = {};
  if (!pendingFault_.match.empty())
    for (const auto& r : server_->Requests())
      if (Meets(r, pendingFault_.match)) {
        metFault_ = pendingFault_;
        pendingFault_ = {};
        break;
      }
  after_ = FindHomes(*server_, root_);
  CheckMarkers();
  CheckClaims();
  CheckNewItems();
  CheckMaps();
  CheckFlags();
  CheckMessages();
  CheckAddQuestion();
  if (step_ % 20 == 0) CheckFileModes();
  RememberItems();
}

void DayOfWork::RememberItems() { stampsBefore_ = ItemStamps(*server_); }

// A marker that had a home before the step and has none now is an edit lost, unless the step
// itself gave it up: the world changed or trashed the item it was in, the user deleted the local
// copy, downloaded over it, or chose to overwrite the online item.
void DayOfWork::CheckMarkers() {
  const std::map<string, string> stamps = ItemStamps(*server_);
  for (auto it = worldGone_.begin(); it != worldGone_.end();) {
    bool online = false;
    for (const Home& home : after_.Of(*it)) online |= home.starts_with("online ");
    it = online ? worldGone_.erase(it) : std::next(it);
  }
  for (const auto& [marker, homes] : before_.of) {
    if (!after_.Of(marker).empty()) continue;
    ++tally_.givenUp;
    if (excused_.count(marker) || worldGone_.count(marker)) continue;
    bool given = true;
    for (const Home& home : homes) {
      const bool online = home.starts_with("online ");
      const string id = online ? home.substr(7) : string();
      const bool overwritten = online && !overwriteOnline_.empty() && stampsBefore_[id] != stamps.at(id);
      bool downloadedOver = false;
      for (const string& folder : overwriteFolders_) downloadedOver |= !online && home.find(folder) != string::npos;
      given &= overwritten || downloadedOver;
    }
    if (given) continue;
    const string what = "an edit is lost: " + marker + " was in " + Join(homes) + " before the step and is nowhere now";
    // Word's Add saves the new document's copy under its name in the account's folder.
    const OpenFile* active = actor_ ? actor_->screen.Active() : nullptr;
    if (actor_ && actor_->word() && !command_.empty() && active && homes.size() == 1 &&
        EqualsText(*homes.begin(), active->path))
      Fail(what + " (" + command_ + " saved the new document over it)");
    else
      Fail(what);
  }
}

// "Saved", "created", "published": the file the user sent is then online, in an item of the
// account the host works under that the step changed, and published when the message says so.
void DayOfWork::CheckClaims() {
  if (command_.empty() || !actor_) return;
  string claim;
  for (const string& message : seen_)
    if (ClaimsSuccess(message)) claim = message;
  if (actor_->screen.status != statusBefore_ && ClaimsSuccess(actor_->screen.status)) claim = actor_->screen.status;
  if (claim.empty()) return;
  // A save that could not upload every picture says so: the online document lacks them.
  bool& picturesLeftOut = picturesLeftOut_;
  for (const string& message : seen_) picturesLeftOut |= message.find("pictures could not be uploaded") != string::npos;
  const OpenFile* active = actor_->screen.Active();
  const std::set<string> markers = active ? actor_->markers[active->path] : std::set<string>();
  const std::map<string, string> stamps = ItemStamps(*server_);
  for (const auto& [id, stamp] : stamps) {
    if (stampsBefore_.count(id) && stampsBefore_.at(id) == stamp) continue;  // not changed by the step
    const auto d = server_->FindDocument(id);
    const auto w = server_->FindWorkbook(id);
    const string owner = d ? d->owner : w ? w->owner : string();
    const string content = d ? d->content : w ? w->bytes : string();
    const std::set<string> online = d ? OnlineMarkers(*server_, content) : MarkersIn(content);
    bool holds = true;
    for (const string& m : markers) holds &= online.count(m) > 0 || (picturesLeftOut && pictures_.count(m));
    if (!holds || !EqualsText(owner, actor_->account)) continue;
    ++tally_.claims;
    const bool published = d ? d->publish.isPublic && d->publish.licenseCalls > 0
                             : w && w->publish.isPublic && w->publish.licenseCalls > 0;
    claimedItem_ = id;
    if (ClaimsPublished(claim) && !published)
      return Fail(actor_->Name() + " says \"" + claim + "\", but item " + id + " is not public and licensed");
    return;
  }
  Fail(actor_->Name() + " says \"" + claim + "\", but no item of " + actor_->account + " changed in the step holds " +
       (active ? active->path : string("the file")) + " (" + Join(markers) + ")");
}

// A new online item comes only from a command that adds (Add, Publish, the add question of
// Save), one per command, in the account the host works under, and the user is told. Publish
// and Save never make a second item for a file that is online already.
void DayOfWork::CheckNewItems() {
  std::vector<string> created;
  string id;
  for (const auto& d : server_->Documents())
    if (!stampsBefore_.count(d.id)) created.push_back((id = d.id) + " \"" + d.name + "\" of " + d.owner);
  for (const auto& w : server_->Workbooks())
    if (!stampsBefore_.count(w.id)) created.push_back((id = w.id) + " \"" + w.name + "\" of " + w.owner);
  if (created.empty()) return;
  tally_.added += static_cast<int>(created.size());
  if (command_.empty() || !actor_) return Fail("online items appeared in a step that adds nothing: " + created[0]);
  if (created.size() > 1) return Fail("one " + command_ + " made " + std::to_string(created.size()) + " online items");
  createdItem_ = id;
  if (created[0].find(" of " + actor_->account) == string::npos)
    return Fail(actor_->Name() + " works under " + actor_->account + ", but the new item is " + created[0]);
  if (command_ != "add" && !sentFrom_.empty() && actor_->links.count(sentFrom_)) {
    const string& was = actor_->links.at(sentFrom_);
    const auto d = server_->FindDocument(was);
    const auto w = server_->FindWorkbook(was);
    if ((d && !d->trashed) || (w && !w->trashed))
      return Fail(actor_->Name() + "'s " + command_ + " of " + sentFrom_ + ", online as item " + was +
                  ", made a second item " + created[0]);
  }
  bool told = ClaimsAdded(actor_->screen.status);
  for (const string& message : seen_) told |= ClaimsAdded(message);
  // An answer cut after the service made the item: the add-in cannot tell that it did.
  const bool cut = metFault_.kind == "truncated" || metFault_.kind == "stalled";
  if (cut && (metFault_.match == "writer.newDocument" || metFault_.match == "addWorkbook")) {
    createdItem_.clear();  // nor does it link the file to it
    told = true;
  }
  if (!told) Fail(actor_->Name() + " made the online item " + created[0] + " without telling: a retry adds it again");
}

std::string DayOfWork::StateReport() const {
  std::ostringstream out;
  out << "Online items:\n";
  for (const auto& d : server_->Documents())
    out << "  " << d.id << " document \"" << d.name << "\" of " << d.owner << (d.trashed ? " (trashed)" : "")
        << ", version " << service::FormatVersion(d.version) << ": " << Join(MarkersIn(d.content)) << "\n";
  for (const auto& w : server_->Workbooks())
    out << "  " << w.id << " workbook \"" << w.name << "\" of " << w.owner << (w.trashed ? " (trashed)" : "") << ": "
        << Join(MarkersIn(w.bytes)) << "\n";
  std::error_code ec;
  for (auto it = fs::recursive_directory_iterator(root_ / "drive_c", ec);
       !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
    const string name = it->path().filename().string();
    if (name != "maptavoword.xml" && name != "maptavoexcel.xml") continue;
    out << WindowsPath(root_, it->path()) << ":\n";
    pugi::xml_document map;
    if (!map.load_file(it->path().c_str())) out << "  (does not load)\n";
    for (const pugi::xml_node record : map.document_element().children()) {
      const bool word = string(record.name()) == "document";
      out << "  " << record.child(word ? "document_id" : "book_id").text().get() << " -> "
          << (word ? record.child("location").text().get() : record.attribute("filename").value()) << "\n";
    }
  }
  return out.str();
}

// Every record of every map: an existing file inside its own account's folder, for an item of
// that account, no file named by two records, no map of an account without a name.
void DayOfWork::CheckMaps() {
  struct Addin {
    const char* folder;
    const char* map;
    const char* record;
  };
  for (const Addin addin :
       {Addin{"tavowriter", "maptavoword.xml", "document"}, Addin{"tavosheet", "maptavoexcel.xml", "workbook"}}) {
    const fs::path users = Win(string(kAppData) + addin.folder + "\\users");
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(users, ec)) {
      const string account = entry.path().filename().string();
      if (!entry.is_directory()) {
        if (EqualsText(account, addin.map)) Fail("a map of no account: " + WindowsPath(root_, entry.path()));
        continue;
      }
      pugi::xml_document map;
      if (!map.load_file((entry.path() / addin.map).c_str())) continue;
      const string own = Lower(string(kDocuments) + addin.folder + "\\users\\" + account + "\\");
      std::map<string, string> named;  // file -> the record naming it
      for (const pugi::xml_node record : map.document_element().children(addin.record)) {
        const bool word = string(addin.record) == "document";
        const string id = record.child(word ? "document_id" : "book_id").text().get();
        const string path = word ? record.child("location").text().get() : record.attribute("filename").value();
        const string what = string(addin.map) + " of " + account + ": the record of " + id + " names " + path;
        const auto d = server_->FindDocument(id);
        const auto w = server_->FindWorkbook(id);
        const string owner = word ? (d ? d->owner : string()) : (w ? w->owner : string());
        if (!StartsWithText(path, own) || path.find("\\..") != string::npos)
          Fail(what + ", outside the account's own folder");
        else if (!EqualsText(owner, account))
          Fail(what + ", but the item is " + (owner.empty() ? "unknown" : "of " + owner));
        else if (!fs::is_regular_file(Win(path)))
          Fail(what + ", which does not exist");
        if (named.count(Lower(path))) Fail(what + ", as the record of " + named[Lower(path)] + " does");
        named[Lower(path)] = id;
      }
    }
  }
}

// What the user reads about the sign-in is so: a host signed in does not say it is signed out,
// and one that asks to sign in again offers Login.
void DayOfWork::CheckMessages() {
  for (const auto& host : hosts_)
    if (host->screen.SignedIn() && host->screen.status.find("You are not signed in") != string::npos)
      Fail(host->Name() + " is signed in and says \"" + host->screen.status + "\"");
  if (!actor_ || !actor_->screen.SignedIn()) return;
  for (const string& message : seen_)
    if (AsksToSignIn(message)) return Fail(actor_->Name() + " says \"" + message + "\" but offers no Login");
}

// The question whether to add a file as a new online item (or publish it as one) comes only for
// a file that is not online yet: asked of one that is, the answer Yes makes a duplicate.
void DayOfWork::CheckAddQuestion() {
  if (addAsked_.empty() || !actor_ || !actor_->links.count(addAsked_)) return;
  const string& id = actor_->links.at(addAsked_);
  const auto d = server_->FindDocument(id);
  const auto w = server_->FindWorkbook(id);
  const bool live = d ? !d->trashed && EqualsText(d->owner, actor_->account)
                      : w && !w->trashed && EqualsText(w->owner, actor_->account);
  if (live) Fail(actor_->Name() + " asks to add " + addAsked_ + " as a new item, but it is online as item " + id);
}

// A temporary download still as its host last left it goes when the host quits in order (one
// the user saved into, or another process wrote, stays).
void DayOfWork::CheckTemporaryCopies(const Host& host) {
  for (const auto& [path, stamp] : host.temporary) {
    bool open = false;
    for (const auto& other : hosts_) open |= other.get() != &host && other->markers.count(path);
    if (!open && StampAt(path) == stamp)
      Fail("after " + host.Name() + " quit, its temporary copy " + path + " is left behind");
  }
}

void DayOfWork::FollowFiles(const std::map<string, std::optional<Stamp>>& before) {
  Host& host = *actor_;
  const OpenFile* active = host.screen.Active();
  if (!active) return;
  const string path = active->path;
  string downloaded;  // the item the step downloaded
  for (const auto& r : server_->Requests()) {
    if (host.word() && r.body.find("writer.viewDocument") != string::npos) {
      if (const auto call = service::ParseMethodCall(r.body)) downloaded = call->Value("documentid");
    } else if (!host.word() && r.path == "/open.do") {
      downloaded = service::ParseQuery(r.query)["docid"];
    }
  }
  const auto was = before.find(path);
  const std::optional<Stamp> now = StampAt(path);
  if (!downloaded.empty() && command_.empty() && !active->modified && now &&
      (was == before.end() || was->second != now)) {
    host.links[path] = downloaded;
    if (host.keepLocal)
      host.temporary.erase(path);
    else
      host.temporary[path] = *now;
  }
  if (!createdItem_.empty()) {
    host.links[path] = createdItem_;
    // A file the user added is the user's own: it stays when its host quits.
    host.temporary.erase(path);
  }
  if (!claimedItem_.empty()) {
    host.links[path] = claimedItem_;
    // What the service holds now is no reason to keep the copy; pictures it lacks are.
    if (host.temporary.count(path) && now && !picturesLeftOut_) host.temporary[path] = *now;
  }
}

// While one process of a kind runs, its shared status flag says what its screen says.
void DayOfWork::CheckFlags() {
  for (const string kind : {"word", "excel"}) {
    const std::vector<Host*> of = HostsOf(kind);
    if (of.size() != 1 || !flagTrusted_[kind]) continue;
    const string flag = Shared(kind + "status");
    if ((flag == "1") != of[0]->screen.SignedIn())
      Fail(of[0]->Name() + (of[0]->screen.SignedIn() ? " is signed in" : " is signed out") + ", but " + kind +
           "status is \"" + flag + "\"");
  }
}

// After the last process of a kind quit in order: no page or picture folder of a download or
// an upload stays in any account's folder (the page of a download that failed may).
void DayOfWork::CheckLeftovers(const string& kind) {
  const fs::path users = Win(string(kDocuments) + (kind == "word" ? "tavowriter" : "tavosheet") + "\\users");
  std::error_code ec;
  for (auto it = fs::recursive_directory_iterator(users, ec); !ec && it != fs::recursive_directory_iterator();
       it.increment(ec)) {
    const string name = Lower(it->path().filename().string());
    const bool page = name.ends_with(".html") || name.ends_with(".htm");
    const bool pictures = it->is_directory() && name.ends_with("_files");
    const string account = Lower(it->path().lexically_relative(users).begin()->string());
    const bool failedPage = name == "tavodownload.html" && failedOpenFolders_.count(kind + "|" + account);
    if ((page && !failedPage) || pictures)
      Fail("after " + kind + " quit, " + WindowsPath(root_, it->path()) + " is left behind");
  }
}

// No file that holds a secret (a password, a ticket, the API key, as typed or stored) can be
// read by other users of the computer.
void DayOfWork::CheckFileModes() {
  std::vector<string> forms;
  for (const string& secret : server_->Secrets()) {
    forms.push_back(secret);
    forms.push_back(EncodeBase64(secret));
  }
  std::error_code ec;
  for (auto it = fs::recursive_directory_iterator(root_, ec); !ec && it != fs::recursive_directory_iterator();
       it.increment(ec)) {
    struct stat info {};
    if (!it->is_regular_file() || ::stat(it->path().c_str(), &info) != 0 || !(info.st_mode & 077)) continue;
    std::ifstream in(it->path(), std::ios::binary);
    const string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    for (const string& form : forms)
      if (form.size() >= 4 && bytes.find(form) != string::npos)
        return Fail(it->path().string() + " holds a secret and can be read by others");
  }
}

}  // namespace tavo::test::soak
