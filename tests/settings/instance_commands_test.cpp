#include "settings/instance_commands.h"

#include <gtest/gtest.h>

#include <sys/resource.h>

#include <csignal>
#include <filesystem>

#include "platform/profile_store.h"
#include "settings/instance_folders.h"
#include "settings/instance_list.h"
#include "settings/selected_instance.h"
#include "tests/support/scoped_environment.h"
#include "tests/support/temp_folder.h"
#include "util/files.h"

namespace kv {
namespace {

class InstanceCommands : public ::testing::Test {
 protected:
  void SetUp() override {
    environment_.Set("KORVANE_HOME", dir_.Path());  // the diagnostic log goes here
    test::WriteFile(dir_ / "keep/precious.txt", "do not delete");
  }

  void RegisterByHand(const std::string& name) {
    profile::WriteString(settings_, "KvInstance", "InstanceNum", "1");
    profile::WriteString(settings_, "KvInstance1", "InstanceName", name);
    profile::WriteString(settings_, "KvInstance1", "InstanceVersion", "1.7.10");
  }

  test::TempFolder dir_;
  test::TestEnvironment environment_;
  std::string settings_ = dir_ / "KvCfg.ini";
  std::string game_ = dir_ / ".minecraft/";
};

TEST_F(InstanceCommands, AddRenameDelete) {
  EXPECT_EQ(AddInstance(settings_, game_, "生存", "1.7.10").status, InstanceCommandStatus::Done);
  EXPECT_TRUE(PathExists(dir_ / "Instance/生存"));
  EXPECT_EQ(AddInstance(settings_, game_, "生存", "1.12.2").status, InstanceCommandStatus::Duplicate);
  EXPECT_EQ(AddInstance(settings_, game_, "other", "").status, InstanceCommandStatus::Done);

  test::WriteFile(dir_ / "Instance/生存/saves/world.dat", "x");
  EXPECT_EQ(RenameInstance(settings_, game_, "生存", "other").status, InstanceCommandStatus::Duplicate);
  EXPECT_EQ(RenameInstance(settings_, game_, "nobody", "x").status, InstanceCommandStatus::UnknownInstance);
  EXPECT_EQ(RenameInstance(settings_, game_, "生存", "创造").status, InstanceCommandStatus::Done);
  EXPECT_TRUE(PathExists(dir_ / "Instance/创造/saves/world.dat"));
  EXPECT_EQ(CInstanceList(settings_, false).IndexOf("创造"), 0);

  InstanceCommandResult deleted = DeleteInstance(settings_, game_, "创造");
  EXPECT_EQ(deleted.status, InstanceCommandStatus::Done);
  EXPECT_TRUE(deleted.folderChanged);
  EXPECT_FALSE(PathExists(dir_ / "Instance/创造"));
  EXPECT_EQ(DeleteInstance(settings_, game_, "创造").status, InstanceCommandStatus::UnknownInstance);
}

TEST_F(InstanceCommands, NamesDifferingOnlyInLetterCaseWouldShareAFolder) {
  ASSERT_EQ(AddInstance(settings_, game_, "Survival Σ", "1.7.10").status, InstanceCommandStatus::Done);
  ASSERT_EQ(AddInstance(settings_, game_, "Other", "1.7.10").status, InstanceCommandStatus::Done);
  EXPECT_EQ(AddInstance(settings_, game_, "survival σ", "1.12.2").status, InstanceCommandStatus::CaseDuplicate);
  EXPECT_EQ(RenameInstance(settings_, game_, "Other", "SURVIVAL σ").status, InstanceCommandStatus::CaseDuplicate);
  EXPECT_EQ(CInstanceList(settings_, false).Entries().size(), 2u);
  EXPECT_FALSE(PathExists(dir_ / "Instance/survival ä"));
  // An instance may change the case of its own name.
  EXPECT_EQ(RenameInstance(settings_, game_, "Other", "OTHER").status, InstanceCommandStatus::Done);
  EXPECT_TRUE(PathExists(dir_ / "Instance/OTHER"));
}

TEST_F(InstanceCommands, TheSelectedInstanceFollowsRenamesAndGoesWithItsInstance) {
  ASSERT_EQ(AddInstance(settings_, game_, "a", "1.7.10").status, InstanceCommandStatus::Done);
  ASSERT_EQ(AddInstance(settings_, game_, "b", "1.7.10").status, InstanceCommandStatus::Done);
  ASSERT_TRUE(SaveSelectedInstance(settings_, "a"));
  EXPECT_EQ(RenameInstance(settings_, game_, "b", "c").status, InstanceCommandStatus::Done);
  EXPECT_EQ(LoadSelectedInstance(settings_), "a");
  EXPECT_EQ(RenameInstance(settings_, game_, "a", "d").status, InstanceCommandStatus::Done);
  EXPECT_EQ(LoadSelectedInstance(settings_), "d");
  EXPECT_EQ(DeleteInstance(settings_, game_, "c").status, InstanceCommandStatus::Done);
  EXPECT_EQ(LoadSelectedInstance(settings_), "d");
  EXPECT_EQ(DeleteInstance(settings_, game_, "d").status, InstanceCommandStatus::Done);
  EXPECT_EQ(LoadSelectedInstance(settings_), "");
}

TEST_F(InstanceCommands, NamesInQuotesKeepTheirQuotes) {
  // The registry and the folder must name the same instance, or the folder is orphaned.
  ASSERT_EQ(AddInstance(settings_, game_, "'quoted'", "1.7.10").status, InstanceCommandStatus::Done);
  EXPECT_TRUE(CInstanceList(settings_, false).Contains("'quoted'"));
  EXPECT_EQ(DeleteInstance(settings_, game_, "'quoted'").status, InstanceCommandStatus::Done);
  EXPECT_FALSE(PathExists(dir_ / "Instance/'quoted'"));
}

TEST_F(InstanceCommands, RenameFailsWhenTheFolderCannotMove) {
  AddInstance(settings_, game_, "a", "1");
  std::filesystem::remove(dir_ / "Instance/a");
  EXPECT_EQ(RenameInstance(settings_, game_, "a", "b").status, InstanceCommandStatus::FolderFailed);
  EXPECT_TRUE(CInstanceList(settings_, false).Contains("a"));

  AddInstance(settings_, game_, "c", "1");
  test::WriteFile(dir_ / "Instance/d/x", "someone else's folder");
  EXPECT_EQ(RenameInstance(settings_, game_, "c", "d").status, InstanceCommandStatus::FolderFailed);
  EXPECT_EQ(test::ReadFile(dir_ / "Instance/d/x"), "someone else's folder");
}

TEST_F(InstanceCommands, TextTheSettingsFileCannotHoldChangesNothing) {
  // A line break in the version would write a line of its own into the file; an emoji cannot
  // be written in the Windows code page and would come back as "?", its folder orphaned.
  EXPECT_EQ(AddInstance(settings_, game_, "X", "1.7.10\nInstanceName=evil").status, InstanceCommandStatus::InvalidVersion);
  const InstanceCommandResult emoji = AddInstance(settings_, game_, "游戏😀", "1.7.10");
  EXPECT_EQ(emoji.status, InstanceCommandStatus::InvalidName);
  EXPECT_EQ(emoji.problem, InstanceNameProblem::NotInSettingsFile);
  EXPECT_EQ(CInstanceList(settings_, false).Entries().size(), 0u);
  EXPECT_FALSE(PathExists(dir_ / "Instance"));
  ASSERT_EQ(AddInstance(settings_, game_, "游戏", "1.7.10").status, InstanceCommandStatus::Done);
  EXPECT_EQ(RenameInstance(settings_, game_, "游戏", "游戏😀").problem, InstanceNameProblem::NotInSettingsFile);
  EXPECT_TRUE(PathExists(dir_ / "Instance/游戏"));
}

// Limits the size of the files this process writes, so that a write of the settings file
// fails even for root, as on a full disk.
class FullDisk {
 public:
  explicit FullDisk(rlim_t bytes) {
    ::getrlimit(RLIMIT_FSIZE, &saved_);
    previous_ = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit = saved_;
    limit.rlim_cur = bytes;
    ::setrlimit(RLIMIT_FSIZE, &limit);
  }
  ~FullDisk() {
    ::setrlimit(RLIMIT_FSIZE, &saved_);
    std::signal(SIGXFSZ, previous_);
  }

