#pragma once
// The content of a Word document: a sequence of positions, each a character, a paragraph mark
// or an inline picture, always ending with the document's final paragraph mark. Positions are
// what the selection counts in.
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace host::word {

struct Picture {
  std::string type;    // one of the picture types below; "" for a linked picture
  std::string bytes;   // empty for a linked picture
  std::string link;    // the address of a linked (remote) picture
  std::string width;   // CSS lengths, e.g. "120px"
  std::string height;
  bool linked() const { return !link.empty(); }
};

struct Item {
  enum class Kind { Character, ParagraphMark, Picture } kind = Kind::Character;
  std::string character;  // one UTF-8 encoded character
  std::shared_ptr<const Picture> picture;

  static Item Char(std::string c) { return {Kind::Character, std::move(c), nullptr}; }
  static Item Mark() { return {Kind::ParagraphMark, {}, nullptr}; }
  static Item Pic(std::shared_ptr<const Picture> p) { return {Kind::Picture, {}, std::move(p)}; }
};

using Items = std::vector<Item>;

// Items of a text: "\n" (and "\r\n", "\r") become paragraph marks.
Items ItemsOfText(std::string_view text);
// The text of items: paragraph marks as "\r", pictures as U+0001 (as a script reads Range.Text).
std::string TextOfItems(const Items& items, size_t begin, size_t end);

// The serialisation of items used by the document files and the clipboard, one line each:
//   "text: <escaped characters>", "paragraph", "picture: <type> <width> <height> <base64>",
//   "link: <width> <height> <escaped address>".
std::string SerializeItems(const Items& items);
// nullopt when a line is not one of the above.
std::optional<Items> ParseItems(const std::vector<std::string_view>& lines);

// The picture types Word embeds: png, jpg, gif, bmp, wmf, emf, emz, wmz. A type names the file
// the HTML export writes the picture to, so nothing else may ever stand there.
bool IsPictureType(std::string_view type);
// The type of a picture file with this extension (letter case aside, jpeg is jpg); nullopt for
// an extension of no picture type.
std::optional<std::string> PictureTypeOf(std::string_view extension);
// A width or height as a picture keeps it: a CSS length without blanks or line breaks, "px"
// after a bare number, "100px" for none.
std::string PictureLength(std::string_view value);

// A picture from a file: type from the extension (PictureTypeOf), size from the image header
// when it is a PNG, GIF or JPEG (100px square otherwise); nullptr for a file of no picture type.
std::shared_ptr<const Picture> PictureFromFile(std::string_view extension, std::string bytes);

}  // namespace host::word
