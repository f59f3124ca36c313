#pragma once
// The workbook operations of the Excel add-in, as its commands and the shared dialogs call
// them: the online workbook list and its search, the download and open of a listed workbook,
// the save back with its conflict check, the add and the publish of a local workbook, the local
// workbooks, and the clean-up of this run's temporary downloads when Excel lets the add-in go.
//
// A workbook that the add-in brought here or added online is linked to its online workbook by
// a record of the map file (common/MapStore.h) whose filename is the workbook's full path.
#include <optional>
#include <set>
#include <string>

#include "common/AddinHost.h"
#include "common/AddinState.h"
#include "common/requests/PublishCalls.h"
#include "platform/office/Excel.h"

namespace tavo::sheet {

namespace office = platform::office;
namespace excel = platform::office::excel;

class Connect;

// The licence a workbook is published under, as the licence picker chose it.
using LicenceChoice = PublishLicence;

// What the shared core reaches in Excel through the add-in (common/AddinHost.h) is these
// operations themselves; the host application they keep is the Excel the add-in is connected
// to, to the end of the disconnection.
class SheetOperations final : public AddinHost {
 public:
  // `connection` is the connection class that owns these operations.
  SheetOperations(AddinState& state, Connect& connection) : state_(state), connection_(connection) {}
  SheetOperations(const SheetOperations&) = delete;
  SheetOperations& operator=(const SheetOperations&) = delete;

  // The service's answers arrive mis-decoded (CodePageText.h): list texts are decoded again.
  std::string ShownListText(const std::string& text) override;
  // The commands' signed-out state (the connection's ClassInit).
  void ShowSignedOut() override;

  // Fetches the account's online workbooks, brings the map in line with them and shows them in
  // the document list. True when the list was shown (after it closed).
  bool GetWorkbooks();
  // Save command: saves the active workbook over its online workbook (asking to add it when it
  // is not linked), then keeps it, protected with the account password, in the user's folder.
  void SaveInSheet();
  // Publish command on the active workbook: saved again when it is linked (after checking that
  // the online copy is not newer), else offered for publishing under a licence.
  void SaveInSheetShare();
  // Add command, and the add question's Yes: creates a new online workbook from the active one.
  void AddWorkbookToTavo();
  // The licence picker's Upload: creates it online, public, under the licence. A run-time error
  // on the way (the workbook cannot be saved, say) is raised to the picker.
  void PublishWorkbookToTavo(const LicenceChoice& licence);

  // The shared dialogs' operations (see common/AddinHost.h).
  // Downloads the workbook selected in the document list, opens it and links it.
  void LoadSelectedWorkbook();
  void LoadSelectedDocument() override { LoadSelectedWorkbook(); }
  // Refills the document list with the workbooks whose name holds the text.
  void SearchWorkbooks(const std::string& text);
  void SearchDocuments(const std::string& text) override { SearchWorkbooks(text); }
  // Opens the local workbook selected in the local copies dialog, with its recorded password.
  void loadlocaldocument();
  void LoadLocalDocument() override { loadlocaldocument(); }
  // Deletes the selected local workbook and its map record.
  void DeleteLocalWorkbook();
  void DeleteLocalDocument() override { DeleteLocalWorkbook(); }
  void AddActiveDocument() override { AddWorkbookToTavo(); }
  void OverwriteActiveDocument() override { UpdateInSheet(/*overwrite=*/true); }
  // A publish that failed without a run-time error has told the user itself, so the picker has
  // nothing to add; a run-time error goes on to the picker.
  bool PublishActiveDocument(const std::string& licenceName, const std::string& licenceUrl,
                             const std::string& licenceImage) override {
    PublishWorkbookToTavo({licenceName, licenceUrl, licenceImage});
    return true;
  }
  // The online save of the Save command; with `overwrite` (the overwrite question's Yes) over
  // a newer online version. False when it failed and the user has been told.
  bool UpdateInSheet(bool overwrite);
  // The online save of the publish command on a linked workbook.
  bool UpdateInSheetShare(bool overwrite);

  // At disconnection: closes the workbooks (all of them when Excel is closing, else only this
  // run's temporary downloads) and deletes the temporary downloads. Always true.
  bool CloseWorkbooksAndDeleteTemp(bool closingExcel);
  // ... then removes the map records of the temporary downloads that are gone. Always true.
  bool RemoveTempEntriesFromMap();

 private:
  enum class Route { Save, Publish };
  // Takes a flow to its failure path when no run-time error was raised: the Error line there
  // ends with the current error's description, which is then empty.
  struct NoRunTimeError {};

  office::Ref<excel::Application> Excel() const;

  // The list.
  bool RefreshLocalWorkbookMap();
  // The download.
  bool FindWorkbookInLocalMap(const std::string& id);
  bool IsWorkbookOpenInExcel(const std::string& name);
  bool MoveWorkbookToUserFolder(const std::string& path);
  void RecordTempDownload(const std::string& path);

  // What the user is told when the active workbook cannot be sent.
  struct RefusalTexts {
    std::string noWorkbook;  // none is open (a language text or a fixed one)
    std::string neverSaved;  // it was never saved on disk
    std::string notXls;      // follows the extension of one that is no ".xls" workbook
  };
  // The active workbook saved in place without an open password, so that its file can be sent;
  // its path becomes the current workbook path. Nothing, after telling the user, when none is
  // open, it was never saved, or it is no ".xls" workbook (that one is kept, protected, in the
  // user's folder instead).
  office::Ref<excel::Workbook> WorkbookToSend(const RefusalTexts& texts);
  // After a flow that sent it: the active workbook saved, protected, into the user's folder.
  void KeepActiveWorkbook();

  // The save.
  void SaveActiveWorkbook(Route route);
  bool UpdateWorkbook(Route route, bool overwrite);
  bool CheckWorkbookConflict(const std::string& id, const std::string& recordedTime);
  bool SaveWorkbook(Route route, const std::string& id, const std::string& updateLock, std::string content,
                    bool overwrite);
  bool UpdateSavedInfo(const std::string& response);
  // Puts the workbook, protected with the account password, into the user's folder under its
  // name, unless another file of that name is there already.
  void ProtectInUserFolder(excel::Workbook& book);

  // The add and the publish.
  void AddActiveWorkbook(Route route, const LicenceChoice* licence);
  // Nullopt when no workbook was created and linked; else how far its publish got (Published
  // for a plain add).
  std::optional<PublishOutcome> AddWorkbook(Route route, const std::string& name, const std::string& path,
                                            const LicenceChoice* licence);

  AddinState& state_;
  Connect& connection_;

  // The workbook the last download, save or add worked on.
  std::string currentWorkbookPath_;
  std::string currentWorkbookId_;
  std::string currentWorkbookName_;
  std::string currentCreatedTime_;
  std::string currentModifiedTime_;
  // The map files that hold records of this run's temporary downloads.
  std::set<std::string> tempMapFiles_;
  // Whether the save under way has sent the workbook to the service.
  bool sentToService_ = false;
};

}  // namespace tavo::sheet
