#pragma once
// Standard Base64 (padded, no line breaks) for the pictures embedded in document files.
#include <optional>
#include <string>
#include <string_view>

namespace host {

std::string EncodeBase64(std::string_view bytes);
// nullopt for text that is not Base64.
std::optional<std::string> DecodeBase64(std::string_view text);

}  // namespace host
