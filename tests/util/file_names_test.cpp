#include "util/file_names.h"

#include <gtest/gtest.h>

namespace kv {
namespace {

TEST(FileNames, OnlyOneOrdinaryNameIsPlain) {
  for (const char* plain : {"jei-1.20.1.jar", "New Mod 2.jar", "Steve's Mod.jar", "模组.jar", "a"}) {
    EXPECT_TRUE(IsPlainFileName(plain)) << plain;
  }
  for (const char* refused : {"", ".", "..", "../x.jar", "mods/x.jar", "a\\b.jar", "/etc/passwd", ".hidden",
                              "x.jar ", " x.jar", "x.", "a:b", "a\"b", "a|b", "a?b", "a*b", "a<b", "a\nb",
                              "a\x7f"}) {
    EXPECT_FALSE(IsPlainFileName(refused)) << refused;
  }
  EXPECT_FALSE(IsPlainFileName(std::string_view("a\0b", 3)));
  EXPECT_FALSE(IsPlainFileName("\xff\xfe.jar"));
  EXPECT_TRUE(IsPlainFileName(std::string(255, 'a')));
  EXPECT_FALSE(IsPlainFileName(std::string(256, 'a')));
}

}  // namespace
}  // namespace kv
