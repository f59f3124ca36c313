#include "platform/http/Transport.h"

#include <curl/curl.h>
#include <openssl/pem.h>
#include <openssl/ssl.h>
#include <openssl/x509.h>

#include <charconv>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <memory>
#include <mutex>
#include <optional>

#include "platform/codepage/CodePage.h"
#include "platform/core/RuntimeError.h"
#include "platform/core/Text.h"
#include "platform/environment/Environment.h"
#include "platform/http/Hosts.h"
#include "platform/http/Http.h"
#include "platform/http/Url.h"

namespace platform::http {

std::string ErrorDescription(long number) {
  switch (number) {
    case err::ResourceNotFound: return "The system cannot locate the resource specified";
    case err::DownloadFailure: return "The download has failed (the connection was interrupted)";
    case err::DataNotAvailable: return "The data necessary to complete this operation is not yet available";
    case err::Timeout: return "The operation timed out";
    case err::InvalidUrl: return "The URL is invalid";
    case err::UnrecognizedScheme: return "The URL does not use a recognized protocol";
    case err::ConnectionAborted: return "The connection with the server was terminated abnormally";
    case err::CertificateHostName: return "The host name in the certificate is invalid or does not match";
    case err::CertificateAuthority: return "The certificate authority is invalid or incorrect";
    case err::CertificateDate: return "The date in the certificate is invalid or has expired";
    case err::SecureChannel: return "An error occurred in the secure channel support";
    case err::PathNotFound: return "The system cannot find the path specified";
    case err::AccessDenied: return "Access is denied";
    case err::Aborted: return "Operation aborted";
    case err::NotSupported: return "This method is not supported";
    case err::ResponseTooLarge: return "The answer is larger than this client takes";
    default: return "Unspecified error";
  }
}

namespace {

[[noreturn]] void Fail(long number) { Raise(number, ErrorDescription(number)); }

// ---- timeouts and the bound of an answer ------------------------------------------------

std::mutex gSettingsMutex;
std::optional<Timeouts> gTimeouts;
std::optional<size_t> gMaxResponseBytes;

// A positive whole number from the process environment; `fallback` when it is missing or not one.
long long EnvironmentNumber(const char* name, long long fallback) {
  const char* value = std::getenv(name);
  if (value == nullptr) return fallback;
  long long number = 0;
  const std::string_view text(value);
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), number);
  if (ec != std::errc() || end != text.data() + text.size() || number <= 0) return fallback;
  return number;
}

std::chrono::milliseconds EnvironmentMs(const char* name, std::chrono::milliseconds fallback) {
  return std::chrono::milliseconds(EnvironmentNumber(name, fallback.count()));
}

// ---- callbacks ---------------------------------------------------------------------------

struct Context {
  ResponseSink& sink;
  const std::atomic<bool>* cancel;
  size_t maxBody;
  ResponseHead head;
  long long contentLength = -1;
  size_t received = 0;
  bool delivered = false;
  std::exception_ptr error;

  void Deliver() {
    if (delivered) return;
    delivered = true;
    if (contentLength > 0 && static_cast<unsigned long long>(contentLength) > maxBody) Fail(err::ResponseTooLarge);
    sink.OnHeaders(head, contentLength);
  }
  void Take(std::string_view data) {
    received += data.size();
    if (received > maxBody) Fail(err::ResponseTooLarge);
  }
};