 private:
  rlimit saved_{};
  void (*previous_)(int) = nullptr;
};

TEST_F(InstanceCommands, AFailedWriteIsReportedAndLeavesFoldersAsTheRegistrySaysThemToBe) {
  ASSERT_EQ(AddInstance(settings_, game_, "a", "1.7.10").status, InstanceCommandStatus::Done);
  test::WriteFile(dir_ / "Instance/a/saves/world.dat", "x");
  const std::string before = test::ReadFile(settings_);
  {
    FullDisk full(before.size());
    EXPECT_EQ(AddInstance(settings_, game_, "second", "1.7.10").status, InstanceCommandStatus::WriteFailed);
    EXPECT_EQ(RenameInstance(settings_, game_, "a", "a much longer name").status, InstanceCommandStatus::WriteFailed);
  }
  EXPECT_EQ(test::ReadFile(settings_), before);
  EXPECT_FALSE(PathExists(dir_ / "Instance/second"));
  EXPECT_FALSE(PathExists(dir_ / "Instance/a much longer name"));
  EXPECT_EQ(test::ReadFile(dir_ / "Instance/a/saves/world.dat"), "x");
}

TEST_F(InstanceCommands, BadNamesAreRefusedBeforeAnythingChanges) {
  for (const char* name : {"..", ".", "a/../../keep", "../keep", ""}) {
    EXPECT_EQ(AddInstance(settings_, game_, name, "1").status, InstanceCommandStatus::InvalidName) << name;
  }
  AddInstance(settings_, game_, "fine", "1");
  EXPECT_EQ(RenameInstance(settings_, game_, "fine", "../keep").status, InstanceCommandStatus::InvalidName);
  EXPECT_EQ(CInstanceList(settings_, false).Entries().size(), 1u);
}

TEST_F(InstanceCommands, HandEditedNamesCannotDeleteOutsideTheInstanceFolder) {
  for (const char* name : {"..", "../keep", "a/../../keep", "", ".", "../Instance"}) {
    RegisterByHand(name);
    InstanceCommandResult result = DeleteInstance(settings_, game_, name);
    EXPECT_EQ(result.status, InstanceCommandStatus::Done) << name;  // the entry goes
    EXPECT_FALSE(result.folderChanged) << name;                     // the folder stays
    EXPECT_EQ(test::ReadFile(dir_ / "keep/precious.txt"), "do not delete") << name;
  }
  EXPECT_TRUE(PathExists(dir_.Path()));
}

TEST_F(InstanceCommands, HandEditedNamesCannotRenameOutsideTheInstanceFolder) {
  RegisterByHand("../keep");
  EXPECT_EQ(RenameInstance(settings_, game_, "../keep", "stolen").status, InstanceCommandStatus::FolderFailed);
  EXPECT_TRUE(PathExists(dir_ / "keep/precious.txt"));
}

TEST_F(InstanceCommands, LinksInsideTheInstanceFolderAreNotFollowed) {
  std::filesystem::create_directories(dir_ / "Instance");
  std::filesystem::create_directory_symlink(dir_ / "keep", dir_ / "Instance/link");
  RegisterByHand("link/precious.txt");
  EXPECT_FALSE(DeleteInstance(settings_, game_, "link/precious.txt").folderChanged);
  RegisterByHand("link");
  EXPECT_TRUE(DeleteInstance(settings_, game_, "link").folderChanged);  // removes the link only
  EXPECT_EQ(test::ReadFile(dir_ / "keep/precious.txt"), "do not delete");
}

TEST(InstanceFolders, StrictlyInside) {
  EXPECT_TRUE(IsStrictlyInside("/g/.minecraft/../Instance/a/", "/g/.minecraft/../Instance/"));
  EXPECT_FALSE(IsStrictlyInside("/g/.minecraft/../Instance/", "/g/.minecraft/../Instance/"));
  EXPECT_FALSE(IsStrictlyInside("/g/.minecraft/../Instance/../", "/g/.minecraft/../Instance/"));
  EXPECT_FALSE(IsStrictlyInside("/g/.minecraft/../Instance/a/../../b", "/g/.minecraft/../Instance/"));
  EXPECT_FALSE(IsStrictlyInside("/g/Instances/a", "/g/Instance/"));
}

}  // namespace
}  // namespace kv
