#pragma once
// A signed-in account with a large map file, for the map store benchmarks: one environment in a
// temporary folder for the whole program, the add-in's state as sign-in leaves it, and map texts
// of any number of records, each record byte for byte what the map store itself writes.
#include <memory>
#include <string>
#include <vector>

#include "common/AddinParameterSet.h"
#include "common/AddinState.h"

namespace tavo::bench {

// The state of an add-in signed in as "ann" with its user files made, the log at its default
// level ("Error", so the store's Info lines cost nothing but the check).
std::unique_ptr<AddinState> SignedIn(const AddinParameterSet& addin);

// The local copy path of record `index` (what its location or filename holds).
std::string LocalCopyPath(const AddinState& state, std::size_t index);

// A map of `records` records numbered 0 to records - 1, in the add-in's record format.
std::string MapText(AddinState& state, std::size_t records);

// The map file's content now.
std::string ReadMap(const AddinState& state);
void WriteMap(const AddinState& state, const std::string& text);

}  // namespace tavo::bench
