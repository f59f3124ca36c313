#pragma once
// The state behind Document and Node. A document's content lives in one pugixml document;
// nodes that are created but not yet placed, and nodes that were removed, live in a second
// one. The library can move a node only within one of its documents, so a move between two
// of them copies the subtree and re-points every handle into it; handles therefore never
// dangle, whatever happens to their node.
#include <pugixml.hpp>

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/xml/XmlDocument.h"

namespace platform::xml {

// A parsed document together with the text it was parsed from in place: parsing in place spares
// a copy of the whole text, which on a large file costs as much as a good part of the parse.
struct ParsedTree : pugi::xml_document {
  std::string text;  // the library's names and values point into it
};

// What a ChildTextIndex reads from a document: the nodes a path selects, in document order,
// and their positions under each text of their children of one name.
struct ChildTextTable {
  pugi::xml_node_struct* context = nullptr;
  std::string path;
  std::string childName;
  std::uint64_t version = 0;
  std::uint64_t edits = 0;
  std::vector<pugi::xml_node_struct*> nodes;
  std::unordered_map<std::string, std::vector<std::size_t>> byText;
  // For each node that has one text only: that text, and whether the node is the first with it.
  // Nodes taken in document order are found there, next to the one taken before, without a
  // lookup in the map (whose entries lie all over memory).
  std::vector<std::string> soleText;
  std::vector<char> firstWithText;
};

struct DocumentState {
  DocumentState();

  std::unique_ptr<ParsedTree> content;
  std::unique_ptr<pugi::xml_document> detached;
  // Earlier contents (before a reload) that handles still refer to.
  std::vector<std::unique_ptr<ParsedTree>> retired;
  std::unordered_map<pugi::xml_node_struct*, std::weak_ptr<NodeCell>> cells;
  std::string parseError;
  // Bumped by every change of the tree's structure; invalidates the position caches below.
  std::uint64_t version = 0;
  // Bumped by changes of text and attributes, which leave the structure as it is.
  std::uint64_t edits = 0;
  // The table the last ChildTextIndex read, kept while the document stays as it was: a list
  // searched at every keystroke is read once.
  std::shared_ptr<const ChildTextTable> childTextTable;

  // Reading children by position in a loop stays linear: the last position read under each
  // of a few parents is kept (loops nest: records, then the children of each record).
  struct Cursor {
    pugi::xml_node_struct* parent = nullptr;
    std::uint64_t version = ~std::uint64_t(0);
    std::size_t index = 0;
    pugi::xml_node_struct* node = nullptr;
    std::uint64_t lastUse = 0;
  };
  Cursor cursors[4];  // the least recently used one is replaced
  std::uint64_t cursorUses = 0;
  struct Count {
    pugi::xml_node_struct* parent = nullptr;
    std::uint64_t version = ~std::uint64_t(0);
    std::size_t value = 0;
  } count;

  // Replaces the content by `fresh`, keeping the old one while handles refer into it.
  void ReplaceContent(std::unique_ptr<ParsedTree> fresh);
};

struct NodeCell {
  std::shared_ptr<DocumentState> doc;
  pugi::xml_node_struct* node = nullptr;
  ~NodeCell();

  // The handle of a node of `doc` (empty for an empty library node).
  static Node Wrap(const std::shared_ptr<DocumentState>& doc, pugi::xml_node node);
  static const std::shared_ptr<NodeCell>& Of(const Node& handle) { return handle.cell_; }
};

// Children in the DOM's sense: elements, text and CDATA.
bool IsChild(pugi::xml_node node);
pugi::xml_node ChildAt(DocumentState& doc, pugi::xml_node parent, std::size_t index);
std::size_t ChildCount(DocumentState& doc, pugi::xml_node parent);

// Places the node of `child` under `parent` (before `before`, or last when `before` is
// empty), taking it from wherever it is, in this document or another.
void Place(const std::shared_ptr<DocumentState>& doc, pugi::xml_node parent, pugi::xml_node before,
           NodeCell& child);
// Takes the node out of the tree into the detached nodes of its document; the handle follows.
void Detach(NodeCell& cell);
// Removes a node for good, detaching first what handles still refer to.
void Discard(const std::shared_ptr<DocumentState>& doc, pugi::xml_node node);

// `expectedSize`, when known (the size of the text a document was loaded from), spares growing
// the result step by step, which on a large document copies it several times over.
std::string Markup(pugi::xml_node node, std::size_t expectedSize = 0);
std::string ConcatenatedText(pugi::xml_node node);
NodeList Select(const std::shared_ptr<DocumentState>& doc, pugi::xml_node context, std::string_view xpath,
                bool firstOnly);

// Raises the error an invalid name gives, for element and attribute names.
void CheckName(std::string_view name);

}  // namespace platform::xml
