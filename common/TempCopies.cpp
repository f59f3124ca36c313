#include "common/TempCopies.h"

#include <algorithm>

#include "common/AddinState.h"
#include "platform/core/Text.h"
#include "platform/files/Files.h"

namespace tavo {

namespace text = platform::text;

namespace {

AddinState::TempCopy* Listed(AddinState& state, const std::string& path) {
  for (AddinState::TempCopy& copy : state.gTempFiles)
    if (text::EqualsText(copy.path, path)) return &copy;
  return nullptr;
}

}  // namespace

void RecordTempCopy(AddinState& state, const std::string& path) {
  if (!Listed(state, path)) state.gTempFiles.push_back({.path = path, .stamp = std::nullopt, .gone = false});
  RestampTempCopy(state, path);
}

void RestampTempCopy(AddinState& state, const std::string& path) {
  // A file that cannot be stamped is not known to be as this run left it: it is not deleted.
  if (AddinState::TempCopy* copy = Listed(state, path)) copy->stamp = platform::files::StampOf(path);
}

void KeepTempCopy(AddinState& state, const std::string& path) {
  std::erase_if(state.gTempFiles, [&](const AddinState::TempCopy& copy) { return text::EqualsText(copy.path, path); });
}

void DeleteUnchangedTempCopies(AddinState& state) {
  for (AddinState::TempCopy& copy : state.gTempFiles) {
    if (copy.gone) continue;
    // A copy that is gone already (deleted by hand, say) leaves a record of a file that is not
    // there: the next open would ask about a local copy that does not exist, and another
    // document downloaded to the free path would find that record first.
    if (!platform::files::FileExists(copy.path)) copy.gone = true;
    else if (copy.stamp) copy.gone = platform::files::DeleteFileIfUnchanged(copy.path, *copy.stamp);
    if (copy.gone) copy.stamp.reset();
  }
}

std::vector<std::string> GoneTempCopies(const AddinState& state) {
  std::vector<std::string> gone;
  for (const AddinState::TempCopy& copy : state.gTempFiles)
    if (copy.gone) gone.push_back(copy.path);
  return gone;
}

}  // namespace tavo
