#include "platform/files/Files.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <functional>
#include <optional>

#include "platform/core/RuntimeError.h"
#include "platform/environment/TestSupport.h"

using namespace platform;
using namespace platform::files;

namespace {

const std::string kDocs = "C:\\Users\\tavo\\Documents";

class Files : public ::testing::Test {
 protected:
  environment::TempEnvironment env;
};

TEST_F(Files, CreatesChecksAndDeletes) {
  CreateFolder(kDocs + "\\tavo");
  EXPECT_TRUE(FolderExists(kDocs + "\\TAVO"));
  WriteAllBytes(kDocs + "\\tavo\\a.doc", "one");
  EXPECT_TRUE(FileExists(kDocs + "\\Tavo\\A.DOC"));
  EXPECT_FALSE(FileExists(kDocs + "\\tavo"));  // a folder is not a file
  EXPECT_FALSE(FolderExists(kDocs + "\\tavo\\a.doc"));
  EXPECT_EQ(ReadAllBytes(kDocs + "\\tavo\\a.doc"), "one");
  DeleteFile(kDocs + "\\tavo\\a.doc");
  EXPECT_FALSE(FileExists(kDocs + "\\tavo\\a.doc"));
  DeleteFolder(kDocs + "\\tavo");
  EXPECT_FALSE(FolderExists(kDocs + "\\tavo"));
  EXPECT_FALSE(FileExists("not a path"));
}

TEST_F(Files, ReportsTheBasicErrorNumbers) {
  WriteAllBytes(kDocs + "\\there.txt", "x");
  struct Case {
    const char* what;
    std::function<void()> call;
    long number;
  } cases[] = {
      {"folder in a missing parent", [] { CreateFolder(kDocs + "\\no\\such"); }, err::PathNotFound},
      {"folder that exists", [] { CreateFolder(kDocs); }, err::FileAlreadyExists},
      {"delete a missing file", [] { DeleteFile(kDocs + "\\missing.txt"); }, err::FileNotFound},
      {"delete a missing folder", [] { DeleteFolder(kDocs + "\\missing"); }, err::PathNotFound},
      {"read a missing file", [] { ReadAllBytes(kDocs + "\\missing.txt"); }, err::FileNotFound},
      {"write into a missing folder", [] { WriteAllBytes(kDocs + "\\no\\x.txt", "x"); }, err::PathNotFound},
      {"append into a missing folder", [] { AppendText(kDocs + "\\no\\x.log", "x"); }, err::PathNotFound},
      {"list a missing folder", [] { ListFileNames(kDocs + "\\missing"); }, err::PathNotFound},
      {"a drive that is not mapped", [] { ReadAllBytes("Q:\\x.txt"); }, err::PathNotFound},
  };
  for (const Case& k : cases) EXPECT_EQ(environment::RaisedNumber(k.call), k.number) << k.what;
}

TEST_F(Files, ReadOnlyFilesAreKeptUnlessForced) {
  const std::string file = kDocs + "\\ro.xls";
  WriteAllBytes(file, "keep");
  EXPECT_TRUE(OpensForExclusiveUpdate(file));
  SetReadOnly(file, true);
  EXPECT_FALSE(OpensForExclusiveUpdate(file));
  EXPECT_EQ(environment::RaisedNumber([&] { DeleteFile(file); }), err::PermissionDenied);
  EXPECT_FALSE(DeleteFileA(file));
  EXPECT_EQ(environment::RaisedNumber([&] { WriteAllBytes(file, "lost"); }), err::PermissionDenied);
  EXPECT_EQ(ReadAllBytes(file), "keep");
  DeleteFile(file, true);
  EXPECT_FALSE(FileExists(file));
}

TEST_F(Files, ALockedFileCannotBeDeletedOrLockedAgain) {
  const std::string file = kDocs + "\\open.doc";
  WriteAllBytes(file, "in use");
  {
    FileLock lock = LockExclusive(file);
    EXPECT_TRUE(lock.held());
    // The same process asks again, as the add-in does next to the host holding the file.
    FileLock second;
    EXPECT_FALSE(TryLockExclusive(file, &second));
    EXPECT_FALSE(OpensForExclusiveUpdate(file));
    EXPECT_FALSE(second.held());
    EXPECT_EQ(environment::RaisedNumber([&] { LockExclusive(file); }), err::PermissionDenied);
    EXPECT_EQ(environment::RaisedNumber([&] { DeleteFile(file, true); }), err::PermissionDenied);
    EXPECT_FALSE(DeleteFileA(file));
    // A folder holding the file stays whole.
    EXPECT_EQ(environment::RaisedNumber([&] { DeleteFolder(kDocs); }), err::PermissionDenied);
    EXPECT_TRUE(FileExists(file));
    FileLock moved = std::move(lock);
    EXPECT_TRUE(moved.held());
    EXPECT_FALSE(lock.held());
  }
  EXPECT_TRUE(OpensForExclusiveUpdate(file));
  EXPECT_TRUE(DeleteFileA(file));
  EXPECT_FALSE(OpensForExclusiveUpdate(file));
  EXPECT_FALSE(FileExists(file));
}

// A file is deleted by its stamp only while nobody has written it since (a save that replaces it
// is seen also when it writes the same bytes); a file that an application holds open, or that is
// read-only, stays.
TEST_F(Files, AStampedFileIsDeletedOnlyWhileItIsAsStamped) {
  const std::string file = kDocs + "\\copy.doc";
  const struct {
    const char* what;
    std::function<void()> change;
    bool deleted;
  } cases[] = {
      {"untouched", [] {}, true},
      {"replaced by the same bytes", [&] { WriteAllBytes(file, "downloaded"); }, false},
      {"appended to", [&] { AppendText(file, "more"); }, false},
      {"made read-only", [&] { SetReadOnly(file, true); }, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    WriteAllBytes(file, "downloaded");
    const std::optional<FileStamp> stamp = StampOf(file);
    ASSERT_TRUE(stamp);
    c.change();
    EXPECT_EQ(DeleteFileIfUnchanged(kDocs + "\\COPY.DOC", *stamp), c.deleted);
    EXPECT_EQ(FileExists(file), !c.deleted);
    if (FileExists(file)) DeleteFile(file, true);
  }

  WriteAllBytes(file, "open");
  const FileStamp stamp = *StampOf(file);
  {
    FileLock held = LockExclusive(file);
    EXPECT_EQ(StampOf(file), stamp);  // holding a file open changes nothing in it
    EXPECT_FALSE(DeleteFileIfUnchanged(file, stamp));
    EXPECT_TRUE(FileExists(file));
  }
  EXPECT_TRUE(DeleteFileIfUnchanged(file, stamp));
  EXPECT_FALSE(StampOf(file));
  EXPECT_FALSE(DeleteFileIfUnchanged(file, stamp));
  EXPECT_FALSE(StampOf(kDocs));  // a folder is no file
}

TEST_F(Files, LockCreatesAMissingFile) {
  FileLock lock = LockExclusive(kDocs + "\\new.lock");
  EXPECT_TRUE(FileExists(kDocs + "\\new.lock"));
  lock.Release();
  EXPECT_FALSE(lock.held());
  FileLock again;
  EXPECT_TRUE(TryLockExclusive(kDocs + "\\new.lock", &again));
}

TEST_F(Files, WholeFileWritesReplaceAtomically) {
  const std::string file = kDocs + "\\map.xml";
  WriteAllBytes(file, "old content");
  // A reader that opened the file before the write still sees the whole old content: the
  // new one arrived as another file renamed over it, never by truncating this one.
  int reader = ::open(environment::HostPath(file).c_str(), O_RDONLY);
  ASSERT_GE(reader, 0);
  WriteAllBytes(file, std::string("new\0bytes", 9));
  char buffer[32] = {};
  EXPECT_EQ(::read(reader, buffer, sizeof buffer), 11);
  EXPECT_EQ(std::string(buffer), "old content");
  ::close(reader);
  EXPECT_EQ(ReadAllBytes(file), std::string("new\0bytes", 9));
  // No temporary file is left behind.
  EXPECT_EQ(ListFileNames(kDocs), std::vector<std::string>{"map.xml"});
}

TEST_F(Files, AFileWrittenInPiecesReplacesTheOldOneOnlyWhenCommitted) {
  const std::string file = kDocs + "\\book.xls";
  WriteAllBytes(file, "old content");
  {
    // A writer that stops half-way (a failure in whatever makes the bytes) leaves the old file.
    AtomicFileWriter writer(file);
    writer.Write("new ");
    EXPECT_EQ(ReadAllBytes(file), "old content");
  }
  EXPECT_EQ(ReadAllBytes(file), "old content");
  EXPECT_EQ(ListFileNames(kDocs), std::vector<std::string>{"book.xls"});

  AtomicFileWriter writer(file);
  writer.Write("new ");
  writer.Write(std::string("content\0", 8));
  writer.Commit();
  EXPECT_EQ(ReadAllBytes(file), std::string("new content\0", 12));
  EXPECT_EQ(ListFileNames(kDocs), std::vector<std::string>{"book.xls"});
}

TEST_F(Files, AFileAnApplicationHasOpenIsNotReplaced) {
  const std::string file = kDocs + "\\book.xls";
  WriteAllBytes(file, "old content");
  AtomicFileWriter before(file);  // began before the application opened the file
  before.Write("new content");
  {
    const FileLock open = LockExclusive(file);
    EXPECT_EQ(environment::RaisedNumber([&] { WriteAllBytes(file, "new content"); }), err::PermissionDenied);
    EXPECT_EQ(environment::RaisedNumber([&] { before.Commit(); }), err::PermissionDenied);
    EXPECT_EQ(ReadAllBytes(file), "old content");
    EXPECT_EQ(ListFileNames(kDocs), std::vector<std::string>{"book.xls"});
  }
  WriteAllBytes(file, "new content");
  EXPECT_EQ(ReadAllBytes(file), "new content");
}

TEST_F(Files, AWholeFileWriteClearsWhatKilledWritersLeft) {
  const std::string file = kDocs + "\\map.xml";
  WriteAllBytes(file, "old content");
  // What a writer killed before its rename leaves: the temporary file named after its process.
  const pid_t ended = ::fork();
  if (ended == 0) ::_exit(0);
  ASSERT_GT(ended, 0);
  ASSERT_EQ(::waitpid(ended, nullptr, 0), ended);
  const std::string stale = ".map.xml." + std::to_string(ended) + "-0-1.tmp";
  const std::string live = ".map.xml." + std::to_string(::getppid()) + "-0-1.tmp";  // a writer still at work
  // Another file's, which may never be written again (a download cut short), goes too.
  const std::string other = ".notes.xml." + std::to_string(ended) + "-0-1.tmp";
  // Names a writer does not make stay, whoever made them.
  const std::string pid = std::to_string(ended);
  const std::string notMade[] = {".notes." + pid + ".tmp", "notes.xml." + pid + "-0-1.tmp",
                                 ".notes.xml." + pid + "-0-1-2.tmp"};
  for (const std::string& name : {stale, live, other}) WriteAllBytes(kDocs + "\\" + name, "half");
  for (const std::string& name : notMade) WriteAllBytes(kDocs + "\\" + name, "mine");

  WriteAllBytes(file, "new content");
  std::vector<std::string> names = ListFileNames(kDocs);
  std::sort(names.begin(), names.end());
  std::vector<std::string> kept{live, "map.xml", notMade[0], notMade[1], notMade[2]};
  std::sort(kept.begin(), kept.end());
  EXPECT_EQ(names, kept);
  EXPECT_EQ(ReadAllBytes(file), "new content");
}

TEST_F(Files, AppendAndOverwriteKeepWhatIsThere) {
  const std::string log = kDocs + "\\tavo.log";
  AppendText(log, "one\r\n");
  AppendText(log, "two\r\n");
  EXPECT_EQ(ReadAllBytes(log), "one\r\ntwo\r\n");
  OverwriteBytes(log, "ON");
  EXPECT_EQ(ReadAllBytes(log), "ONe\r\ntwo\r\n");
}

// What the layer writes is the user's alone, whatever the umask: new files 0600, new folders
// 0700, and a file found open to others loses their rights when it is written.
TEST_F(Files, WhatIsWrittenIsPrivate) {
  environment::ScopedUmask anyoneMayRead(0);
  const struct {
    const char* name;
    std::function<void(const std::string&)> write;
  } writers[] = {
      {"WriteAllBytes", [](const std::string& f) { WriteAllBytes(f, "x"); }},
      {"AtomicFileWriter", [](const std::string& f) { AtomicFileWriter w(f); w.Write("x"); w.Commit(); }},
      {"AppendText", [](const std::string& f) { AppendText(f, "x"); }},
      {"OverwriteBytes", [](const std::string& f) { OverwriteBytes(f, "x"); }},
  };
  for (const auto& w : writers) {
    SCOPED_TRACE(w.name);
    const std::string file = kDocs + "\\" + w.name;
    w.write(file);
    EXPECT_EQ(environment::ModeOf(environment::HostPath(file)), 0600);
    ASSERT_EQ(::chmod(environment::HostPath(file).c_str(), 0664), 0);
    w.write(file);
    EXPECT_EQ(environment::ModeOf(environment::HostPath(file)), 0600);
  }
  FileLock lock = LockExclusive(kDocs + "\\new.lock");
  EXPECT_EQ(environment::ModeOf(environment::HostPath(kDocs + "\\new.lock")), 0600);
  CreateFolder(kDocs + "\\tavo");
  EXPECT_EQ(environment::ModeOf(environment::HostPath(kDocs + "\\tavo")), 0700);
}

TEST_F(Files, ListsOnlyTheFilesOfAFolder) {
  WriteAllBytes(kDocs + "\\b.xls", "");
  WriteAllBytes(kDocs + "\\a.xls", "");
  CreateFolder(kDocs + "\\sub");
  std::vector<std::string> names = ListFileNames(kDocs);
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"a.xls", "b.xls"}));
}

}  // namespace
