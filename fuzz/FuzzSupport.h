#pragma once
// What the fuzz targets share: the entry point that libFuzzer (or the replay test) calls, the
// input as text, and one environment for the whole run in a temporary folder of its own, so
// that targets which read and write files never touch a real profile.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "platform/environment/TestSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace tavo::fuzz {

inline std::string_view Text(const std::uint8_t* data, std::size_t size) {
  return {reinterpret_cast<const char*>(data), size};
}

// Made on first use and removed when the process ends normally.
inline platform::environment::TempEnvironment& Environment() {
  static platform::environment::TempEnvironment env;
  return env;
}

// A property the routine must keep has been broken: report it as a crash, with the input
// that libFuzzer saves beside it.
[[noreturn]] inline void Broken(const char* what) {
  std::fprintf(stderr, "fuzz property broken: %s\n", what);
  std::abort();
}

inline void Require(bool holds, const char* what) {
  if (!holds) Broken(what);
}

// The first piece of the input up to the separator, and what follows it; pieces let one input
// carry a file and the names to look up in it.
inline std::string_view TakePiece(std::string_view& rest, char separator = '\x1F') {
  const std::size_t at = rest.find(separator);
  std::string_view piece = rest.substr(0, at);
  rest = at == std::string_view::npos ? std::string_view{} : rest.substr(at + 1);
  return piece;
}

}  // namespace tavo::fuzz
