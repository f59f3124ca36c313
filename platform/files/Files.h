#pragma once
// File operations over Windows paths of the current environment, with the behaviour of the
// file-system object, the BASIC file statements and the kernel's DeleteFileA. Failures raise
// RuntimeError with the BASIC numbers (53 file not found, 58 file already exists, 70 permission
// denied, 76 path not found) unless a function says it never throws. What it creates or writes
// is private to the user (see environment/PrivateFiles.h).
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform::files {

bool FileExists(std::string_view path);
bool FolderExists(std::string_view path);

// Creates one folder; its parent must exist (76 otherwise); 58 when it already exists.
void CreateFolder(std::string_view path);
// Deletes a file; 53 when missing; 70 when read-only and not forced, or when the file is
// locked by an open document (as Windows refuses to delete a file in use).
void DeleteFile(std::string_view path, bool force = false);
// Deletes a folder and everything in it; 76 when missing; 70 as above for any file inside.
void DeleteFolder(std::string_view path, bool force = false);
// The kernel call: true on success, false on any failure; never throws.
bool DeleteFileA(std::string_view path) noexcept;

// Which file lies at a path and how it was last written or replaced. Two stamps of one path
// are equal only while nobody has written, replaced or re-created the file in between: a save
// that replaces the file (as WriteAllBytes does) makes a new file, and any write renews the
// change times, which no program can set back.
struct FileStamp {
  std::uint64_t device = 0;
  std::uint64_t inode = 0;
  std::uint64_t size = 0;
  std::int64_t modifiedNs = 0;
  std::int64_t changedNs = 0;
  bool operator==(const FileStamp&) const = default;
};
// The stamp of the file at the path now; none when there is no file. Never throws.
std::optional<FileStamp> StampOf(std::string_view path) noexcept;
// DeleteFileA, but only while the file at the path is still the one stamped: true when it was
// deleted. Never throws.
bool DeleteFileIfUnchanged(std::string_view path, const FileStamp& stamp) noexcept;

// Names (not paths) of the files of a folder, in the order the file system lists them.
std::vector<std::string> ListFileNames(std::string_view folder);

// Whole-file byte I/O. ReadAllBytes: 53 when missing. WriteAllBytes replaces the file
// atomically (a temporary file in the same folder renamed over it), so a crash never leaves a
// truncated file; what writers killed before their rename left in the folder goes with the next
// write there. A file locked by an open document is not replaced (70), as Windows refuses to
// replace a file in use. AppendText appends, creating the file when missing (76 when the folder
// is).
std::string ReadAllBytes(std::string_view path);
void WriteAllBytes(std::string_view path, std::string_view bytes);
void AppendText(std::string_view path, std::string_view text);
// Writes from the start of an existing file without truncating it ("raw byte output").
void OverwriteBytes(std::string_view path, std::string_view bytes);

// A file replaced atomically, as WriteAllBytes does, but written in pieces, so that a large
// file need not be built whole first. Opening raises as WriteAllBytes does; the file itself is
// replaced only by Commit: until then, or when the writer is dropped without it, the file stays
// as it was and the temporary file goes.
class AtomicFileWriter {
 public:
  explicit AtomicFileWriter(std::string_view path);
  ~AtomicFileWriter();
  AtomicFileWriter(const AtomicFileWriter&) = delete;
  AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;
  void Write(std::string_view bytes);
  // Makes the bytes durable, then puts them in place of the file.
  void Commit();

 private:
  std::string path_;
  std::string host_;
  std::string temp_;
  int fd_ = -1;
};

// A file read from its start in pieces, so that a large one is never held whole. Opening raises
// as ReadAllBytes does.
class PieceReader {
 public:
  explicit PieceReader(std::string_view path);
  ~PieceReader();
  PieceReader(const PieceReader&) = delete;
  PieceReader& operator=(const PieceReader&) = delete;
  // The file's length when it was opened; it may change while it is read.
  size_t Length() const { return length_; }
  // Fills `size` bytes at `buffer` unless the file ends first: the number of bytes read, 0 at
  // the end.
  size_t Read(char* buffer, size_t size);

 private:
  std::string path_;
  int fd_ = -1;
  size_t length_ = 0;
};

void SetReadOnly(std::string_view path, bool readOnly);

// An exclusive lock on a file, as an application that has the file open holds it.
// While held, TryLockExclusive on the same file fails, DeleteFile raises 70.
class FileLock {
 public:
  FileLock() = default;
  ~FileLock();
  FileLock(FileLock&&) noexcept;
  FileLock& operator=(FileLock&&) noexcept;
  FileLock(const FileLock&) = delete;
  FileLock& operator=(const FileLock&) = delete;
  bool held() const { return fd_ >= 0; }
  void Release();

 private:
  friend FileLock LockExclusive(std::string_view path);
  friend bool TryLockExclusive(std::string_view path, FileLock* lock) noexcept;
  int fd_ = -1;
};

// Opens the file (creating it empty when missing) and locks it exclusively; 70 when another
// holder has it locked.
FileLock LockExclusive(std::string_view path);
// As LockExclusive, but reports failure as false; never throws.
bool TryLockExclusive(std::string_view path, FileLock* lock) noexcept;

// Whether an existing file can be opened for reading and writing with no one else reading or
// writing it, and closed again at once: false for a file that is read-only, locked by an open
// document, missing or otherwise unopenable. Never throws, never creates the file.
bool OpensForExclusiveUpdate(std::string_view path) noexcept;

}  // namespace platform::files
