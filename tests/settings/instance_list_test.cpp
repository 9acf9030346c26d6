#include "settings/instance_list.h"

#include <gtest/gtest.h>


#include "platform/profile_store.h"
#include "tests/support/temp_folder.h"

namespace kv {
namespace {

class InstanceRegistry : public ::testing::Test {
 protected:
  void WriteRegistry(int count, int sections) {
    std::string text = "[KvInstance]\nInstanceNum=" + std::to_string(count) + "\n";
    for (int n = 1; n <= sections; ++n) {
      text += "[KvInstance" + std::to_string(n) + "]\nInstanceName=i" + std::to_string(n) +
              "\nInstanceVersion=v" + std::to_string(n) + "\n";
    }
    test::WriteFile(file_, text);
  }
  bool HasSection(int n) {
    return profile::GetString(file_, "KvInstance" + std::to_string(n), "InstanceName", "<none>") != "<none>";
  }
  int StoredCount() { return profile::GetInt(file_, "KvInstance", "InstanceNum", -1); }

  test::TempFolder dir_;
  std::string file_ = dir_ / "KvCfg.ini";
};

TEST_F(InstanceRegistry, CountDecidesWhatLoads) {
  WriteRegistry(3, 2);
  CInstanceList list(file_, false);
  ASSERT_EQ(list.Entries().size(), 3u);
  EXPECT_EQ(list.Entries()[2].name, "");
  EXPECT_EQ(list.Entries()[2].version, "");
  EXPECT_EQ(list.Count(), 3);
}

TEST_F(InstanceRegistry, AnAbsurdCountDoesNotHangTheLoad) {
  // A count edited by hand (or a damaged file) must not make every start-up read the file
  // billions of times.
  WriteRegistry(2147483647, 2);
  CInstanceList list(file_, false);
  ASSERT_EQ(list.Entries().size(), kMaxInstances);
  EXPECT_EQ(list.Entries()[1].name, "i2");
  EXPECT_EQ(list.Entries()[2].name, "");
  EXPECT_EQ(list.Count(), 2147483647);
}

TEST_F(InstanceRegistry, RemovingTheMiddleOneDeletesTheStaleSection) {
  WriteRegistry(3, 3);
  CInstanceList list(file_, false);
  ASSERT_TRUE(list.Remove("i2"));
  EXPECT_EQ(StoredCount(), 2);
  EXPECT_EQ(profile::GetString(file_, "KvInstance2", "InstanceName", ""), "i3");
  EXPECT_EQ(profile::GetString(file_, "KvInstance2", "InstanceVersion", ""), "v3");
  EXPECT_FALSE(HasSection(3));
  EXPECT_FALSE(list.Remove("i2"));
}

TEST_F(InstanceRegistry, RemovingTheOnlyOne) {
  WriteRegistry(1, 1);
  CInstanceList list(file_, false);
  ASSERT_TRUE(list.Remove("i1"));
  EXPECT_EQ(StoredCount(), 0);
  EXPECT_FALSE(HasSection(1));
}

TEST_F(InstanceRegistry, SaveLeavesSectionsAboveTheSizeAlone) {
  WriteRegistry(2, 4);
  {
    CInstanceList list(file_, false);
    list.Add({"new", "1.12.2"});
    list.Save();
  }
  EXPECT_EQ(StoredCount(), 3);
  EXPECT_EQ(profile::GetString(file_, "KvInstance3", "InstanceName", ""), "new");
  EXPECT_EQ(profile::GetString(file_, "KvInstance4", "InstanceName", ""), "i4");
  CInstanceList list(file_, false);
  EXPECT_EQ(list.Entries().size(), 3u);
}

TEST_F(InstanceRegistry, ExactNamesAndUnknownNames) {
  WriteRegistry(2, 2);
  CInstanceList list(file_, false);
  EXPECT_TRUE(list.Contains("i1"));
  EXPECT_FALSE(list.Contains("I1"));
  EXPECT_EQ(list.IndexOf("i2"), 1);
  EXPECT_EQ(list.IndexOf("x"), -1);
  EXPECT_EQ(list.GetVersion("i2"), "v2");
  EXPECT_EQ(list.GetVersion("x"), "");
}

TEST_F(InstanceRegistry, RenameKeepsThePositionAndSaves) {
  WriteRegistry(2, 2);
  CInstanceList list(file_, false);
  EXPECT_TRUE(list.Rename("i1", "新名字"));
  EXPECT_EQ(profile::GetString(file_, "KvInstance1", "InstanceName", ""), "新名字");
  EXPECT_EQ(profile::GetString(file_, "KvInstance1", "InstanceVersion", ""), "v1");
  EXPECT_FALSE(list.Rename("nobody", "x"));
}

TEST_F(InstanceRegistry, TheLastGameTimeStaysWithItsInstanceThroughRemovalsAndRenames) {
  WriteRegistry(3, 3);
  const auto at = [](std::int64_t seconds) { return std::chrono::system_clock::time_point(std::chrono::seconds(seconds)); };
  {
    CInstanceList list(file_, false);
    ASSERT_TRUE(list.SetLastPlayed("i2", at(1700000002)));
    ASSERT_TRUE(list.SetLastPlayed("i3", at(1700000003)));
    EXPECT_FALSE(list.SetLastPlayed("nobody", at(1)));
  }
  EXPECT_EQ(profile::GetString(file_, "KvInstance2", "LastPlayed", ""), "1700000002");
  {
    CInstanceList list(file_, false);
    ASSERT_TRUE(list.Remove("i1"));
    ASSERT_TRUE(list.Rename("i3", "三"));
  }
  // i2 and i3 moved up a section each, with their times.
  CInstanceList list(file_, false);
  ASSERT_EQ(list.Entries().size(), 2u);
  EXPECT_EQ(list.Entries()[0].lastPlayed, 1700000002);
  EXPECT_EQ(list.Entries()[1].name, "三");
  EXPECT_EQ(list.Entries()[1].lastPlayed, 1700000003);
  EXPECT_FALSE(HasSection(3));
}

TEST_F(InstanceRegistry, ALastGameTimeThatIsNotANumberReadsAsNeverPlayed) {
  WriteRegistry(2, 2);
  ASSERT_TRUE(profile::WriteString(file_, "KvInstance1", "LastPlayed", "昨天"));
  ASSERT_TRUE(profile::WriteString(file_, "KvInstance2", "LastPlayed", "99999999999999999999999"));
  CInstanceList list(file_, false);
  EXPECT_FALSE(list.Entries()[0].lastPlayed.has_value());
  EXPECT_FALSE(list.Entries()[1].lastPlayed.has_value());
}

TEST_F(InstanceRegistry, SaveOnDestroy) {
  {
    CInstanceList list(file_, true);
    list.Add({"a", "1.7.10"});
  }
  {
    CInstanceList list(file_, false);
    list.Add({"b", "1.12.2"});
  }
  CInstanceList list(file_, false);
  ASSERT_EQ(list.Entries().size(), 1u);
  EXPECT_EQ(list.Entries()[0].name, "a");
}

}  // namespace
}  // namespace kv
