// Today's versions as the publisher serves them, prepared and launched through korvane-cli: a
// local korvane-mirror serves a tree of the publisher's hosts (KORVANE_OFFICIAL_ROOT), built
// here from the real descriptions of 1.18.2, 1.19.4 and Forge 1.18.2. Every file is a stand-in
// whose checksum and size the descriptions are rewritten to; the client is a game compiled here
// under the game's own main class, and the real java runs it.
#include <gtest/gtest.h>
#include <json/json.h>

#include <algorithm>
#include <fstream>
#include <map>

#include "platform/profile_store.h"
#include "settings/instance_commands.h"
#include "tests/loader/loader_publisher.h"
#include "tests/net/mirror_process.h"
#include "tests/net/net_test_support.h"
#include "tests/net/zip_maker.h"
#include "tests/support/fixtures.h"
#include "tests/support/java_tools.h"
#include "tests/support/run_command.h"
#include "tests/support/temp_folder.h"
#include "util/files.h"

namespace kv {
namespace {

using test::ParseJson;
using test::WriteJson;

// The publisher's hosts as korvane-mirror serves them: https://HOST/PATH at root/HOST/PATH.
class Publisher {
 public:
  Publisher(std::string root, std::map<std::string, std::string> classes)
      : root_(std::move(root)), classes_(std::move(classes)) {}

  // Puts a file at its address and says what it is in `file` ("sha1", "size").
  void Serve(Json::Value& file, const std::string& bytes) {
    Write(file["url"].asString(), bytes);
    file["sha1"] = test::Sha1Of(bytes);
    file["size"] = static_cast<Json::Int64>(bytes.size());
  }

  // Serves every file of a description's libraries, its client, index, objects and log
  // configuration, rewriting what the description says about each to what is served.
  void ServeFilesOf(Json::Value& description) {
    for (Json::Value& library : description["libraries"]) {
      const std::string name = library["name"].asString();
      Json::Value& downloads = library["downloads"];
      if (downloads.isMember("artifact")) Serve(downloads["artifact"], LibraryJar(name));
      for (const std::string& classifier : downloads["classifiers"].getMemberNames()) {
        // Natives to unpack: a marker for the game to find, and a META-INF that must stay out.
        Serve(downloads["classifiers"][classifier],
              test::ZipBytes({{"META-INF/MANIFEST.MF", "Manifest-Version: 1.0\n"}, {"native-marker.txt", classifier + " unpacked"}}));
      }
    }
    if (description["downloads"].isMember("client")) {
      Serve(description["downloads"]["client"], test::ZipBytes({{"net/minecraft/client/main/Main.class", classes_.at("Main")}}));
    }
    if (description.isMember("assetIndex")) {
      Json::Value index;
      for (const char* name : {"minecraft/lang/zh_cn.json", "minecraft/sounds/click.ogg"}) {
        const std::string bytes = std::string("asset ") + name;
        const std::string hash = test::Sha1Of(bytes);
        Write("https://resources.download.minecraft.net/" + hash.substr(0, 2) + "/" + hash, bytes);
        index["objects"][name]["hash"] = hash;
        index["objects"][name]["size"] = static_cast<Json::Int64>(bytes.size());
      }
      Serve(description["assetIndex"], WriteJson(index));
    }
    Json::Value& logging = description["logging"]["client"]["file"];
    if (logging.isObject()) Serve(logging, "<Configuration/>");
  }

  // Serves a description and returns its entry in the version list.
  Json::Value ServeDescription(const Json::Value& description) {
    const std::string bytes = WriteJson(description);
    const std::string id = description["id"].asString();
    Json::Value entry;
    entry["id"] = id;
    entry["type"] = "release";
    entry["sha1"] = test::Sha1Of(bytes);
    entry["url"] = "https://piston-meta.mojang.com/v1/packages/" + entry["sha1"].asString() + "/" + id + ".json";
    Write(entry["url"].asString(), bytes);
    return entry;
  }

  void ServeVersionList(const Json::Value& entries) {
    Json::Value list;
    list["latest"]["release"] = entries[0]["id"];
    list["versions"] = entries;
    Write("https://piston-meta.mojang.com/mc/game/version_manifest_v2.json", WriteJson(list));
  }

 private:
  void Write(const std::string& url, const std::string& bytes) const {
    const std::string path = root_ + "/" + url.substr(url.find("://") + 3);
    MakeFoldersForPath(path);
    std::ofstream(path, std::ios::binary) << bytes;
  }

  // A library's jar: the loader's first class where the loader needs it; today's natives with
  // a resource the game finds on the class path; any other an empty jar. Each its own file,
  // as the module path wants.
  std::string LibraryJar(const std::string& name) const {
    if (name.rfind("cpw.mods:bootstraplauncher:", 0) == 0) {
      return test::ZipBytes({{"cpw/mods/bootstraplauncher/BootstrapLauncher.class", classes_.at("BootstrapLauncher")}});
    }
    if (name.ends_with(":natives-linux")) return test::ZipBytes({{"classpath-native.txt", name}});
    return test::ZipBytes({{"META-INF/MANIFEST.MF", "Manifest-Version: 1.0\nCreated-By: " + name + "\n"}});
  }

