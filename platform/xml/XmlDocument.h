#pragma once
// The XML DOM subset the add-ins use, in the manner of the platform's XML DOM document: load from text or
// a file, save, XPath selection, element creation, element text, markup ("xml" property, no
// whitespace added) and "bin.base64" typed values. A Node is a handle that may be empty
// ("Nothing"): selecting something absent returns an empty Node, and reading or changing
// an empty Node raises RuntimeError 91, as using an unset object variable does. Handles keep
// their document alive. Whitespace-only text between elements is dropped on load.
#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace platform::xml {

class Node;
using NodeList = std::vector<Node>;
struct NodeCell;  // what a Node handle refers to (the library node, kept current across moves)
struct DocumentState;
struct ChildTextTable;

class Document {
 public:
  Document();

  // Replaces the content with the parsed text; false (and an empty document) on a parse error.
  bool loadXML(std::string_view text);
  // Loads a file given by Windows path; false when it is missing or not well-formed.
  bool load(std::string_view path);
  // Writes the markup to the file, atomically (temporary file renamed over it). Raises
  // RuntimeError when it cannot be written.
  void save(std::string_view path) const;

  Node documentElement() const;  // empty when the document has none
  Node createElement(std::string_view name) const;
  Node selectSingleNode(std::string_view xpath) const;
  NodeList selectNodes(std::string_view xpath) const;
  // The whole document's markup, without whitespace between elements.
  std::string xml() const;
  // Why the last load failed ("" after a success).
  const std::string& parseError() const;

 private:
  friend class Node;
  friend struct NodeCell;
  struct Impl;
  std::shared_ptr<Impl> impl_;
};

class Node {
 public:
  Node() = default;
  explicit operator bool() const { return !isNothing(); }
  bool isNothing() const;

  std::string nodeName() const;
  // Concatenated text of the node and its descendants.
  std::string text() const;
  void setText(std::string_view text);
  // The node's markup without whitespace between elements.
  std::string xml() const;

  // Children: elements, text, CDATA.
  NodeList childNodes() const;
  std::size_t childCount() const;
  // Child by position; raises RuntimeError 91 when there is no such child (an unset object).
  Node child(std::size_t index) const;
  Node firstChild() const;  // empty when none
  bool hasChildNodes() const;
  Node parentNode() const;

  Node appendChild(const Node& child);  // moves a node of any document under this one
  // Appends a deep copy of a node of any document; the node itself stays where it is.
  void appendCopy(const Node& node);
  Node removeChild(const Node& child);
  Node replaceChild(const Node& newChild, const Node& oldChild);

  // Attributes. getAttribute of a missing name gives "". attribute(i) is the value of the
  // attribute at position i (RuntimeError 91 when there is none).
  std::string getAttribute(std::string_view name) const;
  void setAttribute(std::string_view name, std::string_view value);
  std::size_t attributeCount() const;
  std::string attribute(std::size_t index) const;

  Node selectSingleNode(std::string_view xpath) const;
  NodeList selectNodes(std::string_view xpath) const;

  // Typed values. After setDataType("bin.base64"), setNodeTypedValue stores bytes as their
  // standard Base64 text; nodeTypedValue decodes the element's text (blanks and line breaks
  // ignored) and raises RuntimeError when it is not Base64. A node whose dt:dt attribute (in the
  // "urn:schemas-microsoft-com:datatypes" namespace) says "bin.base64" is typed as well.
  void setDataType(std::string_view dataType);
  void setNodeTypedValue(std::string_view bytes);
  std::string nodeTypedValue() const;

 private:
  friend class Document;
  friend struct NodeCell;
  explicit Node(std::shared_ptr<NodeCell> cell) : cell_(std::move(cell)) {}
  NodeCell& cell() const;  // raises 91 for an empty handle
  // Shared by every handle of one node, and re-pointed when the node moves to another
  // document, so handles stay valid across moves, removals and reloads.
  std::shared_ptr<NodeCell> cell_;
};

// The nodes that `path` selects in a document, taken one by one by the text of a child
// element. Take(t) is the node that selectSingleNode(path + "[" + childName + "=" +
// XPathLiteral(t) + "]") would select if every node taken before had been moved out of the
// document: a loop that looks entries up by id in a copy of a list and moves each one it finds
// elsewhere can copy them out of the list itself instead, and look each up without walking the
// document again. The document must not change while the index is used; what the index reads
// from it is kept with the document until it changes, so that the same list read again (at every
// keystroke of a search) is not walked again.
class ChildTextIndex {
 public:
  ChildTextIndex(const Node& context, std::string_view path, std::string_view childName);
  Node Take(const std::string& text);

 private:
  std::shared_ptr<DocumentState> doc_;
  std::shared_ptr<const ChildTextTable> table_;
  std::vector<bool> taken_;
  std::size_t next_ = 0;  // the position after the node taken last
};

// An XPath 1.0 string literal for any text: 'text' when it holds no apostrophe, "text" when it
// holds no quotation mark, else a concat() of pieces. Selections built from names, paths and ids
// use it so that "Bob's notes" selects like any other name.
std::string XPathLiteral(std::string_view text);

}  // namespace platform::xml
