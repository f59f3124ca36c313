#include "common/requests/ServiceTransport.h"

#include <optional>

#include "common/AddinParameterSet.h"
#include "common/AddinState.h"
#include "platform/http/XmlHttpRequest.h"

namespace tavo {
namespace {

ServiceAnswer Post(std::string_view url, std::optional<std::string> body) {
  platform::http::XmlHttpRequest request;
  request.open("POST", url, false);
  request.setRequestHeader("User-Agent", kUserAgent);
  if (body) request.send(std::move(*body));
  else request.send();
  return {request.status(), request.responseText()};
}

}  // namespace

std::string ApiUrl(const AddinState& state) {
  return state.gWriterApiUrl + "?apikey=" + std::string(kApiKey) + "&ticket=" + state.gTicket;
}

std::string PostToService(std::string_view url, std::string body) { return Post(url, std::move(body)).text; }

std::string PostToService(std::string_view url) { return Post(url, std::nullopt).text; }

ServiceAnswer PostWithoutBody(std::string_view url) { return Post(url, std::nullopt); }

}  // namespace tavo
