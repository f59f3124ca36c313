#include <algorithm>
#include <set>

#include "host/word/Html.h"
#include "host/word/HtmlCharset.h"
#include "platform/core/Text.h"
#include "platform/html/HtmlDocument.h"

namespace host::word {
namespace text = platform::text;
namespace html = platform::html;

namespace {

std::string NameOf(const html::Node& node) { return text::LCase(node.tagName()); }

std::string Length(const html::Node& sized, const char* property) {
  std::string value = sized.style().getPropertyValue(property);
  if (value.empty()) value = sized.getAttribute(property);
  return PictureLength(value);
}

std::string TypeOf(std::string_view src) {
  std::string path(src.substr(0, src.find_first_of("?#")));
  auto slash = path.find_last_of("/\\");
  auto dot = path.find_last_of('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return {};
  return path.substr(dot + 1);
}

constexpr std::string_view kNonBreakingSpace = "\xC2\xA0";

// A span of the export's blank runs: its class, and nothing in it but text.
bool IsBlankRun(const html::Node& span) {
  const std::vector<std::string> classes = text::Split(span.getAttribute("class"), " ");
  if (std::find(classes.begin(), classes.end(), kBlankRunClass) == classes.end()) return false;
  const auto children = span.childNodes();
  return std::all_of(children.begin(), children.end(),
                     [](const html::Node& child) { return child.nodeType() == html::TEXT_NODE; });
}

bool IsBlock(const std::string& name) {
  static const std::set<std::string> blocks = {"p",  "div", "h1", "h2", "h3",         "h4",    "h5", "h6",
                                               "li", "pre", "tr", "blockquote", "table", "ul", "ol", "address"};
  return blocks.count(name) > 0;
}

class Importer {
 public:
  explicit Importer(const PictureReader& reader) : reader_(reader) {}

  Items Run(const html::Node& body) {
    Walk(body, false);
    EndParagraph(false);
    if (items_.empty()) items_.push_back(Item::Mark());
    return std::move(items_);
  }

 private:
  void Walk(const html::Node& parent, bool preformatted) {
    for (const auto& node : parent.childNodes()) {
      if (node.nodeType() == html::TEXT_NODE) {
        AddText(node.innerText(), preformatted);
        continue;
      }
      if (node.nodeType() != html::ELEMENT_NODE) continue;
      std::string name = NameOf(node);
      if (name == "script" || name == "style" || name == "head" || name == "title") continue;
      if (name == "br") {
        EndParagraph(true);
      } else if (name == "img") {
        AddPicture(node.src(), node);
      } else if (name == "shape") {
        html::Node data = FirstElement(node, "imagedata");
        if (data) AddPicture(data.src(), node);
        else Walk(node, preformatted);
      } else if (name == "span" && IsBlankRun(node)) {
        AddBlanks(node.innerText());
      } else if (IsBlock(name)) {
        EndParagraph(false);
        size_t before = paragraphs_;
        Walk(node, preformatted || name == "pre");
        if (!current_.empty() || paragraphs_ == before) EndParagraph(true);
      } else {
        Walk(node, preformatted);
      }
    }
  }

  static html::Node FirstElement(const html::Node& parent, const char* name) {
    for (const auto& node : parent.childNodes())
      if (node.nodeType() == html::ELEMENT_NODE && NameOf(node) == name) return node;
    return {};
  }

  void AddText(std::string_view s, bool preformatted) {
    for (const auto& item : ItemsOfText(s)) {
      if (preformatted) {
        if (item.kind == Item::Kind::ParagraphMark) EndParagraph(true);
        else Push(item);
        continue;
      }
      bool space = item.kind == Item::Kind::ParagraphMark || item.character == " " || item.character == "\t";
      if (space) {
        pendingSpace_ = true;
        continue;
      }
      Push(item);
    }
  }

  // A run of blanks as it was typed: its non-breaking spaces stand for blanks.
  void AddBlanks(std::string_view s) {
    for (Item item : ItemsOfText(s)) {
      if (item.kind != Item::Kind::Character) continue;
      if (item.character == kNonBreakingSpace) item.character = " ";
      Push(std::move(item));
    }
  }

  void Push(Item item) {
    if (pendingSpace_ && !current_.empty()) current_.push_back(Item::Char(" "));
    pendingSpace_ = false;
    current_.push_back(std::move(item));
  }

  void AddPicture(const std::string& src, const html::Node& sized) {
    auto picture = std::make_shared<Picture>();
    picture->width = Length(sized, "width");
    picture->height = Length(sized, "height");
    // Only a file of a picture type comes in: the type names the file it is saved to again.
    const std::optional<std::string> type = PictureTypeOf(TypeOf(src));
    std::optional<std::string> bytes;
    if (type && !IsRemoteAddress(src)) bytes = reader_(src);
    if (bytes) {
      picture->type = *type;
      picture->bytes = std::move(*bytes);
    } else {
      if (src.empty()) return;
      picture->link = src;
    }
    Push(Item::Pic(std::move(picture)));
  }

  void EndParagraph(bool evenIfEmpty) {
    pendingSpace_ = false;
    if (current_.empty() && !evenIfEmpty) return;
    items_.insert(items_.end(), current_.begin(), current_.end());
    items_.push_back(Item::Mark());
    current_.clear();
    ++paragraphs_;
  }

  const PictureReader& reader_;
  Items items_;
  Items current_;
  size_t paragraphs_ = 0;
  bool pendingSpace_ = false;
};

}  // namespace

bool IsRemoteAddress(std::string_view src) {
  auto colon = src.find(':');
  if (colon == std::string_view::npos || colon < 2) return false;  // "C:" is a drive
  for (size_t i = 0; i < colon; ++i) {
    char c = src[i];
    if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.'))
      return false;
  }
  return !text::EqualsText(src.substr(0, colon), "file");
}

Items ImportHtml(std::string_view bytes, const PictureReader& readPicture) {
  Items items = Importer(readPicture).Run(html::Document::FromText(HtmlPageText(bytes)).body());
  if (items.empty()) items.push_back(Item::Mark());
  return items;
}

}  // namespace host::word
