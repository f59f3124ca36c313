#pragma once
// Every dialog of one loaded add-in, one instance each, as the add-in's code and the dialogs
// themselves reach them (the list operation fills frmDocList.listdoc, the local-copy question
// hides the list, ...). Made on first use and kept with the add-in's state.
//
//   Dialogs(state).frmDocList.listdoc.AddItem("Budget");
//   Dialogs(state).frmDocList.Show(platform::forms::ShowMode::Modal);
#include "common/dialogs/LocalFiles.h"
#include "common/dialogs/MessageDialogs.h"
#include "common/dialogs/QuestionDialogs.h"
#include "common/dialogs/frmDocList.h"
#include "common/dialogs/frmLicense.h"
#include "common/dialogs/frmResource.h"
#include "common/dialogs/frmStatus.h"
#include "common/dialogs/frmconfiglocal.h"
#include "common/signin/frmConfig.h"
#include "common/signin/frmProgress.h"

namespace tavo {

struct AddinDialogs {
  explicit AddinDialogs(AddinState& state);
  AddinDialogs(const AddinDialogs&) = delete;
  AddinDialogs& operator=(const AddinDialogs&) = delete;

  tavo::frmDocList frmDocList;
  tavo::frmopenlocalfiles frmopenlocalfiles;
  tavo::Frmfileconfirm Frmfileconfirm;
  tavo::frmlocalversion frmlocalversion;
  tavo::frmconfiglocal frmconfiglocal;
  tavo::frmConfirm frmConfirm;
  tavo::frmLowVersion frmLowVersion;
  tavo::frmMsgInfo frmMsgInfo;
  tavo::frmMsgError frmMsgError;
  tavo::frmMsg frmMsg;
  tavo::frmAboutUs frmAboutUs;
  tavo::frmStatus frmStatus;
  tavo::frmLicense frmLicense;
  tavo::frmResource frmResource;
  tavo::frmConfig frmConfig;
  tavo::frmProgress frmProgress;
};

// The dialogs of the add-in whose state this is.
AddinDialogs& Dialogs(AddinState& state);

}  // namespace tavo
