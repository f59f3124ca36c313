#pragma once
// The spreadsheet's request format: a small XML request posted to the spreadsheet API URL,
// answered by an XML methodResponse.
//
//   <request><methodName>tavosheet.userView.saveWorkbook</methodName><params>
//   <param><name>workbookId</name><value>17</value></param> ... </params></request>
//
// written as one string without declaration or whitespace. The workbook content goes in as
// CDATA (the Base64 text of the caller's encoder, line breaks included), the content type is
// always "XLS". How an error answer is recognised differs per method, and visibly so: see the
// three Answer*Error functions.
#include <optional>
#include <string>
#include <string_view>

#include "platform/xml/XmlDocument.h"

namespace tavo {

struct AddinState;

class SheetApiRequest {
 public:
  // `method` without its prefix: "getWorkbooks", "saveWorkbook", "addWorkbook".
  explicit SheetApiRequest(std::string_view method);

  SheetApiRequest& Param(std::string_view name, std::string_view value);
  // The workbook: a "content" parameter holding the Base64 text as CDATA. The text becomes the
  // request's own: a workbook's text is tens of megabytes, and the host is not to hold it twice.
  SheetApiRequest& Content(std::string base64);
  // The "contentType" parameter, always "XLS".
  SheetApiRequest& ContentType();

  std::string Body() const&;
  // The same, made from the request's own text instead of a copy of it.
  std::string Body() &&;

 private:
  SheetApiRequest& Raw(std::string_view name, std::string_view valueMarkup);
  std::string BodyStart() const;
  // What may follow the content: the remaining parameters and the body's start and end.
  static constexpr std::size_t kRoomForTheRest = 512;
  std::string method_;
  std::string params_;
};

std::string GetWorkbooksBody();
// The list answer's entry of the workbook with the id (the id goes in as a literal).
std::string ListedWorkbookById(std::string_view id);
// Four parameters, and `overwrite` "true" as the fifth only when the user chose to overwrite.
std::string SaveWorkbookBody(std::string_view workbookId, std::string_view updateLock, std::string base64,
                             bool overwrite);
std::string AddWorkbookBody(std::string_view workbookName, std::string base64);

// ApiUrl(state) for the list and add; saves append "&time=" and the local time as hhmmss, read
// when this is called.
std::string SaveWorkbookUrl(const AddinState& state);

// Posts to `url` and returns the answer's text; raises platform::RuntimeError on a transport
// failure.
std::string SendSheetRequest(std::string_view url, std::string body);

// What an answer's error element says.
struct SheetErrorCheck {
  bool isError = false;
  // The code that chooses the message; nullopt: any code the tables do not list.
  std::optional<int> code;
  // False when the call ends as a failure that shows no message.
  bool showsMessage = true;
};

// The list: "//methodResponse/error/code" present is an error; its text is compared as text
// with "2401" (" 2401" is another code).
SheetErrorCheck ListAnswerError(const platform::xml::Document& answer);
// The add: "//methodResponse/error/code" absent is a success; present, its text is compared as
// a number with 2500, then 2401; a text that is no number fails the call without a message.
SheetErrorCheck AddAnswerError(const platform::xml::Document& answer);
// The save: the code under "//methodResponse/error/code", then under the all lower-case root
// "//methodresponse/error/code", whose code replaces the first. A text that is a non-zero
// number is an error with that number as a 16-bit code; a missing element, empty text, "0" or
// a text that is no number is none. A number outside the 16-bit range is an error without a
// code of its own (any other code), unless the first root already gave one, which then stands.
SheetErrorCheck SaveAnswerError(const platform::xml::Document& answer);

enum class SheetCaller {
  SaveWorkbook,         // Save command
  SaveWorkbookChecked,  // save from the publish command
  AddWorkbook,          // Add
  AddPublicWorkbook,    // publish as new
  GetWorkbooks,         // workbook list
};

// The dialog a code opens in place of a message.
enum class SheetDialog {
  None,
  Confirm,     // frmConfirm: add the workbook as a new one
  License,     // frmLicense: publish it as a new one
  LowVersion,  // frmLowVersion: save again with overwrite
};

struct SheetErrorAction {
  std::string message;  // shown when dialog is None
  SheetDialog dialog = SheetDialog::None;
};

// What a caller does for an error code (nullopt: any code the tables do not list). 2401, the
// service refusing the ticket, is also noted as such (NoteRefusedTicket).
SheetErrorAction SheetErrorFor(AddinState& state, SheetCaller caller, std::optional<int> code);

}  // namespace tavo