  std::string root_;
  std::map<std::string, std::string> classes_;
};

class OfficialEndToEnd : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    root_ = new test::TempFolder;
    const std::string classes = root_->Path() + "classes";
    const std::string game = std::string(KORVANE_SOURCE_DIR) + "/tests/e2e/game/";
    const test::CommandResult compiled = test::RunCommand(
        test::JavaTool("javac"), {"--release", "11", "-d", classes, game + "net/minecraft/client/main/Main.java",
                        game + "cpw/mods/bootstraplauncher/BootstrapLauncher.java"});
    ASSERT_EQ(compiled.status, 0) << compiled.err;
    Publisher publisher(root_->Path() + "served",
                        {{"Main", *ReadWholeFile(classes + "/net/minecraft/client/main/Main.class")},
                         {"BootstrapLauncher", *ReadWholeFile(classes + "/cpw/mods/bootstraplauncher/BootstrapLauncher.class")}});
    Json::Value entries(Json::arrayValue);
    for (const char* id : {"1.19.4", "1.18.2"}) {
      Json::Value description = ParseJson(test::ReadFixture(std::string("versions/modern/") + id + ".json"));
      if (std::string(id) == "1.19.4") {
        // As the versions since 1.20 name the natives folder: for every library that unpacks
        // native code by itself.
        for (const char* option : {"-Djna.tmpdir=", "-Dorg.lwjgl.system.SharedLibraryExtractPath=",
                                   "-Dio.netty.native.workdir="}) {
          description["arguments"]["jvm"].append(std::string(option) + "${natives_directory}");
        }
      }
      publisher.ServeFilesOf(description);
      entries.append(publisher.ServeDescription(description));
    }
    publisher.ServeVersionList(entries);
    // The loader's description is in no list: its installer leaves it in the game folder.
    Json::Value forge = ParseJson(test::ReadFixture("versions/modern/1.18.2-forge-40.2.9.json"));
    publisher.ServeFilesOf(forge);
    forge_ = WriteJson(forge);
  }
  static void TearDownTestSuite() { delete root_; }

  void SetUp() override {
    mirror_ = std::make_unique<test::MirrorProcess>(root_->Path() + "served");
    ASSERT_TRUE(mirror_->Started());
    settings_ = home_ / "KvCfg.ini";
    for (const auto& [name, version] : {std::pair<const char*, const char*>{"原版", "1.18.2"},
                                        {"新版", "1.19.4"},
                                        {"锻造", "1.18.2-forge-40.2.9"}}) {
      ASSERT_EQ(AddInstance(settings_, home_ / ".minecraft/", name, version).status, InstanceCommandStatus::Done);
    }
    profile::WriteString(settings_, "KvCfg", "JavaPath", test::JavaTool("java"));
  }

  test::CommandResult Cli(const std::vector<std::string>& args) {
    return test::RunCommand(KORVANE_CLI, args,
                            {"KORVANE_HOME=" + home_.Path(), "KORVANE_SOURCE=official",
                             "KORVANE_OFFICIAL_ROOT=" + mirror_->BaseUrl(), "KORVANE_BMCLAPI_ROOT=http://127.0.0.1:9",
                             "KORVANE_MIRROR=http://127.0.0.1:9", "KORVANE_STATS_URL=", "KORVANE_TEST_EXIT=7"});
  }

  // The value that follows `option` in the game's printed arguments.
  static std::string ArgumentAfter(const std::string& out, const std::string& option) {
    std::size_t at = out.find("]=" + option + "\n");
    if (at == std::string::npos) return "<missing " + option + ">";
    std::size_t start = out.find("]=", at + 2 + option.size()) + 2;
    return out.substr(start, out.find('\n', start) - start);
  }

  // A path in the game folder.
  std::string Game(const std::string& path) const { return home_.Path() + ".minecraft/" + path; }

  // How many requests the mirror has answered so far.
  int Requests() const {
    const std::string log = mirror_->Log();
    return static_cast<int>(std::count(log.begin(), log.end(), '\n'));
  }

  static test::TempFolder* root_;
  static std::string forge_;
  test::TempFolder home_;
  std::string settings_;
  std::unique_ptr<test::MirrorProcess> mirror_;
};

test::TempFolder* OfficialEndToEnd::root_ = nullptr;
std::string OfficialEndToEnd::forge_;