size_t OnHeaderLine(char* data, size_t size, size_t count, void* user) {
  auto& ctx = *static_cast<Context*>(user);
  std::string_view line(data, size * count);
  while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.remove_suffix(1);
  try {
    if (line.starts_with("HTTP/")) {
      // A new response begins (after a 100 Continue or a redirect): forget the last one.
      ctx.head = {};
      ctx.contentLength = -1;
      const size_t sp = line.find(' ');
      if (sp != std::string_view::npos) {
        std::string_view rest = line.substr(sp + 1);
        const size_t sp2 = rest.find(' ');
        const std::string_view code = rest.substr(0, sp2);
        std::from_chars(code.data(), code.data() + code.size(), ctx.head.status);
        if (sp2 != std::string_view::npos) ctx.head.statusText = rest.substr(sp2 + 1);
      }
    } else if (line.empty()) {
      const bool interim = ctx.head.status < 200;
      const bool followed = ctx.head.status >= 300 && ctx.head.status < 400 &&
                            !FindHeader(ctx.head.headers, "Location").empty();
      if (!interim && !followed) ctx.Deliver();
    } else if (const size_t colon = line.find(':'); colon != std::string_view::npos) {
      std::string name(line.substr(0, colon));
      std::string value = text::Trim(line.substr(colon + 1));
      if (text::EqualsText(name, "Content-Length")) {
        long long length = -1;
        std::from_chars(value.data(), value.data() + value.size(), length);
        ctx.contentLength = length;
      }
      ctx.head.headers.emplace_back(std::move(name), std::move(value));
    }
  } catch (...) {
    ctx.error = std::current_exception();
    return 0;
  }
  return size * count;
}

size_t OnBody(char* data, size_t size, size_t count, void* user) {
  auto& ctx = *static_cast<Context*>(user);
  try {
    ctx.Deliver();
    ctx.Take(std::string_view(data, size * count));
    if (!ctx.sink.OnData(std::string_view(data, size * count))) return 0;
  } catch (...) {
    ctx.error = std::current_exception();
    return 0;
  }
  return size * count;
}

int OnProgress(void* user, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
  const auto& ctx = *static_cast<Context*>(user);
  return ctx.cancel != nullptr && ctx.cancel->load() ? 1 : 0;
}

// Adds the certificates of the environment's CA file to those curl already trusts.
CURLcode AddCaFile(CURL*, void* sslCtx, void* user) {
  const auto& path = *static_cast<const std::filesystem::path*>(user);
  std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(path.c_str(), "rb"), &std::fclose);
  if (!file) return CURLE_OK;
  X509_STORE* store = SSL_CTX_get_cert_store(static_cast<SSL_CTX*>(sslCtx));
  while (X509* cert = PEM_read_X509(file.get(), nullptr, nullptr, nullptr)) {
    X509_STORE_add_cert(store, cert);  // a certificate already present is simply kept
    X509_free(cert);
  }
  return CURLE_OK;
}

long ErrorNumber(CURLcode code, CURL* curl) {
  switch (code) {
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_CONNECT:
      return err::ResourceNotFound;
    case CURLE_OPERATION_TIMEDOUT:
      return err::Timeout;
    case CURLE_URL_MALFORMAT:
      return err::InvalidUrl;
    case CURLE_UNSUPPORTED_PROTOCOL:
      return err::UnrecognizedScheme;
    case CURLE_PEER_FAILED_VERIFICATION: {
      // OpenSSL's verdict on the chain; when the chain was fine, curl's own name check
      // failed (it then leaves no result or an unspecified one).
      long result = 0;
      curl_easy_getinfo(curl, CURLINFO_SSL_VERIFYRESULT, &result);
      switch (result) {
        case X509_V_OK:
        case X509_V_ERR_UNSPECIFIED:
        case X509_V_ERR_APPLICATION_VERIFICATION:
        case X509_V_ERR_HOSTNAME_MISMATCH:
        case X509_V_ERR_IP_ADDRESS_MISMATCH:
          return err::CertificateHostName;
        case X509_V_ERR_CERT_NOT_YET_VALID:
        case X509_V_ERR_CERT_HAS_EXPIRED:
          return err::CertificateDate;
        default:
          return err::CertificateAuthority;
      }
    }
    case CURLE_SSL_CONNECT_ERROR:
    case CURLE_SSL_CERTPROBLEM:
    case CURLE_SSL_CIPHER:
    case CURLE_SSL_CACERT_BADFILE:
    case CURLE_SSL_ISSUER_ERROR:
    case CURLE_SSL_CRL_BADFILE:
    case CURLE_SSL_SHUTDOWN_FAILED:
      return err::SecureChannel;
    case CURLE_GOT_NOTHING:
    case CURLE_RECV_ERROR:
    case CURLE_SEND_ERROR:
    case CURLE_PARTIAL_FILE:
    case CURLE_HTTP2:
    case CURLE_WEIRD_SERVER_REPLY:
      return err::ConnectionAborted;
    case CURLE_ABORTED_BY_CALLBACK:
    case CURLE_WRITE_ERROR:
      return err::Aborted;
    default:
      return err::Unspecified;
  }
}

