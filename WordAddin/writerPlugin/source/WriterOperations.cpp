#include "WordAddin/writerPlugin/source/WriterOperations.h"

#include <string>

#include "WordAddin/writerPlugin/source/WriterSupport.h"
#include "common/Log.h"
#include "common/UserFiles.h"
#include "platform/core/RuntimeError.h"
#include "platform/core/Text.h"
#include "platform/files/Files.h"
#include "platform/shell/Shell.h"

namespace tavo::writer {
using platform::text::Trim;

std::string UploadHtmlPath(const AddinState& state) { return state.gUserDocsFolder + "tavoupload.html"; }
std::string DownloadHtmlPath(const AddinState& state) { return state.gUserDocsFolder + "tavodownload.html"; }

std::string UserMapPath(const AddinState& state, std::string_view user) {
  return state.gAppDataRoot + "\\users\\" + std::string(user) + "\\" + std::string(state.params.mapFileName);
}

std::string MapKey(const AddinState& state, std::string_view fileName) {
  return platform::text::Replace(fileName, state.gDocumentExtension, "");
}

std::string MapRecordQuery(std::string_view key) {
  return "//mapxml/document[@filename=" + platform::xml::XPathLiteral(key) + "]";
}

std::string TextAt(const platform::xml::Document& doc, std::string_view path) {
  platform::xml::Node node = doc.selectSingleNode(path);
  if (!node) platform::Raise(platform::err::ObjectNotSet, "The answer holds no " + std::string(path));
  return node.text();
}

bool DeleteFolderIfPresent(AddinState& state, const std::string& folder) {
  if (folder.empty() || !platform::files::FolderExists(folder)) return false;
  try {
    platform::files::DeleteFolder(folder);
  } catch (const platform::RuntimeError& e) {
    WriteLog(state, "Folder " + folder + " could not be deleted | " + e.description(), "Error");
  }
  return true;
}

void WriterOperations::osdocusernamepath() {
  Logged(state_, "osdocusernamepath", [&] {
    state_.gDocsRoot = Trim(GetSpecialFolderPath(platform::shell::CSIDL_PERSONAL)) +
                       Trim("\\tavo\\" + std::string(state_.params.folderWord));
  });
}

void WriterOperations::oslogusernamepath() {
  Logged(state_, "oslogusernamepath", [&] {
    const std::string appData = Trim(GetSpecialFolderPath(platform::shell::CSIDL_APPDATA));
    const std::string tree = "\\tavo\\" + std::string(state_.params.folderWord);
    state_.gAppDataRoot = appData + Trim(tree);
    state_.gUserDataFolder = appData + Trim(tree + "\\users") + "\\" + Trim(state_.gLoginUser) + "\\";
  });
}

}  // namespace tavo::writer
