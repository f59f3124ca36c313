#include "host/word/Story.h"

#include <algorithm>
#include <iterator>

#include "host/files/LineFormat.h"
#include "platform/core/Text.h"
#include "platform/xml/Base64.h"

namespace host::word {
namespace {

size_t CharLength(unsigned char lead) {
  if (lead < 0x80) return 1;
  if ((lead & 0xE0) == 0xC0) return 2;
  if ((lead & 0xF0) == 0xE0) return 3;
  if ((lead & 0xF8) == 0xF0) return 4;
  return 1;
}

void AppendText(Items& items, std::string_view text) {
  for (size_t i = 0; i < text.size();) {
    char c = text[i];
    if (c == '\r' || c == '\n') {
      items.push_back(Item::Mark());
      i += (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ? 2 : 1;
      continue;
    }
    size_t n = std::min(CharLength(static_cast<unsigned char>(c)), text.size() - i);
    items.push_back(Item::Char(std::string(text.substr(i, n))));
    i += n;
  }
}

bool ValidLength(std::string_view s) { return !s.empty() && s.find(' ') == std::string_view::npos; }

constexpr std::string_view kPictureTypes[] = {"png", "jpg", "gif", "bmp", "wmf", "emf", "emz", "wmz"};

unsigned Be16(const std::string& b, size_t i) {
  return (static_cast<unsigned char>(b[i]) << 8) | static_cast<unsigned char>(b[i + 1]);
}
unsigned Le16(const std::string& b, size_t i) {
  return static_cast<unsigned char>(b[i]) | (static_cast<unsigned char>(b[i + 1]) << 8);
}
unsigned Be32(const std::string& b, size_t i) { return (Be16(b, i) << 16) | Be16(b, i + 2); }

// Pixel size from the image header; {0, 0} when it cannot be read.
std::pair<unsigned, unsigned> ImageSize(const std::string& b) {
  if (b.size() >= 24 && b.compare(0, 8, "\x89PNG\r\n\x1a\n") == 0) return {Be32(b, 16), Be32(b, 20)};
  if (b.size() >= 10 && (b.compare(0, 6, "GIF87a") == 0 || b.compare(0, 6, "GIF89a") == 0))
    return {Le16(b, 6), Le16(b, 8)};
  if (b.size() >= 4 && static_cast<unsigned char>(b[0]) == 0xFF && static_cast<unsigned char>(b[1]) == 0xD8) {
    size_t i = 2;
    while (i + 9 < b.size()) {
      if (static_cast<unsigned char>(b[i]) != 0xFF) return {0, 0};
      unsigned marker = static_cast<unsigned char>(b[i + 1]);
      unsigned length = Be16(b, i + 2);
      bool startOfFrame = marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
      if (startOfFrame) return {Be16(b, i + 7), Be16(b, i + 5)};
      i += 2 + length;
    }
  }
  return {0, 0};
}

}  // namespace

Items ItemsOfText(std::string_view text) {
  Items items;
  AppendText(items, text);
  return items;
}

std::string TextOfItems(const Items& items, size_t begin, size_t end) {
  std::string out;
  for (size_t i = begin; i < end && i < items.size(); ++i) {
    switch (items[i].kind) {
      case Item::Kind::Character: out += items[i].character; break;
      case Item::Kind::ParagraphMark: out += '\r'; break;
      case Item::Kind::Picture: out += '\x01'; break;
    }
  }
  return out;
}

std::string SerializeItems(const Items& items) {
  std::string out;
  std::string run;
  auto flush = [&] {
    if (run.empty()) return;
    out += "text: " + EscapeValue(run) + "\n";
    run.clear();
  };
  for (const auto& item : items) {
    if (item.kind == Item::Kind::Character) {
      run += item.character;
      continue;
    }
    flush();
    if (item.kind == Item::Kind::ParagraphMark) {
      out += "paragraph\n";
    } else if (item.picture->linked()) {
      out += "link: " + item.picture->width + " " + item.picture->height + " " + EscapeValue(item.picture->link) + "\n";
    } else {
      out += "picture: " + item.picture->type + " " + item.picture->width + " " + item.picture->height + " " +
             platform::xml::Base64Encode(item.picture->bytes) + "\n";
    }
  }
  flush();
  return out;
}

std::optional<Items> ParseItems(const std::vector<std::string_view>& lines) {
  Items items;
  for (auto line : lines) {
    FieldLine field = ParseFieldLine(line);
    if (field.name == "paragraph" && !field.hasValue) {
      items.push_back(Item::Mark());
    } else if (field.name == "text" && field.hasValue) {
      auto text = UnescapeValue(field.value);
      if (!text || text->find('\n') != std::string::npos) return std::nullopt;
      AppendText(items, *text);
    } else if (field.name == "picture" || field.name == "link") {
      auto parts = platform::text::Split(field.value, " ");
      auto picture = std::make_shared<Picture>();
      if (field.name == "picture") {
        if (parts.size() != 4 || !IsPictureType(parts[0]) || !ValidLength(parts[1]) || !ValidLength(parts[2]))
          return std::nullopt;
        std::string bytes;
        if (!platform::xml::Base64Decode(parts[3], &bytes)) return std::nullopt;
        *picture = {parts[0], std::move(bytes), {}, parts[1], parts[2]};
      } else {
        if (parts.size() < 3 || !ValidLength(parts[0]) || !ValidLength(parts[1])) return std::nullopt;
        std::string escaped(field.value.substr(parts[0].size() + parts[1].size() + 2));
        auto link = UnescapeValue(escaped);
        if (!link || link->empty()) return std::nullopt;
        *picture = {"", {}, std::move(*link), parts[0], parts[1]};
      }
      items.push_back(Item::Pic(std::move(picture)));
    } else {
      return std::nullopt;
    }
  }
  return items;
}

bool IsPictureType(std::string_view type) {
  return std::find(std::begin(kPictureTypes), std::end(kPictureTypes), type) != std::end(kPictureTypes);
}

std::optional<std::string> PictureTypeOf(std::string_view extension) {
  std::string type = platform::text::LCase(extension);
  if (type == "jpeg") type = "jpg";
  if (!IsPictureType(type)) return std::nullopt;
  return type;
}

std::string PictureLength(std::string_view value) {
  std::string length;
  for (char c : value)
    if (c != ' ' && c != '\t' && c != '\n' && c != '\r' && c != '\f' && c != '\v') length.push_back(c);
  if (length.empty()) return "100px";
  const bool bare =
      std::all_of(length.begin(), length.end(), [](char c) { return (c >= '0' && c <= '9') || c == '.'; });
  return bare ? length + "px" : length;
}

std::shared_ptr<const Picture> PictureFromFile(std::string_view extension, std::string bytes) {
  std::optional<std::string> type = PictureTypeOf(extension);
  if (!type) return nullptr;
  auto picture = std::make_shared<Picture>();
  auto [w, h] = ImageSize(bytes);
  if (w == 0 || h == 0) w = h = 100;
  picture->type = std::move(*type);
  picture->bytes = std::move(bytes);
  picture->width = std::to_string(w) + "px";
  picture->height = std::to_string(h) + "px";
  return picture;
}

}  // namespace host::word
