#include "service/WriterApi.h"

#include <algorithm>

#include "service/Defaults.h"

namespace tavo::service {
namespace {

constexpr const char* kXml = "text/xml; charset=UTF-8";

Answer Xml(const pugi::xml_document& doc) { return {200, kXml, ToXml(doc)}; }

std::vector<const Document*> DocumentsOf(const Store& store, const std::string& account, bool shared) {
  std::vector<const Document*> list;
  for (const auto& [id, doc] : store.documents)
    if (doc.owner == account && !doc.trashed && doc.sharedReadOnly == shared) list.push_back(&doc);
  std::sort(list.begin(), list.end(),
            [](const Document* a, const Document* b) { return std::stoll(a->id) < std::stoll(b->id); });
  return list;
}

Document* Readable(Store& store, const std::string& account, const std::string& id) {
  const auto it = store.documents.find(id);
  if (it == store.documents.end() || it->second.owner != account || it->second.trashed) return nullptr;
  return &it->second;
}

Answer List(const Store& store, const std::string& account, bool shared) {
  pugi::xml_document doc;
  pugi::xml_node root = doc.append_child("methodResponse");
  for (const Document* d : DocumentsOf(store, account, shared)) {
    pugi::xml_node entry = root.append_child("document");
    AddText(entry, "document_name", d->name);
    AddText(entry, "document_id", d->id);
    AddText(entry, "version", FormatVersion(d->version));
    AddText(entry, "document_name_url", d->nameUrl);
    AddText(entry, "author", d->author);
    AddText(entry, "created_on", d->createdOn);
  }
  return Xml(doc);
}

Answer View(const Document& d) {
  pugi::xml_document doc;
  pugi::xml_node view = doc.append_child("methodResponse").append_child("view");
  AddText(view, "document_name", d.name);
  AddText(view, "document_name_url", d.nameUrl);
  AddText(view, "document_id", d.id);
  AddText(view, "version", FormatVersion(d.version));
  AddText(view, "content", d.content);
  return Xml(doc);
}

Answer Version(const Document& d) {
  pugi::xml_document doc;
  AddText(doc.append_child("methodResponse"), "version", FormatVersion(d.version));
  return Xml(doc);
}

Answer Save(Document& d, const MethodCall& method) {
  d.content = method.Value("content");
  d.version = NextVersion(d.version);
  pugi::xml_document doc;
  pugi::xml_node save = doc.append_child("methodResponse").append_child("save");
  AddText(save, "info", "Document saved successfully");
  AddText(save, "document_id", d.id);
  AddText(save, "version", FormatVersion(d.version));
  AddText(save, "document_name_url", d.nameUrl);
  AddText(save, "document_name", d.name);
  return Xml(doc);
}

Answer Create(Store& store, const std::string& account, const MethodCall& method) {
  const std::string name = method.Value("documentname");
  if (name.find_first_not_of(' ') == std::string::npos) return WriterError("1800", "The document needs a name");
  const Document& d = store.CreateDocument(account, name, method.Value("content"), 1);

  pugi::xml_document doc;
  pugi::xml_node create = doc.append_child("methodResponse").append_child("create");
  AddText(create, "document_id", d.id);
  AddText(create, "document_name", d.name);
  AddText(create, "document_name_url", d.nameUrl);
  AddText(create, "version", FormatVersion(d.version));
  AddText(create, "info", "Document created successfully");
  return Xml(doc);
}

Answer Upload(Store& store, const std::string& account, const Call& call, const MethodCall& method) {
  std::string type = method.Value("contenttype");
  if (type == "jpeg") type = "jpg";
  if (type != "png" && type != "gif" && type != "jpg")
    return WriterError("1502", "Pictures must be png, gif or jpg");
  auto bytes = DecodeBase64(method.Value("content"));
  if (!bytes || bytes->empty()) return WriterError("1502", "The picture is not valid Base64");
  Picture picture{store.NewId(), account, type, std::move(*bytes)};
  const std::string url = call.BaseUrl() + std::string(defaults::kPicturesPath) + picture.id + "." + type;
  store.pictures[picture.id] = std::move(picture);

  pugi::xml_document doc;
  AddText(doc.append_child("methodResponse"), "url", url);
  return Xml(doc);
}

}  // namespace

Answer WriterError(const std::string& code, const std::string& info) {
  pugi::xml_document doc;
  pugi::xml_node error = doc.append_child("methodResponse").append_child("error");
  AddText(error, "errorCode", code);
  AddText(error, "info", info);
  return Xml(doc);
}

Answer WriterApi(Store& store, const Call& call) {
  if (!call.KeyAccepted()) return WriterError("1890", "The API key is not valid");
  std::lock_guard lock(store.mutex);
  const auto account = store.AccountOf(call.Param("ticket"));
  if (!account) return WriterError("1401", "The ticket is not valid or has expired");
  const auto method = ParseMethodCall(call.body);
  if (!method) return WriterError("1500", "The request is not a well-formed method call");

  const std::string& name = method->method;
  if (name == "writer.getDocuments") return List(store, *account, false);
  if (name == "writer.getSharedDocuments") return List(store, *account, true);
  if (name == "writer.newDocument") return Create(store, *account, *method);
  if (name == "writer.uploadImage") return Upload(store, *account, call, *method);

  Document* d = Readable(store, *account, method->Value("documentid"));
  if (name == "writer.viewDocument" || name == "writer.getVersion" || name == "writer.saveDocument") {
    if (d == nullptr) return WriterError("1807", "The document cannot be read");
    if (name == "writer.viewDocument") return View(*d);
    if (name == "writer.getVersion") return Version(*d);
    if (d->sharedReadOnly) return WriterError("1853", "The document is shared to you and cannot be saved");
    return Save(*d, *method);
  }
  return WriterError("1501", "Unknown method " + name);
}

Answer WriterPublish(Store& store, const Call& call, bool license) {
  if (!call.KeyAccepted()) return WriterError("1890", "The API key is not valid");
  std::lock_guard lock(store.mutex);
  const auto account = store.AccountOf(call.Param("ticket"));
  if (!account) return WriterError("1401", "The ticket is not valid or has expired");
  Document* d = Readable(store, *account, PublishedId(call));
  if (d == nullptr) return WriterError("1807", "The document cannot be read");
  RecordPublishCall(d->publish, call, license);
  pugi::xml_document doc;
  pugi::xml_node result = doc.append_child("methodResponse").append_child("result");
  AddText(result, "document_id", d->id);
  AddText(result, "info", license ? "License updated" : "Document is public");
  return Xml(doc);
}

Answer ServePicture(Store& store, const Call& call) {
  std::string file = call.path.substr(defaults::kPicturesPath.size());
  const std::string id = file.substr(0, file.find('.'));
  std::lock_guard lock(store.mutex);
  const auto it = store.pictures.find(id);
  if (it == store.pictures.end() || file != id + "." + it->second.type)
    return {404, "text/html; charset=UTF-8", "<html><body><p>No such picture</p></body></html>"};
  const std::string& type = it->second.type;
  return {200, type == "jpg" ? "image/jpeg" : "image/" + type, it->second.bytes};
}

}  // namespace tavo::service
