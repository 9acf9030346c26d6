#include "net/size_text.h"

#include <gtest/gtest.h>

namespace kv {
namespace {

TEST(SizeText, ThresholdsOfTheThreeUnits) {
  EXPECT_EQ(FileSizeText(0), "文件大小:0B");
  EXPECT_EQ(FileSizeText(1023), "文件大小:1023B");
  EXPECT_EQ(FileSizeText(1024), "文件大小:1.00KB");
  EXPECT_EQ(FileSizeText(1048576), "文件大小:1024.00KB");
  EXPECT_EQ(FileSizeText(1048577), "文件大小:1.00MB");
  EXPECT_EQ(FileSizeText(52428800), "文件大小:50.00MB");
  EXPECT_EQ(FileSizeText(-1), "文件大小:-1B");
  EXPECT_EQ(SizeText(1536), "1.50KB");
}

TEST(SizeText, SpeedsReadInKilobytesAndMegabytesASecond) {
  EXPECT_EQ(SpeedText(0), "下载速度:0.00KB/s");
  EXPECT_EQ(SpeedText(512), "下载速度:0.50KB/s");
  EXPECT_EQ(SpeedText(1536), "下载速度:1.50KB/s");
  EXPECT_EQ(SpeedText(1048576), "下载速度:1024.00KB/s");
  EXPECT_EQ(SpeedText(1048577), "下载速度:1.00MB/s");
  EXPECT_EQ(SpeedText(5000000000LL), "下载速度:4768.37MB/s");
}

}  // namespace
}  // namespace kv
