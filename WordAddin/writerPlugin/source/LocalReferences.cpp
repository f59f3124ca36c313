// Addresses, and the places of a page that hold them (style sheets: LocalReferencesCss.cpp).
#include "WordAddin/writerPlugin/source/LocalReferences.h"

#include <algorithm>
#include <optional>
#include <vector>

#include "platform/core/Text.h"

namespace tavo::writer {
namespace {

namespace html = platform::html;
namespace text = platform::text;

constexpr std::string_view kKeptSchemes[] = {"http", "https", "ftp", "data"};

template <size_t N>
bool OneOf(const std::string_view (&names)[N], std::string_view name) {
  return std::find(std::begin(names), std::end(names), name) != std::end(names);
}

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f'; }
bool IsAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// An address as a browser takes it: blanks and control characters around it do not count, and
// tabs and line breaks inside it are dropped ("fi\tle:" is "file:").
std::string AsRead(std::string_view address) {
  std::string kept;
  for (char c : address)
    if (c != '\t' && c != '\n' && c != '\r') kept += c;
  size_t begin = 0, end = kept.size();
  while (begin < end && static_cast<unsigned char>(kept[begin]) <= 0x20) ++begin;
  while (end > begin && static_cast<unsigned char>(kept[end - 1]) <= 0x20) --end;
  return kept.substr(begin, end - begin);
}

// The scheme of an absolute address, lower case; "" for a path ("C:" is a drive, not a scheme).
std::string SchemeOf(std::string_view address) {
  const size_t colon = address.find(':');
  if (colon == std::string_view::npos || colon < 2 || !IsAsciiLetter(address[0])) return {};
  for (size_t i = 1; i < colon; ++i) {
    const char c = address[i];
    if (!IsAsciiLetter(c) && !IsDigit(c) && c != '+' && c != '-' && c != '.') return {};
  }
  return text::LCase(address.substr(0, colon));
}

// Attributes whose address the reader of a page fetches, on any element: pictures (img, input,
// VML imagedata, fill, stroke), their low-resolution and moving variants, frames, scripts,
// embeds, media, backgrounds, posters, plug-in code bases, a page's offline manifest.
constexpr std::string_view kFetchedAttributes[] = {"src",    "lowsrc",   "dynsrc",   "background",
                                                   "poster", "codebase", "manifest", "althref"};
// Elements on which href is fetched too (a linked style sheet, the page's base, SVG pictures);
// on an anchor or an image map's area it is only followed when the user clicks.
constexpr std::string_view kFetchingHref[] = {"link", "base", "image", "use", "feimage"};
// Plug-in parameters that name the object's source.
constexpr std::string_view kSourceParameters[] = {"src", "movie", "url", "filename", "data", "codebase"};

// One picture of a srcset: its address, and the address with its descriptors as written.
struct Candidate {
  std::string address;
  std::string written;
};

// A srcset's candidates: each an address up to a blank, then descriptors up to the next comma.
std::vector<Candidate> CandidatesOf(std::string_view set) {
  std::vector<Candidate> found;
  size_t at = 0;
  while (at < set.size()) {
    while (at < set.size() && (IsBlank(set[at]) || set[at] == ',')) ++at;
    const size_t begin = at;
    while (at < set.size() && !IsBlank(set[at])) ++at;
    if (begin == at) break;
    std::string address(set.substr(begin, at - begin));
    if (address.back() == ',') {
      address.erase(address.find_last_not_of(',') + 1);
      found.push_back({address, address});
      continue;
    }
    int depth = 0;
    for (; at < set.size() && (depth > 0 || set[at] != ','); ++at)
      depth += set[at] == '(' ? 1 : set[at] == ')' && depth > 0 ? -1 : 0;
    std::string written(set.substr(begin, at - begin));
    written.erase(written.find_last_not_of(" \t\r\n\f") + 1);
    found.push_back({std::move(address), std::move(written)});
  }
  return found;
}

// The srcset without the candidates that name such a file; nullopt when none does.
std::optional<std::string> WithoutLocalCandidates(std::string_view set) {
  std::string kept;
  bool dropped = false;
  for (const Candidate& candidate : CandidatesOf(set)) {
    if (NamesLocalFile(candidate.address)) {
      dropped = true;
      continue;
    }
    if (!kept.empty()) kept += ", ";
    kept += candidate.written;
  }
  if (!dropped) return std::nullopt;
  return kept;
}

// The inline declarations without those that name such a file; nullopt when none does.
std::optional<std::string> WithoutLocalDeclarations(std::string_view css) {
  std::string kept = CssWithoutLocalFiles(css);
  if (kept == css) return std::nullopt;
  return kept;
}

// The address a refresh goes to: "5; url=page.html", "0;'page.html'" or "page.html" after the
// delay; "" for a refresh of the page itself.
std::string RefreshAddress(std::string_view content) {
  size_t at = 0;
  while (at < content.size() && IsBlank(content[at])) ++at;
  while (at < content.size() && (IsDigit(content[at]) || content[at] == '.')) ++at;
  while (at < content.size() && IsBlank(content[at])) ++at;
  if (at < content.size() && (content[at] == ';' || content[at] == ',')) ++at;
  while (at < content.size() && IsBlank(content[at])) ++at;
  if (text::EqualsText(content.substr(at, 3), "url")) {
    size_t equals = at + 3;
    while (equals < content.size() && IsBlank(content[equals])) ++equals;
    if (equals < content.size() && content[equals] == '=') {
      at = equals + 1;
      while (at < content.size() && IsBlank(content[at])) ++at;
    }
  }
  std::string_view address = content.substr(at);
  if (!address.empty() && (address[0] == '"' || address[0] == '\'')) {
    const size_t close = address.find(address[0], 1);
    address = address.substr(1, close == std::string_view::npos ? std::string_view::npos : close - 1);
  }
  return std::string(address);
}

// The addresses an attribute names for the page's reader to fetch (none for most attributes).
std::vector<std::string> FetchedAddresses(const html::Node& element, const std::string& tag, const std::string& attribute,
                                          const std::string& value) {
  const size_t colon = attribute.rfind(':');
  const std::string own = colon == std::string::npos ? attribute : attribute.substr(colon + 1);
  if (OneOf(kFetchedAttributes, own)) return {value};
  // A prefixed href (o:href keeps a linked picture's original, xlink:href an SVG picture's).
  if (own == "href" && (colon != std::string::npos || OneOf(kFetchingHref, tag))) return {value};
  if (tag == "object" && own == "data") return {value};
  if ((tag == "object" || tag == "applet") && own == "archive") {
    std::vector<std::string> archives;
    for (const std::string& part : text::Split(text::Replace(value, ",", " "), " "))
      if (!part.empty()) archives.push_back(part);
    return archives;
  }
  if (tag == "param" && own == "value" && OneOf(kSourceParameters, text::LCase(AsRead(element.getAttribute("name")))))
    return {value};
  if (tag == "meta" && own == "content" && text::EqualsText(AsRead(element.getAttribute("http-equiv")), "refresh"))
    return {RefreshAddress(value)};
  return {};
}

bool NothingLeft(std::string_view css) {
  return std::all_of(css.begin(), css.end(), [](char c) { return IsBlank(c) || c == ';'; });
}

bool CleanPage(const html::Document& page, bool inlinePage);

// Takes what names such a file out of one element; true when anything went. A frame's inline
// page is cleaned as a page; one inside an inline page goes whole, so that no nesting makes
// the cleaning go deeper and deeper.
bool CleanElement(html::Node& element, bool inlinePage) {
  bool removed = false;
  const std::string tag = text::LCase(element.tagName());
  for (const std::string& name : element.attributeNames()) {
    const std::string attribute = text::LCase(name);
    const std::string value = element.getAttribute(name);
    if (attribute == "style" || attribute == "srcset" || attribute == "imagesrcset") {
      // What names no such file stays: the other declarations, the other pictures of the set.
      const std::optional<std::string> kept =
          attribute == "style" ? WithoutLocalDeclarations(value) : WithoutLocalCandidates(value);
      if (!kept) continue;
      if (NothingLeft(*kept)) element.removeAttribute(name);
      else element.setAttribute(name, *kept);
      removed = true;
    } else if (attribute == "srcdoc" && inlinePage) {
      element.removeAttribute(name);
      removed = true;
    } else if (attribute == "srcdoc") {
      html::Document inner = html::Document::FromText(value);
      if (!CleanPage(inner, true)) continue;
      element.setAttribute(name, inner.documentElement().outerHTML());
      removed = true;
    } else {
      const std::vector<std::string> addresses = FetchedAddresses(element, tag, attribute, value);
      if (std::none_of(addresses.begin(), addresses.end(), [](const std::string& a) { return NamesLocalFile(a); }))
        continue;
      while (element.hasAttribute(name)) element.removeAttribute(name);
      removed = true;
    }
  }
  if (tag == "style") {
    const std::string sheet = element.innerText();
    const std::string kept = CssWithoutLocalFiles(sheet);
    if (kept != sheet) {
      element.setInnerText(kept);
      removed = true;
    }
  }
  return removed;
}

bool CleanPage(const html::Document& page, bool inlinePage) {
  bool removed = false;
  std::vector<html::Node> pending{page.documentElement()};
  while (!pending.empty()) {
    html::Node element = std::move(pending.back());
    pending.pop_back();
    if (CleanElement(element, inlinePage)) removed = true;
    for (const html::Node& child : element.childNodes())
      if (child.nodeType() == html::ELEMENT_NODE) pending.push_back(child);
  }
  return removed;
}

}  // namespace

bool NamesLocalFile(std::string_view address) {
  const std::string read = AsRead(address);
  if (read.empty() || read[0] == '#') return false;
  const std::string scheme = SchemeOf(read);
  return scheme.empty() || !OneOf(kKeptSchemes, scheme);
}

bool RemoveLocalFileReferences(const html::Document& page) { return CleanPage(page, false); }

}  // namespace tavo::writer
