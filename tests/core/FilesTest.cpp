#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <thread>

#include "LadError.h"
#include "LineFile.h"
#include "TestLists.h"
#include "SaveLock.h"
#include "TempDir.h"
#include "TextFile.h"

namespace fs = std::filesystem;

namespace {

class FilesTest : public TempDirTest {
 protected:
  void TearDown() override {
    fs::permissions(dir, fs::perms::owner_all);
    TempDirTest::TearDown();
  }
  static std::string bytes(const std::string& file) { return read(file); }
  std::size_t entries() const {
    return static_cast<std::size_t>(std::distance(fs::directory_iterator(dir), {}));
  }
};

}  // namespace

TEST_F(FilesTest, SaveWritesCrLfLinesAndLoadReadsThemBack) {
  TextPairList list;
  for (const char* k : {"Attributes=A,B", "", "x"}) list.add(k, "v");
  list.saveLines(path("m.MOD"));
  EXPECT_EQ(bytes(path("m.MOD")), "Attributes=A,B\r\n\r\nx\r\n");
  EXPECT_EQ(entries(), 1u);  // no temporary file left behind

  TextPairList back;
  back.loadLines(path("m.MOD"));
  EXPECT_EQ(back.keys, list.keys);
  for (const auto& v : back.vals) EXPECT_EQ(v, "");

  TextPairList empty;
  empty.saveLines(path("m.MOD"));
  EXPECT_EQ(bytes(path("m.MOD")), "");
}

TEST_F(FilesTest, LineEndRules) {
  write(path("t"), "a\r\nb\nc\rd\n\ne");
  TextPairList list;
  list.loadLines(path("t"));
  EXPECT_EQ(list.keys, (std::vector<std::string>{"a", "b", "cd", "", "e"}));

  TextPairList sorted;
  sorted.sorted = true;
  write(path("t"), "b\na\nb\n");
  sorted.loadLines(path("t"));
  EXPECT_EQ(sorted.keys, (std::vector<std::string>{"a", "b"}));

  TextPairList broken;
  broken.add("one\r\ntwo", "");
  broken.saveLines(path("t"));
  broken.loadLines(path("t"));
  EXPECT_EQ(broken.keys, (std::vector<std::string>{"one", "two"}));
}

TEST_F(FilesTest, FailedSaveKeepsTheOldTargetAndLeavesNoTemporaryFile) {
  write(path("keep.MOD"), "old\r\n");
  TextPairList list;
  list.add("new", "");

  // The target's name is taken by a folder: the rename fails and must be reported.
  fs::create_directory(path("dir.MOD"));
  try {
    list.saveLines(path("dir.MOD"));
    FAIL() << "no failure";
  } catch (const EInOutError& e) {
    EXPECT_NE(std::string(e.what()).find("Cannot write file \"" + path("dir.MOD") + "\"."),
              std::string::npos)
        << e.what();
  }
  EXPECT_EQ(entries(), 2u);

  // No such folder.
  EXPECT_THROW(list.saveLines(path("nowhere/x.MOD")), EInOutError);

  // A folder without write permission (root may write anyway, then nothing fails).
  fs::permissions(dir, fs::perms::owner_read | fs::perms::owner_exec);
  try {
    list.saveLines(path("keep.MOD"));
  } catch (const EInOutError&) {
  }
  fs::permissions(dir, fs::perms::owner_all);
  const std::string content = bytes(path("keep.MOD"));
  EXPECT_TRUE(content == "old\r\n" || content == "new\r\n");
  EXPECT_EQ(entries(), 2u);
}

TEST_F(FilesTest, MissingFileNamesItsFullPathAndReason) {
  TextPairList list;
  list.add("stays", "");
  try {
    list.loadLines(path("missing.MOD"));
    FAIL() << "no failure";
  } catch (const EInOutError& e) {
    EXPECT_EQ(std::string(e.what()),
              "Cannot open file \"" + path("missing.MOD") + "\". No such file or directory");
  }
  EXPECT_EQ(list.size(), 0);
  EXPECT_THROW(readTextFile(path("missing.txt")), EInOutError);
  EXPECT_THROW(readTextFile(dir.string()), EInOutError);
}

TEST_F(FilesTest, TextFilesHonourByteOrderMarks) {
  const std::string expected = "Name,A\xC3\xA9,Class\n";  // Name,Aé,Class
  write(path("plain.txt"), expected);
  write(path("utf8.txt"), "\xEF\xBB\xBF" + expected);
  write(path("le.txt"), std::string("\xFF\xFEN\0a\0m\0e\0,\0A\0\xE9\0,\0C\0l\0a\0s\0s\0\n\0", 30));
  write(path("be.txt"), std::string("\xFE\xFF\0N\0a\0m\0e\0,\0A\0\xE9\0,\0C\0l\0a\0s\0s\0\n", 30));
  for (const char* name : {"plain.txt", "utf8.txt", "le.txt", "be.txt"}) {
    EXPECT_EQ(readTextFile(path(name)), expected) << name;
  }
  EXPECT_EQ(utf16ToUtf8(std::string("\x3D\xD8\x00\xDE", 4), false), "\xF0\x9F\x98\x80");
  EXPECT_EQ(utf16ToUtf8(std::string("\x00\xD8", 2), false), "\xEF\xBF\xBD");
}

