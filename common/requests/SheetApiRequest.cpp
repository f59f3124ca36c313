#include "common/requests/SheetApiRequest.h"

#include <array>
#include <cctype>
#include <charconv>
#include <cmath>

#include "common/AddinState.h"
#include "common/signin/SharedSignIn.h"
#include "common/requests/MessageText.h"
#include "common/requests/ServiceTransport.h"
#include "common/requests/XmlBody.h"
#include "platform/core/Clock.h"

namespace tavo {
namespace {

constexpr std::string_view kErrorCode = "//methodResponse/error/code";
constexpr std::string_view kLowerCaseErrorCode = "//methodresponse/error/code";

// The number a code text converts to when compared with a number: decimal, with blanks around
// it allowed; nullopt for anything else (an empty text too).
std::optional<double> NumberValue(std::string_view text) {
  const auto blank = [](char c) { return c == ' ' || c == '\t'; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  if (text.empty() || !(std::isdigit(static_cast<unsigned char>(text.back())) || text.back() == '.')) return std::nullopt;
  double value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::general);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

// The text of the element, when it is there.
std::optional<std::string> TextAt(const platform::xml::Document& answer, std::string_view path) {
  const platform::xml::Node node = answer.selectSingleNode(path);
  if (!node) return std::nullopt;
  return node.text();
}

// A 16-bit code as the conversion rounds it (halves to even); nullopt when out of range.
std::optional<int> Code16(double value) {
  const double rounded = std::nearbyint(value);
  if (rounded < -32768 || rounded > 32767) return std::nullopt;
  return static_cast<int>(rounded);
}

struct SheetOutcome {
  ShownText message;
  SheetDialog dialog = SheetDialog::None;
};

constexpr std::array<int, 7> kListedCodes{2401, 2500, 2851, 2852, 2853, 2854, 2855};  // then "any other"

struct SheetMessages {
  SheetCaller caller;
  std::array<SheetOutcome, 8> outcomes;  // by kListedCodes, then any other code
};

constexpr SheetOutcome Say(ShownText text) { return {text, SheetDialog::None}; }
constexpr SheetOutcome Open(SheetDialog dialog) { return {{}, dialog}; }

constexpr SheetOutcome kMsg54 = Say(Key("gMsg54"));
constexpr SheetOutcome kUnableToSave = Say(Fixed("Unable to Save the Workbook"));
constexpr SheetOutcome kAuthentication = Say(Fixed("Authentication Failed. Please Login again."));
constexpr SheetOutcome kEncoding = Say(Fixed("Unable to Save.Encoding is not proper"));

constexpr std::array<SheetMessages, 5> kSheetMessages{{
    {SheetCaller::SaveWorkbook,
     {Say(Key("gMsg17")), Say(Key("gMsg63")), Open(SheetDialog::Confirm), Say(Key("gMsg18")), Say(Key("gMsg61")),
      Say(Key("gMsg62")), Open(SheetDialog::LowVersion), kMsg54}},
    {SheetCaller::SaveWorkbookChecked,
     {kAuthentication, kEncoding, Open(SheetDialog::License),
      Say(Fixed("The Document has been trashed and cannot be opened.")),
      Say(Fixed("The Document is Shared to you and you can't save.")),
      Say(Fixed("The Document is in use and cannot be saved now.")), Open(SheetDialog::LowVersion),
      kUnableToSave}},
    {SheetCaller::AddWorkbook,
     {Say(Key("gMsg17")), Say(Key("gMsg63")), kMsg54, kMsg54, kMsg54, kMsg54, kMsg54, kMsg54}},
    {SheetCaller::AddPublicWorkbook,
     {kAuthentication, kEncoding, kUnableToSave, kUnableToSave, kUnableToSave, kUnableToSave, kUnableToSave,
      kUnableToSave}},
    {SheetCaller::GetWorkbooks, {Say(Key("gMsg17")), kMsg54, kMsg54, kMsg54, kMsg54, kMsg54, kMsg54, kMsg54}},
}};

}  // namespace

SheetApiRequest::SheetApiRequest(std::string_view method) : method_("tavosheet.userView." + std::string(method)) {}

SheetApiRequest& SheetApiRequest::Raw(std::string_view name, std::string_view valueMarkup) {
  // Appended piece by piece: a workbook's value is tens of megabytes, and every temporary copy
  // of it would add that much to the host's memory.
  params_.append("<param><name>").append(XmlText(name)).append("</name><value>");
  params_.append(valueMarkup).append("</value></param>");
  return *this;
}

SheetApiRequest& SheetApiRequest::Param(std::string_view name, std::string_view value) {
  return Raw(name, XmlText(value));
}

SheetApiRequest& SheetApiRequest::Content(std::string base64) {
  constexpr std::string_view kOpen = "<param><name>content</name><value><![CDATA[";
  constexpr std::string_view kClose = "]]></value></param>";
  if (base64.find("]]>") != std::string::npos) return Raw("content", CdataSection(base64));
  // The parameters so far go in front of the text, the rest after it. Where the text has room
  // for them (see base64::kRoomAround) nothing is copied but the markup; otherwise the text is
  // copied once into a string with that room.
  const std::size_t room = params_.size() + kOpen.size() + kClose.size() + kRoomForTheRest;
  if (base64.capacity() - base64.size() < room) {
    std::string roomy;
    roomy.reserve(base64.size() + room);
    roomy.append(base64);
    base64 = std::move(roomy);
  }
  base64.insert(0, params_.append(kOpen)).append(kClose);
  params_ = std::move(base64);
  return *this;
}

SheetApiRequest& SheetApiRequest::ContentType() { return Raw("contentType", "XLS"); }

std::string SheetApiRequest::Body() const& {
  std::string body = BodyStart();
  body.reserve(body.size() + params_.size() + 20);
  return body.append(params_).append("</params></request>");
}

std::string SheetApiRequest::Body() && {
  // The parameters become the body: the text before them goes in front, within the room kept.
  const std::string start = BodyStart();
  params_.reserve(start.size() + params_.size() + 20);
  return std::move(params_.insert(0, start).append("</params></request>"));
}

std::string SheetApiRequest::BodyStart() const {
  return "<request><methodName>" + XmlText(method_) + "</methodName><params>";
}

std::string GetWorkbooksBody() { return SheetApiRequest("getWorkbooks").Body(); }

std::string ListedWorkbookById(std::string_view id) {
  return "//methodResponse/result/workbook[workbookId=" + platform::xml::XPathLiteral(id) + "]";
}

std::string SaveWorkbookBody(std::string_view workbookId, std::string_view updateLock, std::string base64,
                             bool overwrite) {
  SheetApiRequest request("saveWorkbook");
  request.Param("workbookId", workbookId).Param("updateLock", updateLock).Content(std::move(base64)).ContentType();
  if (overwrite) request.Param("overwrite", "true");
  return std::move(request).Body();
}

std::string AddWorkbookBody(std::string_view workbookName, std::string base64) {
  SheetApiRequest request("addWorkbook");
  request.Param("workbookName", workbookName).Content(std::move(base64)).ContentType();
  return std::move(request).Body();
}

std::string SaveWorkbookUrl(const AddinState& state) {
  return ApiUrl(state) + "&time=" + platform::FormatHhMmSs(platform::LocalTime(platform::Now()));
}

std::string SendSheetRequest(std::string_view url, std::string body) { return PostToService(url, std::move(body)); }

SheetErrorCheck ListAnswerError(const platform::xml::Document& answer) {
  const std::optional<std::string> code = TextAt(answer, kErrorCode);
  if (!code) return {};
  return {true, *code == "2401" ? std::optional<int>(2401) : std::nullopt};
}

SheetErrorCheck AddAnswerError(const platform::xml::Document& answer) {
  const std::optional<std::string> code = TextAt(answer, kErrorCode);
  if (!code) return {};
  const std::optional<double> number = NumberValue(*code);
  if (!number) return {true, std::nullopt, false};
  if (*number == 2500) return {true, 2500};
  if (*number == 2401) return {true, 2401};
  return {true, std::nullopt};
}

SheetErrorCheck SaveAnswerError(const platform::xml::Document& answer) {
  SheetErrorCheck check;
  for (std::string_view path : {kErrorCode, kLowerCaseErrorCode}) {
    const std::optional<std::string> code = TextAt(answer, path);
    const std::optional<double> number = code ? NumberValue(*code) : std::nullopt;
    if (!number || *number == 0) continue;
    check.isError = true;
    if (const std::optional<int> code16 = Code16(*number)) check.code = code16;
  }
  return check;
}

SheetErrorAction SheetErrorFor(AddinState& state, SheetCaller caller, std::optional<int> code) {
  if (code == 2401) NoteRefusedTicket(state);
  for (const SheetMessages& row : kSheetMessages) {
    if (row.caller != caller) continue;
    size_t index = kListedCodes.size();
    for (size_t i = 0; code && i < kListedCodes.size(); ++i)
      if (kListedCodes[i] == *code) index = i;
    const SheetOutcome& outcome = row.outcomes[index];
    if (outcome.dialog != SheetDialog::None) return {"", outcome.dialog};
    return {TextOf(state, outcome.message), SheetDialog::None};
  }
  return {};
}

}  // namespace tavo
