#pragma once
// The values in which the spreadsheet add-in's copy of the shared core differs from the word
// processor's. Code takes them from the parameter set of its state and never asks which add-in
// it is running in.
#include <array>
#include <span>
#include <string_view>

namespace tavo {

// Both add-ins call the service with the same key and announce the same version.
inline constexpr std::string_view kApiKey = "7c0e9a5b31f84d62a09e3b7f5c18d24e";
inline constexpr std::string_view kPluginVersion = "2.0.0";
inline constexpr std::string_view kUserAgent = "Tavo Office Plugin-2.0.0";

// A text a dialog shows or writes to the status bar: the loaded language text of `key` (such as
// "gMsg13"), or the fixed English text `fixed` when there is no key.
struct ShownText {
  std::string_view key;
  std::string_view fixed;
};

// How the document list dialog behaves in each add-in.
struct DocListBehaviour {
  bool detailsByName;          // details read from named child elements of a workbook entry
                               // (created, modified, modified by) instead of children by position
  bool asksAboutLocalCopy;     // Open first asks when a local copy exists (else the add-in's
                               // own open does the asking)
  bool listLostFocusStatus;    // leaving the list writes gMsg12, as leaving the search box does
  ShownText loadStatus;        // status text once the dialog has loaded
};

// How the local copies dialog behaves in each add-in.
struct LocalFilesBehaviour {
  bool locationIsFilename;     // a map record names its local file in its filename attribute
                               // (else in its location child)
  ShownText openEmpty;         // Open with nothing selected
  bool openClearsStatus;       // Open clears the status bar first
  bool keyOpenChecksSelection; // Enter or Space on the list first checks that an entry is selected
  bool cancelClearsStatus;     // Cancel also clears the status bar
  ShownText deleteEmpty;       // Delete with nothing selected
  bool deleteClearsStatus;     // Delete clears the status bar once an entry is selected
  ShownText fileLocked;        // Delete of a file that is in use
  bool logsHandlerErrors;      // Open, double-click and Delete log their run-time errors
  bool questionRecordsAnswer;  // the local-or-online question's Yes records the answer for the
                               // add-in's download, which goes on by itself (else Yes opens it)
};

struct AddinParameterSet {
  std::string_view name;  // "writer" / "sheet", for diagnostics only

  // Registry.
  std::string_view pluginSettingsKey;       // this add-in's settings key under HKCU
  std::string_view otherPluginSettingsKey;  // the other add-in's (sign-in and sign-out write both)
  std::string_view ownStatusValue;          // "wordstatus" / "excelstatus" in the shared key
  std::string_view otherStatusValue;
  std::string_view webUrlValue;             // "tavowriterurl" / "tavosheeturl"
  std::string_view apiUrlValue;             // "tavowriterapiurl" / "tavosheetapiurl"

  // Service addresses used when the settings key holds none.
  std::string_view defaultWebUrl;
  std::string_view defaultApiUrl;
  std::string_view defaultAccountsUrl;
  std::string_view privateApiBaseUrl;  // base of the publishing calls, never configurable (its
                                       // scheme follows the API URL's: https when that is)
  std::string_view registrationUrl;    // the sign-up link of the sign-in dialogs
  std::string_view termsUrl;           // the share service's terms page (licence picker links)
  std::string_view homePageUrl;        // probed before signing in; "" = the web base setting
  std::string_view makePublicFlags;    // the query's end in the make-public call

  // Start-up: whether LoadSavedCredentials reads the language code once more.
  bool credentialsRereadLanguage;
  std::string_view saveCredentialsFailureKey;  // message shown when storing the credentials fails

  // Sign-in with the accounts service.
  std::array<std::string_view, 2> signInServiceOrder;  // service names, in sending order
  std::size_t ticketAnswerIndex;                         // which of the two answers holds the ticket
  std::string_view signInFirstFailureText;  // literal failure text before the first answer; "" = gMsg26
  bool signInProgressOnStatusBar;           // gMsg47 on the status bar, gMsg48 on both
  std::string_view signInStoredProgressKey;  // progress label once the ticket is stored
  bool signOutSendsUserAgent;
  std::string_view adoptedStatusKey;  // status text once the other add-in's sign-in is taken over

  // Per-user folders, log, map and credentials files.
  std::string_view folderWord;      // "tavowriter" / "tavosheet"
  std::string_view docsRootName;    // the documents-root procedure's name in its error line
  std::string_view logFileName;     // "tavowriter.log"
  std::string_view logHeaderTitle;  // " Tavo Writer Word Addin Log - "
  bool logInitialisedLine;          // InitLogFile's third Info line
  std::string_view mapFileName;
  std::string_view credentialsFileName;
  std::string_view initUserFilesFailureKey;
  std::string_view defaultDocumentExtension;

  // Language files.
  std::string_view languageSectionPrefix;  // "WRITER_" / "SHEET_"
  std::string_view docListLoaderName;      // "LoadDocListStrings" / "LoadWorkbookListStrings"
  std::span<const std::string_view> docListKeys;
  std::string_view messageLoaderName;  // "LoadMessageStrings" / "LoadSheetMessageStrings"
  int messageCount;                    // gMsg01 .. gMsgNN
  std::array<std::string_view, 3> lowVersionDefaults;  // label1, command1, command2

  // Dialogs and messages.
  bool singleMessageDialog;                  // one dialog for every message kind, kind ignored
  std::string_view messageBoxTitle;          // title of the kind-2 message box
  std::string_view statusWindowTitle;        // the sliding notification window
  std::string_view configLoadStatusText;     // status text once the sign-in dialog has loaded
  bool configCloseShowsHint;                 // closing the sign-in dialog blank shows gMsg03
  bool configLabel4SetsPointer;              // clicking Label4 sets the custom mouse pointer
  DocListBehaviour docList;
  LocalFilesBehaviour localFiles;
};

extern const AddinParameterSet kWriterParameters;
extern const AddinParameterSet kSheetParameters;

}  // namespace tavo
