// Opening a downloaded document: the service's HTML goes through a temporary file into Word,
// is copied into a fresh document and saved, with the account password, as the local copy of
// the online document; the map file records it.
#include "WordAddin/writerPlugin/source/LocalReferences.h"
#include "WordAddin/writerPlugin/source/WriterOperations.h"
#include "WordAddin/writerPlugin/source/WriterSupport.h"
#include "common/LocalFileName.h"
#include "common/Log.h"
#include "common/MapStore.h"
#include "common/Messages.h"
#include "common/TempCopies.h"
#include "common/UserFiles.h"
#include "platform/codepage/CodePage.h"
#include "platform/core/RuntimeError.h"
#include "platform/core/Text.h"
#include "platform/files/Files.h"
#include "platform/html/HtmlDocument.h"
#include "platform/office/Clipboard.h"

namespace tavo::writer {
namespace {

namespace html = platform::html;
namespace text = platform::text;
namespace xml = platform::xml;

constexpr std::string_view kUtf8Declaration = "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\">";

// A picture size given in pixels becomes the element's own size attribute, which Word reads.
// A size that is no plain number of pixels ("calc(2px)") stays as it is rather than failing the
// whole download.
void PixelSize(html::Node& image, const std::string& styled, void (html::Node::*set)(std::string_view)) {
  if (styled.find("px") == std::string::npos) return;
  try {
    (image.*set)(text::Replace(styled, "px", ""));
  } catch (const platform::RuntimeError&) {
  }
}

// The content as one HTML page whose pictures carry their pixel sizes as attributes. Nothing in
// it names a file of this computer or of a share any more (LocalReferences.h): Word would read
// it in, and the next save upload it. A picture so named is left without an address, and Word
// shows nothing for it; pictures on the web, of any host, stay.
std::string PageOf(const std::string& content) {
  html::Document page;
  page.body().setInnerHTML(content);
  RemoveLocalFileReferences(page);
  html::ElementCollection images = page.getElementsByTagName("IMG");
  for (std::size_t i = 0; i < images.length(); ++i) {
    html::Node image = images.item(i);
    PixelSize(image, image.style().height(), &html::Node::setHeight);
    PixelSize(image, image.style().width(), &html::Node::setWidth);
  }
  return page.documentElement().outerHTML();
}

// The page as bytes of the system's code page, in which Word reads a page that declares none.
// A page holding characters the code page lacks is written as UTF-8 and says so, so that none
// of them turns into "?".
std::string PageBytes(const std::string& page) {
  if (platform::codepage::Representable(page)) return platform::codepage::Utf8ToAnsi(page);
  const size_t head = text::InStr(page, "<head>", text::Compare::Text);
  if (head == 0) return std::string(kUtf8Declaration) + page;
  return page.substr(0, head - 1 + 6) + std::string(kUtf8Declaration) + page.substr(head - 1 + 6);
}

}  // namespace

DownloadedCopy CopyOfDownload(AddinState& state, const MapFile& map, const std::string& id,
                              const std::string& nameUrl) {
  MapRecord record = map.Select(DocumentRecordById(id));
  if (record && RefusedRecordedCopy(state, state.gUserDocsFolder + nameUrl + record.Extension())) record = {};
  DownloadedCopy copy{nameUrl, record ? record.Extension() : std::string(state.params.defaultDocumentExtension)};
  // A copy kept under a free name, because another file had the document's name when it was
  // added, stays in its own file: the file of the document's name is that other one, and is
  // not replaced.
  if (record) {
    const std::string recorded = record.Filename();
    const std::string recordedCopy = state.gUserDocsFolder + recorded + copy.extension;
    if (!recorded.empty() && recorded != nameUrl &&
        platform::files::FileExists(state.gUserDocsFolder + nameUrl + copy.extension) &&
        !RefusedRecordedCopy(state, recordedCopy))
      copy.nameUrl = recorded;
  }
  return copy;
}

std::string WriterOperations::OpenDocumentInWord(const std::string& response, const std::string&, const std::string&) {
  Ref<word::Application> app;
  bool screenOff = false;
  std::string why;
  try {
    app = Word();
    xml::Document answer;
    if (!answer.loadXML(response)) platform::Raise(platform::err::Automation, answer.parseError());
    WriteLog(state_, "Document Details" + answer.documentElement().xml(), "Info");
    const std::string content = TextAt(answer, "//methodResponse/view/content");
    const std::string name = TextAt(answer, "//methodResponse/view/document_name");
    // A device name would name no file on Windows: the copy and its record take the file name.
    const std::string nameUrl = NotADeviceName(TextAt(answer, "//methodResponse/view/document_name_url"));
    const std::string id = TextAt(answer, "//methodResponse/view/document_id");
    const std::string version = TextAt(answer, "//methodResponse/view/version");
    // The copy, its pictures folder and its record are named after the file-name form the
    // service sends: one that leads out of the user's folder is not used for any of them.
    if (LeavesFolder(nameUrl))
      platform::Raise(platform::err::BadFileNameOrNumber, "The document's file name leaves the user folder: " + nameUrl);

    // The copy keeps the extension it was recorded with; a record that would lead out of the
    // user's folder is not followed.
    const MapFile map(MapFilePath(state_));
    if (!map.Loaded()) throw FlowFailed{};
    const DownloadedCopy recorded = CopyOfDownload(state_, map, id, nameUrl);
    state_.gDocumentExtension = recorded.extension;
    const std::string copyNameUrl = recorded.nameUrl;
    const std::string localName = copyNameUrl + recorded.extension;
    const std::string localPath = state_.gUserDocsFolder + localName;

    // An earlier copy open in Word would keep its file from being replaced.
    if (app->Documents().Count() > 0)
      for (const Ref<word::Document>& open : app->Documents().List())
        if (open->Name() == localName) open->Close();

    const std::string downloadPath = DownloadHtmlPath(state_);
    platform::files::WriteAllBytes(downloadPath, PageBytes(PageOf(content)));

    int viewType = 0;
    if (app->Documents().Count() > 0) viewType = app->ActiveWindow()->View().Type();
    app->Documents().Open({.fileName = downloadPath, .addToRecentFiles = false});
    WriteLog(state_, "Local File Path is " + localPath, "Info");

    app->SetScreenUpdating(false);
    screenOff = true;
    word::Selection& selection = app->Selection();
    selection.WholeStory();
    selection.Copy();
    selection.Collapse();
    app->SetScreenUpdating(true);
    screenOff = false;
    app->ActiveDocument()->Close();

    Ref<word::Document> copy = app->Documents().Add({.visible = true});
    copy->Activate();
    app->Selection().Paste();
    copy->ActiveWindow()->Activate();
    // The paste leaves an empty paragraph after the content: select it and remove it.
    app->Selection().MoveRight({.unit = word::unit::Character, .count = 1, .extend = 1});
    app->Selection().Delete({.unit = word::unit::Character, .count = 10});
    app->Selection().MoveUp({.unit = word::unit::Line, .count = 10000});
    platform::office::clipboard::Clear();

    platform::files::DeleteFileA(localPath);
    copy->SaveAs({.fileName = localPath, .password = state_.gLoginPassword});
    // A copy the user does not keep goes when Word quits, as long as it is then as it is now. A
    // copy the user keeps stays, also when an earlier download of it in this run was temporary
    // (the keep-local choice was changed in between).
    if (state_.gSaveLocalFlag != "1") RecordTempCopy(state_, localPath);
    else KeepTempCopy(state_, localPath);
    if (app->Documents().Count() > 0)
      app->ActiveWindow()->View().SetType(viewType != 0 ? viewType : word::view_type::PrintLayout);

    const DocumentMapRecord copyRecord{id, name, copyNameUrl, version, localPath};
    if (!UpdateMapXml(state_, copyRecord)) throw FlowFailed{};
    RemoveOtherRecordsOfCopy(state_, copyRecord);

    WriteLog(state_, "Document " + name + " Opened Sucessfully ", "Info");
    platform::files::DeleteFileA(downloadPath);
    const std::string pictures = state_.gUserDocsFolder + nameUrl + "_files";
    WriteLog(state_, "Attempting to delete the folder " + pictures, "Info");
    DeleteFolderIfPresent(state_, pictures, "Folder " + pictures + " deleted", "Folder " + pictures + " not found");
    return localName;
  } catch (const platform::RuntimeError& e) {
    why = e.description();
  } catch (const FlowFailed& failure) {
    why = failure.description;
  }
  // Word is not left without screen updates by a failure in between.
  if (screenOff && app) app->SetScreenUpdating(true);
  WriteLog(state_, "Error While Opening The Document | " + why, "Error");
  ShowMessage(state_, Msg(state_, "gMsg16"), 0);
  return "";
}

}  // namespace tavo::writer
