#include "settings/instance_name.h"

#include <gtest/gtest.h>

namespace kv {
namespace {

TEST(InstanceName, AcceptsOrdinaryNames) {
  for (const char* name : {"生存", "Forge 模组", "1.7.10", "a.b", "x-y_z (2)", ".hidden", "CONSOLE", "com10"}) {
    EXPECT_EQ(CheckInstanceName(name), InstanceNameProblem::None) << name;
  }
  EXPECT_EQ(CheckInstanceName(std::string(50, 'a')), InstanceNameProblem::None);
  std::string fiftyChinese;
  for (int i = 0; i < 50; ++i) fiftyChinese += "汉";
  EXPECT_EQ(CheckInstanceName(fiftyChinese), InstanceNameProblem::None);
}

TEST(InstanceName, RefusesNamesThatCouldLeaveTheInstanceFolder) {
  EXPECT_EQ(CheckInstanceName(""), InstanceNameProblem::Empty);
  EXPECT_EQ(CheckInstanceName("."), InstanceNameProblem::DotName);
  EXPECT_EQ(CheckInstanceName(".."), InstanceNameProblem::DotName);
  EXPECT_EQ(CheckInstanceName("a/../../x"), InstanceNameProblem::Separator);
  EXPECT_EQ(CheckInstanceName("..\\x"), InstanceNameProblem::Separator);
  EXPECT_EQ(CheckInstanceName(std::string("a\0b", 3)), InstanceNameProblem::ControlCharacter);
  EXPECT_EQ(CheckInstanceName("a\nb"), InstanceNameProblem::ControlCharacter);
  EXPECT_EQ(CheckInstanceName(std::string(51, 'a')), InstanceNameProblem::TooLong);
  EXPECT_EQ(CheckInstanceName("\xFF\xFE"), InstanceNameProblem::InvalidText);
}

TEST(InstanceName, RefusesWhatWindowsCannotHoldInAFolderName) {
  for (const char* name : {"a<b", "a>b", "C:x", "a\"b", "a|b", "what?", "*"}) {
    EXPECT_EQ(CheckInstanceName(name), InstanceNameProblem::ForbiddenCharacter) << name;
  }
  EXPECT_EQ(CheckInstanceName("name."), InstanceNameProblem::TrailingDotOrBlank);
  EXPECT_EQ(CheckInstanceName("name "), InstanceNameProblem::TrailingDotOrBlank);
  for (const char* name : {"CON", "nul", "Com1", "LPT9.txt", "aux.tar.gz"}) {
    EXPECT_EQ(CheckInstanceName(name), InstanceNameProblem::ReservedName) << name;
  }
  EXPECT_FALSE(DescribeInstanceNameProblem(InstanceNameProblem::ForbiddenCharacter).empty());
}

}  // namespace
}  // namespace kv
