#include "service/Admin.h"

#include "service/Server.h"

namespace tavo::service {
namespace {

Answer Ok(const std::string& detail = {}) { return {200, "text/plain; charset=UTF-8", detail.empty() ? "ok" : "ok " + detail}; }
Answer Bad(const std::string& why) { return {400, "text/plain; charset=UTF-8", why}; }
Answer Done(bool found) { return found ? Ok() : Bad("no such id"); }

long long Number(const Call& call, const std::string& name, long long fallback) {
  try {
    const std::string text = call.Param(name);
    return text.empty() ? fallback : std::stoll(text);
  } catch (const std::exception&) {
    return fallback;
  }
}

Answer RequestsXml(const Server& server) {
  pugi::xml_document doc;
  pugi::xml_node root = doc.append_child("requests");
  for (const auto& r : server.Requests()) {
    pugi::xml_node node = root.append_child("request");
    node.append_attribute("method") = r.method.c_str();
    node.append_attribute("host") = r.host.c_str();
    node.append_attribute("path") = r.path.c_str();
    node.append_attribute("query") = r.query.c_str();
    node.append_attribute("tls") = r.tls;
    for (const auto& [name, value] : r.headers) {
      pugi::xml_node header = node.append_child("header");
      header.append_attribute("name") = name.c_str();
      header.text() = value.c_str();
    }
    pugi::xml_node body = node.append_child("body");
    body.append_attribute("length") = static_cast<unsigned long long>(r.body.size());
    body.text() = r.body.substr(0, 4096).c_str();  // enough to see what it was
  }
  return {200, "text/xml; charset=UTF-8", ToXml(doc)};
}

Answer StateXml(const Server& server) {
  pugi::xml_document doc;
  pugi::xml_node root = doc.append_child("state");
  for (const auto& d : server.Documents()) {
    pugi::xml_node node = root.append_child("document");
    node.append_attribute("id") = d.id.c_str();
    node.append_attribute("owner") = d.owner.c_str();
    node.append_attribute("name") = d.name.c_str();
    node.append_attribute("version") = FormatVersion(d.version).c_str();
    node.append_attribute("trashed") = d.trashed;
    node.append_attribute("shared") = d.sharedReadOnly;
    node.append_attribute("public") = d.publish.isPublic;
    node.append_attribute("license") = d.publish.licenseName.c_str();
  }
  for (const auto& wb : server.Workbooks()) {
    pugi::xml_node node = root.append_child("workbook");
    node.append_attribute("id") = wb.id.c_str();
    node.append_attribute("owner") = wb.owner.c_str();
    node.append_attribute("name") = wb.name.c_str();
    node.append_attribute("modified") = wb.modifiedTime.c_str();
    node.append_attribute("lock") = wb.updateLock.c_str();
    node.append_attribute("inUseBy") = wb.inUseBy.c_str();
    node.append_attribute("trashed") = wb.trashed;
    node.append_attribute("shared") = wb.sharedReadOnly;
    node.append_attribute("public") = wb.publish.isPublic;
    node.append_attribute("license") = wb.publish.licenseName.c_str();
  }
  return {200, "text/xml; charset=UTF-8", ToXml(doc)};
}

}  // namespace

Answer AdminCall(Server& server, const Call& call) {
  const std::string action = call.path.substr(defaults::kAdminPath.size());
  const std::string id = call.Param("id");
  const bool undo = call.Param("undo") == "1";
  const std::string body(call.body);

  if (action == "requests") return RequestsXml(server);
  if (action == "state") return StateXml(server);
  if (call.method != "POST") return Bad("use POST");
  if (action == "account") {
    if (call.Param("email").empty()) return Bad("email missing");
    server.AddAccount(call.Param("email"), call.Param("password"));
    return Ok();
  }
  if (action == "document")
    return Ok(server.AddDocument(call.Param("owner"), call.Param("name"), body,
                                 static_cast<double>(Number(call, "version", 1))));
  if (action == "workbook") return Ok(server.AddWorkbook(call.Param("owner"), call.Param("name"), body));
  if (action == "change-document") return Done(server.ChangeDocument(id, body));
  if (action == "change-workbook") return Done(server.ChangeWorkbook(id, body));
  if (action == "trash") return Done(server.Trash(id, !undo));
  if (action == "share") return Done(server.ShareReadOnly(id, !undo));
  if (action == "in-use") return Done(server.MarkInUse(id, call.Param("editor")));
  if (action == "end-tickets") return server.EndAllTickets(), Ok();
  if (action == "clear-faults") return server.ClearFaults(), Ok();
  if (action == "clear-requests") return server.ClearRequests(), Ok();
  if (action == "fault") {
    const auto kind = FaultKindNamed(call.Param("kind"));
    if (!kind) return Bad("unknown fault kind");
    Fault fault;
    fault.match = call.Param("match");
    fault.kind = *kind;
    fault.count = static_cast<int>(Number(call, "count", 1));
    fault.code = call.Param("code");
    fault.size = static_cast<size_t>(Number(call, "size", 0));
    fault.delay = std::chrono::milliseconds(Number(call, "delay_ms", 0));
    server.InjectFault(std::move(fault));
    return Ok();
  }
  return Bad("unknown admin call");
}

}  // namespace tavo::service
