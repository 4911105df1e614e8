#include "completed_move.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "support/read_only_folder.h"
#include "support/temporary_folder.h"

namespace quillmark {
namespace {

namespace fs = std::filesystem;
using testing_support::ReadWholeFile;
using testing_support::TemporaryFolder;
using testing_support::WriteWholeFile;

TEST(CompletedMove, CompletedFolderIsInTheRecordingsOwnFolder) {
  EXPECT_EQ(CompletedFolderOf("/rec/talk.wav"), fs::path("/rec/Completed"));
  // Folders whose names hold the file's name are no part of the answer.
  EXPECT_EQ(CompletedFolderOf("/rec/old talk.wav files/talk.wav"),
            fs::path("/rec/old talk.wav files/Completed"));
  EXPECT_EQ(CompletedFolderOf("/rec/talk.wav/talk.wav"), fs::path("/rec/talk.wav/Completed"));
  // A bare name is in the working folder, named in full.
  EXPECT_EQ(CompletedFolderOf("talk.wav"), fs::current_path() / "Completed");
}

TEST(CompletedMove, MovesAndNeverOverwrites) {
  TemporaryFolder folder;
  fs::create_directory(folder / "Completed");
  WriteWholeFile(folder / "talk.wav", "new recording");
  WriteWholeFile(folder / "Completed/talk.wav", "finished earlier");
  WriteWholeFile(folder / "Completed/talk (2).wav", "finished earlier too");

  const MoveOutcome outcome = MoveWithoutOverwriting(folder / "talk.wav", folder / "Completed",
                                                     "talk.wav");
  ASSERT_TRUE(outcome.moved) << outcome.error;
  EXPECT_TRUE(outcome.renamed);
  EXPECT_EQ(outcome.destination, folder / "Completed/talk (3).wav");
  EXPECT_EQ(ReadWholeFile(outcome.destination), "new recording");
  EXPECT_EQ(ReadWholeFile(folder / "Completed/talk.wav"), "finished earlier");
  EXPECT_FALSE(fs::exists(folder / "talk.wav"));

  WriteWholeFile(folder / "b.BKM", "marks");
  const MoveOutcome plain = MoveWithoutOverwriting(folder / "b.BKM", folder / "Completed", "b.BKM");
  ASSERT_TRUE(plain.moved);
  EXPECT_FALSE(plain.renamed);
}

TEST(CompletedMove, AFailedMoveLeavesTheOriginal) {
  TemporaryFolder folder;
  fs::create_directory(folder / "Completed");
  WriteWholeFile(folder / "talk.wav", "recording");
  testing_support::MakeReadOnly(folder / "Completed");
  MoveOutcome outcome;
  {
    testing_support::WithoutRootPrivileges unprivileged;
    outcome = MoveWithoutOverwriting(folder / "talk.wav", folder / "Completed", "talk.wav");
  }
  EXPECT_FALSE(outcome.moved);
  EXPECT_NE(outcome.error.find("talk.wav"), std::string::npos) << outcome.error;
  EXPECT_EQ(ReadWholeFile(folder / "talk.wav"), "recording");

  const MoveOutcome missing = MoveWithoutOverwriting(folder / "gone.wav", folder.path(), "x.wav");
  EXPECT_FALSE(missing.moved);
  EXPECT_FALSE(missing.error.empty());
}

TEST(CompletedMove, AcrossFileSystemsCopiesThenRemoves) {
  struct stat shm {}, tmp {};
  TemporaryFolder folder;
  if (::stat("/dev/shm", &shm) != 0 || ::stat(folder.path().c_str(), &tmp) != 0 ||
      shm.st_dev == tmp.st_dev) {
    GTEST_SKIP() << "no second file system to move across";
  }
  const fs::path source = "/dev/shm/quillmark-move-test.wav";
  std::string content(300000, 'x');
  content[123456] = 'y';
  WriteWholeFile(source, content);
  const MoveOutcome outcome = MoveWithoutOverwriting(source, folder.path(), "talk.wav");
  ASSERT_TRUE(outcome.moved) << outcome.error;
  EXPECT_EQ(ReadWholeFile(folder / "talk.wav"), content);
  EXPECT_FALSE(fs::exists(source));
}

}  // namespace
}  // namespace quillmark
