#pragma once
// Everything one loaded add-in remembers between calls: its settings, the current sign-in, the
// per-user folders, the language texts and the lists the dialogs work on. One state per loaded
// add-in, passed by reference to every procedure; two add-ins in one process never share one.
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "common/AddinParameterSet.h"
#include "common/LanguageStrings.h"
#include "platform/files/Files.h"
#include "platform/xml/XmlDocument.h"

namespace tavo {

class AddinHost;
struct AddinDialogs;
struct SavedMap;  // common/MapStore.cpp

struct AddinState {
  explicit AddinState(const AddinParameterSet& parameters, AddinHost* addinHost = nullptr);
  AddinState(const AddinState&) = delete;
  AddinState& operator=(const AddinState&) = delete;

  const AddinParameterSet& params;
  AddinHost* host;  // may be null (tests without a host)

  // Sign-in.
  std::string gTicket;
  std::string gLoginUser;
  std::string gLoginPassword;
  int gConfigMode = 0;        // 1 sign in, 2 settings
  std::string gConfigResult;  // "TRUE", "FALSE", "" before first use
  std::string gEncodedUser;
  std::string gEncodedPassword;
  // Whether this add-in holds a sign-in, its own or the other add-in's taken over: from then on
  // gLoginUser and gLoginPassword are the ones the ticket was given for (common/signin/SharedSignIn.h).
  bool signedIn = false;

  // Settings.
  std::string gApplicationPath;
  std::string gLanguageCode;
  std::string gLanguageFile;
  std::string gLanguageName;  // "english", "chinese", "japanese" or ""
  std::string gWriterUrl;
  std::string gWriterApiUrl;
  std::string gWriterApiBaseUrl;
  std::string gAccountsUrl;
  std::string gLogLevel;
  std::string gRememberFlag;
  std::string gSaveLocalFlag;

  // Per-user folders and the log.
  std::string gAppDataRoot;
  std::string gDocsRoot;
  std::string gUserDataFolder;  // ends in "\"
  std::string gUserDocsFolder;
  std::string gLogFile;  // "" = no log

  // Documents.
  std::string gDocumentExtension;
  std::string gDocumentNameUrl;
  std::string gPendingDocName;
  std::string gPendingDocId;
  std::string gPendingDocVersion;
  int gLocalVersionAnswer = 0;
  platform::xml::Node gDocListRoot;
  platform::xml::Node gDocListFullRoot;
  // Downloads of this run that keep no local copy, deleted at shut-down while they are still as
  // this run left them (common/TempCopies.h). It grows as needed.
  struct TempCopy {
    std::string path;
    // What it was on disk when this run last wrote it; none when that could not be told.
    std::optional<platform::files::FileStamp> stamp;
    // The shut-down deleted it or found it gone: its records go.
    bool gone = false;
  };
  std::vector<TempCopy> gTempFiles;

  LanguageStrings strings;

  // The map file as the map store saved it last, so that the next operation need not parse it
  // again while the file is unchanged (see MapStore.cpp).
  std::shared_ptr<SavedMap> savedMap;

  // The add-in's dialogs, made on first use (Dialogs() in common/dialogs/Dialogs.h). Last, so
  // that they go before the state they refer to.
  std::shared_ptr<AddinDialogs> dialogs;
};

}  // namespace tavo
