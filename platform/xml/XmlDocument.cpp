#include "platform/xml/XmlDocument.h"

#include "platform/core/RuntimeError.h"
#include "platform/files/Files.h"
#include "platform/xml/Base64.h"
#include "platform/xml/Parse.h"
#include "platform/xml/XmlState.h"

namespace platform::xml {

struct Document::Impl : DocumentState {};

namespace {

constexpr const char* kDatatypesNamespace = "urn:schemas-microsoft-com:datatypes";
constexpr const char* kBase64Type = "bin.base64";

pugi::xml_node Lib(const NodeCell& cell) { return pugi::xml_node(cell.node); }

pugi::xml_node RequireElement(const NodeCell& cell) {
  pugi::xml_node n = Lib(cell);
  if (n.type() != pugi::node_element) Raise(err::Automation, "This operation needs an element node.");
  return n;
}

// The namespace a prefix stands for at `node`, "" when unbound.
std::string NamespaceOf(pugi::xml_node node, std::string_view prefix) {
  std::string attribute = "xmlns:" + std::string(prefix);
  for (pugi::xml_node n = node; n; n = n.parent()) {
    if (pugi::xml_attribute a = n.attribute(attribute.c_str())) return a.value();
  }
  return {};
}

// The element's data type attribute (any prefix bound to the data-types namespace).
pugi::xml_attribute DataTypeAttribute(pugi::xml_node element) {
  for (pugi::xml_attribute a : element.attributes()) {
    std::string_view name = a.name();
    size_t colon = name.find(':');
    if (colon == std::string_view::npos || name.substr(colon + 1) != "dt") continue;
    std::string_view prefix = name.substr(0, colon);
    if (prefix != "xmlns" && NamespaceOf(element, prefix) == kDatatypesNamespace) return a;
  }
  return {};
}

bool IsBase64Typed(pugi::xml_node node) {
  return node.type() == pugi::node_element && std::string_view(DataTypeAttribute(node).value()) == kBase64Type;
}

void SetText(const std::shared_ptr<DocumentState>& doc, pugi::xml_node node, std::string_view text) {
  if (node.type() == pugi::node_pcdata || node.type() == pugi::node_cdata) {
    node.set_value(std::string(text).c_str());
    ++doc->edits;
    return;
  }
  if (node.type() != pugi::node_element) Raise(err::Automation, "The text of this node cannot be set.");
  while (pugi::xml_node child = node.first_child()) Discard(doc, child);
  if (!text.empty()) node.append_child(pugi::node_pcdata).set_value(std::string(text).c_str());
  ++doc->version;
}

}  // namespace

// ---- Document ------------------------------------------------------------------------------

Document::Document() : impl_(std::make_shared<Impl>()) {}

bool Document::loadXML(std::string_view text) {
  auto fresh = std::make_unique<ParsedTree>();
  fresh->text = text;
  bool ok = ParseMarkup(fresh->text, false, *fresh, &impl_->parseError);
  impl_->ReplaceContent(std::move(fresh));
  return ok;
}

bool Document::load(std::string_view path) {
  auto fresh = std::make_unique<ParsedTree>();
  try {
    fresh->text = files::ReadAllBytes(path);
  } catch (const RuntimeError& e) {
    impl_->ReplaceContent(std::make_unique<ParsedTree>());
    impl_->parseError = e.description() + ": " + std::string(path);
    return false;
  }
  bool ok = ParseMarkup(fresh->text, true, *fresh, &impl_->parseError);
  impl_->ReplaceContent(std::move(fresh));
  return ok;
}

void Document::save(std::string_view path) const {
  files::WriteAllBytes(path, Markup(*impl_->content, impl_->content->text.size()));
}

Node Document::documentElement() const { return NodeCell::Wrap(impl_, impl_->content->document_element()); }

Node Document::createElement(std::string_view name) const {
  CheckName(name);
  return NodeCell::Wrap(impl_, impl_->detached->append_child(std::string(name).c_str()));
}

Node Document::selectSingleNode(std::string_view xpath) const {
  NodeList hits = Select(impl_, *impl_->content, xpath, true);
  return hits.empty() ? Node() : hits.front();
}

NodeList Document::selectNodes(std::string_view xpath) const { return Select(impl_, *impl_->content, xpath, false); }

std::string Document::xml() const { return Markup(*impl_->content, impl_->content->text.size()); }

const std::string& Document::parseError() const { return impl_->parseError; }

// ---- Node ----------------------------------------------------------------------------------

NodeCell& Node::cell() const {
  if (!cell_) Raise(err::ObjectNotSet);
  return *cell_;
}

bool Node::isNothing() const { return !cell_; }

std::string Node::nodeName() const {
  pugi::xml_node n = Lib(cell());
  switch (n.type()) {
    case pugi::node_pcdata: return "#text";
    case pugi::node_cdata: return "#cdata-section";
    case pugi::node_document: return "#document";
    case pugi::node_comment: return "#comment";
    default: return n.name();
  }
}

std::string Node::text() const { return ConcatenatedText(Lib(cell())); }

void Node::setText(std::string_view text) {
  NodeCell& c = cell();
  SetText(c.doc, Lib(c), text);
}

std::string Node::xml() const { return Markup(Lib(cell())); }

NodeList Node::childNodes() const {
  NodeCell& c = cell();
  NodeList list;
  list.reserve(ChildCount(*c.doc, Lib(c)));
  for (pugi::xml_node n : Lib(c).children()) {
    if (IsChild(n)) list.push_back(NodeCell::Wrap(c.doc, n));
  }
  return list;
}

std::size_t Node::childCount() const {
  NodeCell& c = cell();
  return ChildCount(*c.doc, Lib(c));
}

Node Node::child(std::size_t index) const {
  NodeCell& c = cell();
  pugi::xml_node n = ChildAt(*c.doc, Lib(c), index);
  if (!n) Raise(err::ObjectNotSet);
  return NodeCell::Wrap(c.doc, n);
}

Node Node::firstChild() const {
  NodeCell& c = cell();
  return NodeCell::Wrap(c.doc, ChildAt(*c.doc, Lib(c), 0));
}

bool Node::hasChildNodes() const { return !firstChild().isNothing(); }

Node Node::parentNode() const {
  NodeCell& c = cell();
  pugi::xml_node parent = Lib(c).parent();
  // Nodes that are not part of the document (created, removed, left by a reload) have none.
  if (parent.type() == pugi::node_document && parent != *c.doc->content) return Node();
  return NodeCell::Wrap(c.doc, parent);
}

Node Node::appendChild(const Node& child) {
  NodeCell& c = cell();
  Place(c.doc, Lib(c), pugi::xml_node(), child.cell());
  return child;
}

void Node::appendCopy(const Node& node) {
  NodeCell& c = cell();
  const std::shared_ptr<NodeCell>& copied = NodeCell::Of(node);
  if (!copied) Raise(err::ObjectNotSet);
  const pugi::xml_node source(copied->node);
  if (source.type() == pugi::node_document) Raise(err::Automation, "This operation cannot be performed on a document node.");
  if (!RequireElement(c).append_copy(source)) Raise(err::Automation, "The node cannot be inserted here.");
  ++c.doc->version;
}

Node Node::removeChild(const Node& child) {
  NodeCell& c = cell();
  NodeCell& old = child.cell();
  if (old.doc != c.doc || Lib(old).parent() != Lib(c)) Raise(err::Automation, "The node is not a child of this node.");
  Detach(old);
  return child;
}

Node Node::replaceChild(const Node& newChild, const Node& oldChild) {
  NodeCell& c = cell();
  NodeCell& fresh = newChild.cell();
  NodeCell& old = oldChild.cell();
  if (old.doc != c.doc || Lib(old).parent() != Lib(c)) Raise(err::Automation, "The node is not a child of this node.");
  if (&fresh == &old) return oldChild;
  Place(c.doc, Lib(c), Lib(old), fresh);
  Detach(old);
  return oldChild;
}

std::string Node::getAttribute(std::string_view name) const {
  return Lib(cell()).attribute(std::string(name).c_str()).value();
}

void Node::setAttribute(std::string_view name, std::string_view value) {
  pugi::xml_node n = RequireElement(cell());
  CheckName(name);
  std::string key(name);
  pugi::xml_attribute a = n.attribute(key.c_str());
  if (!a) a = n.append_attribute(key.c_str());
  a.set_value(std::string(value).c_str());
  ++cell().doc->edits;
}

std::size_t Node::attributeCount() const {
  std::size_t count = 0;
  for (pugi::xml_attribute a = Lib(cell()).first_attribute(); a; a = a.next_attribute()) ++count;
  return count;
}

std::string Node::attribute(std::size_t index) const {
  pugi::xml_attribute a = Lib(cell()).first_attribute();
  for (std::size_t i = 0; a && i < index; ++i) a = a.next_attribute();
  if (!a) Raise(err::ObjectNotSet);
  return a.value();
}

Node Node::selectSingleNode(std::string_view xpath) const {
  NodeCell& c = cell();
  NodeList hits = Select(c.doc, Lib(c), xpath, true);
  return hits.empty() ? Node() : hits.front();
}

NodeList Node::selectNodes(std::string_view xpath) const {
  NodeCell& c = cell();
  return Select(c.doc, Lib(c), xpath, false);
}

void Node::setDataType(std::string_view dataType) {
  pugi::xml_node n = RequireElement(cell());
  ++cell().doc->edits;
  if (dataType != kBase64Type) Raise(err::Automation, "The datatype '" + std::string(dataType) + "' is not supported.");
  if (pugi::xml_attribute existing = DataTypeAttribute(n)) {
    existing.set_value(kBase64Type);
    return;
  }
  pugi::xml_attribute ns = n.attribute("xmlns:dt");
  if (!ns) ns = n.append_attribute("xmlns:dt");
  ns.set_value(kDatatypesNamespace);
  pugi::xml_attribute type = n.attribute("dt:dt");
  if (!type) type = n.append_attribute("dt:dt");
  type.set_value(kBase64Type);
}

void Node::setNodeTypedValue(std::string_view bytes) {
  NodeCell& c = cell();
  pugi::xml_node n = Lib(c);
  SetText(c.doc, n, IsBase64Typed(n) ? Base64Encode(bytes) : std::string(bytes));
}

std::string Node::nodeTypedValue() const {
  pugi::xml_node n = Lib(cell());
  std::string text = ConcatenatedText(n);
  if (!IsBase64Typed(n)) return text;
  std::string bytes;
  if (!Base64Decode(text, &bytes)) Raise(err::Automation, "Error parsing '" + text + "' as bin.base64 datatype.");
  return bytes;
}

// ---- XPath literals ------------------------------------------------------------------------

// ---- ChildTextIndex ------------------------------------------------------------------------

ChildTextIndex::ChildTextIndex(const Node& context, std::string_view path, std::string_view childName) {
  const std::shared_ptr<NodeCell>& at = NodeCell::Of(context);
  if (!at) Raise(err::ObjectNotSet);
  doc_ = at->doc;
  const std::shared_ptr<const ChildTextTable>& kept = doc_->childTextTable;
  if (kept && kept->context == at->node && kept->path == path && kept->childName == childName &&
      kept->version == doc_->version && kept->edits == doc_->edits) {
    table_ = kept;
  } else {
    auto table = std::make_shared<ChildTextTable>();
    table->context = at->node;
    table->path = path;
    table->childName = childName;
    table->version = doc_->version;
    table->edits = doc_->edits;
    try {
      const pugi::xpath_query query(table->path.c_str());
      pugi::xpath_node_set hits = query.evaluate_node_set(Lib(*at));
      hits.sort();
      table->nodes.reserve(hits.size());
      table->byText.reserve(hits.size());
      for (const pugi::xpath_node& hit : hits) {
        if (!hit.node()) continue;
        const std::size_t position = table->nodes.size();
        table->nodes.push_back(hit.node().internal_object());
        std::string sole;
        int texts = 0;
        bool first = false;
        for (pugi::xml_node child : hit.node().children(table->childName.c_str())) {
          std::string text = ConcatenatedText(child);
          std::vector<std::size_t>& list = table->byText[text];
          // A node is listed once under each text its children hold.
          if (!list.empty() && list.back() == position) continue;
          list.push_back(position);
          first = list.size() == 1;
          sole = std::move(text);
          ++texts;
        }
        table->soleText.push_back(texts == 1 ? std::move(sole) : std::string());
        table->firstWithText.push_back(texts == 1 && first);
      }
    } catch (const pugi::xpath_exception& e) {
      Raise(err::Automation, e.what());
    }
    doc_->childTextTable = table;
    table_ = std::move(table);
  }
  taken_.assign(table_->nodes.size(), false);
}

Node ChildTextIndex::Take(const std::string& text) {
  const ChildTextTable& table = *table_;
  auto take = [&](std::size_t position) {
    taken_[position] = true;
    next_ = position + 1;
    return NodeCell::Wrap(doc_, pugi::xml_node(table.nodes[position]));
  };
  // The node after the last one taken, when it is the first with this text and its only one.
  const std::size_t next = next_;
  if (next < table.nodes.size() && !taken_[next] && table.firstWithText[next] && table.soleText[next] == text)
    return take(next);
  const auto found = table.byText.find(text);
  if (found == table.byText.end()) return {};
  for (const std::size_t position : found->second)
    if (!taken_[position]) return take(position);
  return {};
}

std::string XPathLiteral(std::string_view text) {
  if (text.find('\'') == std::string_view::npos) return "'" + std::string(text) + "'";
  if (text.find('"') == std::string_view::npos) return "\"" + std::string(text) + "\"";
  // Both kinds of quote: apostrophes go in double quotes, the rest in single quotes.
  std::string out = "concat(";
  bool first = true;
  size_t start = 0;
  auto add = [&](const std::string& piece) {
    if (!first) out += ", ";
    out += piece;
    first = false;
  };
  while (start < text.size()) {
    size_t quote = text.find('\'', start);
    if (quote == std::string_view::npos) quote = text.size();
    if (quote > start) add("'" + std::string(text.substr(start, quote - start)) + "'");
    if (quote < text.size()) add("\"'\"");
    start = quote + 1;
  }
  return out + ")";
}

}  // namespace platform::xml
