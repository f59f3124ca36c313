#pragma once
// This run's temporary copies: the local files of documents or workbooks opened from the service
// while the user keeps no local copies, removed again at shut-down. Each is remembered as this
// run left it on disk, and the clean-up deletes only a file that is still exactly so: a copy the
// user saved changes into after the download stays, and so does one that another host (another
// Word or Excel on this computer, keeping its copies) has downloaded again or saved since. Only
// the map records of the files deleted, or found gone already, go with them.
#include <string>
#include <vector>

namespace tavo {

struct AddinState;

// A temporary copy this run has just written: entered in the list (once per path) and
// remembered as it is on disk now.
void RecordTempCopy(AddinState& state, const std::string& path);
// A listed copy that this run has written again with nothing in it that the service lacks (the
// download's own save, a save to the service): remembered as it is now. Nothing for a path not
// listed.
void RestampTempCopy(AddinState& state, const std::string& path);
// A copy the user keeps now (downloaded again after choosing to keep copies): off the list.
void KeepTempCopy(AddinState& state, const std::string& path);
// Deletes the listed copies whose files are still as this run left them; one that is changed,
// replaced or open in an application stays as it is. The copies deleted, and those whose files
// are gone already, are marked in the list for the removal of their records.
void DeleteUnchangedTempCopies(AddinState& state);
// The paths of the copies the clean-up deleted or found gone, in the order they were listed.
std::vector<std::string> GoneTempCopies(const AddinState& state);

}  // namespace tavo
