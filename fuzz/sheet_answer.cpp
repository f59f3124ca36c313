// Answers of the spreadsheet API as a broken proxy, a truncated transfer or a changed service
// may send them, through the three error checks (list, add, save) and every caller's table of
// messages and dialogs. An answer without an error is never given a code, and a code is one
// of 16 bits.
#include <optional>
#include <string>

#include "common/AddinParameterSet.h"
#include "common/AddinState.h"
#include "common/requests/SheetApiRequest.h"
#include "fuzz/FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace tavo;
  fuzz::Environment();
  static AddinState state(kSheetParameters);
  platform::xml::Document answer;
  if (!answer.loadXML(fuzz::Text(data, size))) return 0;  // every caller's parse-failure path

  for (const SheetErrorCheck& check : {ListAnswerError(answer), AddAnswerError(answer), SaveAnswerError(answer)}) {
    if (!check.isError) fuzz::Require(!check.code && check.showsMessage, "no error, no code");
    if (check.code) fuzz::Require(*check.code >= -32768 && *check.code <= 32767, "a code fits 16 bits");
    for (SheetCaller caller : {SheetCaller::SaveWorkbook, SheetCaller::SaveWorkbookChecked, SheetCaller::AddWorkbook,
                               SheetCaller::AddPublicWorkbook, SheetCaller::GetWorkbooks}) {
      (void)SheetErrorFor(state, caller, check.code);
    }
  }
  return 0;
}
