// UpdateMapXml on a map of 10,000 records: the open flow and the save flow call it once per
// document, so its cost is what the user waits for after each download and upload. Three cases
// for each add-in's record:
//  - replace_kept: a record replaced in a map the store itself saved last (one update after
//    another), where the store reuses the tree it kept;
//  - replace_parsed: the same after someone else wrote the map (or at the first update of a
//    run), where the file is parsed;
//  - append_parsed: a record new to the map, the map parsed.
#include <benchmark/benchmark.h>

#include <string>

#include "bench/MapFixture.h"
#include "common/MapStore.h"

namespace tavo::bench {
namespace {

constexpr std::size_t kRecords = 10'000;

enum class Case { ReplaceKept, ReplaceParsed, AppendParsed };

// Record `index` of the map, with a new version (or update lock).
bool Update(AddinState& state, std::size_t index, int version) {
  const std::string n = std::to_string(index);
  if (&state.params == &kWriterParameters)
    return UpdateMapXml(state, DocumentMapRecord{"doc-" + n, "Report " + n, "Report_" + n, std::to_string(version),
                                                 LocalCopyPath(state, index)});
  return UpdateMapXml(state, WorkbookMapRecord{"wb-" + n, "Budget " + n, "2009-05-01 10:00", "2009-06-01 09:30",
                                               std::to_string(version), LocalCopyPath(state, index)});
}

void BM_UpdateMapXml(benchmark::State& bench, const AddinParameterSet* addin, Case c) {
  auto state = SignedIn(*addin);
  const std::string map = MapText(*state, kRecords);
  WriteMap(*state, map);
  const std::size_t index = c == Case::AppendParsed ? kRecords : kRecords / 2;
  int version = 4;
  if (c == Case::ReplaceKept) Update(*state, index, version++);  // the update before
  for (auto _ : bench) {
    if (c != Case::ReplaceKept) {
      bench.PauseTiming();
      WriteMap(*state, map);
      state->savedMap.reset();
      bench.ResumeTiming();
    }
    if (!Update(*state, index, version++)) {
      bench.SkipWithError("UpdateMapXml failed");
      break;
    }
  }
}

}  // namespace

#define TAVO_UPDATE_BENCHMARK(name, addin, c) \
  BENCHMARK_CAPTURE(BM_UpdateMapXml, name, &addin, c)->Unit(benchmark::kMillisecond)->UseRealTime()
TAVO_UPDATE_BENCHMARK(document_replace_kept, kWriterParameters, Case::ReplaceKept);
TAVO_UPDATE_BENCHMARK(document_replace_parsed, kWriterParameters, Case::ReplaceParsed);
TAVO_UPDATE_BENCHMARK(document_append_parsed, kWriterParameters, Case::AppendParsed);
TAVO_UPDATE_BENCHMARK(workbook_replace_kept, kSheetParameters, Case::ReplaceKept);
TAVO_UPDATE_BENCHMARK(workbook_replace_parsed, kSheetParameters, Case::ReplaceParsed);
TAVO_UPDATE_BENCHMARK(workbook_append_parsed, kSheetParameters, Case::AppendParsed);

}  // namespace tavo::bench
