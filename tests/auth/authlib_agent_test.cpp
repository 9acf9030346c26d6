// The agent jar fetched from a local stand-in of its distribution, verified, kept and reused.
#include "auth/authlib_agent.h"

#include <gtest/gtest.h>

#include "tests/net/net_test_support.h"
#include "tests/support/agent_server.h"
#include "tests/support/fixtures.h"
#include "tests/support/scoped_environment.h"
#include "tests/support/temp_folder.h"
#include "util/base64.h"
#include "util/digest.h"
#include "util/files.h"
#include "util/messages.h"

namespace kv {
namespace {

using namespace std::chrono_literals;

class AgentJar : public ::testing::Test {
 protected:
  static std::string Sha256Of(const std::string& bytes) {
    test::TempFolder dir;
    test::WriteFile(dir / "bytes", bytes);
    return Sha256HexOfFile(dir / "bytes").value_or("");
  }
  AgentJarResult Provide(const test::AgentServer& server, std::chrono::system_clock::time_point at) {
    return ProvideAgentJar(launcher_.Path(), {server.BaseUrl()}, at);
  }

  const std::string kJar = test::TestBytes(300000, 11);
  const std::chrono::system_clock::time_point kNow = std::chrono::system_clock::now();
  test::ScopedEnvironment bundle_{"KORVANE_CA_BUNDLE", test::FixturePath("tls/ca.pem")};
  test::TempFolder launcher_;
  std::string jarPath_ = launcher_ / "authlib-injector.jar";
};

TEST_F(AgentJar, IsFetchedOnceAndTheIndexAskedAtMostOnceADay) {
  test::AgentServer server(kJar, Sha256Of(kJar));
  AgentJarResult result = Provide(server, kNow);
  ASSERT_EQ(result.error, "");
  EXPECT_EQ(result.path, jarPath_);
  EXPECT_EQ(test::ReadFile(jarPath_), kJar);

  EXPECT_EQ(Provide(server, kNow + 23h).path, jarPath_);
  EXPECT_EQ(server.IndexRequests(), 1);
  // A day later the index is asked again; the same release is not fetched again.
  EXPECT_EQ(Provide(server, kNow + 25h).path, jarPath_);
  EXPECT_EQ(server.IndexRequests(), 2);
  EXPECT_EQ(server.JarRequests(), 1);

  // A new release replaces the kept jar at the next daily look.
  const std::string newer = test::TestBytes(310000, 12);
  server.Publish(newer, Sha256Of(newer), "1.1.0");
  EXPECT_EQ(Provide(server, kNow + 26h).path, jarPath_);
  EXPECT_EQ(test::ReadFile(jarPath_), kJar);
  EXPECT_EQ(Provide(server, kNow + 50h).path, jarPath_);
  EXPECT_EQ(test::ReadFile(jarPath_), newer);
  EXPECT_EQ(server.JarRequests(), 2);
}

TEST_F(AgentJar, AJarThatDoesNotMatchItsDigestIsNeverKept) {
  test::AgentServer server(kJar, Sha256Of("something else"));
  const AgentJarResult result = Provide(server, kNow);
  EXPECT_EQ(result.path, "");
  EXPECT_EQ(result.error, msg::kAgentChecksumMismatch);
  EXPECT_EQ(test::ListFiles(launcher_.Path()), "");
}

TEST_F(AgentJar, AKeptJarThatChangedIsFetchedAgain) {
  test::AgentServer server(kJar, Sha256Of(kJar));
  ASSERT_EQ(Provide(server, kNow).error, "");
  test::WriteFile(jarPath_, "tampered");
  EXPECT_EQ(Provide(server, kNow + 1h).path, jarPath_);
  EXPECT_EQ(test::ReadFile(jarPath_), kJar);
  EXPECT_EQ(server.JarRequests(), 2);
}

TEST_F(AgentJar, WithoutAnIndexOnlyAVerifiedKeptJarServes) {
  const std::vector<std::string> nowhere{"https://127.0.0.1:9"};
  EXPECT_EQ(ProvideAgentJar(launcher_.Path(), nowhere, kNow).error, msg::kAgentUnavailable);
  {
    test::AgentServer server(kJar, Sha256Of(kJar));
    ASSERT_EQ(Provide(server, kNow).error, "");
  }
  // Days later, with the distribution out of reach, the kept jar still serves.
  EXPECT_EQ(ProvideAgentJar(launcher_.Path(), nowhere, kNow + 72h).path, jarPath_);
  test::WriteFile(jarPath_, "tampered");
  EXPECT_EQ(ProvideAgentJar(launcher_.Path(), nowhere, kNow + 72h).error, msg::kAgentUnavailable);
}

TEST(AgentArguments, LoadTheAgentWithTheApiRootAndThePrefetchedMetadata) {
  AccountServer server;
  server.kind = AccountServerKind::AuthlibInjector;
  server.apiRoot = "https://skin.example/api/yggdrasil";
  server.metadata = R"({"meta":{"serverName":"皮肤站"}})";
  EXPECT_EQ(AgentJvmArguments("/home/p/Korvane/authlib-injector.jar", server),
            (std::vector<std::string>{
                "-javaagent:/home/p/Korvane/authlib-injector.jar=https://skin.example/api/yggdrasil",
                "-Dauthlibinjector.yggdrasil.prefetched=" + StandardBase64Encode(server.metadata)}));
  // Metadata too large for a command line is left for the agent to ask for.
  server.metadata = R"({"meta":{},"links":")" + std::string(7000, 'x') + "\"}";
  EXPECT_EQ(AgentJvmArguments("/a.jar", server), std::vector<std::string>{"-javaagent:/a.jar=https://skin.example/api/yggdrasil"});
}

}  // namespace
}  // namespace kv
