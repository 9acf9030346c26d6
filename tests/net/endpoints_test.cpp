#include "net/endpoints.h"

#include <gtest/gtest.h>

#include "tests/net/net_test_support.h"

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
  EXPECT_EQ(AuthenticateUrl(), "https://auth.test/authenticate");
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
  EXPECT_EQ(MirrorBase().substr(0, 7), "http://");
  EXPECT_NE(MirrorBase().back(), '/');
  EXPECT_EQ(AuthenticateUrl().substr(0, 8), "https://");
  // The package tool gets the catalogue's folder itself.
  EXPECT_EQ(CatalogueBase().substr(CatalogueBase().size() - 8), "/allmod/");
}

}  // namespace
}  // namespace kv
