#include "service/Tls.h"

#include <openssl/pem.h>
#include <openssl/rand.h>
#include <openssl/x509v3.h>

#include <fstream>
#include <sstream>
#include <stdexcept>
#include <vector>

namespace tavo::service {
namespace {

using CertPtr = std::unique_ptr<X509, X509Deleter>;
using KeyPtr = std::unique_ptr<EVP_PKEY, KeyDeleter>;

void Check(bool ok, const char* what) {
  if (!ok) throw std::runtime_error(std::string("TLS setup failed: ") + what);
}

KeyPtr NewKey() {
  KeyPtr key(EVP_EC_gen("P-256"));
  Check(key != nullptr, "key generation");
  return key;
}

void AddExtension(X509* cert, X509V3_CTX* ctx, int nid, const std::string& value) {
  X509_EXTENSION* ext = X509V3_EXT_conf_nid(nullptr, ctx, nid, value.c_str());
  Check(ext != nullptr, "certificate extension");
  X509_add_ext(cert, ext, -1);
  X509_EXTENSION_free(ext);
}

// A certificate for `subjectKey`, signed by `issuer` (self-signed when null).
CertPtr NewCertificate(EVP_PKEY* subjectKey, const std::string& commonName, bool ca, const std::string& altNames,
                       X509* issuer, EVP_PKEY* issuerKey) {
  CertPtr cert(X509_new());
  Check(cert != nullptr, "certificate");
  X509_set_version(cert.get(), 2);
  unsigned char serial[8];
  RAND_bytes(serial, sizeof serial);
  serial[0] &= 0x7F;
  BIGNUM* bn = BN_bin2bn(serial, sizeof serial, nullptr);
  BN_to_ASN1_INTEGER(bn, X509_get_serialNumber(cert.get()));
  BN_free(bn);
  X509_gmtime_adj(X509_getm_notBefore(cert.get()), -24L * 3600);
  X509_gmtime_adj(X509_getm_notAfter(cert.get()), 5L * 365 * 24 * 3600);
  X509_set_pubkey(cert.get(), subjectKey);

  X509_NAME* name = X509_get_subject_name(cert.get());
  X509_NAME_add_entry_by_txt(name, "O", MBSTRING_ASC, reinterpret_cast<const unsigned char*>("Tavo test"), -1, -1, 0);
  X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_ASC, reinterpret_cast<const unsigned char*>(commonName.c_str()),
                             -1, -1, 0);
  X509_set_issuer_name(cert.get(), issuer != nullptr ? X509_get_subject_name(issuer) : name);

  X509V3_CTX ctx;
  X509V3_set_ctx_nodb(&ctx);
  X509V3_set_ctx(&ctx, issuer != nullptr ? issuer : cert.get(), cert.get(), nullptr, nullptr, 0);
  AddExtension(cert.get(), &ctx, NID_basic_constraints, ca ? "critical,CA:TRUE" : "critical,CA:FALSE");
  AddExtension(cert.get(), &ctx, NID_key_usage,
               ca ? "critical,keyCertSign,cRLSign" : "critical,digitalSignature,keyEncipherment");
  AddExtension(cert.get(), &ctx, NID_subject_key_identifier, "hash");
  if (issuer != nullptr) AddExtension(cert.get(), &ctx, NID_authority_key_identifier, "keyid:always");
  if (!ca) {
    AddExtension(cert.get(), &ctx, NID_ext_key_usage, "serverAuth");
    AddExtension(cert.get(), &ctx, NID_subject_alt_name, altNames);
  }
  Check(X509_sign(cert.get(), issuerKey != nullptr ? issuerKey : subjectKey, EVP_sha256()) > 0, "signing");
  return cert;
}

std::string Pem(X509* cert) {
  std::unique_ptr<BIO, int (*)(BIO*)> bio(BIO_new(BIO_s_mem()), &BIO_free);
  PEM_write_bio_X509(bio.get(), cert);
  char* data = nullptr;
  const long size = BIO_get_mem_data(bio.get(), &data);
  return std::string(data, static_cast<size_t>(size));
}

std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  Check(static_cast<bool>(in), "reading a PEM file");
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

std::unique_ptr<BIO, int (*)(BIO*)> MemoryBio(const std::string& text) {
  return {BIO_new_mem_buf(text.data(), static_cast<int>(text.size())), &BIO_free};
}

}  // namespace

TlsMaterial MakeTlsMaterial(TlsMode mode) {
  KeyPtr caKey = NewKey();
  CertPtr ca = NewCertificate(caKey.get(), "Tavo test CA", true, "", nullptr, nullptr);
  // The CA that signs: the published one, or a second one nobody was told to trust.
  KeyPtr otherKey;
  CertPtr other;
  if (mode == TlsMode::UntrustedCa) {
    otherKey = NewKey();
    other = NewCertificate(otherKey.get(), "Unknown test CA", true, "", nullptr, nullptr);
  }
  X509* signer = other ? other.get() : ca.get();
  EVP_PKEY* signerKey = other ? otherKey.get() : caKey.get();

  const std::string names = mode == TlsMode::WrongHost
                                ? "DNS:wrong-host.tavo.invalid"
                                : "DNS:tavo.example,DNS:*.tavo.example,DNS:localhost,IP:127.0.0.1,IP:::1";
  const std::string commonName = mode == TlsMode::WrongHost ? "wrong-host.tavo.invalid" : "*.tavo.example";
  TlsMaterial material;
  material.key = NewKey();
  material.certificate = NewCertificate(material.key.get(), commonName, false, names, signer, signerKey);
  material.caPem = Pem(ca.get());
  return material;
}

TlsMaterial LoadTlsMaterial(const std::filesystem::path& certificate, const std::filesystem::path& key,
                            const std::filesystem::path& ca) {
  TlsMaterial material;
  const std::string certText = ReadFile(certificate);
  const std::string keyText = ReadFile(key);
  material.certificate.reset(PEM_read_bio_X509(MemoryBio(certText).get(), nullptr, nullptr, nullptr));
  material.key.reset(PEM_read_bio_PrivateKey(MemoryBio(keyText).get(), nullptr, nullptr, nullptr));
  Check(material.certificate && material.key, "parsing the certificate or key");
  material.caPem = ReadFile(ca);
  return material;
}

}  // namespace tavo::service
