#include "WordAddin/writerPlugin/source/WriterSupport.h"

#include <string>

#include "WordAddin/writerPlugin/source/WriterOperations.h"
#include "common/Log.h"
#include "platform/core/RuntimeError.h"
#include "platform/core/Text.h"
#include "platform/files/Files.h"

namespace tavo::writer {
std::string UploadHtmlPath(const AddinState& state) { return state.gUserDocsFolder + "tavoupload.html"; }
std::string DownloadHtmlPath(const AddinState& state) { return state.gUserDocsFolder + "tavodownload.html"; }

std::string MapKey(const AddinState& state, std::string_view fileName) {
  return platform::text::Replace(fileName, state.gDocumentExtension, "");
}

std::string TextAt(const platform::xml::Document& doc, std::string_view path) {
  platform::xml::Node node = doc.selectSingleNode(path);
  if (!node) platform::Raise(platform::err::ObjectNotSet, "The answer holds no " + std::string(path));
  return node.text();
}

void DeleteFolderIfPresent(AddinState& state, const std::string& folder, const std::string& deletedLine,
                           const std::string& notFoundLine) {
  if (folder.empty() || !platform::files::FolderExists(folder)) {
    WriteLog(state, notFoundLine, "Info");
    return;
  }
  try {
    platform::files::DeleteFolder(folder);
    WriteLog(state, deletedLine, "Info");
  } catch (const platform::RuntimeError& e) {
    WriteLog(state, "Folder " + folder + " could not be deleted | " + e.description(), "Error");
  }
}

}  // namespace tavo::writer
