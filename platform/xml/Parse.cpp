#include "platform/xml/Parse.h"

#include <cctype>
#include <cstring>

namespace platform::xml {
namespace {

bool IsUtf16(std::string_view bytes) {
  if (bytes.size() < 2) return false;
  auto b0 = static_cast<unsigned char>(bytes[0]), b1 = static_cast<unsigned char>(bytes[1]);
  return (b0 == 0xFF && b1 == 0xFE) || (b0 == 0xFE && b1 == 0xFF) || b0 == 0 || b1 == 0;
}

// The reference starting at text[i] ('&'): a predefined entity or a character reference
// (or, when the document declares entities, any name). Returns its length, 0 when invalid.
size_t ReferenceLength(std::string_view text, size_t i, bool anyEntity) {
  size_t end = text.find(';', i);
  if (end == std::string_view::npos || end == i + 1) return 0;
  std::string_view name = text.substr(i + 1, end - i - 1);
  if (name[0] == '#') {
    bool hex = name.size() > 1 && name[1] == 'x';
    std::string_view digits = name.substr(hex ? 2 : 1);
    if (digits.empty()) return 0;
    for (char c : digits) {
      if (!(hex ? std::isxdigit(static_cast<unsigned char>(c)) : std::isdigit(static_cast<unsigned char>(c)))) return 0;
    }
    return end - i + 1;
  }
  if (name == "amp" || name == "lt" || name == "gt" || name == "quot" || name == "apos") return end - i + 1;
  if (!anyEntity) return 0;
  for (char c : name) {
    auto u = static_cast<unsigned char>(c);
    if (!(std::isalnum(u) || c == '_' || c == ':' || c == '-' || c == '.' || u >= 0x80)) return 0;
  }
  return end - i + 1;
}

// A set of bytes to look for, as a table: the library's find_first_of compares each byte
// with each character, which costs more than the parse itself on a large file.
struct ByteSet {
  bool has[256] = {};
  explicit ByteSet(std::string_view chars) {
    for (char c : chars) has[static_cast<unsigned char>(c)] = true;
  }
  size_t FindIn(std::string_view text, size_t from) const {
    for (size_t i = from; i < text.size(); ++i) {
      if (has[static_cast<unsigned char>(text[i])]) return i;
    }
    return std::string_view::npos;
  }
};

// Checks references and attribute values over the raw text; the library checks the rest.
// Jumps from one character of interest to the next, so a large file costs little.
bool CheckText(std::string_view text, std::string* error) {
  bool anyEntity = false;
  size_t i = 0;
  auto skipPast = [&](std::string_view close) {
    size_t end = text.find(close, i);
    i = end == std::string_view::npos ? text.size() : end + close.size();
  };
  char quote = 0;  // inside an attribute value
  bool inTag = false;
  while (true) {
    static const ByteSet inText("<&"), inTagSet("\"'>"), inDoubleQuotes("\"<&"), inSingleQuotes("'<&");
    const ByteSet& wanted = !inTag ? inText : !quote ? inTagSet : quote == '"' ? inDoubleQuotes : inSingleQuotes;
    i = wanted.FindIn(text, i);
    if (i == std::string_view::npos) return true;
    char c = text[i];
    if (c == '&') {
      size_t length = ReferenceLength(text, i, anyEntity);
      if (length == 0) return *error = "Whitespace or a name was expected after '&' (an undefined entity or bare '&').", false;
      i += length;
    } else if (inTag) {
      if (!quote && c == '>') inTag = false;
      else if (!quote) quote = c;
      else if (c == quote) quote = 0;
      else return *error = "The character '<' cannot be used in an attribute value.", false;
      ++i;
    } else {
      std::string_view rest = text.substr(i);
      if (rest.substr(0, 4) == "<!--") {
        skipPast("-->");
      } else if (rest.substr(0, 9) == "<![CDATA[") {
        skipPast("]]>");
      } else if (rest.substr(0, 2) == "<?") {
        skipPast("?>");
      } else if (rest.substr(0, 9) == "<!DOCTYPE") {
        size_t open = text.find('[', i), close = text.find('>', i);
        if (open != std::string_view::npos && open < close) {
          size_t subsetEnd = text.find(']', open);
          anyEntity = text.substr(open, subsetEnd - open).find("<!ENTITY") != std::string_view::npos;
          i = subsetEnd == std::string_view::npos ? text.size() : subsetEnd;
        }
        skipPast(">");
      } else {
        inTag = true;
        ++i;
      }
    }
  }
}

bool CheckTree(const pugi::xml_document& doc, std::string* error) {
  size_t elements = 0;
  for (pugi::xml_node n : doc.children()) {
    if (n.type() == pugi::node_element) ++elements;
    if (n.type() == pugi::node_pcdata || n.type() == pugi::node_cdata)
      return *error = "Text is not allowed outside the document element.", false;
  }
  if (elements != 1)
    return *error = elements == 0 ? "The document has no document element." : "Only one top level element is allowed.",
           false;
  struct Walker : pugi::xml_tree_walker {
    std::string* error;
    bool ok = true;
    bool for_each(pugi::xml_node& node) override {
      // Elements have few attributes: comparing each pair is cheaper than any set.
      for (pugi::xml_attribute a = node.first_attribute(); a; a = a.next_attribute()) {
        for (pugi::xml_attribute b = a.next_attribute(); b; b = b.next_attribute()) {
          if (std::strcmp(a.name(), b.name()) == 0) {
            *error = std::string("Duplicate attribute '") + a.name() + "'.";
            return ok = false;
          }
        }
      }
      return true;
    }
  } walker;
  walker.error = error;
  const_cast<pugi::xml_document&>(doc).traverse(walker);
  return walker.ok;
}

}  // namespace

bool ParseMarkup(std::string& bytes, bool fromFile, pugi::xml_document& doc, std::string* error) {
  error->clear();
  doc.reset();
  bool checkText = !fromFile || !IsUtf16(bytes);
  bool ok = !checkText || CheckText(bytes, error);
  if (ok) {
    pugi::xml_parse_result result =
        doc.load_buffer_inplace(bytes.data(), bytes.size(), pugi::parse_default | pugi::parse_fragment,
                                fromFile ? pugi::encoding_auto : pugi::encoding_utf8);
    if (!result) {
      *error = std::string(result.description()) + " (at byte " + std::to_string(result.offset) + ")";
      ok = false;
    }
  }
  ok = ok && CheckTree(doc, error);
  if (!ok) doc.reset();
  return ok;
}

}  // namespace platform::xml
