// What happens to the user between commands: colleagues change and trash online items, the
// service ends tickets, fails one call, restarts, and a host dies. The online changes go
// through the service's admin endpoint, as a person trying faults by hand makes them.
#include <functional>

#include "service/Admin.h"
#include "service/Seed.h"
#include "tests/soak/Day.h"

namespace tavo::test::soak {
using std::string;

namespace {

// One call of the admin endpoint; false when it refused.
bool Admin(service::Server& server, const string& path, service::Params params, const string& body = {}) {
  service::Call call;
  call.method = "POST";
  call.path = "/_admin/" + path;
  call.params = std::move(params);
  call.body = body;
  return service::AdminCall(server, call).status == 200;
}

}  // namespace

void DayOfWork::WorldStep() {
  Take(
      {
          {3, "a colleague changes an online item", [this] { ChangeItem(false); }},
          {0.6, "a colleague moves an online item to the trash", [this] { ChangeItem(true); }},
          {1, "the service ends every ticket", [this] { Admin(*server_, "end-tickets", {}); }},
          {3, "the service fails the next call of one kind", [this] { InjectFault(); }},
          {0.6, "the service restarts", [this] { RestartService(); }},
          {0.8, "a host is killed", [this] { KillAHost(); }},
          {1.2, "a second process of a kind starts", [this] { SecondHost(); }},
      },
      "");
}

void DayOfWork::ChangeItem(bool trash) {
  struct Item {
    string id, name;
    bool document;
  };
  std::vector<Item> items;
  for (const auto& d : server_->Documents())
    if (!d.trashed) items.push_back({d.id, d.name, true});
  for (const auto& w : server_->Workbooks())
    if (!w.trashed) items.push_back({w.id, w.name, false});
  if (items.empty()) return;
  const Item item = Choose(items);
  Note("(" + string(trash ? "trashed: " : "changed: ") + item.name + ", id " + item.id + ")");
  // What the user had put online there is the colleague's to replace. A temporary copy of it
  // may still go at a quit: the user's edit lives on only where it is saved again.
  for (const string& marker : before_.In(OnlineHome(item.id))) worldGone_.insert(marker);
  if (trash) {
    Admin(*server_, "trash", {{"id", item.id}});
  } else if (item.document) {
    Admin(*server_, "change-document", {{"id", item.id}},
          "<html><body><h1>" + item.name + "</h1><p>Rewritten by a colleague.</p></body></html>");
  } else {
    Admin(*server_, "change-workbook", {{"id", item.id}},
          service::WorkbookFile({{"Sheet1", {{"A1", "Rewritten"}, {"B1", "by a colleague"}}}}));
  }
}

void DayOfWork::InjectFault(const std::vector<string>& among) {
  static const std::vector<string> calls = {"/login",
                                            "/logout",
                                            "writer.getDocuments",
                                            "writer.viewDocument",
                                            "writer.getVersion",
                                            "writer.saveDocument",
                                            "writer.newDocument",
                                            "writer.uploadImage",
                                            "/api/private/xml/makePublic/",
                                            "/api/private/TavoSocial/xml/updateLicense/",
                                            "getWorkbooks",
                                            "/open.do",
                                            "saveWorkbook",
                                            "addWorkbook"};
  static const char* const kinds[] = {"error-code", "error-code", "not-xml", "html-500", "truncated",
                                      "wrong-xml",  "refuse",     "delay",   "hang"};
  const std::vector<string>& from = among.empty() ? calls : among;
  const string match = from[Pick(static_cast<int>(from.size()))];
  string kind = kinds[Pick(std::size(kinds))];
  if (kind == "hang" && Chance(0.7)) kind = "refuse";  // a hang costs the call's whole time limit
  service::Params params{{"match", match}, {"kind", kind}, {"count", "1"}};
  if (kind == "error-code") {
    const bool writer = match.starts_with("writer.");
    static const char* const writerCodes[] = {"1401", "1807", "2852", "1890"};
    static const char* const sheetCodes[] = {"2401", "2500", "2852", "2855"};
    params["code"] = writer ? writerCodes[Pick(4)] : sheetCodes[Pick(4)];
  }
  if (kind == "delay") params["delay_ms"] = "300";
  Note("(fault: " + kind + " " + params["code"] + " on " + match + ")");
  // One call at a time fails: an earlier fault no call has met yet goes.
  server_->ClearFaults();
  Admin(*server_, "fault", params);
  pendingFault_ = {match, kind};
}

void DayOfWork::RestartService() {
  // The service keeps its items; the sign-ins of every client end with it.
  server_->Stop();
  server_->EndAllTickets();
  server_->Start();
}

void DayOfWork::KillAHost() {
  if (hosts_.empty()) return;
  Host& host = *Choose(hosts_);
  const string kind = host.kind;
  Kill(host);
  if (HostsOf(kind).empty()) StartHost(kind);
}

void DayOfWork::SecondHost() {
  std::vector<string> kinds;
  for (const string kind : {"word", "excel"})
    if (HostsOf(kind).size() == 1) kinds.push_back(kind);
  if (!kinds.empty()) StartHost(Choose(kinds));
}

}  // namespace tavo::test::soak
