#include "launch/game_output.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "tests/support/temp_folder.h"
#include "util/files.h"

namespace kv {
namespace {

TEST(GameOutputFile, TheLatestOutputIsKeptWithTheOneBefore) {
  test::TempFolder dir;
  const std::string folder = dir / "log/";
  {
    GameOutputFile first(folder);
    EXPECT_EQ(first.Path(), folder + "game-latest.log");
    first.Write("first game\n");
  }
  EXPECT_FALSE(PathExists(folder + "game-previous.log"));
  {
    GameOutputFile second(folder);
    second.Write("second ");
    second.Write(std::string("game\0\xff", 6));
    // Everything written is in the file while the game still runs.
    EXPECT_EQ(test::ReadFile(folder + "game-latest.log"), std::string("second game\0\xff", 13));
  }
  GameOutputFile third(folder);
  EXPECT_EQ(test::ReadFile(folder + "game-previous.log"), std::string("second game\0\xff", 13));
  EXPECT_EQ(test::ReadFile(folder + "game-latest.log"), "");

  // A link that could not be moved aside is replaced, never written through.
  test::WriteFile(dir / "precious.txt", "keep me");
  std::filesystem::remove(folder + "game-previous.log");
  std::filesystem::create_directory(folder + "game-previous.log");
  std::filesystem::remove(folder + "game-latest.log");
  std::filesystem::create_symlink(dir / "precious.txt", folder + "game-latest.log");
  GameOutputFile fourth(folder);
  fourth.Write("fourth game");
  EXPECT_EQ(test::ReadFile(dir / "precious.txt"), "keep me");
  EXPECT_EQ(test::ReadFile(folder + "game-latest.log"), "fourth game");

  // A log folder that cannot be made: the game goes on without the file.
  test::WriteFile(dir / "blocked", "a file where the folder belongs");
  GameOutputFile nowhere(dir / "blocked/");
  EXPECT_EQ(nowhere.Path(), "");
  nowhere.Write("dropped");
}

TEST(OutputTail, KeepsTheLastLinesCutToTheirLength) {
  OutputTail tail(3, 8);
  tail.Add("one\r\ntwo\nthr");
  tail.Add("ee\n\tat Main.main\nfünf und zwanzig\n\n");
  EXPECT_EQ(tail.Text(), "three\n    at Main…\nfünf und…");
  tail.Add("unfinished");
  EXPECT_EQ(tail.Text(), "fünf und…\n\nunfinish…");

  OutputTail quiet(3, 8);
  EXPECT_EQ(quiet.Text(), "");
  quiet.Add("\n\n");
  EXPECT_EQ(quiet.Text(), "");
}

}  // namespace
}  // namespace kv
