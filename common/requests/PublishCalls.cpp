#include "common/requests/PublishCalls.h"

#include "common/AddinParameterSet.h"
#include "common/AddinState.h"
#include "common/Log.h"
#include "common/requests/ServiceTransport.h"
#include "platform/core/RuntimeError.h"
#include "platform/xml/XmlDocument.h"

namespace tavo {
namespace {

std::string KeyAndTicket(const AddinState& state) {
  return "?apikey=" + std::string(kApiKey) + "&ticket=" + state.gTicket;
}

// Why the call to `url` did not do what it asks, "" when it did. Both services answer a call
// they carried out with a methodResponse holding its result, and one they refused with the
// error code under methodResponse/error.
std::string FailureOf(const std::string& url) {
  ServiceAnswer answer;
  try {
    answer = PostWithoutBody(url);
  } catch (const platform::RuntimeError& e) {
    return e.description();
  }
  if (answer.status < 200 || answer.status > 299)
    return "the answer's HTTP status is " + std::to_string(answer.status);
  platform::xml::Document doc;
  if (!doc.loadXML(answer.text)) return "the answer is not XML: " + doc.parseError();
  if (platform::xml::Node error = doc.selectSingleNode("//methodResponse/error"))
    return "the service refused it: " + error.xml();
  if (!doc.selectSingleNode("//methodResponse/result"))
    return "the answer holds no result: " + doc.documentElement().xml();
  return "";
}

}  // namespace

std::string MakeDocumentPublicUrl(const AddinState& state, std::string_view id) {
  return state.gWriterApiBaseUrl + "private/xml/makePublic/" + std::string(id) + KeyAndTicket(state) +
         std::string(state.params.makePublicFlags);
}

std::string UpdateDocumentLicenseUrl(const AddinState& state, std::string_view id, std::string_view licenceName,
                                     std::string_view licenceUrl, std::string_view licenceImage) {
  return state.gWriterApiBaseUrl + "private/TavoSocial/xml/updateLicense/" + std::string(id) + KeyAndTicket(state) +
         "&licenseurl=" + std::string(licenceUrl) + "&licenseimage=" + std::string(licenceImage) +
         "&licensename=" + std::string(licenceName);
}

std::string MakeDocumentPublic(const AddinState& state, std::string_view id) {
  return PostToService(MakeDocumentPublicUrl(state, id));
}

std::string UpdateDocumentLicense(const AddinState& state, std::string_view id, std::string_view licenceName,
                                  std::string_view licenceUrl, std::string_view licenceImage) {
  return PostToService(UpdateDocumentLicenseUrl(state, id, licenceName, licenceUrl, licenceImage));
}

PublishOutcome PublishOnline(AddinState& state, std::string_view id, const PublishLicence& licence) {
  const std::string idText(id);
  if (const std::string why = FailureOf(MakeDocumentPublicUrl(state, id)); !why.empty()) {
    WriteLog(state, "Error while making " + idText + " public | " + why, "Error");
    return PublishOutcome::NotPublic;
  }
  if (const std::string why = FailureOf(UpdateDocumentLicenseUrl(state, id, licence.name, licence.url, licence.image));
      !why.empty()) {
    WriteLog(state, "Error while setting the licence of " + idText + " | " + why, "Error");
    return PublishOutcome::NotLicensed;
  }
  return PublishOutcome::Published;
}

}  // namespace tavo
