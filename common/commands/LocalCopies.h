#pragma once
// The Local Documents (Local WorkBooks) command: the account is checked offline against the
// credentials file of its last sign-in on this computer, then its local copies (the files of
// the add-in's extension in its documents folder) are listed in frmopenlocalfiles.
namespace tavo {

struct AddinState;

void ListLocalCopies(AddinState& state);

}  // namespace tavo
