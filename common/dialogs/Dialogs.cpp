#include "common/dialogs/Dialogs.h"

#include "common/AddinState.h"

namespace tavo {

AddinDialogs::AddinDialogs(AddinState& state)
    : frmDocList(state),
      frmopenlocalfiles(state),
      Frmfileconfirm(state),
      frmlocalversion(state),
      frmconfiglocal(state),
      frmConfirm(state),
      frmLowVersion(state),
      frmMsgInfo(state),
      frmMsgError(state),
      frmMsg(state),
      frmAboutUs(state),
      frmStatus(state),
      frmLicense(state),
      frmResource(state),
      frmConfig(state) {}

AddinDialogs& Dialogs(AddinState& state) {
  if (!state.dialogs) state.dialogs = std::make_shared<AddinDialogs>(state);
  return *state.dialogs;
}

}  // namespace tavo
