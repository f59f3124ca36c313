#pragma once
// The system clipboard: one per process, holding data under format names. Setting data for one
// format keeps the others (an application puts several renderings of one copy on it after a
// Clear); Clear empties it.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform::office::clipboard {

// Plain text, UTF-8.
inline constexpr std::string_view kTextFormat = "Text";

void Clear();
void SetData(std::string_view format, std::string data);
std::optional<std::string> GetData(std::string_view format);
bool HasFormat(std::string_view format);
std::vector<std::string> Formats();

}  // namespace platform::office::clipboard
