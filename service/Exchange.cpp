#include "service/Exchange.h"

#include <openssl/evp.h>

#include <cctype>
#include <sstream>

#include "service/Defaults.h"

namespace tavo::service {
namespace {

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// The characters of Windows-1252 at 0x80..0x9F (0 where the code page has none); 0xA0..0xFF are
// the same code points.
constexpr char16_t kWindows1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

std::string Decode(std::string_view s, EscapedBytes escaped) {
  std::string out;
  out.reserve(s.size());
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '+') {
      out += ' ';
    } else if (s[i] == '%' && i + 2 < s.size() && HexValue(s[i + 1]) >= 0 &&
               HexValue(s[i + 2]) >= 0) {
      const int byte = HexValue(s[i + 1]) * 16 + HexValue(s[i + 2]);
      if (byte < 0x80 || escaped == EscapedBytes::Utf8)
        out += static_cast<char>(byte);
      else
        AppendUtf8(out, byte < 0xA0 ? kWindows1252High[byte - 0x80] : static_cast<char32_t>(byte));
      i += 2;
    } else {
      out += s[i];
    }
  }
  return out;
}

// All text of a node: its PCDATA and CDATA children joined (a content may come split into
// several CDATA sections).
std::string AllText(pugi::xml_node node) {
  std::string text;
  for (pugi::xml_node child : node.children())
    if (child.type() == pugi::node_pcdata || child.type() == pugi::node_cdata) text += child.value();
  return text;
}

}  // namespace

std::string Call::Param(const std::string& name) const {
  const auto it = params.find(name);
  return it == params.end() ? std::string() : it->second;
}

bool Call::KeyAccepted() const {
  const std::string key = Param("apikey");
  for (const auto& accepted : apiKeys)
    if (key == accepted) return true;
  return false;
}

Params ParseQuery(std::string_view query, EscapedBytes escaped) {
  Params params;
  while (!query.empty()) {
    const size_t amp = query.find('&');
    const std::string_view pair = query.substr(0, amp);
    if (!pair.empty()) {
      const size_t eq = pair.find('=');
      params[Decode(pair.substr(0, eq), escaped)] =
          eq == std::string_view::npos ? "" : Decode(pair.substr(eq + 1), escaped);
    }
    if (amp == std::string_view::npos) break;
    query.remove_prefix(amp + 1);
  }
  return params;
}

std::string MethodCall::Value(const std::string& name) const {
  const auto it = values.find(name);
  return it == values.end() ? std::string() : it->second;
}

std::optional<MethodCall> ParseMethodCall(std::string_view body) {
  pugi::xml_document doc;
  if (!doc.load_buffer(body.data(), body.size(), pugi::parse_default, pugi::encoding_utf8)) return std::nullopt;
  MethodCall call;
  call.method = AllText(doc.document_element().child("methodName"));
  if (call.method.empty()) return std::nullopt;
  for (pugi::xpath_node found : doc.select_nodes("//member | //param")) {
    const pugi::xml_node entry = found.node();
    const pugi::xml_node name = entry.child("name");
    if (!name) continue;
    const pugi::xml_node value = entry.child("value");
    const pugi::xml_node typed = value.first_child().type() == pugi::node_element ? value.first_child() : value;
    call.values[AllText(name)] = AllText(typed);
  }
  return call;
}

std::string PeekMethodName(std::string_view body) {
  const size_t start = body.find("<methodName>");
  if (start == std::string_view::npos) return {};
  const size_t from = start + 12;
  const size_t end = body.find("</methodName>", from);
  if (end == std::string_view::npos) return {};
  return std::string(body.substr(from, end - from));
}

std::string ToXml(const pugi::xml_document& doc) {
  std::ostringstream out;
  doc.save(out, "", pugi::format_raw | pugi::format_no_declaration, pugi::encoding_utf8);
  return out.str();
}

void AddText(pugi::xml_node parent, const char* name, const std::string& text) {
  parent.append_child(name).text().set(text.c_str());
}

std::optional<std::string> DecodeBase64(std::string_view text) {
  std::string compact;
  compact.reserve(text.size());
  for (char c : text)
    if (c != '\r' && c != '\n') compact += c;
  if (compact.size() % 4 != 0) return std::nullopt;
  size_t padding = 0;
  for (size_t i = 0; i < compact.size(); ++i) {
    const char c = compact[i];
    if (c == '=') {
      if (i + 2 < compact.size() || ++padding > 2) return std::nullopt;
    } else if (padding != 0 || !(std::isalnum(static_cast<unsigned char>(c)) || c == '+' || c == '/')) {
      return std::nullopt;
    }
  }
  std::string bytes(compact.size() / 4 * 3, '\0');
  const int n = EVP_DecodeBlock(reinterpret_cast<unsigned char*>(bytes.data()),
                                reinterpret_cast<const unsigned char*>(compact.data()),
                                static_cast<int>(compact.size()));
  if (n < 0) return std::nullopt;
  bytes.resize(static_cast<size_t>(n) - padding);
  return bytes;
}

void RecordPublishCall(PublishRecord& record, const Call& call, bool license) {
  if (license) {
    record.licenseName = call.Param("licensename");
    record.licenseUrl = call.Param("licenseurl");
    record.licenseImage = call.Param("licenseimage");
    ++record.licenseCalls;
  } else {
    record.isPublic = true;
    record.publicQuery = call.query;
    ++record.makePublicCalls;
  }
}

std::string PublishedId(const Call& call) {
  const size_t slash = call.path.rfind('/');
  return slash == std::string::npos ? std::string() : call.path.substr(slash + 1);
}

}  // namespace tavo::service
