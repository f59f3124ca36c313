#pragma once
// The two path-style calls that publish an online document or workbook, on the add-in's fixed
// private API base (gWriterApiBaseUrl): make it public, then attach a licence. Both are POSTs
// without a body. Values go into the query as they are (the HTTP layer only encodes what a URL
// cannot hold, such as the blanks of a licence name). A call that could not be sent raises
// platform::RuntimeError, as every exchange does.
#include <string>
#include <string_view>

namespace tavo {

struct AddinState;

std::string MakeDocumentPublicUrl(const AddinState& state, std::string_view id);
std::string UpdateDocumentLicenseUrl(const AddinState& state, std::string_view id, std::string_view licenceName,
                                     std::string_view licenceUrl, std::string_view licenceImage);

// Each returns the answer's text.
std::string MakeDocumentPublic(const AddinState& state, std::string_view id);
std::string UpdateDocumentLicense(const AddinState& state, std::string_view id, std::string_view licenceName,
                                  std::string_view licenceUrl, std::string_view licenceImage);

// The licence a document is published under, as the licence picker chose it (the English name).
struct PublishLicence {
  std::string name;
  std::string url;
  std::string image;
};

// How far the publishing of a document created online got.
enum class PublishOutcome {
  Published,    // public, under its licence
  NotPublic,    // the make-public call failed; the licence call was not sent
  NotLicensed,  // public, but the licence call failed
};

// Makes the online document public, then gives it the licence. A call has failed when it could
// not be sent, when it is answered with an HTTP error status or with text that is not XML, or
// when its answer carries the service's error element or no result; each failure gets an Error
// line. The publish must not be reported done when the service has not done it.
PublishOutcome PublishOnline(AddinState& state, std::string_view id, const PublishLicence& licence);

}  // namespace tavo
