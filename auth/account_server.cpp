#include "auth/account_server.h"

#include "meta/json_document.h"
#include "net/url_encoding.h"
#include "util/messages.h"

namespace kv {
namespace {

AccountServerResult Refused(std::string error) { return {std::nullopt, std::move(error)}; }

}  // namespace

std::string AccountServer::ActionUrl(std::string_view action) const {
  const std::string prefix = kind == AccountServerKind::AuthlibInjector ? "/authserver/" : "/";
  return apiRoot + prefix + std::string(action);
}

AccountServerResult ResolveAccountServer(const std::string& address, const AccountTransport& transport) {
  if (!IsWebAddress(address)) return Refused(msg::AccountServerNotWeb(address));
  AccountReply reply = transport.get(address);
  if (!reply.answered) return Refused(NoAnswerMessage(reply));

  std::string root = address;
  const bool indicated = !reply.apiLocation.empty();
  if (indicated) {
    const std::optional<std::string> location = ResolveAddress(address, reply.apiLocation);
    if (!location || !IsWebAddress(*location)) return Refused(msg::kAccountServerBadLocation);
    // A location that names the address itself only confirms it.
    if (WithoutTrailingSlash(*location) != WithoutTrailingSlash(address)) {
      root = *location;
      reply = transport.get(root);
      if (!reply.answered) return Refused(NoAnswerMessage(reply));
    }
  }

  AccountServer server;
  server.apiRoot = WithoutTrailingSlash(root);
  Json::Value metadata;
  const bool isJson = reply.Succeeded() && json::ParseDocument(reply.body, metadata);
  if (isJson && !metadata.isObject()) return Refused(msg::kAccountServerBadMetadata);
  const Json::Value& meta = json::Member(metadata, "meta");
  if (!isJson || !meta.isObject()) {
    if (indicated) return Refused(msg::kAccountServerBadMetadata);
    return {server, {}};
  }
  server.kind = AccountServerKind::AuthlibInjector;
  server.metadata = reply.body;
  server.name = json::Text(json::Member(meta, "serverName"));
  return {server, {}};
}

}  // namespace kv
