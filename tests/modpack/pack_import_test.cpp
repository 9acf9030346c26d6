#include "modpack/pack_import.h"

#include <gtest/gtest.h>
#include <json/json.h>
#include <stdlib.h>

#include <filesystem>
#include <optional>

#include "settings/instance_folders.h"
#include "settings/instance_list.h"
#include "tests/net/engine_test_support.h"
#include "tests/net/mirror_process.h"
#include "tests/net/net_test_support.h"
#include "tests/net/zip_maker.h"
#include "tests/support/scoped_environment.h"
#include "util/digest.h"

namespace kv {
namespace {

using Entries = std::vector<std::pair<std::string, std::string>>;

// One file of a pack as the test serves it.
struct ServedFile {
  std::string path;          // in the instance
  std::string bytes;
  std::string client = "required";
  std::vector<std::string> urls{};  // empty: one address on the stand-in host, named after the path
};

class PackImport : public ::testing::Test {
 protected:
  void SetUp() override { environment_.Set("KORVANE_HOME", dir_.Path()); }

  // Serves the file on the stand-in host and returns its entry of the description.
  Json::Value Entry(const ServedFile& file, const std::optional<std::string>& sha512 = std::nullopt) {
    Json::Value entry;
    entry["path"] = file.path;
    entry["hashes"]["sha1"] = HexDigestOf(DigestKind::Sha1, file.bytes);
    entry["hashes"]["sha512"] = sha512.value_or(HexDigestOf(DigestKind::Sha512, file.bytes));
    entry["env"]["client"] = file.client;
    entry["env"]["server"] = "required";
    entry["fileSize"] = static_cast<Json::Int64>(file.bytes.size());
    std::vector<std::string> urls = file.urls;
    if (urls.empty()) urls.push_back("https://cdn.example/data/" + file.path);
    for (const std::string& url : urls) entry["downloads"].append(url);
    return entry;
  }

  void Serve(const std::string& path, const std::string& bytes) { test::WriteFile(served_ / ("cdn.example/" + path), bytes); }

  std::string MakePack(const Json::Value& files, Entries extra = {}, const std::vector<std::string>& links = {},
                       const std::string& loader = R"("fabric-loader":"0.16.9",)") {
    std::string index = R"({"formatVersion":1,"game":"minecraft","versionId":"2.0","name":"Lantern Pack",)"
                        R"("dependencies":{)" +
                        loader + R"("minecraft":"1.21.1"},"files":)" + Json::FastWriter().write(files) + "}";
    extra.insert(extra.begin(), {"modrinth.index.json", index});
    const std::string path = dir_ / "pack.mrpack";
    test::MakeZip(path, extra, links);
    return path;
  }

  PackImportServices Services(test::MirrorProcess& mirror) {
    PackImportServices services;
    services.installLoader = [this](const LoaderInstallRequest& request) -> Result<std::string> {
      loaderRequests_.push_back(request);
      return "fabric-loader-" + request.loaderVersion + "-" + request.gameVersion;
    };
    services.addresses = [&mirror](const std::string& url) {
      return std::vector<std::string>{mirror.BaseUrl() + "/" + url.substr(std::string("https://").size())};
    };
    services.fetch = [](const std::vector<DownloadItem>& plan) {
      test::RecordingSink sink;
      return DownloadEngine(plan, sink, test::FastRetries()).Run();
    };
    return services;
  }

  Result<PackImportSummary> Import(const std::string& pack, const std::string& name = "") {
    test::MirrorProcess mirror(served_.Path());
    EXPECT_TRUE(mirror.Started());
    return ImportPack({pack, name, settings_, game_}, Services(mirror));
  }

  std::vector<InstanceEntry> Registered() {
    CInstanceList list(settings_, false);
    list.Load();
    return list.Entries();
  }

  // Nothing of a failed import stays: no instance, no folder, no staging folder.
  void ExpectNothingLeft() {
    EXPECT_TRUE(Registered().empty());
    std::error_code missing;
    for (const auto& entry : std::filesystem::directory_iterator(InstancesRoot(game_), missing)) {
      ADD_FAILURE() << "left behind: " << entry.path();
    }
  }

