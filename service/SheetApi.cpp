#include "service/SheetApi.h"

#include <algorithm>

namespace tavo::service {
namespace {

// The suite labels its spreadsheet answers ISO-8859-1 while it writes UTF-8 bytes. Clients
// that decode by the label see a name such as "Müller" as "MÃ¼ller" and have to turn the
// text back into bytes and read those as UTF-8; the add-in does exactly that, so the label
// stays as the suite has it.
constexpr const char* kLabel = "text/xml; charset=ISO-8859-1";

Answer Xml(const pugi::xml_document& doc) { return {200, kLabel, ToXml(doc)}; }

Workbook* Owned(Store& store, const std::string& account, const std::string& id) {
  const auto it = store.workbooks.find(id);
  if (it == store.workbooks.end() || it->second.owner != account) return nullptr;
  return &it->second;
}

Answer List(const Store& store, const std::string& account) {
  std::vector<const Workbook*> list;
  for (const auto& [id, wb] : store.workbooks)
    if (wb.owner == account && !wb.trashed) list.push_back(&wb);
  std::sort(list.begin(), list.end(),
            [](const Workbook* a, const Workbook* b) { return std::stoll(a->id) < std::stoll(b->id); });
  pugi::xml_document doc;
  pugi::xml_node result = doc.append_child("methodResponse").append_child("result");
  for (const Workbook* wb : list) {
    pugi::xml_node entry = result.append_child("workbook");
    AddText(entry, "workbookId", wb->id);
    AddText(entry, "workbookName", wb->name);
    AddText(entry, "createdTime", wb->createdTime);
    AddText(entry, "lastModifiedTime", wb->modifiedTime);
    AddText(entry, "lastModifiedBy", wb->modifiedBy);
    AddText(entry, "updateLock", wb->updateLock);
  }
  return Xml(doc);
}

Answer Save(Store& store, const std::string& account, const MethodCall& method) {
  Workbook* wb = Owned(store, account, method.Value("workbookId"));
  if (wb == nullptr) return SheetError("2851", "The workbook does not exist");
  if (wb->trashed) return SheetError("2852", "The workbook has been trashed");
  if (wb->sharedReadOnly) return SheetError("2853", "The workbook is shared to you read-only");
  if (!wb->inUseBy.empty()) return SheetError("2854", "The workbook is in use by " + wb->inUseBy);
  if (method.Value("updateLock") != wb->updateLock && method.Value("overwrite") != "true")
    return SheetError("2855", "The workbook has been changed since it was opened");
  auto bytes = DecodeBase64(method.Value("content"));
  if (!bytes || bytes->empty()) return SheetError("2500", "The content is not valid Base64");

  store.Revise(*wb, std::move(*bytes));
  wb->modifiedBy = account;
  pugi::xml_document doc;
  pugi::xml_node result = doc.append_child("methodResponse").append_child("result");
  AddText(result, "workbookId", wb->id);
  AddText(result, "workbookName", wb->name);
  AddText(result, "modifiedTime", wb->modifiedTime);
  AddText(result, "updateLock", wb->updateLock);
  return Xml(doc);
}

Answer Add(Store& store, const std::string& account, const MethodCall& method) {
  auto bytes = DecodeBase64(method.Value("content"));
  if (!bytes || bytes->empty()) return SheetError("2500", "The content is not valid Base64");
  const std::string name = method.Value("workbookName");
  if (name.find_first_not_of(' ') == std::string::npos) return SheetError("2860", "The workbook needs a name");
  const Workbook& wb = store.CreateWorkbook(account, name, std::move(*bytes));
  pugi::xml_document doc;
  pugi::xml_node result = doc.append_child("methodResponse").append_child("result");
  AddText(result, "workbookId", wb.id);
  AddText(result, "workbookName", wb.name);
  AddText(result, "createdTime", wb.createdTime);
  AddText(result, "updateLock", wb.updateLock);
  return Xml(doc);
}

}  // namespace

Answer SheetError(const std::string& code, const std::string& info) {
  pugi::xml_document doc;
  pugi::xml_node error = doc.append_child("methodResponse").append_child("error");
  AddText(error, "code", code);
  AddText(error, "info", info);
  return Xml(doc);
}

Answer SheetApi(Store& store, const Call& call) {
  std::lock_guard lock(store.mutex);
  const auto account = store.AccountOf(call.Param("ticket"));
  if (!call.KeyAccepted() || !account) return SheetError("2401", "Authentication failed");
  const auto method = ParseMethodCall(call.body);
  if (!method) return SheetError("2500", "The request is not well-formed");
  if (method->method == "tavosheet.userView.getWorkbooks") return List(store, *account);
  if (method->method == "tavosheet.userView.saveWorkbook") return Save(store, *account, *method);
  if (method->method == "tavosheet.userView.addWorkbook") return Add(store, *account, *method);
  return SheetError("2501", "Unknown method " + method->method);
}

Answer SheetPublish(Store& store, const Call& call, bool license) {
  std::lock_guard lock(store.mutex);
  const auto account = store.AccountOf(call.Param("ticket"));
  if (!call.KeyAccepted() || !account) return SheetError("2401", "Authentication failed");
  Workbook* wb = Owned(store, *account, PublishedId(call));
  if (wb == nullptr) return SheetError("2851", "The workbook does not exist");
  if (wb->trashed) return SheetError("2852", "The workbook has been trashed");
  RecordPublishCall(wb->publish, call, license);
  pugi::xml_document doc;
  pugi::xml_node result = doc.append_child("methodResponse").append_child("result");
  AddText(result, "workbookId", wb->id);
  AddText(result, "info", license ? "License updated" : "Workbook is public");
  return Xml(doc);
}

Answer Download(Store& store, const Call& call) {
  std::lock_guard lock(store.mutex);
  const auto account = store.AccountOf(call.Param("ticket"));
  if (!call.KeyAccepted() || !account)
    return {401, "text/html; charset=UTF-8", "<html><body><p>Please sign in again.</p></body></html>"};
  Workbook* wb = Owned(store, *account, call.Param("docid"));
  if (wb == nullptr || wb->trashed)
    return {404, "text/html; charset=UTF-8", "<html><body><p>No such workbook.</p></body></html>"};
  return {200, "application/vnd.ms-excel", wb->bytes};
}

}  // namespace tavo::service
