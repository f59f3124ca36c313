#include "platform/xml/XmlState.h"

#include <algorithm>

#include "platform/core/RuntimeError.h"

namespace platform::xml {
namespace {

using NodePtr = pugi::xml_node_struct*;

constexpr unsigned kFormat = pugi::format_raw | pugi::format_no_declaration | pugi::format_no_empty_element_tags;

// Visits `top` and its descendants in document order; `visit` gets each node.
template <class F>
void Walk(pugi::xml_node top, F visit) {
  pugi::xml_node n = top;
  while (true) {
    visit(n);
    if (n.first_child()) {
      n = n.first_child();
      continue;
    }
    while (n != top && !n.next_sibling()) n = n.parent();
    if (n == top) return;
    n = n.next_sibling();
  }
}

bool HasLiveCells(const DocumentState& doc, pugi::xml_node top) {
  if (doc.cells.empty()) return false;
  bool live = false;
  Walk(top, [&](pugi::xml_node n) {
    auto it = doc.cells.find(n.internal_object());
    if (it != doc.cells.end() && !it->second.expired()) live = true;
  });
  return live;
}

// After `src` (a subtree of `from`) was copied to `dst` (of `to`), points the handles of
// the source nodes at their copies. The two subtrees have the same shape.
void Repoint(DocumentState& from, pugi::xml_node src, const std::shared_ptr<DocumentState>& to, pugi::xml_node dst) {
  if (from.cells.empty()) return;
  pugi::xml_node s = src, d = dst;
  while (true) {
    auto it = from.cells.find(s.internal_object());
    if (it != from.cells.end()) {
      std::weak_ptr<NodeCell> weak = it->second;
      from.cells.erase(it);
      if (auto cell = weak.lock()) {
        cell->node = d.internal_object();
        if (cell->doc.get() != to.get()) cell->doc = to;
        to->cells[d.internal_object()] = weak;
      }
    }
    if (s.first_child()) {
      s = s.first_child();
      d = d.first_child();
      continue;
    }
    while (s != src && !s.next_sibling()) {
      s = s.parent();
      d = d.parent();
    }
    if (s == src) return;
    s = s.next_sibling();
    d = d.next_sibling();
  }
}

// Moves a node of `doc` into its detached nodes, its handles following; returns the copy.
pugi::xml_node MoveToDetached(const std::shared_ptr<DocumentState>& doc, pugi::xml_node node) {
  pugi::xml_node copy = doc->detached->append_copy(node);
  if (!copy) Raise(err::OutOfMemory);
  Repoint(*doc, node, doc, copy);
  node.parent().remove_child(node);
  ++doc->version;
  return copy;
}

bool IsAncestorOrSelf(pugi::xml_node candidate, pugi::xml_node node) {
  for (pugi::xml_node n = node; n; n = n.parent()) {
    if (n == candidate) return true;
  }
  return false;
}

[[noreturn]] void Refuse(const char* why) { Raise(err::Automation, why); }

}  // namespace

DocumentState::DocumentState()
    : content(std::make_unique<pugi::xml_document>()), detached(std::make_unique<pugi::xml_document>()) {}

void DocumentState::ReplaceContent(std::unique_ptr<pugi::xml_document> fresh) {
  std::vector<NodePtr> referenced;
  for (const auto& [node, weak] : cells) {
    if (!weak.expired()) referenced.push_back(pugi::xml_node(node).root().internal_object());
  }
  auto isReferenced = [&](const std::unique_ptr<pugi::xml_document>& d) {
    return std::find(referenced.begin(), referenced.end(), d->internal_object()) != referenced.end();
  };
  if (isReferenced(content)) retired.push_back(std::move(content));
  retired.erase(std::remove_if(retired.begin(), retired.end(), [&](const auto& d) { return !d || !isReferenced(d); }),
                retired.end());
  content = std::move(fresh);
  ++version;
}

NodeCell::~NodeCell() {
  auto it = doc->cells.find(node);
  if (it == doc->cells.end() || !it->second.expired()) return;
  doc->cells.erase(it);
  // A detached node nobody refers to any more is freed.
  pugi::xml_node n(node);
  if (n.parent() == *doc->detached && !HasLiveCells(*doc, n)) doc->detached->remove_child(n);
}

Node NodeCell::Wrap(const std::shared_ptr<DocumentState>& doc, pugi::xml_node node) {
  if (!node) return Node();
  std::weak_ptr<NodeCell>& slot = doc->cells[node.internal_object()];
  if (auto existing = slot.lock()) return Node(existing);
  auto cell = std::make_shared<NodeCell>();
  cell->doc = doc;
  cell->node = node.internal_object();
  slot = cell;
  return Node(std::move(cell));
}

bool IsChild(pugi::xml_node node) {
  auto t = node.type();
  return t == pugi::node_element || t == pugi::node_pcdata || t == pugi::node_cdata;
}

pugi::xml_node ChildAt(DocumentState& doc, pugi::xml_node parent, std::size_t index) {
  auto& c = doc.cursor;
  pugi::xml_node n;
  std::size_t at = 0;
  if (c.parent == parent.internal_object() && c.version == doc.version && c.index <= index) {
    n = pugi::xml_node(c.node);
    at = c.index;
  } else {
    for (n = parent.first_child(); n && !IsChild(n); n = n.next_sibling()) {
    }
  }
  while (n && at < index) {
    do n = n.next_sibling();
    while (n && !IsChild(n));
    ++at;
  }
  if (n) c = {parent.internal_object(), doc.version, index, n.internal_object()};
  return n;
}

std::size_t ChildCount(DocumentState& doc, pugi::xml_node parent) {
  auto& c = doc.count;
  if (c.parent == parent.internal_object() && c.version == doc.version) return c.value;
  std::size_t count = 0;
  for (pugi::xml_node n = parent.first_child(); n; n = n.next_sibling()) count += IsChild(n) ? 1 : 0;
  c = {parent.internal_object(), doc.version, count};
  return count;
}

void Place(const std::shared_ptr<DocumentState>& doc, pugi::xml_node parent, pugi::xml_node before,
           NodeCell& child) {
  std::shared_ptr<DocumentState> source = child.doc;  // kept alive while its node leaves it
  pugi::xml_node node(child.node);
  if (node.type() == pugi::node_document) Refuse("This operation cannot be performed on a document node.");
  if (parent.type() != pugi::node_element && parent.type() != pugi::node_document)
    Refuse("This operation cannot be performed on a node of this type.");
  if (parent.type() == pugi::node_document) {
    if (node.type() != pugi::node_element) Refuse("Text is not allowed at the top level of a document.");
    for (pugi::xml_node n = parent.first_child(); n; n = n.next_sibling()) {
      if (n.type() == pugi::node_element && n != node) Refuse("Only one top level element is allowed in an XML document.");
    }
  }
  if (before == node) return;
  if (node.root() == parent.root()) {
    if (IsAncestorOrSelf(node, parent)) Refuse("The new child node is an ancestor of the parent node.");
    pugi::xml_node moved = before ? parent.insert_move_before(node, before) : parent.append_move(node);
    if (!moved) Refuse("The node cannot be inserted here.");
    ++doc->version;
    return;
  }
  pugi::xml_node copy = before ? parent.insert_copy_before(node, before) : parent.append_copy(node);
  if (!copy) Refuse("The node cannot be inserted here.");
  Repoint(*source, node, doc, copy);
  node.parent().remove_child(node);
  ++source->version;
  ++doc->version;
}

void Detach(NodeCell& cell) {
  pugi::xml_node node(cell.node);
  if (node.parent() == *cell.doc->detached) return;
  std::shared_ptr<DocumentState> doc = cell.doc;
  MoveToDetached(doc, node);
}

void Discard(const std::shared_ptr<DocumentState>& doc, pugi::xml_node node) {
  if (HasLiveCells(*doc, node)) {
    MoveToDetached(doc, node);
    return;
  }
  node.parent().remove_child(node);
  ++doc->version;
}

std::string Markup(pugi::xml_node node) {
  struct Writer : pugi::xml_writer {
    std::string out;
    void write(const void* data, size_t size) override { out.append(static_cast<const char*>(data), size); }
  } writer;
  node.print(writer, "", kFormat, pugi::encoding_utf8);
  return std::move(writer.out);
}

std::string ConcatenatedText(pugi::xml_node node) {
  std::string out;
  Walk(node, [&](pugi::xml_node n) {
    if (n.type() == pugi::node_pcdata || n.type() == pugi::node_cdata) out += n.value();
  });
  return out;
}

NodeList Select(const std::shared_ptr<DocumentState>& doc, pugi::xml_node context, std::string_view xpath,
                bool firstOnly) {
  NodeList result;
  try {
    pugi::xpath_query query(std::string(xpath).c_str());
    if (query.return_type() != pugi::xpath_type_node_set) Refuse("Expression does not evaluate to a node-set.");
    auto add = [&](const pugi::xpath_node& hit) {
      if (!hit.node()) Refuse("Selecting attributes is not supported; select their elements.");
      result.push_back(NodeCell::Wrap(doc, hit.node()));
    };
    if (firstOnly) {
      pugi::xpath_node hit = query.evaluate_node(context);
      if (hit) add(hit);
    } else {
      pugi::xpath_node_set hits = query.evaluate_node_set(context);
      hits.sort();
      result.reserve(hits.size());
      for (const pugi::xpath_node& hit : hits) add(hit);
    }
  } catch (const pugi::xpath_exception& e) {
    Raise(err::Automation, e.what());
  }
  return result;
}

void CheckName(std::string_view name) {
  auto startChar = [](unsigned char c) { return std::isalpha(c) || c == '_' || c == ':' || c >= 0x80; };
  auto nameChar = [&](unsigned char c) { return startChar(c) || std::isdigit(c) || c == '-' || c == '.'; };
  if (name.empty()) Refuse("A name must not be empty.");
  if (!startChar(static_cast<unsigned char>(name[0])))
    Raise(err::Automation, "This name may not begin with the '" + std::string(1, name[0]) + "' character.");
  for (char c : name) {
    if (!nameChar(static_cast<unsigned char>(c)))
      Raise(err::Automation, "This name may not contain the '" + std::string(1, c) + "' character.");
  }
}

}  // namespace platform::xml
