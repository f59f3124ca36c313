#pragma once
// The dialogs of the Word add-in, one of each for the add-in's life, as the shared core
// defines them. A dialog loads on first use and starts afresh after each unload.
#include "common/AddinState.h"
#include "common/signin/frmConfig.h"
#include "common/signin/frmProgress.h"

namespace tavo::writer {

struct WriterForms {
  explicit WriterForms(AddinState& state) : frmConfig(state) {}

  tavo::frmConfig frmConfig;
  tavo::frmProgress frmProgress;
};

}  // namespace tavo::writer
