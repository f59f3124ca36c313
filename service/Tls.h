#pragma once
// Certificates for the service's TLS listener: a test CA and a server certificate for the
// tavo.example names, made at start with OpenSSL (or loaded from PEM files).
#include <filesystem>
#include <memory>
#include <string>

#include <openssl/evp.h>
#include <openssl/x509.h>

namespace tavo::service {

enum class TlsMode {
  Off,          // no TLS listener
  Trusted,      // a server certificate for the suite's names, signed by the published CA
  UntrustedCa,  // signed by another CA than the one published
  WrongHost,    // signed by the published CA, but for another host name
};

struct X509Deleter {
  void operator()(X509* x) const { X509_free(x); }
};
struct KeyDeleter {
  void operator()(EVP_PKEY* k) const { EVP_PKEY_free(k); }
};

struct TlsMaterial {
  std::unique_ptr<X509, X509Deleter> certificate;
  std::unique_ptr<EVP_PKEY, KeyDeleter> key;
  std::string caPem;  // the CA certificate clients are told to trust
};

// Throws std::runtime_error when OpenSSL fails.
TlsMaterial MakeTlsMaterial(TlsMode mode);
// A server certificate and key, and the CA certificate to publish, from PEM files.
TlsMaterial LoadTlsMaterial(const std::filesystem::path& certificate, const std::filesystem::path& key,
                            const std::filesystem::path& ca);

}  // namespace tavo::service
