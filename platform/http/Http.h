#pragma once
// Settings and error numbers shared by every exchange of the HTTP layer (XmlHttpRequest,
// URLDownloadToFileA, AsyncGet).
//
// Every request of this layer:
//  - has the characters that a URL may not hold (blanks, control characters, non-ASCII text,
//    " < > \ ^ ` { | }) percent-encoded as UTF-8 bytes; nothing else in the URL is changed;
//  - is routed through the hosts file of the environment, C:\Windows\System32\drivers\etc\hosts,
//    which maps a host name (optionally with a port) to an address and port on this machine,
//    keeping the Host header and the TLS server name of the URL;
//  - never uses a proxy;
//  - verifies TLS peers against the system CAs plus C:\Windows\System32\certs\tavo-ca.pem when
//    that file exists;
//  - gives up after the connect timeout and the whole-exchange timeout below;
//  - takes an answer body no larger than the bound below.
#include <chrono>
#include <cstddef>
#include <string>
#include <string_view>

namespace platform::http {

// Numbers of the run-time errors raised for transport failures (HRESULT values).
namespace err {
inline constexpr long ResourceNotFound = -2146697211;   // name not resolved, nothing listening
inline constexpr long DownloadFailure = -2146697208;    // download answered with a non-2xx status
inline constexpr long DataNotAvailable = -2147483638;   // response read before it was received
inline constexpr long Timeout = -2147012894;
inline constexpr long InvalidUrl = -2147012891;
inline constexpr long UnrecognizedScheme = -2147012890;
inline constexpr long ConnectionAborted = -2147012866;  // reset, closed early, body cut short
inline constexpr long CertificateHostName = -2147012858;
inline constexpr long CertificateDate = -2147012859;
inline constexpr long CertificateAuthority = -2147012851;
inline constexpr long SecureChannel = -2147012739;
inline constexpr long PathNotFound = -2147024893;       // download target folder missing
inline constexpr long AccessDenied = -2147024891;       // download target in use or read-only
inline constexpr long Aborted = -2147467260;
inline constexpr long Unspecified = -2147467259;
inline constexpr long NotSupported = -2146827850;       // an asynchronous open
inline constexpr long ResponseTooLarge = -2147024882;   // the answer passes the bound below
}  // namespace err

// The description that goes with each number above.
std::string ErrorDescription(long number);

struct Timeouts {
  std::chrono::milliseconds connect{15000};
  std::chrono::milliseconds total{120000};
};

// The timeouts in force: those set by SetTimeouts, else TAVO_HTTP_CONNECT_TIMEOUT_MS and
// TAVO_HTTP_TIMEOUT_MS from the process environment, else 15 s and 120 s.
Timeouts CurrentTimeouts();
void SetTimeouts(const Timeouts& timeouts);
void ResetTimeouts();  // back to the environment variables and defaults

// The largest answer body an exchange takes. Past it the exchange fails with
// err::ResponseTooLarge: at once when the answer announces a longer body, else when its bytes
// pass the bound; what came of it is dropped. Well above any real answer: the largest workbooks
// users save are some tens of megabytes.
inline constexpr std::size_t kDefaultMaxResponseBytes = std::size_t{128} << 20;
// The bound in force: that set by SetMaxResponseBytes, else TAVO_HTTP_MAX_RESPONSE_BYTES from
// the process environment, else kDefaultMaxResponseBytes.
std::size_t CurrentMaxResponseBytes();
void SetMaxResponseBytes(std::size_t bytes);
void ResetMaxResponseBytes();  // back to the environment variable and the default

// Windows paths of the two files of the environment that the layer reads.
inline constexpr std::string_view kHostsFile = "C:\\Windows\\System32\\drivers\\etc\\hosts";
inline constexpr std::string_view kCaFile = "C:\\Windows\\System32\\certs\\tavo-ca.pem";

}  // namespace platform::http
