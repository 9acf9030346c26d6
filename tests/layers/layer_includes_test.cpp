#include <gtest/gtest.h>

#include "tests/layers/layer_rules.h"
#include "tests/support/temp_folder.h"

namespace kv::test {
namespace {

LayerRules Rules(const std::string& text) {
  LayerRules rules;
  std::string error;
  EXPECT_TRUE(rules.Parse(text, error)) << error;
  return rules;
}

std::string Joined(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\n";
  return text;
}

TEST(LayerIncludes, TheTreeKeepsItsLayers) {
  const std::string root = KORVANE_SOURCE_DIR;
  LayerRules rules;
  std::string error;
  ASSERT_TRUE(rules.Parse(ReadFile(root + "/docs/layers.txt"), error)) << error;
  EXPECT_EQ(Joined(rules.FoldersInCycles()), "");
  EXPECT_EQ(Joined(rules.Check(root)), "");
}

class PlantedTree : public ::testing::Test {
 protected:
  std::vector<std::string> Check() {
    return Rules("# bottom up\nutil:\nplatform: util\nsettings: platform\ntests/e2e: settings\n").Check(tree_.Path());
  }
  TempFolder tree_;
};

TEST_F(PlantedTree, IncludesDownwardsAndThroughEdgesPass) {
  WriteFile(tree_ / "util/text.h", "#pragma once\n");
  WriteFile(tree_ / "settings/a.cpp", "#include \"settings/a.h\"\n#include \"util/text.h\"\n#include <vector>\n");
  WriteFile(tree_ / "tests/settings/a_test.cpp",
            "#include \"settings/a.h\"\n#include \"tests/support/temp_folder.h\"\n#include \"tests/util/helper.h\"\n");
  WriteFile(tree_ / "tests/e2e/run_test.cpp", "#include \"tests/platform/x.h\"\n");
  WriteFile(tree_ / "build/generated.cpp", "#include \"nowhere/x.h\"\n");
  EXPECT_EQ(Joined(Check()), "");
}

TEST_F(PlantedTree, UpwardAndUnknownIncludesFail) {
  WriteFile(tree_ / "util/text.cpp", "#include \"util/text.h\"\n\n  #  include \"platform/profile.h\"\n");
  WriteFile(tree_ / "platform/p.cpp", "#include \"tests/support/temp_folder.h\"\n#include \"gui/window.h\"\n");
  WriteFile(tree_ / "tests/util/t.cpp", "#include \"tests/settings/helper.h\"\n");
  WriteFile(tree_ / "mods/m.cpp", "#include \"util/text.h\"\n");
  EXPECT_EQ(Joined(Check()),
            "mods/m.cpp: in a folder that docs/layers.txt does not name\n"
            "platform/p.cpp:1: includes tests/support/temp_folder.h from a test helper in a source file\n"
            "platform/p.cpp:2: includes gui/window.h from a folder that docs/layers.txt does not name\n"
            "tests/util/t.cpp:1: includes tests/settings/helper.h from the test helpers of settings, which util "
            "does not depend on\n"
            "util/text.cpp:3: includes platform/profile.h from platform, which util does not depend on\n");
}

TEST(LayerRulesFile, AnEdgeUpwardsMakesACycle) {
  EXPECT_EQ(Joined(Rules("util: settings\nplatform: util\nsettings: platform\nmeta: util\n").FoldersInCycles()),
            "platform\nsettings\nutil\n");
  LayerRules rules;
  std::string error;
  EXPECT_FALSE(rules.Parse("util:\nplatform util\n", error));
  EXPECT_EQ(error, "line 2 has no colon: platform util");
  EXPECT_FALSE(LayerRules().Parse("util:\nutil: platform\n", error));
}

}  // namespace
}  // namespace kv::test
