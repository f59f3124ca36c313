#pragma once
// The two folder trees of the signed-in account (named after the account, not the Windows user):
//   <AppData>\tavo\<svc>\users\<user>\     the log, the map file, the credentials file
//   <Documents>\tavo\<svc>\users\<user>\   local copies and temporary files
// and the preparation of the user's files at every sign-in.
#include <string>
#include <string_view>

namespace tavo {

struct AddinState;

// A shell folder (CSIDL_APPDATA, CSIDL_PERSONAL) as a Windows path.
std::string GetSpecialFolderPath(int csidl);

// The account's own folder in a tree whose root is gAppDataRoot or gDocsRoot:
// <root>\users\<the trimmed account name>\. Every path of an account's files starts here, so
// that a name typed with blanks around it finds the folders its sign-in made.
std::string UserFolderPath(std::string_view root, std::string_view account);

// The message for an account name that cannot name its folders (UnusableAccountName).
inline constexpr std::string_view kUnusableAccountNameMessage =
    "The Tavo ID cannot contain \\, / or : or control characters, and cannot be \".\" or \"..\". "
    "Please check your Tavo ID.";
// True, after the message has been shown, when the account name cannot name its folders: it is
// then neither sent, nor stored, nor used for a path.
bool RefusedAccountName(AddinState& state, std::string_view account);

// True when the file lies in the documents tree of another account than the signed-in one
// (under <gDocsRoot>\users\<other>\). Letter case, doubled separators and "." or ".." steps
// do not hide where a file lies.
bool InAnotherAccountsFolder(const AddinState& state, std::string_view path);

// A Windows path spelled one way, for telling where a file lies: as Windows reads it
// (platform::environment::LexicalWindowsPath: one "\" between steps, "." and ".." steps taken,
// trailing blanks and dots of a step dropped), in lower case, without a separator at the end.
std::string ComparablePath(std::string_view path);
// Whether two Windows paths name one file, however each is spelled.
bool SamePath(std::string_view a, std::string_view b);

// A path at which no file exists yet, for a file that would otherwise replace another: the path
// itself when it is free, else the first free one of path + counter, then + the next counter
// behind that, ... (Plan.xls, Plan1.xls, Plan12.xls, Plan123.xls), each in front of the
// extension. "" after a run-time error.
std::string getNewFileLocation(AddinState& state, const std::string& path, int counter);

// Create the application-data tree of the trimmed gLoginUser (the argument is not used), set
// gAppDataRoot and gUserDataFolder, and return the log file's path.
std::string CreateUserDataFolder(AddinState& state, std::string_view user);
// Create the documents tree, set gDocsRoot and gUserDocsFolder, and return the user documents
// folder with every doubled "\" reduced.
std::string CreateUserDocumentsFolder(AddinState& state, std::string_view user);

// Folders, the log header block and the first Info lines. False (after logging why) when the
// user is blank or a folder cannot be made.
bool InitLogFile(AddinState& state, std::string_view user);

// InitLogFile, then make sure the map file exists and rewrite the credentials file; for a blank
// user name (or gLoginUser) only InitLogFile, which refuses it. A failure shows the add-in's
// message for it; what was done before stays.
void InitUserFiles(AddinState& state, std::string_view user);

}  // namespace tavo
