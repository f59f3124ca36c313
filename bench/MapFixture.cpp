#include "bench/MapFixture.h"

#include <cstdlib>

#include "common/MapStore.h"
#include "common/UserFiles.h"
#include "platform/core/Text.h"
#include "platform/environment/TestSupport.h"
#include "platform/files/Files.h"

namespace tavo::bench {
namespace {

constexpr std::string_view kNumber = "@N@";

platform::environment::TempEnvironment& Environment() {
  static platform::environment::TempEnvironment environment;
  return environment;
}

bool IsSheet(const AddinState& state) { return &state.params == &kSheetParameters; }

std::string PathOf(const AddinState& state, const std::string& number) {
  const std::string name = IsSheet(state) ? "Budget " : "Report_";
  return state.gUserDocsFolder + name + number + std::string(state.params.defaultDocumentExtension);
}

// One record as the store writes it, with kNumber where the record's number goes.
std::string RecordPattern(AddinState& state) {
  const std::string number(kNumber);
  platform::files::WriteAllBytes(MapFilePath(state), "<mapxml></mapxml>");
  const bool stored =
      IsSheet(state)
          ? UpdateMapXml(state, WorkbookMapRecord{"wb-" + number, "Budget " + number, "2009-05-01 10:00",
                                                  "2009-06-01 09:30", "17", PathOf(state, number)})
          : UpdateMapXml(state, DocumentMapRecord{"doc-" + number, "Report " + number, "Report_" + number, "3",
                                                  PathOf(state, number)});
  if (!stored) std::abort();
  std::string map = ReadMap(state);
  const std::string open = "<mapxml>", close = "</mapxml>";
  return map.substr(open.size(), map.size() - open.size() - close.size());
}

}  // namespace

std::unique_ptr<AddinState> SignedIn(const AddinParameterSet& addin) {
  Environment();
  auto state = std::make_unique<AddinState>(addin);
  state->gLogLevel = "Error";
  state->gLoginUser = "ann";
  state->gLoginPassword = "secret";
  InitUserFiles(*state, "ann");
  CreateUserDocumentsFolder(*state, "ann");
  return state;
}

std::string LocalCopyPath(const AddinState& state, std::size_t index) { return PathOf(state, std::to_string(index)); }

std::string MapText(AddinState& state, std::size_t records) {
  const std::string pattern = RecordPattern(state);
  std::string map = "<mapxml>";
  map.reserve(pattern.size() * records + 32);
  for (std::size_t i = 0; i < records; ++i) map += platform::text::Replace(pattern, kNumber, std::to_string(i));
  return map + "</mapxml>";
}

std::string ReadMap(const AddinState& state) { return platform::files::ReadAllBytes(MapFilePath(state)); }

void WriteMap(const AddinState& state, const std::string& text) {
  platform::files::WriteAllBytes(MapFilePath(state), text);
}

}  // namespace tavo::bench
