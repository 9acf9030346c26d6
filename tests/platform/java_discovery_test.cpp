#include "platform/java_discovery.h"

#include <gtest/gtest.h>

#include <map>

namespace kv {
namespace {

UninstallEntry Oracle(const std::string& icon, const std::string& version,
                      const std::string& name = "Java 8 Update 51") {
  return {icon, name, version, "C:\\Program Files\\Java\\", "Oracle Corporation"};
}

// A registry with entries per view; a view that is absent cannot be opened.
UninstallEnumerator Registry(std::map<RegistryView, std::vector<UninstallEntry>> views,
                             std::vector<RegistryView>* asked = nullptr) {
  return [views, asked](RegistryView view, std::vector<UninstallEntry>& out) {
    if (asked) asked->push_back(view);
    auto found = views.find(view);
    if (found == views.end()) return false;
    out.insert(out.end(), found->second.begin(), found->second.end());
    return true;
  };
}

TEST(JavaDiscovery, RuntimeEntryRules) {
  EXPECT_TRUE(IsJavaRuntimeEntry(Oracle("C:\\java.exe", "8.0.510")));
  EXPECT_FALSE(IsJavaRuntimeEntry(Oracle("C:\\java.exe", "")));
  EXPECT_FALSE(IsJavaRuntimeEntry(Oracle("", "8.0.510")));
  EXPECT_FALSE(IsJavaRuntimeEntry(Oracle("C:\\java.exe", "8", "JAVA 8")));
  UninstallEntry other = Oracle("C:\\java.exe", "8");
  other.publisher = "oracle";
  EXPECT_FALSE(IsJavaRuntimeEntry(other));
}

TEST(JavaDiscovery, Normalisation) {
  EXPECT_EQ(NormaliseJavaPath("C:\\\\Program Files\\\\\\\\Java\\javaws.exe"),
            "C:\\Program Files\\Java\\java.exe");
  EXPECT_EQ(NormaliseJavaPath("C:\\Java\\bin\\java.exe"), "C:\\Java\\bin\\java.exe");
  EXPECT_EQ(NormaliseJavaPath("C:\\Java\\bin\\javaws.exe,0"), "C:\\Java\\bin\\java.exe,0");
}

TEST(JavaDiscovery, The64BitViewWinsOnA64BitSystem) {
  std::vector<RegistryView> asked;
  UninstallJavaSource source(Registry({{RegistryView::Bits32, {Oracle("C:\\x86\\javaws.exe", "7")}},
                                       {RegistryView::Bits64, {Oracle("C:\\x64\\javaws.exe", "8")}}},
                                      &asked),
                             64);
  std::string path = "untouched";
  std::string version;
  ASSERT_TRUE(FindDefaultJava(source, path, version));
  EXPECT_EQ(path, "C:\\x64\\javaws.exe");  // raw: the caller normalises
  EXPECT_EQ(version, "8");
  EXPECT_EQ(asked, (std::vector<RegistryView>{RegistryView::Bits64, RegistryView::Bits32}));

  std::vector<JavaRuntime> all = {{"stale", "0"}};
  ListJavaRuntimes(source, all);
  ASSERT_EQ(all.size(), 2u);
  EXPECT_EQ(all[0].path, "C:\\x64\\java.exe");
  EXPECT_EQ(all[1].path, "C:\\x86\\java.exe");
}

TEST(JavaDiscovery, A32BitSystemReadsOneViewAndAMissingViewIsSkipped) {
  std::vector<RegistryView> asked;
  UninstallJavaSource source(Registry({{RegistryView::Bits32, {Oracle("C:\\j.exe", "7")}}}, &asked), 32);
  std::vector<JavaRuntime> all;
  ListJavaRuntimes(source, all);
  EXPECT_EQ(all.size(), 1u);
  EXPECT_EQ(asked, std::vector<RegistryView>{RegistryView::Bits32});

  UninstallJavaSource only32(Registry({{RegistryView::Bits32, {Oracle("C:\\j.exe", "7")}}}), 64);
  ListJavaRuntimes(only32, all);
  EXPECT_EQ(all.size(), 1u);
}

TEST(JavaDiscovery, NothingFoundLeavesTheOutputsAlone) {
  UninstallJavaSource source(Registry({{RegistryView::Bits32, {Oracle("C:\\j.exe", "")}}}), 32);
  std::string path = "keep";
  std::string version = "keep";
  EXPECT_FALSE(FindDefaultJava(source, path, version));
  EXPECT_EQ(path, "keep");
  EXPECT_EQ(version, "keep");
  // Duplicates across views stay in the list.
  UninstallJavaSource twice(Registry({{RegistryView::Bits32, {Oracle("C:\\j.exe", "7")}},
                                      {RegistryView::Bits64, {Oracle("C:\\j.exe", "7")}}}),
                            64);
  std::vector<JavaRuntime> all;
  ListJavaRuntimes(twice, all);
  EXPECT_EQ(all.size(), 2u);
}

}  // namespace
}  // namespace kv
