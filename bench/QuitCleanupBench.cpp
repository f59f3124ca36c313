// The clean-up when the host quits: 100 temporary copies recorded in a map of 10,000 records, and
// the walk that removes their records. Two ways of walking are timed side by side:
//  - save_each: the walk saving the map after every removal, written here over the XML layer;
//  - map_store: the map store's RemoveLocalCopyRecords, which saves once after the walk.
// The setup checks once that both leave the same file. The add-ins' own clean-up procedures
// (the word processor's nonlocalsavedeletedocument, the spreadsheet's RemoveTempEntriesFromMap)
// join the table at the bottom once they exist: each is a Walk, called with the state as the
// add-in has it at quit (signed in, gTempFiles filled, the map file on disk).
#include <benchmark/benchmark.h>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "bench/MapFixture.h"
#include "common/MapStore.h"
#include "platform/core/Text.h"
#include "platform/xml/XmlDocument.h"

namespace tavo::bench {
namespace {

constexpr std::size_t kRecords = 10'000;
constexpr std::size_t kTemporaryCopies = 100;

using Walk = std::function<void(AddinState&)>;

bool IsWriter(const AddinState& state) { return &state.params == &kWriterParameters; }

std::vector<std::string> TemporaryCopies(const AddinState& state) {
  std::vector<std::string> paths;
  for (const AddinState::TempCopy& copy : state.gTempFiles) paths.push_back(copy.path);
  return paths;
}

// The walk as first described: each record compared with every recorded copy (by the markup of
// its location child, or by its second attribute), and the map saved at once after each removal.
void SaveEach(AddinState& state) {
  const std::string path = MapFilePath(state);
  platform::xml::Document doc;
  if (!doc.load(path)) return;
  platform::xml::Node root = doc.documentElement();
  const std::vector<std::string> copies = TemporaryCopies(state);
  for (std::size_t i = 0; i < root.childCount();) {
    const platform::xml::Node record = root.child(i);
    bool match = false;
    for (const std::string& copy : copies) {
      match = IsWriter(state) ? platform::text::EqualsText(record.child(4).xml(), "<location>" + copy + "</location>")
                              : platform::text::EqualsText(record.attribute(1), copy);
      if (match) break;
    }
    if (!match) {
      ++i;
      continue;
    }
    root.removeChild(record);
    doc.save(path);
  }
}

void MapStoreWalk(AddinState& state) {
  RemoveLocalCopyRecords(state, MapFilePath(state), TemporaryCopies(state),
                         IsWriter(state) ? LocalCopyKey::LocationChild : LocalCopyKey::FilenameAttribute);
}

// A signed-in add-in at quit: the map and the list of this run's temporary copies, every
// hundredth record being one, and the file that saving after each removal leaves.
struct AtQuit {
  std::unique_ptr<AddinState> state;
  std::string map;
  std::string expected;
  explicit AtQuit(const AddinParameterSet& addin) : state(SignedIn(addin)), map(MapText(*state, kRecords)) {
    for (std::size_t i = 0; i < kTemporaryCopies; ++i)
      state->gTempFiles.push_back(
          {.path = LocalCopyPath(*state, i * (kRecords / kTemporaryCopies) + 37), .stamp = std::nullopt, .gone = false});
    expected = After(SaveEach);
  }
  // The map as it is before the clean-up, read from the file by whatever runs next.
  void Reset() const {
    WriteMap(*state, map);
    state->savedMap.reset();
  }
  std::string After(const Walk& walk) const {
    Reset();
    walk(*state);
    return ReadMap(*state);
  }
};

// Set up once per add-in: the walk that saves after each removal takes seconds.
const AtQuit& QuitOf(const AddinParameterSet& addin) {
  static std::map<const AddinParameterSet*, std::unique_ptr<AtQuit>> quits;
  std::unique_ptr<AtQuit>& quit = quits[&addin];
  if (!quit) quit = std::make_unique<AtQuit>(addin);
  return *quit;
}

// Empty when the walk leaves the file that saving after each removal leaves, else what differs.
// Checked once per walk.
const std::string& EndStateProblem(const AtQuit& quit, const std::string& name, const Walk& walk) {
  static std::map<std::string, std::string> problems;
  auto found = problems.find(name);
  if (found != problems.end()) return found->second;
  std::string problem;
  if (quit.expected.size() + 200 * kTemporaryCopies > quit.map.size()) problem = "too few records were removed";
  else if (quit.After(walk) != quit.expected) problem = "the end state differs from saving after each removal";
  return problems[name] = problem;
}

void BM_QuitCleanup(benchmark::State& bench, const AddinParameterSet* addin, const char* walkName, Walk walk) {
  const AtQuit& quit = QuitOf(*addin);
  const std::string& problem = EndStateProblem(quit, std::string(addin->name) + " " + walkName, walk);
  if (!problem.empty()) {
    bench.SkipWithError(problem.c_str());
    return;
  }
  for (auto _ : bench) {
    bench.PauseTiming();
    quit.Reset();
    bench.ResumeTiming();
    walk(*quit.state);
  }
}

// A walk that saves after every removal runs for seconds: once per repetition is enough.
#define TAVO_QUIT_BENCHMARK(name, addin, walk) \
  BENCHMARK_CAPTURE(BM_QuitCleanup, name, &addin, #walk, walk)->Unit(benchmark::kMillisecond)->UseRealTime()
TAVO_QUIT_BENCHMARK(writer_save_each, kWriterParameters, SaveEach)->Iterations(1);
TAVO_QUIT_BENCHMARK(writer_map_store, kWriterParameters, MapStoreWalk);
TAVO_QUIT_BENCHMARK(sheet_save_each, kSheetParameters, SaveEach)->Iterations(1);
TAVO_QUIT_BENCHMARK(sheet_map_store, kSheetParameters, MapStoreWalk);
// The add-ins' procedures join here once they exist (with the add-in's code linked to this
// program in bench/CMakeLists.txt), e.g.:
// TAVO_QUIT_BENCHMARK(writer_addin, kWriterParameters,
//                     [](AddinState& s) { writer::WriterOperations(s).nonlocalsavedeletedocument(); });
// and a "time" line for it in bench/targets.txt.

}  // namespace
}  // namespace tavo::bench
