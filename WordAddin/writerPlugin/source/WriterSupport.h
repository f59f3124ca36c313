#pragma once
// What the document operations share: the running Word, the language texts, the local files
// of the HTML round trips, and the map record of the active document.
#include <string>
#include <string_view>

#include "common/AddinState.h"
#include "common/Log.h"
#include "common/MapFile.h"
#include "platform/core/RuntimeError.h"
#include "platform/office/Word.h"
#include "platform/xml/XmlDocument.h"

namespace tavo::writer {

namespace word = platform::office::word;
using platform::office::Ref;

// Ends a flow in its failure path without a run-time error of its own: its Error line then
// carries `description`, empty when there is nothing more to say than the line itself.
struct FlowFailed {
  std::string description;
};

// The running Word ("Word.Application"); run-time error 429 when none runs.
inline Ref<word::Application> Word() { return word::RunningApplication(); }

// The loaded language text of a message key ("gMsg17").
inline const std::string& Msg(const AddinState& state, std::string_view key) { return state.strings[key]; }

// Where Word exports the active document before it is sent, and where a downloaded document's
// HTML waits for Word to open it; both in the account's documents folder.
std::string UploadHtmlPath(const AddinState& state);
std::string DownloadHtmlPath(const AddinState& state);

// The local copy a download of the document `id` (file-name form `nameUrl`) writes in the user's
// folder, as `map` records it: the file's name without its extension, and the extension (the
// record's, else the default one). A record that would lead out of the folder is not followed.
struct DownloadedCopy {
  std::string nameUrl, extension;
};
DownloadedCopy CopyOfDownload(AddinState& state, const MapFile& map, const std::string& id,
                              const std::string& nameUrl);

// The map key of a Word file name: the name with every occurrence of the current extension
// removed, letter case as it stands.
std::string MapKey(const AddinState& state, std::string_view fileName);

// The text of the element at `path`; run-time error 91 when the answer lacks it.
std::string TextAt(const platform::xml::Document& doc, std::string_view path);

// Deletes a folder of the add-in's own exports when it exists, and logs what became of it: the
// Info line `deletedLine` or `notFoundLine`. One that cannot be deleted (a file in it is in
// use) stays and gets an Error line instead: the operation that cleans up after itself goes on.
void DeleteFolderIfPresent(AddinState& state, const std::string& folder, const std::string& deletedLine,
                           const std::string& notFoundLine);

}  // namespace tavo::writer
