#include "game/library_paths.h"

#include <gtest/gtest.h>

#include "game/game_layout.h"

namespace kv {
namespace {

const PlatformProfile& kWindows = PlatformProfile::Windows();
const PlatformProfile& kLinux = PlatformProfile::Linux();

LibraryEntry Library(std::string name, std::vector<LibraryRule> rules = {}) {
  LibraryEntry library;
  library.name = std::move(name);
  library.rules = std::move(rules);
  return library;
}

TEST(LibraryCoordinate, SplitsAtTheFirstTwoColons) {
  LibraryCoordinate c = SplitLibraryCoordinate("org.lwjgl.lwjgl:lwjgl-platform:2.9.1");
  EXPECT_EQ(c.group, "org/lwjgl/lwjgl");
  EXPECT_EQ(c.artifact, "lwjgl-platform");
  EXPECT_EQ(c.version, "2.9.1");
  EXPECT_EQ(SplitLibraryCoordinate("a.b:c:1:x").version, "1:x");
  c = SplitLibraryCoordinate("a.b.c");
  EXPECT_EQ(c.group, "a/b/c");
  EXPECT_EQ(c.artifact, "");
  EXPECT_EQ(c.version, "");
  c = SplitLibraryCoordinate("a:b");
  EXPECT_EQ(c.artifact, "b");
  EXPECT_EQ(c.version, "");
  EXPECT_EQ(LibraryRelativePath("nocolon", "", kWindows, 64), "nocolon///-.jar");
}

TEST(LibraryPaths, PlainAndNativeJarsUnderBothProfiles) {
  const char* name = "org.lwjgl.lwjgl:lwjgl-platform:2.9.1";
  const std::string folder = "org/lwjgl/lwjgl/lwjgl-platform/2.9.1/";
  EXPECT_EQ(LibraryRelativePath(name, "", kWindows, 64), folder + "lwjgl-platform-2.9.1.jar");
  EXPECT_EQ(LibraryRelativePath(name, "natives-windows", kWindows, 64),
            folder + "lwjgl-platform-2.9.1-natives-windows.jar");
  EXPECT_EQ(LibraryRelativePath(name, "natives-linux", kLinux, 64),
            folder + "lwjgl-platform-2.9.1-natives-linux.jar");
  // With ${arch} the bitness decides, whatever else the natives text says.
  EXPECT_EQ(LibraryRelativePath(name, "natives-windows-${arch}", kWindows, 64),
            folder + "lwjgl-platform-2.9.1-natives-windows-64.jar");
  EXPECT_EQ(LibraryRelativePath(name, "anything ${arch} else", kWindows, 32),
            folder + "lwjgl-platform-2.9.1-natives-windows-32.jar");
  EXPECT_EQ(LibraryRelativePath(name, "x-${arch}", kLinux, 32),
            folder + "lwjgl-platform-2.9.1-natives-linux-32.jar");
  EXPECT_EQ(LibraryRelativePath(name, "natives-windows-${ARCH}", kWindows, 32),
            folder + "lwjgl-platform-2.9.1-natives-windows.jar");
}

TEST(LibraryPaths, LocalPathAndNativesFolderJoinAsWritten) {
  EXPECT_EQ(LibraryLocalPath("C:\\game\\.minecraft\\", "a.b:c:1", "", kWindows, 64),
            "C:\\game\\.minecraft\\/libraries/a/b/c/1/c-1.jar");
  EXPECT_EQ(NativesFolder(LibraryLocalPath("C:\\game\\.minecraft\\", "a.b:c:1", "natives-windows", kWindows, 64)),
            "C:\\game\\.minecraft\\/libraries/a/b/c/1/");
  EXPECT_EQ(NativesFolder(LibraryLocalPath("/home/p/.minecraft/", "a.b:c:1", "natives-linux", kLinux, 64)),
            "/home/p/.minecraft//libraries/a/b/c/1/");
}

TEST(LibraryPaths, TheProfileChoosesTheNativesText) {
  LibraryEntry onlyOsx = Library("a:b:1");
  onlyOsx.nativesOsx = "natives-osx";
  EXPECT_FALSE(IsNativeLibrary(onlyOsx, kWindows));
  EXPECT_FALSE(IsNativeLibrary(onlyOsx, kLinux));
  EXPECT_EQ(LibraryRelativePath(onlyOsx, kWindows, 64), "a/b/1/b-1.jar");

  LibraryEntry windowsOnly = Library("a:b:1");
  windowsOnly.nativesWindows = "natives-windows-${arch}";
  EXPECT_TRUE(IsNativeLibrary(windowsOnly, kWindows));
  EXPECT_FALSE(IsNativeLibrary(windowsOnly, kLinux));
  EXPECT_EQ(LibraryRelativePath(windowsOnly, kWindows, 32), "a/b/1/b-1-natives-windows-32.jar");
  EXPECT_EQ(LibraryRelativePath(windowsOnly, kLinux, 32), "a/b/1/b-1.jar");

  LibraryEntry both = windowsOnly;
  both.nativesLinux = "natives-linux";
  EXPECT_EQ(LibraryLocalPath("/g/", both, kLinux, 64), "/g//libraries/a/b/1/b-1-natives-linux.jar");
}

TEST(PathSafety, CoordinatesThatWouldLeaveTheLibraries) {
  for (const char* good : {"org.lwjgl.lwjgl:lwjgl:2.9.1", "a.b:c:1:x", "a:b:1.0-SNAPSHOT", "", "a",
                           "a..b:c:1", "a:b..c:1", "a:b:1..2"}) {
    EXPECT_TRUE(IsSafeLibraryCoordinate(good)) << good;
  }
  // A group that begins with "." would begin the path with "/" once its dots are slashes.
  for (const char* bad : {"..:b:1", ".a:b:1", "a:..:1", "a:b:..", "a:b:1/../../../x", "a:b/../..:1", "/etc:b:1",
                          "a:/etc/passwd:1", "a:b:/1", "a:b:1\\..\\..", "a\\b:c:1", "a:b:1\n",
                          "a:b:1/..", "a:b:../1"}) {
    EXPECT_FALSE(IsSafeLibraryCoordinate(bad)) << bad;
  }
}

TEST(ModernLibraries, PathsFromTheDescriptionOrTheMavenName) {
  EXPECT_EQ(MavenPath("org.lwjgl:lwjgl:3.3.1:natives-linux"), "org/lwjgl/lwjgl/3.3.1/lwjgl-3.3.1-natives-linux.jar");
  EXPECT_EQ(MavenPath("net.fabricmc:intermediary:1.19.4"), "net/fabricmc/intermediary/1.19.4/intermediary-1.19.4.jar");
  EXPECT_EQ(MavenPath("de.oceanlabs.mcp:mcp_config:1.18.2@zip"), "de/oceanlabs/mcp/mcp_config/1.18.2/mcp_config-1.18.2.zip");
  EXPECT_EQ(MavenPath("a:b:1:natives@tar.gz"), "a/b/1/b-1-natives.tar.gz");

  // A published artifact with a path: that path.
  LibraryEntry published = Library("cpw.mods:securejarhandler:1.0.8");
  published.artifact = RemoteFile{"cpw/mods/securejarhandler/1.0.8/securejarhandler-1.0.8.jar", "https://x/s.jar", "", 1};
  EXPECT_EQ(LibraryRelativePath(published, kLinux, 64), published.artifact->path);
  // Without a path, the Maven name (a classifier in the fourth part).
  LibraryEntry natives = Library("org.lwjgl:lwjgl:3.3.1:natives-windows-x86");
  natives.artifact = RemoteFile{"", "https://libraries.minecraft.net/x.jar", "3b14f4beae9dd39791ec9e12190a9380cd8a3ce6", 134695};
  EXPECT_EQ(LibraryRelativePath(natives, kWindows, 64), "org/lwjgl/lwjgl/3.3.1/lwjgl-3.3.1-natives-windows-x86.jar");
  EXPECT_EQ(LibraryRemoteFile(natives, kWindows, 64), &*natives.artifact);
  EXPECT_EQ(LibraryLocalPath("/g/", natives, kLinux, 64), "/g//libraries/org/lwjgl/lwjgl/3.3.1/lwjgl-3.3.1-natives-windows-x86.jar");
  // A loader's library with a repository only.
  LibraryEntry fabric = Library("net.fabricmc:sponge-mixin:0.12.5+mixin.0.8.5");
  fabric.repository = "https://maven.fabricmc.net/";
  EXPECT_EQ(LibraryRelativePath(fabric, kLinux, 64),
            "net/fabricmc/sponge-mixin/0.12.5+mixin.0.8.5/sponge-mixin-0.12.5+mixin.0.8.5.jar");
  EXPECT_EQ(LibraryRemoteFile(fabric, kLinux, 64), nullptr);
  // The older form keeps its rule: everything after the second ":" is the version.
  EXPECT_EQ(LibraryRelativePath(Library("a.b:c:1:x"), kWindows, 64), "a/b/c/1:x/c-1:x.jar");
}

TEST(ModernLibraries, NativesByTheirClassifier) {
  LibraryEntry lwjgl = Library("org.lwjgl:lwjgl:3.2.2");
  lwjgl.nativesLinux = "natives-linux";
  lwjgl.nativesWindows = "natives-windows-${arch}";
  lwjgl.artifact = RemoteFile{"", "https://x/lwjgl.jar", "a", 1};
  lwjgl.classifiers = {{"natives-linux", RemoteFile{"", "https://x/linux.jar", "b", 2}},
                       {"natives-windows-32", RemoteFile{"", "https://x/w32.jar", "c", 3}}};
  EXPECT_EQ(LibraryRemoteFile(lwjgl, kLinux, 64)->url, "https://x/linux.jar");
  EXPECT_EQ(LibraryRemoteFile(lwjgl, kWindows, 32)->url, "https://x/w32.jar");
  EXPECT_EQ(LibraryRemoteFile(lwjgl, kWindows, 64), nullptr);
  EXPECT_EQ(LibraryRelativePath(lwjgl, kLinux, 64), "org/lwjgl/lwjgl/3.2.2/lwjgl-3.2.2-natives-linux.jar");
}

TEST(PathSafety, PathsTheDescriptionGives) {
  for (const char* good : {"a/b/c.jar", "org/x-1.0.jar", "a..b/c"}) EXPECT_TRUE(IsSafeRelativePath(good)) << good;
  for (const char* bad : {"", "/etc/passwd", "../x.jar", "a/../../x", "a/./b", "C:x", "a\\b", "a\nb", "a/..", "a:b"}) {
    EXPECT_FALSE(IsSafeRelativePath(bad)) << bad;
  }
  LibraryEntry library = Library("a:b:1");
  library.artifact = RemoteFile{"../../../../etc/cron.d/x", "", "", -1};
  EXPECT_FALSE(IsSafeLibrary(library));
  library.artifact->path = "a/b/1/b-1.jar";
  EXPECT_TRUE(IsSafeLibrary(library));
}

TEST(PathSafety, VersionIds) {
  for (const char* good : {"1.7.10", "1.12.2", "18w10d", "1.7.10-Forge10.13.4.1614", "a..b"}) {
    EXPECT_TRUE(IsSafeVersionId(good)) << good;
  }
  for (const char* bad : {"", ".", "..", "../1.7.10", "a/b", "a\\b", "..\\x", "1.7\t", "/abs", "C:x", "1:2", "a;b"}) {
    EXPECT_FALSE(IsSafeVersionId(bad)) << bad;
  }
}

TEST(GameLayout, PathsUnderBothProfiles) {
  const std::string win = "C:\\game\\.minecraft\\";
  EXPECT_EQ(VersionJsonPath(win, "1.7.10"), win + "/versions/1.7.10/1.7.10.json");
  EXPECT_EQ(VersionJarPath(win, "1.7.10"), win + "/versions/1.7.10/1.7.10.jar");
  EXPECT_EQ(VersionJarCommandPath(win, "1.7.10", kWindows), win + "\\versions\\1.7.10\\1.7.10.jar");
  EXPECT_EQ(VersionJarCommandPath("/g/", "1.7.10", kLinux), "/g//versions/1.7.10/1.7.10.jar");
  EXPECT_EQ(AssetRootArgument(win, kWindows), win + "\\assets");
  EXPECT_EQ(AssetRootArgument("/g/", kLinux), "/g//assets");
  EXPECT_EQ(LegacyAssetFolder(win), win + "/assets/virtual/legacy/");
  EXPECT_EQ(LegacyAssetArgument("/g/"), "/g//assets/virtual/legacy");
  EXPECT_EQ(GameDirectoryArgument(win, "我的 世界"), win + "/../Instance/我的 世界");
}

TEST(GameLayout, LegacyAssetsByPlainSubstring) {
  for (const char* legacy : {"1.6.4", "1.6", "11.6", "1.7.2", "1.7.2-pre", "x1.6y"}) {
    EXPECT_TRUE(UsesLegacyAssets(legacy)) << legacy;
  }
  for (const char* modern : {"1.7.10", "1.7.1", "1.12.2", "1.5.2", "", "1.7"}) {
    EXPECT_FALSE(UsesLegacyAssets(modern)) << modern;
  }
}

}  // namespace
}  // namespace kv