// Names under the reserved test domains never resolve; asking DNS about them would only
// send a query off the machine.
bool IsReservedName(std::string_view host) {
  for (std::string_view tld : {"example", "invalid", "test"}) {
    if (host == tld || (host.size() > tld.size() && host.ends_with(tld) &&
                        host[host.size() - tld.size() - 1] == '.'))
      return true;
  }
  return false;
}

std::string Bracketed(const std::string& host) {
  return host.find(':') != std::string::npos ? "[" + host + "]" : host;
}

struct SlistDeleter {
  void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};
struct EasyDeleter {
  void operator()(CURL* curl) const { curl_easy_cleanup(curl); }
};

bool HasHeader(const HeaderList& headers, std::string_view name) {
  for (const auto& [n, v] : headers)
    if (text::EqualsText(n, name)) return true;
  return false;
}

}  // namespace

Timeouts CurrentTimeouts() {
  std::lock_guard lock(gSettingsMutex);
  if (gTimeouts) return *gTimeouts;
  Timeouts t;
  t.connect = EnvironmentMs("TAVO_HTTP_CONNECT_TIMEOUT_MS", t.connect);
  t.total = EnvironmentMs("TAVO_HTTP_TIMEOUT_MS", t.total);
  return t;
}

void SetTimeouts(const Timeouts& timeouts) {
  std::lock_guard lock(gSettingsMutex);
  gTimeouts = timeouts;
}

void ResetTimeouts() {
  std::lock_guard lock(gSettingsMutex);
  gTimeouts.reset();
}

size_t CurrentMaxResponseBytes() {
  std::lock_guard lock(gSettingsMutex);
  if (gMaxResponseBytes) return *gMaxResponseBytes;
  return static_cast<size_t>(EnvironmentNumber("TAVO_HTTP_MAX_RESPONSE_BYTES",
                                               static_cast<long long>(kDefaultMaxResponseBytes)));
}

void SetMaxResponseBytes(size_t bytes) {
  std::lock_guard lock(gSettingsMutex);
  gMaxResponseBytes = bytes;
}

void ResetMaxResponseBytes() {
  std::lock_guard lock(gSettingsMutex);
  gMaxResponseBytes.reset();
}

std::string FindHeader(const HeaderList& headers, std::string_view name) {
  std::string joined;
  for (const auto& [n, v] : headers) {
    if (!text::EqualsText(n, name)) continue;
    if (!joined.empty()) joined += ", ";
    joined += v;
  }
  return joined;
}

std::uint32_t CharsetCodePage(std::string_view contentType) {
  const std::uint32_t codePage = codepage::CodePageOfContentType(contentType);
  return codePage == codepage::CP_UTF8 ? 0 : codePage;
}

std::string DecodeText(std::string_view contentType, std::string_view body) {
  const std::uint32_t codePage = CharsetCodePage(contentType);
  return codePage == 0 ? std::string(body) : codepage::AnsiToUtf8(body, codePage);
}

