// The style sheet side of LocalReferences.h: enough of a reader of style sheets to find every
// address in them, and the declarations and rules that hold one of a local file taken out.
#include <algorithm>
#include <cctype>
#include <optional>
#include <string>
#include <vector>

#include "WordAddin/writerPlugin/source/LocalReferences.h"
#include "platform/codepage/Utf.h"
#include "platform/core/Text.h"

namespace tavo::writer {
namespace {

namespace text = platform::text;
namespace utf = platform::codepage::utf;

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f'; }
bool IsAsciiLetter(char c) { return std::isalpha(static_cast<unsigned char>(c)) != 0; }
bool IsDigit(char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; }

enum class Kind { Blank, Name, Function, AtKeyword, String, Url, Delim };

struct Token {
  Kind kind;
  std::string value;  // decoded: a name, a string's or a url()'s text, the delimiter itself
  size_t begin = 0;   // where its bytes begin in the CSS text
};

// Tokens as a browser reads a style sheet, enough of them to find every address: escapes are
// decoded (u\72l( is url(), f\69le: is file:), comments separate like blanks, and a string or
// url() left open runs to the end of its line or of the text.
class CssTokens {
 public:
  explicit CssTokens(std::string_view css) : css_(css) {}

  std::vector<Token> Read() {
    std::vector<Token> tokens;
    while (at_ < css_.size()) {
      Token token{Kind::Delim, {}, at_};
      const char c = css_[at_];
      if (css_.compare(at_, 2, "/*") == 0) {
        const size_t close = css_.find("*/", at_ + 2);
        at_ = close == std::string_view::npos ? css_.size() : close + 2;
        token.kind = Kind::Blank;
      } else if (IsBlank(c)) {
        while (at_ < css_.size() && IsBlank(css_[at_])) ++at_;
        token.kind = Kind::Blank;
      } else if (c == '"' || c == '\'') {
        ++at_;
        token.kind = Kind::String;
        token.value = StringRest(c);
      } else if (c == '@' && StartsName(at_ + 1)) {
        ++at_;
        token.kind = Kind::AtKeyword;
        token.value = text::LCase(NameRest());
      } else if (StartsName(at_)) {
        token.value = text::LCase(NameRest());
        token.kind = Kind::Name;
        if (at_ < css_.size() && css_[at_] == '(') {
          ++at_;
          token.kind = Kind::Function;
          size_t next = at_;
          while (next < css_.size() && IsBlank(css_[next])) ++next;
          const bool quoted = next < css_.size() && (css_[next] == '"' || css_[next] == '\'');
          if (token.value == "url" && !quoted) {
            token.kind = Kind::Url;
            token.value = UrlRest();
          }
        }
      } else {
        token.value = std::string(1, c);
        ++at_;
      }
      tokens.push_back(std::move(token));
    }
    return tokens;
  }

 private:
  bool EscapeAt(size_t at) const {
    return at + 1 < css_.size() && css_[at] == '\\' && css_[at + 1] != '\n' && css_[at + 1] != '\r' &&
           css_[at + 1] != '\f';
  }
  bool StartsName(size_t at) const {
    if (at >= css_.size()) return false;
    const char c = css_[at];
    if (c == '-') return at + 1 < css_.size() && (css_[at + 1] == '-' || StartsName(at + 1));
    return IsAsciiLetter(c) || c == '_' || static_cast<unsigned char>(c) >= 0x80 || EscapeAt(at);
  }
  static bool IsNameChar(char c) {
    return IsAsciiLetter(c) || IsDigit(c) || c == '-' || c == '_' || static_cast<unsigned char>(c) >= 0x80;
  }

