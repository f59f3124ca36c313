// Answers of the word-processor API as a broken proxy, a truncated transfer or a changed
// service may send them, through the classification every caller makes and the message table
// of every caller. An answer is a success, an error code with the text it carries, or a
// failure; one that does not parse is always a failure.
#include <string>

#include "common/AddinParameterSet.h"
#include "common/AddinState.h"
#include "common/requests/WriterApiRequest.h"
#include "fuzz/FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace tavo;
  fuzz::Environment();
  static AddinState state(kWriterParameters);
  const std::string_view text = fuzz::Text(data, size);
  platform::xml::Document parsed;
  const bool parses = parsed.loadXML(text);

  for (std::string_view success : {"", "//methodResponse/save/info", "//methodResponse/create", "//methodResponse/url"}) {
    const WriterAnswer answer = ClassifyWriterAnswer(text, success);
    if (!parses) fuzz::Require(answer.kind == AnswerKind::Failure, "an answer that does not parse is a failure");
    if (answer.kind != AnswerKind::ErrorCode) continue;
    fuzz::Require(answer.document.selectSingleNode(kWriterErrorCode).text() == answer.errorCode,
                  "the code is the text of the error element");
    for (WriterCaller caller : {WriterCaller::DocumentList, WriterCaller::OpenDocument, WriterCaller::VersionCheck,
                                WriterCaller::Save, WriterCaller::Add, WriterCaller::ListRefresh, WriterCaller::Publish}) {
      const CallerMessage message = WriterErrorMessage(state, caller, answer.errorCode);
      fuzz::Require(message.kind == 0 || message.kind == 1, "every caller shows an information or error message");
    }
  }
  return 0;
}
