#pragma once
// What each add-in library's registration does besides writing its own keys.
#include "platform/office/AddinRegistration.h"

namespace tavo {

// Writes the registration and, as the installer does, chooses English for the interface where
// no language is chosen yet (a machine key that refuses the write leaves it to the add-in).
// Returns 0, or the registry error of the registration.
long RegisterAddinChoosingLanguage(const platform::office::AddinRegistration& registration);

}  // namespace tavo
