#pragma once
// The few URL operations the transport needs: the wire form of a URL and its host and port.
#include <optional>
#include <string>
#include <string_view>

namespace platform::http {

// Percent-encodes (as UTF-8 bytes, upper-case hex) every byte a URL may not hold: controls,
// the blank, DEL, bytes of non-ASCII characters and " < > \ ^ ` { | }. Everything else,
// "%" included, stays as it is, so an already encoded URL is not encoded twice.
std::string EncodeUrl(std::string_view url);

struct UrlTarget {
  std::string scheme;  // lower case
  std::string host;    // lower case, without brackets
  int port = 0;        // the explicit port or the scheme's default
};

// Scheme, host and port of an absolute http or https URL; nullopt when the URL has no
// host or a port that is not a number.
std::optional<UrlTarget> ParseUrlTarget(std::string_view url);

}  // namespace platform::http
