#include "net/endpoints.h"

#include <gtest/gtest.h>

#include "tests/net/net_test_support.h"
#include "tests/support/scoped_environment.h"

namespace kv {
namespace {

using test::ScopedEnvironment;

TEST(Endpoints, EnvironmentOverridesTheBuiltInServices) {
  ScopedEnvironment mirror("KORVANE_MIRROR", "http://127.0.0.1:8080/");
  ScopedEnvironment auth("KORVANE_AUTH_SERVER", "https://auth.test//");
  ScopedEnvironment update("KORVANE_UPDATE_SERVER", "http://update.test");
  ScopedEnvironment catalogue("KORVANE_CATALOGUE", "http://mods.test/list");
  ScopedEnvironment bundle("KORVANE_CA_BUNDLE", "/etc/extra.pem");
  // A trailing slash would double the slash of every path appended to the base.
  EXPECT_EQ(MirrorBase(), "http://127.0.0.1:8080");
  EXPECT_EQ(AccountServerAddress("https://skin.example/api/yggdrasil"), "https://auth.test");
  EXPECT_EQ(UpdateServerBase(), "http://update.test");
  EXPECT_EQ(CatalogueBase(), "http://mods.test/list");
  EXPECT_EQ(ExtraCaBundle(), "/etc/extra.pem");
}

TEST(Endpoints, StatisticsAndExtraCertificatesAreOffUnlessConfigured) {
  ScopedEnvironment stats("KORVANE_STATS_URL", std::nullopt);
  ScopedEnvironment bundle("KORVANE_CA_BUNDLE", std::nullopt);
  ScopedEnvironment mirror("KORVANE_MIRROR", std::nullopt);
  ScopedEnvironment catalogue("KORVANE_CATALOGUE", std::nullopt);
  EXPECT_EQ(StatsServiceBase(), "");
  EXPECT_EQ(ExtraCaBundle(), "");
  // Nobody on the way may swap the files of the mirror layout: it is asked over HTTPS.
  EXPECT_EQ(MirrorBase().substr(0, 8), "https://");
  EXPECT_NE(MirrorBase().back(), '/');
  // The package tool gets the catalogue's folder itself.
  EXPECT_EQ(CatalogueBase().substr(CatalogueBase().size() - 8), "/allmod/");
}

TEST(Endpoints, TheAccountServerIsTheSettingUnlessTheEnvironmentNamesOne) {
  {
    ScopedEnvironment auth("KORVANE_AUTH_SERVER", std::nullopt);
    EXPECT_EQ(AccountServerAddress("https://skin.example/api/yggdrasil/"), "https://skin.example/api/yggdrasil");
    EXPECT_EQ(AccountServerAddress("").substr(0, 8), "https://");
  }
  // Set but empty counts as not set.
  ScopedEnvironment auth("KORVANE_AUTH_SERVER", "");
  EXPECT_EQ(AccountServerAddress("https://skin.example"), "https://skin.example");
}

TEST(Endpoints, TheAgentIndexFollowsTheDownloadSourceUnlessConfigured) {
  ScopedEnvironment agent("KORVANE_AUTHLIB_INJECTOR_URL", std::nullopt);
  ScopedEnvironment china("KORVANE_BMCLAPI_ROOT", "https://china.test/");
  EXPECT_EQ(AgentDistributionRoots(false),
            (std::vector<std::string>{"https://authlib-injector.yushi.moe", "https://china.test/mirrors/authlib-injector"}));
  EXPECT_EQ(AgentDistributionRoots(true).front(), "https://china.test/mirrors/authlib-injector");
  // Tests name their own distribution, and then nothing else is asked.
  ScopedEnvironment configured("KORVANE_AUTHLIB_INJECTOR_URL", "https://127.0.0.1:9/agent/");
  EXPECT_EQ(AgentDistributionRoots(true), std::vector<std::string>{"https://127.0.0.1:9/agent"});
}

}  // namespace
}  // namespace kv
