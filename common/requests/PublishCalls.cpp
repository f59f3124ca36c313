#include "common/requests/PublishCalls.h"

#include "common/AddinParameterSet.h"
#include "common/AddinState.h"
#include "common/requests/ServiceTransport.h"

namespace tavo {
namespace {

std::string KeyAndTicket(const AddinState& state) {
  return "?apikey=" + std::string(kApiKey) + "&ticket=" + state.gTicket;
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

}  // namespace tavo