TEST_F(OfficialEndToEnd, PrepareThenLaunchOneEighteenTwo) {
  const test::CommandResult prepared = Cli({"prepare", "原版"});
  ASSERT_EQ(prepared.status, 0) << prepared.err << mirror_->Log();
  // The list, the description, the index and every file came from the publisher's hosts.
  EXPECT_EQ(mirror_->CountRequests("GET", "/piston-meta.mojang.com/mc/game/version_manifest_v2.json"), 1);
  EXPECT_TRUE(PathExists(Game("versions/1.18.2/1.18.2.jar")));
  EXPECT_TRUE(PathExists(Game("assets/indexes/1.18.json")));
  EXPECT_TRUE(PathExists(Game("libraries/org/lwjgl/lwjgl/3.2.2/lwjgl-3.2.2-natives-linux.jar")));
  EXPECT_FALSE(PathExists(Game("libraries/org/lwjgl/lwjgl/3.2.1")));  // for macOS only
  const int requests = Requests();

  const test::CommandResult launched = Cli({"launch", "原版"});
  ASSERT_EQ(launched.status, 7) << launched.err << launched.out;
  const std::string& out = launched.out;
  EXPECT_EQ(ArgumentAfter(out, "--username"), "Player");
  EXPECT_EQ(ArgumentAfter(out, "--version"), "1.18.2");
  EXPECT_EQ(ArgumentAfter(out, "--assetIndex"), "1.18");
  EXPECT_EQ(ArgumentAfter(out, "--assetsDir"), Game("assets"));
  EXPECT_EQ(ArgumentAfter(out, "--clientId"), "");
  EXPECT_EQ(ArgumentAfter(out, "--xuid"), "");
  EXPECT_EQ(ArgumentAfter(out, "--versionType"), "release");
  EXPECT_EQ(out.find("--demo"), std::string::npos);
  EXPECT_EQ(out.find("${"), std::string::npos) << out;
  EXPECT_NE(out.find("brand=Korvane\n"), std::string::npos) << out;
  EXPECT_NE(out.find("java.version=17"), std::string::npos) << out;
  // Natives unpacked beside their jars; META-INF only where the description does not exclude it.
  EXPECT_NE(out.find("unpacked=natives-linux unpacked\n"), std::string::npos) << out;
  EXPECT_NE(out.find("unpacked META-INF in " + Game("libraries/org/lwjgl/lwjgl/3.2.2/") + "\n"), std::string::npos) << out;
  EXPECT_EQ(out.find("unpacked META-INF in " + Game("libraries/com/mojang/text2speech/")), std::string::npos) << out;
  // Everything was in place: the launch fetched nothing more.
  EXPECT_EQ(Requests(), requests);
}

TEST_F(OfficialEndToEnd, OneNineteenFourWithNativesOnTheClassPathAndItsLogConfiguration) {
  const test::CommandResult launched = Cli({"launch", "新版"});
  ASSERT_EQ(launched.status, 7) << launched.err << launched.out;
  const std::string& out = launched.out;
  EXPECT_EQ(ArgumentAfter(out, "--version"), "1.19.4");
  EXPECT_EQ(ArgumentAfter(out, "--assetIndex"), "3");
  EXPECT_NE(out.find("classpath natives found\n"), std::string::npos) << out;
  // The game unpacks those natives itself, into the version's own folder, which is there.
  const std::string natives = Game("versions/1.19.4/natives-linux");
  for (const char* property : {"java.library.path", "jna.tmpdir", "org.lwjgl.system.SharedLibraryExtractPath",
                               "io.netty.native.workdir"}) {
    EXPECT_NE(out.find(std::string("property ") + property + "=" + natives + " (folder)\n"), std::string::npos) << out;
  }
  EXPECT_NE(out.find("log4j=" + Game("assets/log_configs/client-1.12.xml") + "\n"), std::string::npos) << out;
  EXPECT_EQ(*ReadWholeFile(Game("assets/log_configs/client-1.12.xml")), "<Configuration/>");
}

TEST_F(OfficialEndToEnd, ForgeWithItsMissingParentFetched) {
  test::WriteFile(Game("versions/1.18.2-forge-40.2.9/1.18.2-forge-40.2.9.json"), forge_);
  const test::CommandResult launched = Cli({"launch", "锻造"});
  ASSERT_EQ(launched.status, 7) << launched.err << launched.out;
  const std::string& out = launched.out;
  // The loader's first class came from the module path; the game got the loader's arguments.
  EXPECT_NE(out.find("bootstrap module=bootstraplauncher\n"), std::string::npos) << out << launched.err;
  EXPECT_EQ(ArgumentAfter(out, "--launchTarget"), "forgeclient");
  EXPECT_EQ(ArgumentAfter(out, "--fml.mcVersion"), "1.18.2");
  EXPECT_EQ(ArgumentAfter(out, "--version"), "1.18.2-forge-40.2.9");
  EXPECT_EQ(ArgumentAfter(out, "--assetIndex"), "1.18");
  // The parent's description was fetched; the loader's client is the parent's, under its own name.
  EXPECT_TRUE(PathExists(Game("versions/1.18.2/1.18.2.json")));
  EXPECT_EQ(ReadWholeFile(Game("versions/1.18.2-forge-40.2.9/1.18.2-forge-40.2.9.jar")),
            ReadWholeFile(root_->Path() + "served/piston-data.mojang.com/v1/objects/"
                                          "2e9a3e3107cca00d6bc9c97bf7d149cae163ef21/client.jar"));
}

}  // namespace
}  // namespace kv
