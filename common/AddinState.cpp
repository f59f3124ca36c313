#include "common/AddinState.h"

namespace tavo {

AddinState::AddinState(const AddinParameterSet& parameters, AddinHost* addinHost)
    : params(parameters),
      host(addinHost),
      gDocumentExtension(parameters.defaultDocumentExtension),
      strings(parameters) {}

}  // namespace tavo
