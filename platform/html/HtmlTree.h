#pragma once
// Internals of the HTML document shared by its source files: the document state, parsing and
// serialisation over libxml2's tree.
#include <libxml/HTMLparser.h>
#include <libxml/HTMLtree.h>
#include <libxml/tree.h>

#include <string>
#include <string_view>
#include <vector>

#include "platform/html/HtmlDocument.h"

namespace platform::html {

struct Document::Impl {
  explicit Impl(htmlDocPtr d) : doc(d) {}
  ~Impl();
  Impl(const Impl&) = delete;
  Impl& operator=(const Impl&) = delete;

  htmlDocPtr doc;
  // Nodes taken out of the tree (replaced, removed, created and never inserted). They stay
  // alive with the document so that handles to them remain valid.
  std::vector<xmlNodePtr> detached;
};

namespace tree {

// Parses a whole page; html, head and body are supplied when missing. `encoding` nullptr lets
// the page's own charset declaration decide.
htmlDocPtr ParsePage(std::string_view html, const char* encoding, const char* url);
// Parses markup as the content of a body and returns copies of the resulting nodes, made for
// `doc` and not yet linked.
std::vector<xmlNodePtr> ParseFragment(xmlDocPtr doc, std::string_view html);

xmlNodePtr Body(xmlDocPtr doc);
// The element's name as written, lower case, with its prefix ("v:shape").
std::string NameOf(xmlNodePtr node);
// Whether an element answers to `name` ("shape" matches v:shape; "*" everything).
bool Matches(xmlNodePtr element, std::string_view name);

// Markup of a node and of its children, without added whitespace.
std::string Serialize(xmlNodePtr node);
std::string SerializeChildren(xmlNodePtr node);

}  // namespace tree
}  // namespace platform::html
