#pragma once
// The reversible encoding in which account names and passwords are stored (registry, map
// records, credentials file): standard Base64 of the text's UTF-16LE bytes followed by one zero
// byte ("abc" is YQBiAGMAAA==, "" is AA==). It hides nothing from a reader who knows it.
#include <string>
#include <string_view>

namespace tavo {

struct AddinState;

std::string EncodeBase64(std::string_view text);
// The bytes of an encoded text; Base64 with or without line breaks. Raises a run-time error for
// text that is not Base64 or does not fit in an XML element (such as one holding "<").
std::string DecodeBase64(std::string_view encoded);
// What every reader makes of the bytes: UTF-16LE code units, the odd last byte dropped, trimmed.
std::string DecodeStoredSecret(std::string_view encoded);

// The per-user credentials file of the last sign-in: <xml><username>..</username>
// <password>..</password></xml> with both values encoded.
std::string CredentialsFilePath(const AddinState& state);
// Replaces the file with one holding gEncodedUser and gEncodedPassword (atomically).
void WriteCredentialsFile(const AddinState& state, std::string_view path);

struct StoredCredentials {
  std::string user;
  std::string password;
};
// The decoded, trimmed name and password of a credentials file; raises a run-time error when the
// file cannot be loaded or lacks them.
StoredCredentials ReadCredentialsFile(std::string_view path);

}  // namespace tavo
