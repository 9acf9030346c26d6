#include "auth/account_transport.h"

#include "net/transfers.h"
#include "platform/diagnostic_log.h"
#include "util/messages.h"

namespace kv {
namespace {

Failure ForThePlayer(const std::string& url, const Failure& failure) {
  LogLine(LogLevel::Info, "No answer from the account server at " + url + ": " + failure.message);
  switch (failure.kind) {
    case FailureKind::Unreachable: return Fail(failure.kind, msg::kAccountServerUnreachable);
    case FailureKind::TooLarge: return Fail(failure.kind, msg::kAccountServerAnswerTooLarge);
    case FailureKind::Cancelled: return Fail(failure.kind, msg::kMsaSignInCancelled);
    default: return Fail(failure.kind, msg::kSignInTimedOut);
  }
}

Result<AccountReply> ReplyOf(const std::string& url, Result<WebAnswer> answer) {
  if (!answer) return ForThePlayer(url, answer.failure());
  AccountReply reply;
  reply.status = answer->status;
  reply.body = std::move(answer->body);
  reply.apiLocation = std::move(answer->header);
  reply.redirect = std::move(answer->redirect);
  return reply;
}

}  // namespace

AccountTransport AccountTransport::Network() {
  AccountTransport transport;
  transport.get = [](const std::string& url) {
    return ReplyOf(url, FetchAnswer(url, "X-Authlib-Injector-API-Location"));
  };
  transport.post = [](const std::string& url, const std::string& document) {
    return ReplyOf(url, PostJson(url, document));
  };
  transport.send = [](const WebRequest& request, const std::atomic<bool>* cancel) {
    return ReplyOf(request.url, Exchange(request, cancel));
  };
  return transport;
}

}  // namespace kv
