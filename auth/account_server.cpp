#include "auth/account_server.h"

#include "meta/json_document.h"
#include "net/url_encoding.h"
#include "util/messages.h"
#include "util/text.h"

namespace kv {
namespace {

constexpr int kMaxRedirects = 5;

// The addresses a resolution went through, each checked before it is asked: https once
// reached is never left for plain http.
class Route {
 public:
  explicit Route(const std::string& start) : secure_(IsHttpsAddress(start)), at_(start) {}

  const std::string& At() const { return at_; }

  Status MoveTo(const std::string& next) {
    if (!IsWebAddress(next)) return Fail(FailureKind::Invalid, msg::kAccountServerBadLocation);
    if (secure_ && !IsHttpsAddress(next)) {
      return Fail(FailureKind::Refused, msg::AccountServerInsecureMove(Printable(at_), Printable(next)));
    }
    secure_ = secure_ || IsHttpsAddress(next);
    at_ = next;
    return {};
  }

 private:
  bool secure_;
  std::string at_;
};

// The answer at the route's address, following its redirects; the route ends where the answer
// came from.
Result<AccountReply> GetFollowingRedirects(Route& route, const AccountTransport& transport) {
  for (int redirects = 0;; ++redirects) {
    Result<AccountReply> reply = transport.get(route.At());
    if (!reply || reply->redirect.empty()) return reply;
    if (redirects == kMaxRedirects) return Fail(FailureKind::Refused, msg::kAccountServerTooManyRedirects);
    if (!IsWebAddress(reply->redirect)) return Fail(FailureKind::Invalid, msg::kAccountServerBadRedirect);
    if (Status moved = route.MoveTo(reply->redirect); !moved) return std::move(moved).failure();
  }
}

}  // namespace

std::string AccountServer::ActionUrl(std::string_view action) const {
  const std::string prefix = kind == AccountServerKind::AuthlibInjector ? "/authserver/" : "/";
  return apiRoot + prefix + std::string(action);
}

Result<AccountServer> ResolveAccountServer(const std::string& address, const AccountTransport& transport) {
  if (!IsWebAddress(address)) return Fail(FailureKind::Invalid, msg::AccountServerNotWeb(Printable(address)));
  Route route(address);
  Result<AccountReply> reply = GetFollowingRedirects(route, transport);
  if (!reply) return std::move(reply).failure();

  const bool indicated = !reply->apiLocation.empty();
  if (indicated) {
    const std::optional<std::string> location = ResolveAddress(route.At(), reply->apiLocation);
    if (!location) return Fail(FailureKind::Invalid, msg::kAccountServerBadLocation);
    const std::string answered = route.At();
    if (Status moved = route.MoveTo(*location); !moved) return std::move(moved).failure();
    // A location that names the address that answered only confirms it.
    if (WithoutTrailingSlash(*location) != WithoutTrailingSlash(answered)) {
      reply = GetFollowingRedirects(route, transport);
      if (!reply) return std::move(reply).failure();
    }
  }

  Json::Value metadata;
  const bool isJson = reply->Succeeded() && json::ParseDocument(reply->body, metadata);
  if (isJson && !metadata.isObject()) return Fail(FailureKind::Invalid, msg::kAccountServerBadMetadata);
  const Json::Value& meta = json::Member(metadata, "meta");
  AccountServer server;
  if (!isJson || !meta.isObject()) {
    if (indicated) return Fail(FailureKind::Invalid, msg::kAccountServerBadMetadata);
    server.apiRoot = WithoutTrailingSlash(address);
    return server;
  }
  server.kind = AccountServerKind::AuthlibInjector;
  server.apiRoot = WithoutTrailingSlash(route.At());
  server.metadata = std::move(reply->body);
  server.name = Printable(json::Text(json::Member(meta, "serverName")));
  return server;
}

}  // namespace kv