  // The escape at the backslash here, decoded into `out`.
  void Escape(std::string& out) {
    ++at_;
    if (at_ >= css_.size()) {
      utf::Append(utf::kReplacement, out);
      return;
    }
    size_t digits = 0;
    char32_t code = 0;
    while (digits < 6 && at_ < css_.size() && std::isxdigit(static_cast<unsigned char>(css_[at_]))) {
      const char h = css_[at_++];
      code = code * 16 + static_cast<char32_t>(IsDigit(h) ? h - '0' : (h | 0x20) - 'a' + 10);
      ++digits;
    }
    if (digits == 0) {
      out += css_[at_++];
      return;
    }
    if (at_ < css_.size() && IsBlank(css_[at_])) at_ += css_.compare(at_, 2, "\r\n") == 0 ? 2 : 1;
    if (code == 0 || (code >= 0xD800 && code <= 0xDFFF) || code > 0x10FFFF) code = utf::kReplacement;
    utf::Append(code, out);
  }

  std::string NameRest() {
    std::string name;
    while (at_ < css_.size()) {
      if (IsNameChar(css_[at_])) name += css_[at_++];
      else if (EscapeAt(at_)) Escape(name);
      else break;
    }
    return name;
  }

  std::string StringRest(char quote) {
    std::string value;
    while (at_ < css_.size()) {
      const char c = css_[at_];
      if (c == quote) {
        ++at_;
        break;
      }
      if (c == '\n' || c == '\r' || c == '\f') break;  // a string left open ends with its line
      if (c != '\\') {
        value += c;
        ++at_;
      } else if (EscapeAt(at_)) {
        Escape(value);
      } else {
        // An escaped line break continues the string; a backslash at the very end ends it.
        at_ = std::min(css_.size(), at_ + (css_.compare(at_ + 1, 2, "\r\n") == 0 ? 3 : 2));
      }
    }
    return value;
  }

  // The address of url( without quotes, up to its ')'. Blanks around it do not count; what
  // stands after a blank still counts as the address, as nothing else can stand there.
  std::string UrlRest() {
    while (at_ < css_.size() && IsBlank(css_[at_])) ++at_;
    std::string value;
    while (at_ < css_.size() && css_[at_] != ')') {
      if (EscapeAt(at_)) Escape(value);
      else value += css_[at_++];
    }
    if (at_ < css_.size()) ++at_;
    return value;
  }

  std::string_view css_;
  size_t at_ = 0;
};

bool NamesLocalFileInCss(std::string_view css);

bool IsDelim(const Token& token, char c) { return token.kind == Kind::Delim && token.value[0] == c; }
bool Opens(const Token& token) { return token.kind == Kind::Function || IsDelim(token, '(') || IsDelim(token, '['); }
bool Closes(const Token& token) { return IsDelim(token, ')') || IsDelim(token, ']'); }

// Functions whose strings name pictures, as url() does.
bool IsPictureFunction(std::string_view name) {
  constexpr std::string_view kPictureFunctions[] = {"image", "image-set", "-webkit-image-set", "cross-fade",
                                                     "-webkit-cross-fade", "src"};
  return std::find(std::begin(kPictureFunctions), std::end(kPictureFunctions), name) != std::end(kPictureFunctions);
}

// A style sheet read into tokens, with what the search for addresses looks up from each of them
// (found once, so that no text makes the search go over it again and again).
struct Sheet {
  explicit Sheet(std::string_view text) : css(text), tokens(CssTokens(text).Read()) {
    nextSolid.resize(tokens.size() + 1, tokens.size());
    nextStop.resize(tokens.size() + 1, tokens.size());
    for (size_t k = tokens.size(); k-- > 0;) {
      nextSolid[k] = tokens[k].kind == Kind::Blank ? nextSolid[k + 1] : k;
      nextStop[k] = IsDelim(tokens[k], ',') || IsDelim(tokens[k], ')') ? k : nextStop[k + 1];
    }
  }
  size_t Begin(size_t k) const { return k < tokens.size() ? tokens[k].begin : css.size(); }

