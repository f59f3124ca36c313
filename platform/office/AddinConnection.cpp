#include "platform/office/AddinConnection.h"

namespace platform::office {

AddIn::~AddIn() = default;
AddinConnection::~AddinConnection() = default;

}  // namespace platform::office