// A save replaces the file a link points to and keeps the replaced file's permission bits,
// works for names up to the longest file name, and clears what a killed save left behind.
TEST_F(FilesTest, SaveKeepsLinksAndPermissionsAndClearsStaleTemporaries) {
  write(path("real.MOD"), "old");
  fs::permissions(path("real.MOD"), fs::perms::owner_read | fs::perms::owner_write);
  fs::create_symlink("real.MOD", path("link.MOD"));
  writeLineFile(path("link.MOD"), {"new"});
  EXPECT_TRUE(fs::is_symlink(path("link.MOD")));
  EXPECT_EQ(read(path("real.MOD")), "new\r\n");
  EXPECT_EQ(fs::status(path("real.MOD")).permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write);

  const std::string longest(251, 'n');  // with ".MOD", 255 bytes: the longest file name
  writeLineFile(path(longest + ".MOD"), {"x"});
  EXPECT_EQ(read(path(longest + ".MOD")), "x\r\n");

  write(path("m.PAT_123456789"), "left by a killed save");
  write(path("m.PAT_12345"), "not ours: not nine digits");
  write(path("m.PAT_mine"), "not ours");
  writeLineFile(path("m.PAT"), {"y"});
  EXPECT_FALSE(fs::exists(path("m.PAT_123456789")));
  EXPECT_TRUE(fs::exists(path("m.PAT_12345")));
  EXPECT_TRUE(fs::exists(path("m.PAT_mine")));
}

// A target that is not a regular file is written through and stays what it was: a rename
// over /dev/null or /dev/full would replace the system's device with a regular file.
TEST_F(FilesTest, DevicesAndFifosAreWrittenThroughNeverReplaced) {
  fs::create_symlink("/dev/null", path("null.MOD"));
  writeLineFile(path("null.MOD"), {"x"});
  EXPECT_TRUE(fs::is_symlink(path("null.MOD")));
  EXPECT_TRUE(fs::is_character_file("/dev/null"));

  fs::create_symlink("/dev/full", path("full.MOD"));
  try {
    writeLineFile(path("full.MOD"), {"x"});
    FAIL() << "no failure";
  } catch (const EInOutError& e) {
    EXPECT_NE(std::string(e.what()).find(std::strerror(ENOSPC)), std::string::npos) << e.what();
  }
  EXPECT_TRUE(fs::is_character_file("/dev/full"));

  ASSERT_EQ(::mkfifo(path("pipe").c_str(), 0600), 0);
  std::string received;
  std::thread reader([&] { received = read(path("pipe")); });
  writeLineFile(path("pipe"), {"a", "b"});
  reader.join();
  EXPECT_EQ(received, "a\r\nb\r\n");
  EXPECT_TRUE(fs::is_fifo(path("pipe")));
  EXPECT_EQ(entries(), 3u);  // no temporary file beside them
}

// Two saves of one target at once: the second clears only what a dead save left, never the
// temporary file of the first, which still puts its content in place.
TEST_F(FilesTest, ASaveLeavesTheTemporaryOfARunningSave) {
  LineFileWriter first(path("m.PAT"));
  first.writeLine("first");
  first.finish();  // closed and flushed, not yet in place: still locked
  writeLineFile(path("m.PAT"), {"second"});
  EXPECT_EQ(read(path("m.PAT")), "second\r\n");
  first.publish();
  EXPECT_EQ(read(path("m.PAT")), "first\r\n");
  EXPECT_EQ(entries(), 1u);
}

TEST_F(FilesTest, ACancelledSaveRemovesItsTemporaryAndKeepsTheTarget) {
  write(path("m.PAT"), "old");
  std::atomic<bool> cancel{false};
  {
    LineFileWriter writer(path("m.PAT"), &cancel);
    const std::string line(1000, 'x');
    for (int i = 0; i < 1100; ++i) writer.writeLine(line);  // past the first megabyte
    EXPECT_EQ(entries(), 2u);
    cancel = true;
    EXPECT_THROW(for (int i = 0; i < 1100; ++i) writer.writeLine(line), LadError);
  }
  EXPECT_EQ(entries(), 1u);
  EXPECT_EQ(read(path("m.PAT")), "old");
}

// The lock of a model name: a second holder waits (and can give up when cancelled); the lock
// file goes with the last holder, but a user's own file of that name is never removed.
TEST_F(FilesTest, SaveLockMakesASecondSaveWait) {
  const std::string lockFile = path("M.lock");
  {
    const SaveLock first(lockFile, nullptr);
    ASSERT_TRUE(first.held());
    std::atomic<bool> cancel{false};
    std::atomic<bool> waited{false};
    std::thread second([&] {
      const SaveLock lock(
          lockFile, [&] { waited = true; }, &cancel);
      EXPECT_FALSE(lock.held());
    });
    while (!waited) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    cancel = true;
    second.join();
  }
  EXPECT_FALSE(fs::exists(lockFile));

  bool waited = false;
  {
    const SaveLock again(lockFile, [&] { waited = true; });
    EXPECT_TRUE(again.held());
  }
  EXPECT_FALSE(waited);

  write(lockFile, "a user's notes");
  { const SaveLock kept(lockFile, nullptr); }
  EXPECT_EQ(read(lockFile), "a user's notes");
}
