#pragma once
// The two path-style calls that publish an online document or workbook, on the add-in's fixed
// private API base (gWriterApiBaseUrl): make it public, then attach a licence. Both are POSTs
// without a body; their answers are returned as text and no caller inspects them. Values go
// into the query as they are (the HTTP layer only encodes what a URL cannot hold, such as the
// blanks of a licence name). A call that could not be sent raises platform::RuntimeError, as
// every exchange does: the publish must not be reported done when the service never heard of it.
#include <string>
#include <string_view>

namespace tavo {

struct AddinState;

std::string MakeDocumentPublicUrl(const AddinState& state, std::string_view id);
std::string UpdateDocumentLicenseUrl(const AddinState& state, std::string_view id, std::string_view licenceName,
                                     std::string_view licenceUrl, std::string_view licenceImage);

std::string MakeDocumentPublic(const AddinState& state, std::string_view id);
std::string UpdateDocumentLicense(const AddinState& state, std::string_view id, std::string_view licenceName,
                                  std::string_view licenceUrl, std::string_view licenceImage);

}  // namespace tavo
