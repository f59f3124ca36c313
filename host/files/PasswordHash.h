#pragma once
// Open passwords of documents and workbooks are stored as a salted hash, never as text:
//   "sha256:" + salt + ":" + hex digest
// where salt is 32 lower-case hex digits and the digest is the lower-case hex SHA-256 of the
// salt text followed by the password's UTF-8 bytes. "" stands for no password.
#include <string>
#include <string_view>

namespace host {

std::string HashPassword(std::string_view password);  // a fresh salt each call
// True when `password` is the one `stored` was made from; "" stored accepts anything.
bool PasswordMatches(std::string_view stored, std::string_view password);
// Whether `stored` is a well-formed hash (or "").
bool IsPasswordHash(std::string_view stored);

}  // namespace host
