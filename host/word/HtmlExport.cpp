#include <cstdio>

#include "host/word/Html.h"

namespace host::word {
namespace {

// A 1x1 white GIF: the rendering written beside an emz/wmz picture.
const std::string kGifRendering(
    "GIF89a\x01\x00\x01\x00\x80\x00\x00\xff\xff\xff\x00\x00\x00!\xf9\x04\x01\x00\x00\x00\x00,"
    "\x00\x00\x00\x00\x01\x00\x01\x00\x00\x02\x02" "D\x01\x00;",
    43);

std::string Escape(std::string_view text, bool attribute) {
  std::string out;
  for (char c : text) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += attribute ? "&quot;" : "\""; break;
      default: out.push_back(c);
    }
  }
  return out;
}

std::string SizeStyle(const Picture& p) {
  return "width:" + Escape(p.width, true) + ";height:" + Escape(p.height, true);
}

bool IsBlank(const Item& item) {
  return item.kind == Item::Kind::Character && (item.character == " " || item.character == "\t");
}

// A run of blanks and tabs as a reader of the page keeps it: a single blank inside the paragraph
// as it is, any other run in a span of kBlankRunClass (see Html.h).
std::string BlankRun(const Items& items, size_t begin, size_t end, bool paragraphStart) {
  const bool paragraphEnd = end == items.size() || items[end].kind == Item::Kind::ParagraphMark;
  if (end - begin == 1 && items[begin].character == " " && !paragraphStart && !paragraphEnd) return " ";
  std::string run = "<span class=\"" + std::string(kBlankRunClass) + "\">";
  for (size_t i = begin; i < end; ++i) run += items[i].character == " " ? "&nbsp;" : items[i].character;
  return run + "</span>";
}

std::string NumberedName(int n, std::string_view type) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "image%03d.", n);
  return buf + std::string(type);
}

}  // namespace

HtmlExport ExportHtml(const Items& items, std::string_view baseName) {
  HtmlExport out;
  const std::string folder = "./" + std::string(baseName) + "_files/";
  int number = 0;
  std::string body;
  bool open = false;
  size_t paragraphStart = 0;
  for (size_t i = 0; i < items.size(); ++i) {
    const Item& item = items[i];
    if (!open) {
      body += "<p>";
      open = true;
      paragraphStart = i;
    }
    switch (item.kind) {
      case Item::Kind::Character:
        if (IsBlank(item)) {
          size_t end = i + 1;
          while (end < items.size() && IsBlank(items[end])) ++end;
          body += BlankRun(items, i, end, i == paragraphStart);
          i = end - 1;
          break;
        }
        body += Escape(item.character, false);
        break;
      case Item::Kind::ParagraphMark:
        body += "</p>\n";
        open = false;
        break;
      case Item::Kind::Picture: {
        const Picture& p = *item.picture;
        if (p.linked()) {
          body += "<img src=\"" + Escape(p.link, true) + "\" style=\"" + SizeStyle(p) + "\">";
          break;
        }
        std::string name = NumberedName(++number, p.type);
        out.files.emplace_back(name, p.bytes);
        if (p.type == "emz" || p.type == "wmz") out.files.emplace_back(NumberedName(++number, "gif"), kGifRendering);
        body += "<v:shape style=\"" + SizeStyle(p) + "\"><v:imagedata src=\"" + Escape(folder + name, true) +
                "\"/></v:shape>";
        break;
      }
    }
  }
  if (open) body += "</p>\n";
  out.html =
      "<html xmlns:v=\"urn:tavo:vml\">\n<head>\n<meta http-equiv=\"Content-Type\" content=\"text/html; "
      "charset=utf-8\">\n</head>\n<body>\n" +
      body + "</body>\n</html>\n";
  return out;
}

}  // namespace host::word
