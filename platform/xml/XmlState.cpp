#include "platform/xml/XmlState.h"

#include <algorithm>

#include "platform/core/RuntimeError.h"

namespace platform::xml {
namespace {

using NodePtr = pugi::xml_node_struct*;

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
    : content(std::make_unique<ParsedTree>()), detached(std::make_unique<pugi::xml_document>()) {}

void DocumentState::ReplaceContent(std::unique_ptr<ParsedTree> fresh) {
  std::vector<NodePtr> referenced;
  for (const auto& [node, weak] : cells) {
    if (!weak.expired()) referenced.push_back(pugi::xml_node(node).root().internal_object());
  }
  auto isReferenced = [&](const std::unique_ptr<ParsedTree>& d) {
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
  DocumentState::Cursor* cursor = nullptr;
  for (auto& c : doc.cursors) {
    if (c.parent == parent.internal_object() && c.version == doc.version) cursor = &c;
  }
  pugi::xml_node n;
  std::size_t at = 0;
  if (cursor && cursor->index <= index) {
    n = pugi::xml_node(cursor->node);
    at = cursor->index;
  } else {
    for (n = parent.first_child(); n && !IsChild(n); n = n.next_sibling()) {
    }
  }
  while (n && at < index) {
    do n = n.next_sibling();
    while (n && !IsChild(n));
    ++at;
  }
  if (!n) return n;
  if (!cursor) {
    cursor = &doc.cursors[0];
    for (auto& c : doc.cursors) {
      if (c.lastUse < cursor->lastUse) cursor = &c;
    }
  }
  *cursor = {parent.internal_object(), doc.version, index, n.internal_object(), ++doc.cursorUses};
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

namespace {

// What a character turns into in text (or, with `inAttribute`, in a value in double quotes);
// nullptr when it stays as it is. Line breaks and tabs in values, and carriage returns
// anywhere, are written as references so that reading the markup gives them back unchanged.
const char* EscapeOf(unsigned char c, bool inAttribute) {
  static const char* const kControls[32] = {
      "&#0;",  "&#1;",  "&#2;",  "&#3;",  "&#4;",  "&#5;",  "&#6;",  "&#7;",  "&#8;",  "&#9;",  "&#10;",
      "&#11;", "&#12;", "&#13;", "&#14;", "&#15;", "&#16;", "&#17;", "&#18;", "&#19;", "&#20;", "&#21;",
      "&#22;", "&#23;", "&#24;", "&#25;", "&#26;", "&#27;", "&#28;", "&#29;", "&#30;", "&#31;"};
  switch (c) {
    case '&': return "&amp;";
    case '<': return "&lt;";
    case '>': return inAttribute ? nullptr : "&gt;";
    case '"': return inAttribute ? "&quot;" : nullptr;
    case '\t':
    case '\n': return inAttribute ? kControls[c] : nullptr;
    default: return c < 32 ? kControls[c] : nullptr;
  }
}

struct EscapeTable {
  const char* of[256];
  explicit EscapeTable(bool inAttribute) {
    for (int c = 0; c < 256; ++c) of[c] = EscapeOf(static_cast<unsigned char>(c), inAttribute);
  }
};

void AppendEscaped(std::string& out, const char* text, bool inAttribute) {
  static const EscapeTable kText(false), kAttribute(true);
  const EscapeTable& table = inAttribute ? kAttribute : kText;
  const char* run = text;
  const char* p = text;
  for (; *p; ++p) {
    if (const char* escape = table.of[static_cast<unsigned char>(*p)]) {
      out.append(run, p);
      out += escape;
      run = p + 1;
    }
  }
  out.append(run, p);
}

void AppendCdata(std::string& out, std::string_view value) {
  // "]]>" cannot stand inside a section: it is split over two.
  size_t start = 0;
  out += "<![CDATA[";
  for (size_t end; (end = value.find("]]>", start)) != std::string_view::npos; start = end + 2) {
    out.append(value.substr(start, end + 2 - start));
    out += "]]><![CDATA[";
  }
  out.append(value.substr(start));
  out += "]]>";
}

void AppendOpen(std::string& out, pugi::xml_node element) {
  out += '<';
  out += element.name();
  for (pugi::xml_attribute a = element.first_attribute(); a; a = a.next_attribute()) {
    out += ' ';
    out += a.name();
    out += "=\"";
    AppendEscaped(out, a.value(), true);
    out += '"';
  }
  out += '>';
}

void AppendClose(std::string& out, pugi::xml_node element) {
  out += "</";
  out += element.name();
  out += '>';
}

}  // namespace

// The markup by our own walk: slower than the library's printer, but it writes a carriage
// return in text as a reference, where the printer writes it raw and a reader would turn it
// into a line feed.
std::string MarkupKeepingCarriageReturns(pugi::xml_node node) {
  std::string out;
  auto open = [&](pugi::xml_node n, pugi::xml_node_type type) {
    if (type == pugi::node_element) AppendOpen(out, n);
    else if (type == pugi::node_pcdata) AppendEscaped(out, n.value(), false);
    else if (type == pugi::node_cdata) AppendCdata(out, n.value());
    // comments and instructions are not kept on load
  };
  pugi::xml_node_type topType = node.type();
  if (topType != pugi::node_element && topType != pugi::node_document) {
    open(node, topType);
    return out;
  }
  if (topType == pugi::node_element) AppendOpen(out, node);
  pugi::xml_node n = node.first_child();
  while (n) {
    pugi::xml_node_type type = n.type();
    open(n, type);
    if (type == pugi::node_element) {
      if (pugi::xml_node child = n.first_child()) {
        n = child;
        continue;
      }
      AppendClose(out, n);
    }
    // Close elements on the way up until a sibling follows.
    pugi::xml_node next = n.next_sibling();
    while (!next) {
      n = n.parent();
      if (n == node) break;
      AppendClose(out, n);
      next = n.next_sibling();
    }
    n = next;
  }
  if (topType == pugi::node_element) AppendClose(out, node);
  return out;
}

std::string Markup(pugi::xml_node node, std::size_t expectedSize) {
  struct Writer : pugi::xml_writer {
    std::string out;
    void write(const void* data, size_t size) override { out.append(static_cast<const char*>(data), size); }
  } writer;
  writer.out.reserve(expectedSize);
  // No indentation, no declaration, and an empty element as a start and an end tag.
  node.print(writer, "", pugi::format_raw | pugi::format_no_declaration | pugi::format_no_empty_element_tags,
             pugi::encoding_utf8);
  if (writer.out.find('\r') != std::string::npos) return MarkupKeepingCarriageReturns(node);
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