  test::TempFolder dir_;
  test::TestEnvironment environment_;
  test::TempFolder served_;
  std::string settings_ = dir_ / "KvCfg.ini";
  std::string game_ = dir_ / ".minecraft/";
  std::vector<LoaderInstallRequest> loaderRequests_;
};

TEST_F(PackImport, BuildsTheInstanceFromItsFilesLoaderAndOverrides) {
  const ServedFile mod{"mods/lanterns+1.21.jar", test::TestBytes(70000, 1), "required",
                       {"https://cdn.example/data/mods/lanterns%2B1.21.jar"}};
  Serve("data/mods/lanterns+1.21.jar", mod.bytes);
  const ServedFile shaders{"shaderpacks/soft.zip", test::TestBytes(3000, 2), "optional"};
  Serve("data/shaderpacks/soft.zip", shaders.bytes);
  const ServedFile serverOnly{"mods/server-tools.jar", test::TestBytes(100, 3), "unsupported"};
  // The first address is gone; the second has the file.
  const ServedFile moved{"mods/moved.jar", test::TestBytes(5000, 4), "required",
                         {"https://cdn.example/gone/moved.jar", "https://cdn.example/data/mods/moved.jar"}};
  Serve("data/mods/moved.jar", moved.bytes);
  Json::Value files(Json::arrayValue);
  for (const ServedFile* file : {&mod, &shaders, &serverOnly, &moved}) files.append(Entry(*file));
  const std::string pack = MakePack(files, {{"overrides/", ""},
                                            {"overrides/config/lanterns.toml", "colour = \"all\""},
                                            {"overrides/options.txt", "lang:zh_cn"},
                                            {"client-overrides/config/lanterns.toml", "colour = \"warm\""},
                                            {"server-overrides/server.properties", "motd=x"},
                                            {"README.md", "not part of the instance"}});

  const Result<PackImportSummary> summary = Import(pack);

  ASSERT_TRUE(summary) << summary.message();
  EXPECT_EQ(summary->instanceName, "Lantern Pack");
  EXPECT_EQ(summary->version, "fabric-loader-0.16.9-1.21.1");
  EXPECT_EQ(summary->filesFetched, 3);
  EXPECT_EQ(summary->overridesApplied, 3);
  EXPECT_EQ(summary->optionalIncluded, std::vector<std::string>{"shaderpacks/soft.zip"});
  EXPECT_EQ(summary->unsupportedSkipped, std::vector<std::string>{"mods/server-tools.jar"});
  ASSERT_EQ(loaderRequests_.size(), 1u);
  EXPECT_EQ(loaderRequests_[0].gamePath, game_);
  EXPECT_EQ(loaderRequests_[0].gameVersion, "1.21.1");
  EXPECT_EQ(loaderRequests_[0].kind, LoaderKind::Fabric);
  EXPECT_EQ(loaderRequests_[0].loaderVersion, "0.16.9");
  ASSERT_EQ(Registered().size(), 1u);
  EXPECT_EQ(Registered()[0].name, "Lantern Pack");
  EXPECT_EQ(Registered()[0].version, "fabric-loader-0.16.9-1.21.1");

  const std::string instance = InstanceFolder(game_, "Lantern Pack");
  EXPECT_EQ(test::ListFiles(InstancesRoot(game_)),
            "Lantern Pack/config/lanterns.toml\nLantern Pack/mods/lanterns+1.21.jar\nLantern Pack/mods/moved.jar\n"
            "Lantern Pack/options.txt\nLantern Pack/shaderpacks/soft.zip\n");
  EXPECT_EQ(test::ReadFile(instance + "mods/lanterns+1.21.jar"), mod.bytes);
  EXPECT_EQ(test::ReadFile(instance + "mods/moved.jar"), moved.bytes);
  EXPECT_EQ(test::ReadFile(instance + "shaderpacks/soft.zip"), shaders.bytes);
  EXPECT_EQ(test::ReadFile(instance + "config/lanterns.toml"), "colour = \"warm\"");  // the client's override last
  EXPECT_EQ(test::ReadFile(instance + "options.txt"), "lang:zh_cn");
}

TEST_F(PackImport, TheNameGivenOverridesThePacksAndATakenNameIsRefusedFirst) {
  const ServedFile mod{"mods/a.jar", "abc"};
  Serve("data/mods/a.jar", mod.bytes);
  Json::Value files(Json::arrayValue);
  files.append(Entry(mod));
  const std::string pack = MakePack(files, {}, {}, "");

  const Result<PackImportSummary> named = Import(pack, "灯笼");
  ASSERT_TRUE(named) << named.message();
  EXPECT_EQ(named->version, "1.21.1");  // no loader: the game version itself
  EXPECT_TRUE(loaderRequests_.empty());
  EXPECT_EQ(test::ReadFile(InstanceFolder(game_, "灯笼") + "mods/a.jar"), "abc");

  const Result<PackImportSummary> again = Import(pack, "灯笼");
  ASSERT_FALSE(again);
  EXPECT_EQ(again.kind(), FailureKind::Refused);
  const Result<PackImportSummary> badName = Import(pack, "a/b");
  ASSERT_FALSE(badName);
  EXPECT_EQ(Registered().size(), 1u);
  EXPECT_EQ(test::ListFiles(InstancesRoot(game_)), "灯笼/mods/a.jar\n");
}

TEST_F(PackImport, PathsLeadingOutOfTheInstanceAreRefusedBeforeAnythingIsWritten) {
  const ServedFile mod{"mods/a.jar", "abc"};
  Serve("data/mods/a.jar", mod.bytes);
  struct Case {
    std::string unsafe;  // what the refusal names
    std::string filePath;
    Entries entries;
    std::vector<std::string> links;
  };
  const Case cases[] = {
      {"../escaped.jar", "../escaped.jar", {}, {}},
      {"/tmp/escaped.jar", "/tmp/escaped.jar", {}, {}},
      {"C:/escaped.jar", "C:/escaped.jar", {}, {}},
      {"mods\\..\\..\\escaped.jar", "mods\\..\\..\\escaped.jar", {}, {}},
      {"overrides/../../escaped.txt", "mods/a.jar", {{"overrides/../../escaped.txt", "x"}}, {}},
      {"client-overrides/config/../../../escaped.txt", "mods/a.jar",
       {{"client-overrides/config/../../../escaped.txt", "x"}}, {}},
      {"overrides\\..\\escaped.txt", "mods/a.jar", {{"overrides\\..\\escaped.txt", "x"}}, {}},
      {"overrides/config", "mods/a.jar", {{"overrides/config", "/etc"}, {"overrides/config/x.txt", "x"}}, {"overrides/config"}},
  };
  for (const Case& c : cases) {
    ServedFile file = mod;
    file.path = c.filePath;
    file.urls = {"https://cdn.example/data/mods/a.jar"};
    Json::Value files(Json::arrayValue);
    files.append(Entry(file));
    const Result<PackImportSummary> summary = Import(MakePack(files, c.entries, c.links));
    ASSERT_FALSE(summary) << c.unsafe;
    EXPECT_EQ(summary.kind(), FailureKind::Refused) << c.unsafe;
    EXPECT_NE(summary.message().find(c.unsafe), std::string::npos) << summary.message();
    EXPECT_TRUE(loaderRequests_.empty()) << c.unsafe;
    ExpectNothingLeft();
    EXPECT_FALSE(std::filesystem::exists(dir_ / "escaped.jar"));
    EXPECT_FALSE(std::filesystem::exists(dir_ / "escaped.txt"));
  }
}

TEST_F(PackImport, AFileThatCannotBeHadFailsTheImportByNameAndLeavesNoInstance) {
  const ServedFile good{"mods/good.jar", test::TestBytes(4000, 5)};
  Serve("data/mods/good.jar", good.bytes);
  const ServedFile damaged{"mods/damaged.jar", test::TestBytes(4000, 6)};
  Serve("data/mods/damaged.jar", damaged.bytes);
  const ServedFile missing{"mods/missing.jar", "never served"};
  struct Case {
    const ServedFile* file;
    std::optional<std::string> sha512;
  };
  for (const Case& c : {Case{&damaged, HexDigestOf(DigestKind::Sha512, "something else")}, Case{&missing, std::nullopt}}) {
    Json::Value files(Json::arrayValue);
    files.append(Entry(good));
    files.append(Entry(*c.file, c.sha512));
    const Result<PackImportSummary> summary = Import(MakePack(files, {{"overrides/options.txt", "x"}}));
    ASSERT_FALSE(summary) << c.file->path;
    EXPECT_NE(summary.message().find(c.file->path), std::string::npos) << summary.message();
    ExpectNothingLeft();
  }
}

TEST_F(PackImport, AFailedLoaderInstallationLeavesNoInstance) {
  const ServedFile mod{"mods/a.jar", "abc"};
  Serve("data/mods/a.jar", mod.bytes);
  Json::Value files(Json::arrayValue);
  files.append(Entry(mod));
  const std::string pack = MakePack(files);
  test::MirrorProcess mirror(served_.Path());
  PackImportServices services = Services(mirror);
  services.installLoader = [](const LoaderInstallRequest&) -> Result<std::string> {
    return Fail(FailureKind::Unreachable, "loader list unreachable");
  };
  const Result<PackImportSummary> summary = ImportPack({pack, "", settings_, game_}, services);
  ASSERT_FALSE(summary);
  EXPECT_EQ(summary.message(), "loader list unreachable");
  ExpectNothingLeft();
}

TEST_F(PackImport, NotAPackIsRefused) {
  test::WriteFile(dir_ / "plain.mrpack", "not a zip");
  EXPECT_FALSE(Import(dir_ / "plain.mrpack"));
  test::MakeZip(dir_ / "other.mrpack", {{"manifest.json", "{}"}});
  const Result<PackImportSummary> other = Import(dir_ / "other.mrpack");
  ASSERT_FALSE(other);
  EXPECT_NE(other.message().find("modrinth.index.json"), std::string::npos);
  ExpectNothingLeft();
}

}  // namespace
}  // namespace kv
