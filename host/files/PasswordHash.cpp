#include "host/files/PasswordHash.h"

#include <openssl/crypto.h>
#include <openssl/rand.h>
#include <openssl/sha.h>

#include <cstdio>

#include "platform/core/RuntimeError.h"

namespace host {
namespace {

constexpr std::string_view kPrefix = "sha256:";

std::string Hex(const unsigned char* bytes, size_t n) {
  static const char* digits = "0123456789abcdef";
  std::string out;
  out.reserve(n * 2);
  for (size_t i = 0; i < n; ++i) {
    out.push_back(digits[bytes[i] >> 4]);
    out.push_back(digits[bytes[i] & 15]);
  }
  return out;
}

std::string Digest(std::string_view salt, std::string_view password) {
  std::string input(salt);
  input.append(password);
  unsigned char digest[SHA256_DIGEST_LENGTH];
  SHA256(reinterpret_cast<const unsigned char*>(input.data()), input.size(), digest);
  return Hex(digest, sizeof digest);
}

bool IsHex(std::string_view s, size_t length) {
  if (s.size() != length) return false;
  for (char c : s)
    if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) return false;
  return true;
}

}  // namespace

std::string HashPassword(std::string_view password) {
  unsigned char salt[16];
  if (RAND_bytes(salt, sizeof salt) != 1) platform::Raise(platform::err::Automation, "No random bytes for a salt");
  std::string saltHex = Hex(salt, sizeof salt);
  return std::string(kPrefix) + saltHex + ":" + Digest(saltHex, password);
}

bool IsPasswordHash(std::string_view stored) {
  if (stored.empty()) return true;
  if (stored.substr(0, kPrefix.size()) != kPrefix) return false;
  auto rest = stored.substr(kPrefix.size());
  auto colon = rest.find(':');
  return colon != std::string_view::npos && IsHex(rest.substr(0, colon), 32) && IsHex(rest.substr(colon + 1), 64);
}

bool PasswordMatches(std::string_view stored, std::string_view password) {
  if (stored.empty()) return true;
  if (!IsPasswordHash(stored)) return false;
  auto rest = stored.substr(kPrefix.size());
  auto colon = rest.find(':');
  std::string expected = Digest(rest.substr(0, colon), password);
  auto given = rest.substr(colon + 1);
  return CRYPTO_memcmp(expected.data(), given.data(), expected.size()) == 0;
}

}  // namespace host