ResponseHead Perform(const ExchangeRequest& request, ResponseSink& sink,
                     const std::atomic<bool>* cancel) {
  static std::once_flag init;
  std::call_once(init, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });

  const std::string url = EncodeUrl(request.url);
  const auto target = ParseUrlTarget(url);
  if (!target) Fail(err::InvalidUrl);
  if (target->scheme != "http" && target->scheme != "https") Fail(err::UnrecognizedScheme);

  std::unique_ptr<CURL, EasyDeleter> easy(curl_easy_init());
  if (!easy) Fail(err::Unspecified);
  CURL* curl = easy.get();

  std::unique_ptr<curl_slist, SlistDeleter> connectTo;
  if (const auto m = FindHostMapping(LoadHostsFile(), target->host, target->port)) {
    const std::string entry = Bracketed(target->host) + ":" + std::to_string(target->port) + ":" +
                              Bracketed(m->address) + ":" +
                              std::to_string(m->addressPort != 0 ? m->addressPort : target->port);
    connectTo.reset(curl_slist_append(nullptr, entry.c_str()));
    curl_easy_setopt(curl, CURLOPT_CONNECT_TO, connectTo.get());
  } else if (IsReservedName(target->host)) {
    Fail(err::ResourceNotFound);
  }

  Context ctx{sink, cancel, CurrentMaxResponseBytes(), {}, -1, 0, false, nullptr};
  const Timeouts timeouts = CurrentTimeouts();
  curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
  curl_easy_setopt(curl, CURLOPT_PROXY, "");
  curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
  // A request begun over TLS never goes on in clear: what it carries (a password, a ticket)
  // would be sent to whoever answers the plain address.
  curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, target->scheme == "https" ? "https" : "http,https");
  curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
  curl_easy_setopt(curl, CURLOPT_MAXREDIRS, 10L);
  curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(timeouts.connect.count()));
  curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, static_cast<long>(timeouts.total.count()));
  curl_easy_setopt(curl, CURLOPT_SSL_VERIFYPEER, 1L);
  curl_easy_setopt(curl, CURLOPT_SSL_VERIFYHOST, 2L);
  curl_easy_setopt(curl, CURLOPT_HEADERFUNCTION, &OnHeaderLine);
  curl_easy_setopt(curl, CURLOPT_HEADERDATA, &ctx);
  curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, &OnBody);
  curl_easy_setopt(curl, CURLOPT_WRITEDATA, &ctx);
  curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
  curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, &OnProgress);
  curl_easy_setopt(curl, CURLOPT_XFERINFODATA, &ctx);

  const std::filesystem::path caFile = environment::HostPath(kCaFile);
  if (std::filesystem::exists(caFile)) {
    curl_easy_setopt(curl, CURLOPT_SSL_CTX_FUNCTION, &AddCaFile);
    curl_easy_setopt(curl, CURLOPT_SSL_CTX_DATA, &caFile);
  }

  const std::string method = text::UCase(request.method);
  if (method == "GET") {
    curl_easy_setopt(curl, CURLOPT_HTTPGET, 1L);
  } else if (method == "HEAD") {
    curl_easy_setopt(curl, CURLOPT_NOBODY, 1L);
  } else {
    // The body is sent from the caller's buffer: POSTFIELDS does not copy it.
    curl_easy_setopt(curl, CURLOPT_POSTFIELDS, request.body.empty() ? "" : request.body.data());
    curl_easy_setopt(curl, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(request.body.size()));
    if (method != "POST") curl_easy_setopt(curl, CURLOPT_CUSTOMREQUEST, method.c_str());
  }

  std::unique_ptr<curl_slist, SlistDeleter> headers;
  auto append = [&](const std::string& line) {
    headers.reset(curl_slist_append(headers.release(), line.c_str()));
  };
  for (const auto& [name, value] : request.headers)
    append(value.empty() ? name + ";" : name + ": " + value);
  // Only the caller's headers: no form content type, no wait for "100 Continue".
  if (!HasHeader(request.headers, "Content-Type")) append("Content-Type:");
  if (!HasHeader(request.headers, "Expect")) append("Expect:");
  curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers.get());

  if (!request.user.empty() || !request.password.empty()) {
    curl_easy_setopt(curl, CURLOPT_HTTPAUTH, static_cast<long>(CURLAUTH_BASIC));
    curl_easy_setopt(curl, CURLOPT_USERNAME, request.user.c_str());
    curl_easy_setopt(curl, CURLOPT_PASSWORD, request.password.c_str());
  }

  const CURLcode code = curl_easy_perform(curl);
  if (ctx.error) std::rethrow_exception(ctx.error);
  if (code != CURLE_OK) Fail(ErrorNumber(code, curl));
  ctx.Deliver();
  return ctx.head;
}

}  // namespace platform::http
