#include "platform/http/Url.h"

#include <charconv>
#include <cstring>

#include "platform/core/Text.h"

namespace platform::http {

std::string EncodeUrl(std::string_view url) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(url.size());
  for (char ch : url) {
    const auto b = static_cast<unsigned char>(ch);
    if (b <= 0x20 || b >= 0x7F || std::strchr("\"<>\\^`{|}", ch) != nullptr) {
      out += '%';
      out += kHex[b >> 4];
      out += kHex[b & 0x0F];
    } else {
      out += ch;
    }
  }
  return out;
}

std::optional<UrlTarget> ParseUrlTarget(std::string_view url) {
  const size_t schemeEnd = url.find("://");
  if (schemeEnd == std::string_view::npos || schemeEnd == 0) return std::nullopt;
  UrlTarget target;
  target.scheme = text::LCase(url.substr(0, schemeEnd));
  std::string_view rest = url.substr(schemeEnd + 3);
  rest = rest.substr(0, rest.find_first_of("/?#"));
  if (const size_t at = rest.rfind('@'); at != std::string_view::npos) rest.remove_prefix(at + 1);

  std::string_view host = rest;
  std::string_view port;
  if (rest.starts_with('[')) {
    const size_t close = rest.find(']');
    if (close == std::string_view::npos) return std::nullopt;
    host = rest.substr(1, close - 1);
    if (rest.size() > close + 1) {
      if (rest[close + 1] != ':') return std::nullopt;
      port = rest.substr(close + 2);
    }
  } else if (const size_t colon = rest.rfind(':'); colon != std::string_view::npos) {
    host = rest.substr(0, colon);
    port = rest.substr(colon + 1);
  }
  if (host.empty()) return std::nullopt;
  target.host = text::LCase(host);

  if (port.empty()) {
    target.port = target.scheme == "https" ? 443 : 80;
  } else {
    const auto [end, ec] = std::from_chars(port.data(), port.data() + port.size(), target.port);
    if (ec != std::errc() || end != port.data() + port.size() || target.port <= 0 || target.port > 65535)
      return std::nullopt;
  }
  return target;
}

}  // namespace platform::http
