#include "auth/microsoft_services.h"

#include <cstdlib>

#include "net/endpoints.h"
#include "util/messages.h"

namespace kv::microsoft {

std::string ClientId(const std::string& setting) {
  const char* variable = std::getenv("KORVANE_MSA_CLIENT_ID");
  if (variable != nullptr && *variable != '\0') return variable;
  if (!setting.empty()) return setting;
  return KORVANE_BUILT_IN_MSA_CLIENT_ID;
}

WebRequest FormPost(const char* url, std::string form) {
  return {OfficialAddress(url), "application/x-www-form-urlencoded", std::move(form), {"Accept: application/json"}};
}

WebRequest JsonPost(const char* url, std::string document) {
  return {OfficialAddress(url), "application/json", std::move(document), {"Accept: application/json"}};
}

WebRequest AuthorisedGet(const char* url, const std::string& gameToken) {
  return {OfficialAddress(url), {}, {}, {"Accept: application/json", "Authorization: Bearer " + gameToken}};
}

Result<AccountReply> Send(const AccountTransport& transport, const WebRequest& request, const Cancellation& cancel) {
  if (cancel.Cancelled()) return Fail(FailureKind::Cancelled, msg::kMsaSignInCancelled);
  if (!transport.send) return Fail(FailureKind::Unreachable, msg::kAccountServerUnreachable);
  Result<AccountReply> reply = transport.send(request, cancel.Flag());
  // An answer that arrived as the player cancelled is not acted on either.
  if (reply && cancel.Cancelled()) return Fail(FailureKind::Cancelled, msg::kMsaSignInCancelled);
  return reply;
}

}  // namespace kv::microsoft
