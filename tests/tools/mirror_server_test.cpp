#include <gtest/gtest.h>

#include "tests/support/temp_folder.h"
#include "tools/mirror/byte_range.h"
#include "tools/mirror/mirror_options.h"
#include "tools/mirror/mirror_server.h"

namespace kv::mirror {
namespace {

using Kind = ByteRange::Kind;

TEST(ByteRange, SingleRangesAreServedAndEverythingElseIsTheWholeFile) {
  auto part = [](std::string_view header, std::uint64_t size) {
    ByteRange range = ParseByteRange(header, size);
    return std::make_tuple(range.kind, range.first, range.length);
  };
  EXPECT_EQ(part("bytes=900-", 1000), std::make_tuple(Kind::Part, 900u, 100u));
  EXPECT_EQ(part("bytes=0-0", 1000), std::make_tuple(Kind::Part, 0u, 1u));
  EXPECT_EQ(part("bytes=10-5000", 1000), std::make_tuple(Kind::Part, 10u, 990u));
  EXPECT_EQ(part("bytes=-10", 1000), std::make_tuple(Kind::Part, 990u, 10u));
  EXPECT_EQ(part("bytes=-5000", 1000), std::make_tuple(Kind::Part, 0u, 1000u));
  EXPECT_EQ(part("bytes=1000-", 1000), std::make_tuple(Kind::Unsatisfiable, 0u, 0u));
  EXPECT_EQ(part("bytes=0-", 0), std::make_tuple(Kind::Unsatisfiable, 0u, 0u));
  EXPECT_EQ(part("bytes=-0", 1000), std::make_tuple(Kind::Unsatisfiable, 0u, 0u));
  for (std::string_view ignored : {"", "bytes=1-2,5-6", "items=1-2", "bytes=5-1", "bytes=a-", "bytes=-", "bytes=1"}) {
    EXPECT_EQ(ParseByteRange(ignored, 1000).kind, Kind::Whole) << ignored;
  }
}

TEST(MirrorOptions, FaultsAndMistakes) {
  MirrorOptions options;
  EXPECT_FALSE(ParseMirrorOptions({"--root", "/srv", "--port", "8080", "--drop", "/a=b=100", "--stall", "*=7", "--status",
                                   "*=500,2", "--status", "/x=404", "--no-length", "*", "--empty-head", "/h", "--delay", "50",
                                   "--cut", "/c=10", "--extra", "*=150000000"},
                                  options));
  EXPECT_EQ(options.root, "/srv");
  EXPECT_EQ(options.port, 8080);
  ASSERT_EQ(options.drops.size(), 1u);
  EXPECT_EQ(options.drops[0].path, "/a=b");
  EXPECT_EQ(options.drops[0].afterBytes, 100u);
  ASSERT_EQ(options.stalls.size(), 1u);
  EXPECT_EQ(options.stalls[0].path, "*");
  EXPECT_EQ(options.stalls[0].afterBytes, 7u);
  ASSERT_EQ(options.statuses.size(), 2u);
  EXPECT_EQ(options.statuses[0].times, 2);
  EXPECT_EQ(options.statuses[1].times, -1);
  EXPECT_EQ(options.statuses[1].status, 404);
  EXPECT_EQ(options.delayMilliseconds, 50);
  EXPECT_EQ(options.emptyHeads, std::vector<std::string>{"/h"});
  ASSERT_EQ(options.cuts.size(), 1u);
  EXPECT_EQ(options.cuts[0].path, "/c");
  EXPECT_EQ(options.cuts[0].bytes, 10u);
  ASSERT_EQ(options.extras.size(), 1u);
  EXPECT_EQ(options.extras[0].bytes, 150000000u);

  for (std::vector<std::string> wrong : std::vector<std::vector<std::string>>{
           {}, {"--port", "1"}, {"--root"}, {"--root", "/r", "--port", "70000"}, {"--root", "/r", "--status", "/a=99"},
           {"--root", "/r", "--drop", "/a"}, {"--root", "/r", "--cut", "/a=-1"}, {"--root", "/r", "--status", "/a=404,x"},
           {"--root", "/r", "--what", "1"}}) {
    MirrorOptions ignored;
    EXPECT_TRUE(ParseMirrorOptions(wrong, ignored)) << wrong.size();
  }
}

TEST(MirrorServer, RequestPathsNeverLeaveTheRoot) {
  test::TempFolder root;
  test::WriteFile(root / "served/a.jar", "jar");
  test::WriteFile(root / "secret", "secret");
  std::string served = root / "served";
  EXPECT_EQ(ResolveServedFile(served, "/a.jar"), served + "/a.jar");
  EXPECT_EQ(ResolveServedFile(served, "//a.jar"), served + "/a.jar");
  for (const char* outside : {"/../secret", "/./a.jar", "/..", "a.jar", "/", "", "/x/../a.jar", "/..\\secret"}) {
    EXPECT_EQ(ResolveServedFile(served, outside), "") << outside;
  }
  EXPECT_EQ(ResolveServedFile(root.Path(), "/served"), "");  // a folder is not served
  // unless it holds its own document, as a list whose entries lie below its address.
  test::WriteFile(root / "served/list/.index", "[]");
  test::WriteFile(root / "served/list/1/entry", "{}");
  EXPECT_EQ(ResolveServedFile(served, "/list"), served + "/list/.index");
  EXPECT_EQ(ResolveServedFile(served, "/list/1/entry"), served + "/list/1/entry");
  EXPECT_EQ(ResolveServedFile(served, "/list/1"), "");
}

}  // namespace
}  // namespace kv::mirror