  std::string_view css;
  std::vector<Token> tokens;
  std::vector<size_t> nextSolid;  // the first token at or after k that is no blank
  std::vector<size_t> nextStop;   // the first ',' or ')' at or after k
};

// The value of src= in a filter's picture loader whose "src" is tokens[k]: a string, or the text
// up to the next argument; nullopt when no value follows.
std::optional<std::string> LoaderSource(const Sheet& sheet, size_t k, size_t end) {
  const size_t equals = sheet.nextSolid[k + 1];
  if (equals >= end || !IsDelim(sheet.tokens[equals], '=')) return std::nullopt;
  const size_t value = sheet.nextSolid[equals + 1];
  if (value >= end) return std::nullopt;
  if (sheet.tokens[value].kind == Kind::String) return sheet.tokens[value].value;
  const size_t stop = std::min(sheet.nextStop[value], end);
  return std::string(sheet.css.substr(sheet.Begin(value), sheet.Begin(stop) - sheet.Begin(value)));
}

// Whether one declaration or rule, tokens [begin, end), names such a file.
bool StatementNamesLocalFile(const Sheet& sheet, size_t begin, size_t end) {
  const std::vector<Token>& tokens = sheet.tokens;
  const size_t first = sheet.nextSolid[begin];
  // A namespace's name is no address that is fetched.
  if (first < end && tokens[first].kind == Kind::AtKeyword && tokens[first].value == "namespace") return false;
  std::vector<std::string_view> inside;  // the functions (and brackets, "") the token stands in
  for (size_t k = begin; k < end; ++k) {
    const Token& t = tokens[k];
    const std::string_view function = inside.empty() ? std::string_view() : inside.back();
    if (Closes(t) && !inside.empty()) inside.pop_back();
    if (t.kind == Kind::Url && NamesLocalFile(t.value)) return true;
    if ((t.kind == Kind::Function && t.value == "url") || (t.kind == Kind::AtKeyword && t.value == "import")) {
      const size_t next = sheet.nextSolid[k + 1];
      if (next < end && tokens[next].kind == Kind::String && NamesLocalFile(tokens[next].value)) return true;
    }
    if (t.kind == Kind::String && IsPictureFunction(function) && NamesLocalFile(t.value)) return true;
    if (t.kind == Kind::Name && t.value == "src" && function == "alphaimageloader") {
      const std::optional<std::string> source = LoaderSource(sheet, k, end);
      if (source && NamesLocalFile(*source)) return true;
    }
    // A filter given as a string (-ms-filter: "progid:...AlphaImageLoader(src='...')").
    if (t.kind == Kind::String && text::ContainsText(t.value, "alphaimageloader") && NamesLocalFileInCss(t.value))
      return true;
    if (Opens(t)) inside.push_back(t.kind == Kind::Function ? std::string_view(t.value) : std::string_view());
  }
  return false;
}

bool NamesLocalFileInCss(std::string_view css) { return CssWithoutLocalFiles(css) != css; }

}  // namespace

std::string CssWithoutLocalFiles(std::string_view css) {
  const Sheet sheet(css);
  const std::vector<Token>& tokens = sheet.tokens;
  std::string kept;
  size_t copied = 0;  // css before this is in `kept` or taken out
  size_t start = 0;   // the first token of the current declaration or rule
  int depth = 0;
  for (size_t k = 0; k <= tokens.size(); ++k) {
    char ends = 0;
    if (k < tokens.size()) {
      const Token& t = tokens[k];
      if (Opens(t)) ++depth;
      else if (Closes(t) && depth > 0) --depth;
      else if (depth == 0 && (IsDelim(t, ';') || IsDelim(t, '{') || IsDelim(t, '}'))) ends = t.value[0];
      if (!ends) continue;
    }
    // A selector or a block's head fetches nothing; a declaration or a statement may.
    if (ends != '{' && start < k && StatementNamesLocalFile(sheet, start, k)) {
      kept.append(css.substr(copied, tokens[start].begin - copied));
      copied = sheet.Begin(k);
    }
    start = k + 1;
  }
  kept.append(css.substr(copied));
  return kept;
}

}  // namespace tavo::writer
