#include "platform/java_choice.h"

#include <gtest/gtest.h>

#include "util/messages.h"

namespace kv {
namespace {

class ListedRuntimes : public JavaRuntimeSource {
 public:
  explicit ListedRuntimes(std::vector<JavaRuntime> runtimes) : runtimes_(std::move(runtimes)) {}
  std::vector<JavaRuntime> Runtimes() const override { return runtimes_; }

 private:
  std::vector<JavaRuntime> runtimes_;
};

const ListedRuntimes kMachine({{"/jvm/21/bin/java", "21.0.2"},
                               {"/jvm/8/bin/java", "1.8.0_392"},
                               {"/jvm/25/bin/java", "25"},
                               {"/jvm/17/bin/java", "17.0.15"},
                               {"/jvm/odd/bin/java", ""}});

TEST(JavaChoice, TheVersionsMajorThenTheLowestNewer) {
  JavaChoice choice = ChooseJava(17, "", kMachine);
  EXPECT_EQ(choice.path, "/jvm/17/bin/java");
  EXPECT_EQ(choice.reason, msg::JavaFoundExact(17, 0));
  choice = ChooseJava(18, "", kMachine);
  EXPECT_EQ(choice.path, "/jvm/21/bin/java");
  EXPECT_EQ(choice.reason, msg::JavaFoundNewer(18, 21, 0));
  choice = ChooseJava(22, "", kMachine);
  EXPECT_EQ(choice.path, "/jvm/25/bin/java");
  // A version that names no Java needs Java 8 itself.
  choice = ChooseJava(0, "", kMachine);
  EXPECT_EQ(choice.path, "/jvm/8/bin/java");
  EXPECT_EQ(choice.requiredMajor, 8);
  EXPECT_FALSE(choice.newerAllowed);
}

TEST(JavaChoice, ThePlayersJavaWhenItFits) {
  EXPECT_EQ(ChooseJava(17, "/jvm/21/bin/java", kMachine).path, "/jvm/21/bin/java");
  EXPECT_EQ(ChooseJava(17, "/jvm/21/bin/java", kMachine).reason, msg::JavaConfiguredFits(21, 17));
  // One that does not fit gives way, and the reason says so.
  JavaChoice choice = ChooseJava(0, "/jvm/21/bin/java", kMachine);
  EXPECT_EQ(choice.path, "/jvm/8/bin/java");
  EXPECT_EQ(choice.reason, msg::JavaFoundExact(8, 21));
  // One whose version cannot be read is the player's word.
  choice = ChooseJava(17, "/opt/my java/bin/java", kMachine);
  EXPECT_EQ(choice.path, "/opt/my java/bin/java");
  EXPECT_EQ(choice.reason, msg::JavaConfiguredOfUnknownVersion(17));
}

TEST(JavaChoice, NoneFits) {
  const ListedRuntimes newOnly(std::vector<JavaRuntime>{{"/jvm/21/bin/java", "21.0.2"}});
  JavaChoice choice = ChooseJava(0, "/jvm/21/bin/java", newOnly);
  EXPECT_EQ(choice.path, "");
  EXPECT_EQ(choice.reason, msg::JavaMissing(8, false));
  EXPECT_NE(choice.reason.find("Java 8"), std::string::npos);
  EXPECT_EQ(ChooseJava(25, "", newOnly).reason, msg::JavaMissing(25, true));
  EXPECT_EQ(ChooseJava(17, "", ListedRuntimes(std::vector<JavaRuntime>{})).path, "");
}

}  // namespace
}  // namespace kv
