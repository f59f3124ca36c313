#include "common/AddinParameterSet.h"

namespace tavo {
namespace {

constexpr std::string_view kWriterDocListKeys[] = {
    "gfrmdoclist_label9", "gfrmdoclist_label11", "gfrmdoclist_Label12",
    "gfrmdoclist_label13", "gfrmdoclist_open", "gfrmdoclist_cancel",
};

constexpr std::string_view kSheetDocListKeys[] = {
    "gfrmdoclist_label1", "gfrmdoclist_label2", "gfrmdoclist_Label3",
    "gfrmdoclist_open", "gfrmdoclist_cancel",
};

constexpr std::string_view kWriterSettingsKey = "Software\\tavo\\tavo writer Word Plugin\\reg";
constexpr std::string_view kSheetSettingsKey = "Software\\tavo\\tavo sheet Excel Plugin\\reg";
constexpr std::string_view kAccountsUrl = "https://accounts.tavo.example/";
constexpr std::string_view kRegistrationUrl = "http://accounts.tavo.example/register";
constexpr std::string_view kTermsUrl = "http://share.tavo.example/tos";

}  // namespace

const AddinParameterSet kWriterParameters{
    .name = "writer",
    .pluginSettingsKey = kWriterSettingsKey,
    .otherPluginSettingsKey = kSheetSettingsKey,
    .ownStatusValue = "wordstatus",
    .otherStatusValue = "excelstatus",
    .webUrlValue = "tavowriterurl",
    .apiUrlValue = "tavowriterapiurl",
    .defaultWebUrl = "http://writer.tavo.example",
    .defaultApiUrl = "http://writer.tavo.example/api",
    .defaultAccountsUrl = kAccountsUrl,
    .privateApiBaseUrl = "http://writer.tavo.example/api/",
    .registrationUrl = kRegistrationUrl,
    .termsUrl = kTermsUrl,
    .homePageUrl = "http://www.tavo.example/",
    .makePublicFlags = "&showcomment=true&allowcomment=true&issocial=true",
    .credentialsRereadLanguage = true,
    .saveCredentialsFailureKey = "gMsg30",
    .signInServiceOrder = {"TavoWriter", "TavoSheet"},
    .ticketAnswerIndex = 0,
    .signInFirstFailureText = "",
    .signInProgressOnStatusBar = false,
    .signInStoredProgressKey = "gMsg48",
    .signOutSendsUserAgent = false,
    .adoptedStatusKey = "gMsg49",  // "Signed in to Tavo."
    .folderWord = "tavowriter",
    .docsRootName = "osdocusernamepath",
    .logFileName = "tavowriter.log",
    .logHeaderTitle = " Tavo Writer Word Addin Log - ",
    .logInitialisedLine = false,
    .mapFileName = "maptavoword.xml",
    .credentialsFileName = "maptavoworddet.xml",
    .initUserFilesFailureKey = "gMsg28",
    .defaultDocumentExtension = ".doc",
    .languageSectionPrefix = "WRITER_",
    .docListLoaderName = "LoadDocListStrings",
    .docListKeys = kWriterDocListKeys,
    .messageLoaderName = "LoadMessageStrings",
    .messageCount = 50,
    .lowVersionDefaults = {"Newer Copy", "Sign &In", "Sign &Out"},
    .singleMessageDialog = false,
    .messageBoxTitle = "TavoWriter Word Addin",
    .statusWindowTitle = "Tavo Writer(Word Addin)",
    .configLoadStatusText = "",
    .configCloseShowsHint = true,
    .configLabel4SetsPointer = false,
    .docList = {.detailsByName = false,
                .asksAboutLocalCopy = true,
                .listLostFocusStatus = false,
                .loadStatus = {.key = "", .fixed = "Select a Document to Open in Word..."}},
    .localFiles = {.locationIsFilename = false,
                   .openEmpty = {.key = "gMsg13", .fixed = ""},
                   .openClearsStatus = false,
                   .keyOpenChecksSelection = true,
                   .cancelClearsStatus = false,
                   .deleteEmpty = {.key = "gMsg13", .fixed = ""},
                   .deleteClearsStatus = false,
                   .fileLocked = {.key = "gMsg14", .fixed = ""},
                   .logsHandlerErrors = false,
                   .questionRecordsAnswer = false},
};

const AddinParameterSet kSheetParameters{
    .name = "sheet",
    .pluginSettingsKey = kSheetSettingsKey,
    .otherPluginSettingsKey = kWriterSettingsKey,
    .ownStatusValue = "excelstatus",
    .otherStatusValue = "wordstatus",
    .webUrlValue = "tavosheeturl",
    .apiUrlValue = "tavosheetapiurl",
    .defaultWebUrl = "http://sheet.tavo.example/",
    .defaultApiUrl = "http://sheet.tavo.example/api/xml",
    .defaultAccountsUrl = kAccountsUrl,
    .privateApiBaseUrl = "http://sheet.tavo.example/api/",
    .registrationUrl = kRegistrationUrl,
    .termsUrl = kTermsUrl,
    .homePageUrl = "",  // probes its own web base setting instead
    .makePublicFlags = "&showcomment=true&allowcomment=true&external=true",
    .credentialsRereadLanguage = false,
    .saveCredentialsFailureKey = "gMsg71",
    .signInServiceOrder = {"TavoSheet", "TavoWriter"},
    .ticketAnswerIndex = 1,
    .signInFirstFailureText = "An Error occurred while contacting Tavo. Please try again in a few minutes.",
    .signInProgressOnStatusBar = true,
    .signInStoredProgressKey = "gMsg49",
    .signOutSendsUserAgent = true,
    .adoptedStatusKey = "gMsg57",  // its status after its own sign-in
    .folderWord = "tavosheet",
    .docsRootName = "osxlsusername",
    .logFileName = "tavosheet.log",
    .logHeaderTitle = " Tavo Sheet Excel Addin Log - ",
    .logInitialisedLine = true,
    .mapFileName = "maptavoexcel.xml",
    .credentialsFileName = "maptavoexceldet.xml",
    .initUserFilesFailureKey = "gMsg24",
    .defaultDocumentExtension = ".xls",
    .languageSectionPrefix = "SHEET_",
    .docListLoaderName = "LoadWorkbookListStrings",
    .docListKeys = kSheetDocListKeys,
    .messageLoaderName = "LoadSheetMessageStrings",
    .messageCount = 71,
    .lowVersionDefaults = {"", "", ""},
    .singleMessageDialog = true,
    .messageBoxTitle = "TavoWriter Word Addin",
    .statusWindowTitle = "Tavo Web Sheet(Excel Addin)",
    .configLoadStatusText = "Fill in the Login Informations...",
    .configCloseShowsHint = false,
    .configLabel4SetsPointer = true,
    .docList = {.detailsByName = true,
                .asksAboutLocalCopy = false,
                .listLostFocusStatus = true,
                .loadStatus = {.key = "gMsg12", .fixed = ""}},
    .localFiles = {.locationIsFilename = true,
                   .openEmpty = {.key = "", .fixed = "Select Tavo FileName"},
                   .openClearsStatus = true,
                   .keyOpenChecksSelection = false,
                   .cancelClearsStatus = true,
                   .deleteEmpty = {.key = "", .fixed = "Select Tavo FileName"},
                   .deleteClearsStatus = true,
                   .fileLocked = {.key = "", .fixed = "Close the Open WorkBook and Delete"},
                   .logsHandlerErrors = true,
                   .questionRecordsAnswer = true},
};

}  // namespace tavo
