// The HTML the online word processor receives: Word exports the active document, the exported
// pictures are uploaded and relinked to their online addresses, and the temporary files go.
#include <cstdio>
#include <string>
#include <vector>

#include "WordAddin/writerPlugin/source/BrowserWait.h"
#include "WordAddin/writerPlugin/source/WriterOperations.h"
#include "WordAddin/writerPlugin/source/WriterSupport.h"
#include "common/Base64.h"
#include "common/LanguageText.h"
#include "common/Log.h"
#include "common/Messages.h"
#include "common/dialogs/Dialogs.h"
#include "common/requests/WriterApiRequest.h"
#include "platform/core/RuntimeError.h"
#include "platform/core/Text.h"
#include "platform/files/Files.h"
#include "platform/html/HtmlDocument.h"

namespace tavo::writer {
namespace {

namespace html = platform::html;
namespace text = platform::text;

// How long the exported page may take to load before the export gives up.
constexpr platform::Milliseconds kPageLimit{30000};

constexpr std::string_view kPictureFolder = "./tavoupload_files/";

constexpr std::string_view kPicturesLeftOut =
    "Some pictures could not be uploaded to Tavo Writer, so the online document lacks them. The copy on this "
    "computer keeps them.";

// The name Word gives the GIF rendering it writes beside an emz or wmz picture: the next number,
// with as many digits as the picture's own ("image009" -> "image010").
std::string RenderingBase(const std::string& base, long& number) {
  if (base.size() < 3) platform::Raise(platform::err::TypeMismatch, "No picture number in " + base);
  const std::string digits = base.substr(base.size() - 3);
  if (digits.find_first_not_of("0123456789") != std::string::npos)
    platform::Raise(platform::err::TypeMismatch, "No picture number in " + base);
  number = std::stol(digits);
  char next[24];
  std::snprintf(next, sizeof next, "%03ld", number + 1);
  return base.substr(0, base.size() - 3) + next;
}

}  // namespace

std::string WriterOperations::ConvertDocumentToHtml() {
  const std::string htmlPath = UploadHtmlPath(state_);
  const std::string pictures = state_.gUserDocsFolder + "tavoupload_files";
  std::string baseName;
  std::string result;
  picturesLeftOut_ = 0;
  // The Error line names the run-time error, or none (number 0) when there was none.
  const auto failed = [&](const std::string& description, long number) {
    WriteLog(state_,
             "Error While Converting Document to HTML | " + description + "Error Number :" + std::to_string(number),
             "Error");
    result.clear();
  };
  try {
    Ref<word::Application> app = Word();
    Ref<word::Document> doc = app->ActiveDocument();
    const std::string fullPath = doc->Path() + "\\" + doc->Name();
    baseName = MapKey(state_, doc->Name());
    int viewType = 0;
    if (app->Documents().Count() > 0) viewType = app->ActiveWindow()->View().Type();

    doc->SaveAs({.fileName = htmlPath, .fileFormat = word::format::Html, .addToRecentFiles = false});
    WriteLog(state_, "Document " + fullPath + " Converted to" + htmlPath, "Info");
    // Word's document is once more the user's file, now in Word's own format.
    doc->SaveAs({.fileName = fullPath, .fileFormat = word::format::Document, .addToRecentFiles = false});
    WriteLog(state_, "Document " + fullPath + " Saved back", "Info");
    if (app->Documents().Count() > 0) app->ActiveWindow()->View().SetType(viewType);

    WriteLog(state_, "String before conversion ", "Info");
    std::string html;
    // Its own Error line tells why; no run-time error is left over for the line below.
    if (!ChangeImageUrls(html)) throw FlowFailed{};
    WriteLog(state_, "String after conversion " + html, "Info");
    WriteLog(state_, "Sucessfully converted document to HTML", "Info");
    result = html;
  } catch (const platform::RuntimeError& e) {
    failed(e.description(), e.number());
  } catch (const FlowFailed& failure) {
    failed(failure.description, 0);
  }

  // The export's files go whether it succeeded or not.
  for (const std::string& folder : {pictures, state_.gUserDocsFolder + baseName + "_files"}) {
    WriteLog(state_, "Attempting to delete the folder" + folder, "Info");
    DeleteFolderIfPresent(state_, folder, "Folder" + folder + " Deleted sucessfully", "Folder" + folder + " not found");
  }
  WriteLog(state_, "Attempting to delete the temporary uplod file " + htmlPath, "Info");
  platform::files::DeleteFileA(htmlPath);
  WriteLog(state_, "Temporary uplod file " + htmlPath + " has been deleted ", "Info");
  return result;
}

bool WriterOperations::ChangeImageUrls(std::string& result) {
  AddinDialogs& dialogs = Dialogs(state_);
  frmProgress& progress = dialogs.frmProgress;
  std::string why;
  try {
    platform::forms::WebBrowser& browser = dialogs.frmResource.utilsBrowser;
    browser.Navigate(UploadHtmlPath(state_));
    // A page that has not loaded when the limit passes is given up without a run-time error.
    if (!WaitForPage(browser, kPageLimit)) throw FlowFailed{};
    html::Document page = browser.Document();
    WriteLog(state_, "HTML string before conversion " + page.body().outerHTML(), "Info");

    html::ElementCollection shapes = page.getElementsByTagName("shape");
    const long count = static_cast<long>(shapes.length());
    WriteLog(state_, "No of shape  tags" + std::to_string(count), "Info");
    const long last = count - 1;
    if (count > 0) {
      progress.ProgressBar1.SetMin(0);
      progress.ProgressBar1.SetMax(count);
      progress.SetValue(0);
      progress.SetText(LanguageText(state_, "gMsg50"));
      progress.Show();
    }
    // A relinked picture leaves the live collection, so the same place is visited again.
    for (long i = 0; i <= last; ++i) {
      progress.SetValue(i);
      progress.Label2.SetCaption(std::to_string(i));
      html::Node shape = shapes.item(static_cast<std::size_t>(i));
      if (!shape) continue;
      const html::NodeList children = shape.childNodes();
      if (children.size() != 1 || children.front().tagName() != "imagedata") continue;
      WriteLog(state_, "shape  tags" + shape.outerHTML(), "Info");
      const std::string src = children.front().src();
      if (src.empty() || src.find("http://") != std::string::npos || src.find("https://") != std::string::npos)
        continue;
      const std::string width = shape.style().width();
      const std::string height = shape.style().height();
      const std::string url = UploadImage(src);
      if (url.empty()) {
        // The service lacks this picture: the document on this computer is the only place it is.
        ++picturesLeftOut_;
        continue;
      }

      html::Document scratch;
      html::Node image = scratch.createElement("IMG");
      image.setSrc(url);
      image.style().setWidth(width);
      image.style().setHeight(height);
      shape.setOuterHTML(image.outerHTML());
      WriteLog(state_, "Images Url changed to " + url, "Info");
      --i;
    }
    progress.Unload();
    browser.GoHome();
    result = page.documentElement().outerHTML();
    WriteLog(state_, "Images Urls sucessfully changed", "Info");
    return true;
  } catch (const platform::RuntimeError& e) {
    why = e.description();
  } catch (const FlowFailed& failure) {
    why = failure.description;
  }
  progress.Unload();
  WriteLog(state_, "Error While changing the Images Url" + why, "Error");
  return false;
}

void WriterOperations::TellPicturesLeftOut() {
  if (picturesLeftOut_ == 0) return;
  WriteLog(state_, std::to_string(picturesLeftOut_) + " pictures were not uploaded and keep their local reference",
           "Error");
  ShowMessage(state_, std::string(kPicturesLeftOut), 0);
}

std::string WriterOperations::UploadImage(const std::string& src) {
  try {
    WriteLog(state_, "entering into Upload Images ImageName =" + src, "Info");
    const std::string fileName = text::Replace(src, kPictureFolder, "");
    const std::vector<std::string> parts = text::Split(fileName, ".");
    if (parts.size() < 2) platform::Raise(platform::err::SubscriptOutOfRange, "No type in the picture name " + src);
    std::string type = parts[1];
    std::string localPath = text::Replace(text::Replace(src, "./", state_.gUserDocsFolder), "/", "\\");

    if (type == "emz" || type == "wmz") {
      // Such pictures go up as the GIF rendering Word writes beside them.
      long number = 0;
      const std::string renderingName = RenderingBase(text::Replace(fileName, "." + type, ""), number) + ".gif";
      WriteLog(state_, "Image FileNumber=" + std::to_string(number + 1) + " WMZ FILE Number=" + std::to_string(number),
               "Info");
      WriteLog(state_, "Image FilePath=" + renderingName + " WMZ FILE Path=" + fileName, "Info");
      const std::string renderingPath = text::Replace(localPath, fileName, renderingName);
      if (!platform::files::FileExists(renderingPath)) return "";
      localPath = renderingPath;
      type = "gif";
    } else if (type != "png" && type != "gif" && type != "jpg") {
      return "";
    }

    const std::string base64 = base64module().EncodeArr(platform::files::ReadAllBytes(localPath));
    WriteLog(state_, "Image Path=" + localPath + " extension=" + type, "Info");
    const std::string reply = SendWriterRequest(state_, UploadImageBody(type, base64));
    WriteLog(state_, "Image change response is " + reply, "Info");
    const WriterAnswer answer = ClassifyWriterAnswer(reply, "//methodResponse/url");
    if (answer.kind == AnswerKind::Success) {
      const std::string url = answer.document.selectSingleNode("//methodResponse/url").text();
      WriteLog(state_, "Image Url is " + url, "Info");
      return url;
    }
    WriteLog(state_, "Error while uploading the Image", "Error");
  } catch (const platform::RuntimeError& e) {
    WriteLog(state_, "Error while uploading the Image" + e.description(), "Error");
  }
  return "";
}

}  // namespace tavo::writer
