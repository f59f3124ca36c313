#include "common/TempCopies.h"

#include <algorithm>

#include "common/AddinState.h"
#include "platform/core/Text.h"
#include "platform/files/Files.h"

namespace tavo {

namespace text = platform::text;

namespace {

bool Listed(const AddinState& state, const std::string& path) {
  return std::any_of(state.gTempFiles.begin(), state.gTempFiles.end(),
                     [&](const std::string& listed) { return text::EqualsText(listed, path); });
}

}  // namespace

void RecordTempCopy(AddinState& state, const std::string& path) {
  ++state.gTempFileCount;
  if (!Listed(state, path)) state.gTempFiles.push_back(path);
  state.gTempFileIndex = static_cast<int>(state.gTempFiles.size());
  RestampTempCopy(state, path);
}

void RestampTempCopy(AddinState& state, const std::string& path) {
  if (!Listed(state, path)) return;
  // A file that cannot be stamped is not known to be as this run left it: it is not deleted.
  if (const auto stamp = platform::files::StampOf(path)) state.tempFileStamps[text::FoldCase(path)] = *stamp;
  else state.tempFileStamps.erase(text::FoldCase(path));
}

void KeepTempCopy(AddinState& state, const std::string& path) {
  std::erase_if(state.gTempFiles, [&](const std::string& listed) { return text::EqualsText(listed, path); });
  state.gTempFileIndex = static_cast<int>(state.gTempFiles.size());
  state.tempFileStamps.erase(text::FoldCase(path));
}

void DeleteUnchangedTempCopies(AddinState& state) {
  for (const std::string& path : state.gTempFiles) {
    // A copy that is gone already (deleted by hand, say) leaves a record of a file that is not
    // there: the next open would ask about a local copy that does not exist, and another
    // document downloaded to the free path would find that record first.
    if (!platform::files::FileExists(path)) {
      state.tempFilesDeleted.push_back(path);
      state.tempFileStamps.erase(text::FoldCase(path));
      continue;
    }
    const auto stamp = state.tempFileStamps.find(text::FoldCase(path));
    if (stamp == state.tempFileStamps.end()) continue;
    if (platform::files::DeleteFileIfUnchanged(path, stamp->second)) {
      state.tempFilesDeleted.push_back(path);
      state.tempFileStamps.erase(stamp);
    }
  }
}

}  // namespace tavo
