#include "platform/html/HtmlDocument.h"

#include <cfenv>
#include <cmath>
#include <cstdlib>

#include "platform/core/RuntimeError.h"
#include "platform/core/Text.h"
#include "platform/files/Files.h"
#include "platform/html/HtmlTree.h"

namespace platform::html {
namespace {

constexpr long kObjectDoesNotSupport = 438;
constexpr long kInvalidTarget = 600;

xmlNodePtr N(void* p) { return static_cast<xmlNodePtr>(p); }

std::string ToString(xmlChar* owned) {
  if (!owned) return {};
  std::string s(reinterpret_cast<const char*>(owned));
  xmlFree(owned);
  return s;
}

xmlAttrPtr FindAttribute(xmlNodePtr element, std::string_view name) {
  for (xmlAttrPtr a = element->properties; a; a = a->next)
    if (text::EqualsText(reinterpret_cast<const char*>(a->name), name)) return a;
  return nullptr;
}

// A text assigned to a number property: blanks around a decimal number, rounded half to even
// into the 32-bit range.
long NumberFromText(std::string_view text) {
  std::string s = text::Trim(text);
  char* end = nullptr;
  double v = s.empty() ? 0 : std::strtod(s.c_str(), &end);
  if (s.empty() || end != s.c_str() + s.size() || !std::isfinite(v)) Raise(platform::err::TypeMismatch);
  double rounded = std::nearbyint(v);  // the default rounding mode rounds half to even
  if (rounded > 2147483647.0 || rounded < -2147483648.0) Raise(platform::err::Overflow);
  return static_cast<long>(rounded);
}

// Links `n` into `parent` before `before` (at the end for nullptr). Unlike the library's own
// insertion calls this never merges text nodes, which would free nodes that handles name.
void LinkBefore(xmlNodePtr parent, xmlNodePtr before, xmlNodePtr n) {
  n->parent = parent;
  n->next = before;
  n->prev = before ? before->prev : parent->last;
  if (n->prev)
    n->prev->next = n;
  else
    parent->children = n;
  if (before)
    before->prev = n;
  else
    parent->last = n;
}

long NumberAttribute(xmlNodePtr element, std::string_view name) {
  xmlAttrPtr a = FindAttribute(element, name);
  if (!a) return 0;
  return static_cast<long>(text::Val(ToString(xmlNodeListGetString(element->doc, a->children, 1))));
}

}  // namespace

// ---- Document ----

Document::Document() : impl_(std::make_shared<Impl>(tree::ParsePage({}, "UTF-8", nullptr))) {}

Document Document::FromText(std::string_view html) {
  return Document(std::make_shared<Impl>(tree::ParsePage(html, "UTF-8", nullptr)));
}

Document Document::FromFile(std::string_view path) {
  std::string bytes = files::ReadAllBytes(path);
  std::string url(path);
  return Document(std::make_shared<Impl>(tree::ParsePage(bytes, nullptr, url.c_str())));
}

Node Document::documentElement() const { return Node(impl_, xmlDocGetRootElement(impl_->doc)); }

Node Document::body() const { return Node(impl_, tree::Body(impl_->doc)); }

ElementCollection Document::getElementsByTagName(std::string_view name) const {
  return ElementCollection(impl_, std::string(name));
}

Node Document::createElement(std::string_view tagName) const {
  if (tagName.empty() || tagName.find_first_of(" \t\r\n<>/=\"'") != std::string_view::npos)
    Raise(platform::err::InvalidProcedureCall, "Invalid argument.");
  std::string name = text::LCase(tagName);
  xmlNodePtr node = xmlNewDocNode(impl_->doc, nullptr, BAD_CAST name.c_str(), nullptr);
  if (!node) Raise(platform::err::OutOfMemory);
  impl_->detached.push_back(node);
  return Node(impl_, node);
}

// ---- Node ----

void* Node::get() const {
  if (!node_) Raise(platform::err::ObjectNotSet);
  return node_;
}

void* Node::element() const {
  xmlNodePtr n = N(get());
  if (n->type != XML_ELEMENT_NODE) Raise(kObjectDoesNotSupport, "Object doesn't support this property or method");
  return n;
}

int Node::nodeType() const {
  switch (N(get())->type) {
    case XML_ELEMENT_NODE: return ELEMENT_NODE;
    case XML_TEXT_NODE:
    case XML_CDATA_SECTION_NODE: return TEXT_NODE;
    case XML_COMMENT_NODE: return COMMENT_NODE;
    default: return 0;
  }
}

std::string Node::nodeName() const {
  switch (nodeType()) {
    case ELEMENT_NODE: return tagName();
    case TEXT_NODE: return "#text";
    case COMMENT_NODE: return "#comment";
    default: return {};
  }
}

std::string Node::tagName() const {
  xmlNodePtr n = N(get());
  if (n->type != XML_ELEMENT_NODE) return {};
  std::string name = tree::NameOf(n);
  size_t colon = name.rfind(':');
  if (colon != std::string::npos) return name.substr(colon + 1);
  return text::UCase(name);
}

NodeList Node::childNodes() const {
  NodeList list;
  for (xmlNodePtr c = N(get())->children; c; c = c->next) list.push_back(Node(doc_, c));
  return list;
}

Node Node::firstChild() const { return Node(doc_, N(get())->children); }

bool Node::hasChildNodes() const { return N(get())->children != nullptr; }

Node Node::parentNode() const {
  xmlNodePtr p = N(get())->parent;
  if (!p || p->type != XML_ELEMENT_NODE) return {};
  return Node(doc_, p);
}

std::string Node::getAttribute(std::string_view name) const {
  xmlNodePtr e = N(element());
  xmlAttrPtr a = FindAttribute(e, name);
  return a ? ToString(xmlNodeListGetString(e->doc, a->children, 1)) : std::string();
}

void Node::setAttribute(std::string_view name, std::string_view value) {
  xmlNodePtr e = N(element());
  if (name.empty() || name.find_first_of(" \t\r\n<>/=\"'") != std::string_view::npos)
    Raise(platform::err::InvalidProcedureCall, "Invalid argument.");
  xmlAttrPtr a = FindAttribute(e, name);
  std::string n = a ? std::string(reinterpret_cast<const char*>(a->name)) : text::LCase(name);
  std::string v(value);
  // The value is taken as literal text: nothing in it is read as an entity.
  if (!xmlSetProp(e, BAD_CAST n.c_str(), BAD_CAST v.c_str())) Raise(platform::err::OutOfMemory);
}

void Node::removeAttribute(std::string_view name) {
  if (xmlAttrPtr a = FindAttribute(N(element()), name)) xmlRemoveProp(a);
}

bool Node::hasAttribute(std::string_view name) const { return FindAttribute(N(element()), name) != nullptr; }

std::vector<std::string> Node::attributeNames() const {
  std::vector<std::string> names;
  for (xmlAttrPtr a = N(element())->properties; a; a = a->next) names.emplace_back(reinterpret_cast<const char*>(a->name));
  return names;
}

long Node::height() const { return NumberAttribute(N(element()), "height"); }
long Node::width() const { return NumberAttribute(N(element()), "width"); }
void Node::setHeight(long v) { setAttribute("height", std::to_string(v)); }
void Node::setWidth(long v) { setAttribute("width", std::to_string(v)); }
void Node::setHeight(std::string_view text) { setHeight(NumberFromText(text)); }
void Node::setWidth(std::string_view text) { setWidth(NumberFromText(text)); }

Style Node::style() const {
  element();
  return Style(*this);
}

std::string Node::innerHTML() const { return tree::SerializeChildren(N(element())); }

void Node::setInnerHTML(std::string_view html) {
  xmlNodePtr e = N(element());
  std::vector<xmlNodePtr> nodes = tree::ParseFragment(e->doc, html);
  while (xmlNodePtr c = e->children) {
    xmlUnlinkNode(c);
    doc_->detached.push_back(c);
  }
  for (xmlNodePtr n : nodes) LinkBefore(e, nullptr, n);
}

std::string Node::outerHTML() const { return tree::Serialize(N(element())); }

void Node::setOuterHTML(std::string_view html) {
  xmlNodePtr e = N(element());
  if (!e->parent || e->parent->type != XML_ELEMENT_NODE)
    Raise(kInvalidTarget, "Invalid target element for this operation.");
  std::vector<xmlNodePtr> nodes = tree::ParseFragment(e->doc, html);
  for (xmlNodePtr n : nodes) LinkBefore(e->parent, e, n);
  xmlUnlinkNode(e);
  doc_->detached.push_back(e);
}

std::string Node::innerText() const { return ToString(xmlNodeGetContent(N(get()))); }

void Node::setInnerText(std::string_view text) {
  xmlNodePtr e = N(element());
  const std::string literal(text);
  xmlNodePtr node = xmlNewDocText(e->doc, BAD_CAST literal.c_str());
  if (!node) Raise(platform::err::OutOfMemory);
  while (xmlNodePtr c = e->children) {
    xmlUnlinkNode(c);
    doc_->detached.push_back(c);
  }
  LinkBefore(e, nullptr, node);
}

// ---- Style ----

namespace {

struct Declaration {
  std::string name, value;
};

std::string TrimWhitespace(std::string_view s) {
  constexpr std::string_view kWhitespace = " \t\r\n\f";
  size_t b = s.find_first_not_of(kWhitespace);
  if (b == std::string_view::npos) return {};
  return std::string(s.substr(b, s.find_last_not_of(kWhitespace) - b + 1));
}

// Splits "a: b; c: url(x;y)" into declarations, minding quotes and parentheses.
std::vector<Declaration> ParseDeclarations(std::string_view css) {
  std::vector<Declaration> out;
  std::string current;
  char quote = 0;
  int depth = 0;
  auto flush = [&] {
    size_t colon = current.find(':');
    if (colon != std::string::npos) {
      std::string name = text::LCase(TrimWhitespace(current.substr(0, colon)));
      std::string value = TrimWhitespace(current.substr(colon + 1));
      if (!name.empty()) out.push_back({name, value});
    }
    current.clear();
  };
  for (char c : css) {
    if (quote) {
      if (c == quote) quote = 0;
    } else if (c == '"' || c == '\'') {
      quote = c;
    } else if (c == '(') {
      ++depth;
    } else if (c == ')' && depth > 0) {
      --depth;
    } else if (c == ';' && depth == 0) {
      flush();
      continue;
    }
    current += c;
  }
  flush();
  return out;
}

std::string Join(const std::vector<Declaration>& decls) {
  std::string out;
  for (const auto& d : decls) {
    if (!out.empty()) out += "; ";
    out += d.name + ": " + d.value;
  }
  return out;
}

}  // namespace

std::string Style::getPropertyValue(std::string_view name) const {
  std::string value;
  for (const auto& d : ParseDeclarations(element_.getAttribute("style")))
    if (text::EqualsText(d.name, name)) value = d.value;  // the last declaration wins
  return value;
}

void Style::setProperty(std::string_view name, std::string_view value) {
  std::vector<Declaration> decls = ParseDeclarations(element_.getAttribute("style"));
  std::vector<Declaration> kept;
  bool placed = false;
  std::string v = TrimWhitespace(value);
  for (auto& d : decls) {
    if (!text::EqualsText(d.name, name)) {
      kept.push_back(std::move(d));
    } else if (!placed && !v.empty()) {
      kept.push_back({d.name, v});
      placed = true;
    }
  }
  if (!placed && !v.empty()) kept.push_back({text::LCase(name), v});
  Node e = element_;
  if (kept.empty())
    e.removeAttribute("style");
  else
    e.setAttribute("style", Join(kept));
}

std::string Style::cssText() const { return Join(ParseDeclarations(element_.getAttribute("style"))); }

// ---- ElementCollection ----

std::vector<void*> ElementCollection::Collect() const {
  std::vector<void*> found;
  xmlNodePtr root = xmlDocGetRootElement(doc_->doc);
  // Pre-order walk without recursion.
  for (xmlNodePtr n = root; n;) {
    if (n->type == XML_ELEMENT_NODE && tree::Matches(n, name_)) found.push_back(n);
    if (n->children && n->type == XML_ELEMENT_NODE) {
      n = n->children;
      continue;
    }
    while (n && n != root && !n->next) n = n->parent;
    if (!n || n == root) break;
    n = n->next;
  }
  return found;
}

std::size_t ElementCollection::length() const { return Collect().size(); }

Node ElementCollection::item(std::size_t index) const {
  std::vector<void*> found = Collect();
  return index < found.size() ? Node(doc_, found[index]) : Node();
}

}  // namespace platform::html
