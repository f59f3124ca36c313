// The private-profile reader over a file as a damaged disk or a careless editor may leave it:
// the add-ins read every key of their language file through it and decode what comes back.
// The input is the file; the names looked up are those of an add-in's language file and
// the section and key names the file itself holds, with buffers of the language reader's 260
// characters and of a few characters, each exactly as large as it claims to be.
#include <string>
#include <vector>

#include "common/AddinParameterSet.h"
#include "common/AddinState.h"
#include "common/Language.h"
#include "common/LanguageText.h"
#include "fuzz/FuzzSupport.h"
#include "platform/core/RuntimeError.h"
#include "platform/files/Files.h"
#include "platform/profile/Profile.h"

namespace {

constexpr const char* kFolder = "C:\\fuzz";
constexpr const char* kFile = "C:\\fuzz\\Language\\chinese.ini";

// Section and key names as the file spells them, in the reader's own reading of a line.
void NamesIn(std::string_view text, std::vector<std::string>* sections, std::vector<std::string>* keys) {
  while (!text.empty()) {
    std::string_view line = tavo::fuzz::TakePiece(text, '\n');
    if (line.empty()) continue;
    if (line.front() == '[') {
      if (sections->size() < 4) sections->emplace_back(line.substr(1, line.find(']') - 1));
    } else if (keys->size() < 8) {
      keys->emplace_back(line.substr(0, line.find('=')));
    }
  }
}

void ReadEveryKey(const tavo::AddinParameterSet& params) {
  tavo::AddinState state(params);
  state.gApplicationPath = kFolder;
  state.gLanguageCode = "chi_ch";
  if (!tavo::LoadLanguage(state)) return;
  for (const std::string& name : state.strings.Names()) {
    try {
      (void)tavo::LanguageText(state, name);
    } catch (const platform::RuntimeError& e) {
      tavo::fuzz::Require(e.number() == platform::err::TypeMismatch, "a text decodes or is a type mismatch");
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace tavo;
  static const bool ready = [] {
    fuzz::Environment();
    platform::files::CreateFolder(kFolder);
    platform::files::CreateFolder(std::string(kFolder) + "\\Language");
    return true;
  }();
  (void)ready;
  const std::string_view file = fuzz::Text(data, size);
  platform::files::WriteAllBytes(kFile, file);

  // Each key is a read of the whole file: one add-in's keys per input keeps the pace up.
  ReadEveryKey(size % 2 ? tavo::kSheetParameters : tavo::kWriterParameters);

  std::vector<std::string> sections{"Messages"}, keys{"gMsg17"};
  NamesIn(file, &sections, &keys);
  for (const std::string& section : sections) {
    for (const std::string& key : keys) {
      for (std::uint32_t capacity : {260u, 1u, 4u}) {
        std::vector<char> buffer(capacity, '\x7F');
        const std::uint32_t n = platform::profile::GetPrivateProfileStringA(section, key, "fallback  ", buffer.data(),
                                                                            capacity, kFile);
        fuzz::Require(n < capacity && buffer[n] == '\0', "the copy fits its buffer and is NUL-terminated");
      }
    }
  }
  return 0;
}
