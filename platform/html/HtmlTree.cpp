#include "platform/html/HtmlTree.h"

#include <libxml/SAX2.h>
#include <libxml/parser.h>

#include <array>

#include "platform/core/RuntimeError.h"
#include "platform/core/Text.h"

namespace platform::html {

Document::Impl::~Impl() {
  // Detached nodes first: their names may live in the document's dictionary.
  for (xmlNodePtr node : detached) xmlFreeNode(node);
  xmlFreeDoc(doc);
}

namespace tree {
namespace {

// Lenient, silent, and never touching the network.
constexpr int kParseOptions = HTML_PARSE_RECOVER | HTML_PARSE_NOERROR | HTML_PARSE_NOWARNING | HTML_PARSE_NONET;

struct LibraryInit {
  LibraryInit() { xmlInitParser(); }
};

void EnsureLibrary() { static LibraryInit init; }

// The library's tree builder drops the prefix of a name such as v:shape; the element keeps
// the name as written, so that markup read back still says v:shape.
void StartElementKeepingPrefix(void* ctx, const xmlChar* name, const xmlChar** attributes) {
  xmlSAX2StartElement(ctx, name, attributes);
  auto* ctxt = static_cast<htmlParserCtxtPtr>(ctx);
  if (ctxt->node && xmlStrchr(name, ':') && !xmlStrEqual(ctxt->node->name, name)) xmlNodeSetName(ctxt->node, name);
}

xmlNodePtr ChildNamed(xmlNodePtr parent, const char* name) {
  for (xmlNodePtr c = parent->children; c; c = c->next)
    if (c->type == XML_ELEMENT_NODE && xmlStrcasecmp(c->name, BAD_CAST name) == 0) return c;
  return nullptr;
}

xmlNodePtr NewElement(xmlDocPtr doc, const char* name) {
  xmlNodePtr node = xmlNewDocNode(doc, nullptr, BAD_CAST name, nullptr);
  if (!node) Raise(err::OutOfMemory);
  return node;
}

// Every page has html, head and body, as a browser's document does.
void SupplySkeleton(htmlDocPtr doc) {
  xmlNodePtr root = xmlDocGetRootElement(doc);
  if (!root) {
    root = NewElement(doc, "html");
    xmlDocSetRootElement(doc, root);
  }
  xmlNodePtr body = ChildNamed(root, "body");
  if (!body && !ChildNamed(root, "frameset")) body = xmlAddChild(root, NewElement(doc, "body"));
  if (!ChildNamed(root, "head")) {
    xmlNodePtr head = NewElement(doc, "head");
    if (root->children)
      xmlAddPrevSibling(root->children, head);
    else
      xmlAddChild(root, head);
  }
}

bool IsVoid(std::string_view name) {
  static constexpr std::array<std::string_view, 17> kVoid = {
      "area", "base", "basefont", "br", "col", "embed", "frame", "hr", "img",
      "input", "isindex", "link", "meta", "param", "source", "track", "wbr"};
  for (auto v : kVoid)
    if (text::EqualsText(name, v)) return true;
  return false;
}

bool IsRawText(std::string_view name) {
  return text::EqualsText(name, "script") || text::EqualsText(name, "style");
}

void AppendEscaped(std::string& out, const xmlChar* content, bool attribute) {
  if (!content) return;
  for (const char* p = reinterpret_cast<const char*>(content); *p; ++p) {
    switch (*p) {
      case '&': out += "&amp;"; break;
      case '<': out += attribute ? "<" : "&lt;"; break;
      case '>': out += attribute ? ">" : "&gt;"; break;
      case '"': out += attribute ? "&quot;" : "\""; break;
      default:
        if (static_cast<unsigned char>(p[0]) == 0xC2 && static_cast<unsigned char>(p[1]) == 0xA0) {
          out += "&nbsp;";
          ++p;
        } else {
          out += *p;
        }
    }
  }
}

void Write(std::string& out, xmlNodePtr node) {
  switch (node->type) {
    case XML_ELEMENT_NODE: {
      std::string name = NameOf(node);
      out += '<';
      out += name;
      for (xmlAttrPtr a = node->properties; a; a = a->next) {
        out += ' ';
        out += reinterpret_cast<const char*>(a->name);
        if (!a->children) continue;  // a bare attribute such as "checked"
        out += "=\"";
        xmlChar* value = xmlNodeListGetString(node->doc, a->children, 1);
        AppendEscaped(out, value, true);
        xmlFree(value);
        out += '"';
      }
      out += '>';
      if (IsVoid(name) && !node->children) return;
      if (IsRawText(name)) {
        for (xmlNodePtr c = node->children; c; c = c->next)
          if (c->content) out += reinterpret_cast<const char*>(c->content);
      } else {
        for (xmlNodePtr c = node->children; c; c = c->next) Write(out, c);
      }
      out += "</";
      out += name;
      out += '>';
      return;
    }
    case XML_TEXT_NODE:
      AppendEscaped(out, node->content, false);
      return;
    case XML_CDATA_SECTION_NODE:
      if (node->content) out += reinterpret_cast<const char*>(node->content);
      return;
    case XML_COMMENT_NODE:
      out += "<!--";
      if (node->content) out += reinterpret_cast<const char*>(node->content);
      out += "-->";
      return;
    default:
      return;  // document type declarations, processing instructions: not part of markup
  }
}

}  // namespace

htmlDocPtr ParsePage(std::string_view html, const char* encoding, const char* url) {
  EnsureLibrary();
  int options = kParseOptions | (encoding ? HTML_PARSE_IGNORE_ENC : 0);
  // The parser puts text that comes before any tag into a paragraph of its own; a browser puts
  // it straight into the body. Opening the body first does the same (not before a byte-order
  // mark, which must stay first).
  std::string opened;
  size_t first = html.find_first_not_of(" \t\r\n");
  auto lead = first == std::string_view::npos ? 0 : static_cast<unsigned char>(html[first]);
  if (lead && lead != '<' && lead != 0xEF && lead != 0xFE && lead != 0xFF) {
    opened.append("<body>").append(html);
    html = opened;
  }
  htmlDocPtr doc = nullptr;
  if (!html.empty()) {
    htmlParserCtxtPtr ctxt = htmlNewParserCtxt();
    if (!ctxt) Raise(err::OutOfMemory);
    ctxt->sax->startElement = StartElementKeepingPrefix;
    doc = htmlCtxtReadMemory(ctxt, html.data(), static_cast<int>(html.size()), url, encoding, options);
    htmlFreeParserCtxt(ctxt);
  }
  if (!doc) {
    // Nothing the parser could make a page of (empty or blank text): an empty page.
    doc = htmlNewDocNoDtD(nullptr, nullptr);
    if (!doc) Raise(err::OutOfMemory);
  }
  SupplySkeleton(doc);
  return doc;
}

std::vector<xmlNodePtr> ParseFragment(xmlDocPtr doc, std::string_view html) {
  std::string wrapped;
  wrapped.reserve(html.size() + 32);
  wrapped.append("<html><body>").append(html).append("</body></html>");
  htmlDocPtr scratch = ParsePage(wrapped, "UTF-8", nullptr);
  std::vector<xmlNodePtr> nodes;
  if (xmlNodePtr body = Body(scratch)) {
    for (xmlNodePtr c = body->children; c; c = c->next) {
      xmlNodePtr copy = xmlDocCopyNode(c, doc, 1);
      if (!copy) {
        for (xmlNodePtr n : nodes) xmlFreeNode(n);
        xmlFreeDoc(scratch);
        Raise(err::OutOfMemory);
      }
      nodes.push_back(copy);
    }
  }
  xmlFreeDoc(scratch);
  return nodes;
}

xmlNodePtr Body(xmlDocPtr doc) {
  xmlNodePtr root = xmlDocGetRootElement(doc);
  if (!root) return nullptr;
  if (xmlNodePtr body = ChildNamed(root, "body")) return body;
  return ChildNamed(root, "frameset");
}

std::string NameOf(xmlNodePtr node) {
  return node->name ? std::string(reinterpret_cast<const char*>(node->name)) : std::string();
}

bool Matches(xmlNodePtr element, std::string_view name) {
  if (name == "*") return true;
  std::string full = NameOf(element);
  std::string_view own = full;
  if (name.find(':') == std::string_view::npos) {
    size_t colon = own.rfind(':');
    if (colon != std::string_view::npos) own.remove_prefix(colon + 1);
  }
  return text::EqualsText(own, name);
}

std::string Serialize(xmlNodePtr node) {
  std::string out;
  Write(out, node);
  return out;
}

std::string SerializeChildren(xmlNodePtr node) {
  std::string out;
  for (xmlNodePtr c = node->children; c; c = c->next) Write(out, c);
  return out;
}

}  // namespace tree
}  // namespace platform::html
