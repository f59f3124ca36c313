#pragma once
// The HTML document subset the add-ins use, in the manner of a browser's document object:
// parse from text or a file (leniently, as browsers do), body and documentElement, live
// getElementsByTagName collections, createElement, and elements with tagName, attributes,
// inline style sizes, child nodes and outerHTML / innerHTML read and write.
//
// Element names are matched case-insensitively; a prefixed element such as v:shape answers to
// its local name ("shape"), and its tagName is that local name as written, while ordinary
// elements have upper-case tag names ("IMG"). Serialisation keeps prefixed names (v:shape) and
// adds no whitespace.
//
// A Node is a handle that may be empty ("Nothing"); using an empty one raises RuntimeError 91.
// Handles keep their document alive, and an element replaced or removed stays valid (detached)
// for as long as a handle to it exists. Failures of the library raise RuntimeError.
#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace platform::html {

class Node;
class Style;
class ElementCollection;
using NodeList = std::vector<Node>;

inline constexpr int ELEMENT_NODE = 1;
inline constexpr int TEXT_NODE = 3;
inline constexpr int COMMENT_NODE = 8;

class Document {
 public:
  // An empty page: <html><head></head><body></body></html>.
  Document();
  // Parses UTF-8 text. Missing html, head or body elements are supplied.
  static Document FromText(std::string_view html);
  // Reads and parses a file given by Windows path (its charset declaration, if any, is
  // honoured); RuntimeError 53 when it does not exist.
  static Document FromFile(std::string_view path);

  Node documentElement() const;
  Node body() const;
  // Live: re-evaluated on every access, in document order. "*" matches every element.
  ElementCollection getElementsByTagName(std::string_view name) const;
  // A new element of this document, not yet in the tree.
  Node createElement(std::string_view tagName) const;

 private:
  friend class Node;
  friend class ElementCollection;
  struct Impl;
  explicit Document(std::shared_ptr<Impl> impl) : impl_(std::move(impl)) {}
  std::shared_ptr<Impl> impl_;
};

class Node {
 public:
  Node() = default;
  explicit operator bool() const { return !isNothing(); }
  bool isNothing() const { return node_ == nullptr; }
  bool operator==(const Node& other) const { return node_ == other.node_; }

  int nodeType() const;
  // Elements: as tagName; text "#text"; comments "#comment".
  std::string nodeName() const;
  // "IMG" for ordinary elements, the local name as written for prefixed ones ("shape"),
  // "" for a node that is not an element.
  std::string tagName() const;

  NodeList childNodes() const;  // every child, text and comments counted
  Node firstChild() const;      // empty when none
  bool hasChildNodes() const;
  Node parentNode() const;      // empty for a detached node and for the root

  // Attributes (names case-insensitive). A missing one reads as "".
  std::string getAttribute(std::string_view name) const;
  void setAttribute(std::string_view name, std::string_view value);
  void removeAttribute(std::string_view name);
  bool hasAttribute(std::string_view name) const;
  // The names of the element's attributes as written (a prefix kept: "o:href"), in order.
  std::vector<std::string> attributeNames() const;
  std::string src() const { return getAttribute("src"); }
  void setSrc(std::string_view v) { setAttribute("src", v); }
  // The height and width attributes as numbers (0 when absent). The text forms convert as an
  // assignment to a number property does: "120" is 120, "12.5" rounds half to even, a text
  // that is not a number raises RuntimeError 13.
  long height() const;
  long width() const;
  void setHeight(long v);
  void setWidth(long v);
  void setHeight(std::string_view text);
  void setWidth(std::string_view text);
  Style style() const;

  std::string innerHTML() const;
  // Replaces the children by the parsed markup.
  void setInnerHTML(std::string_view html);
  std::string outerHTML() const;
  // Replaces the element in its parent by the parsed markup (which may be several nodes or
  // none); this handle then names the detached old element. RuntimeError 600 for the root
  // element or a node without a parent.
  void setOuterHTML(std::string_view html);

  // Concatenated text of the node and its descendants.
  std::string innerText() const;
  // Replaces the children by one text node holding the text as it stands (nothing in it is read
  // as markup or as an entity); the text of a style or script element is written out as it is.
  void setInnerText(std::string_view text);

 private:
  friend class Document;
  friend class ElementCollection;
  friend class Style;
  Node(std::shared_ptr<Document::Impl> doc, void* node) : doc_(std::move(doc)), node_(node) {}
  void* element() const;  // the node, RuntimeError 91 when empty, 438 when not an element
  void* get() const;      // the node, RuntimeError 91 when empty
  std::shared_ptr<Document::Impl> doc_;
  void* node_ = nullptr;
};

// An element's inline style (its style attribute), one property at a time. Values are texts
// such as "120px"; "" when the property is not set. Setting "" removes the property.
class Style {
 public:
  std::string width() const { return getPropertyValue("width"); }
  std::string height() const { return getPropertyValue("height"); }
  void setWidth(std::string_view v) { setProperty("width", v); }
  void setHeight(std::string_view v) { setProperty("height", v); }
  std::string getPropertyValue(std::string_view name) const;
  void setProperty(std::string_view name, std::string_view value);
  // The whole declaration text.
  std::string cssText() const;

 private:
  friend class Node;
  explicit Style(Node element) : element_(std::move(element)) {}
  Node element_;
};

// A live collection: every access walks the document again, so an element that is replaced
// drops out of it at once.
class ElementCollection {
 public:
  std::size_t length() const;
  // Element i in document order; empty when there is none.
  Node item(std::size_t index) const;

 private:
  friend class Document;
  ElementCollection(std::shared_ptr<Document::Impl> doc, std::string name)
      : doc_(std::move(doc)), name_(std::move(name)) {}
  std::vector<void*> Collect() const;
  std::shared_ptr<Document::Impl> doc_;
  std::string name_;
};

}  // namespace platform::html
