#include "auth/account_transport.h"

#include "util/messages.h"

namespace kv {

AccountTransport AccountTransport::Network() {
  AccountTransport transport;
  transport.get = [](const std::string& url) {
    AccountReply reply;
    WebAnswer answer;
    reply.answered = FetchAnswer(url, "X-Authlib-Injector-API-Location", answer);
    reply.status = answer.status;
    reply.body = std::move(answer.body);
    reply.apiLocation = std::move(answer.header);
    reply.why = answer.why;
    return reply;
  };
  transport.post = [](const std::string& url, const std::string& document) {
    AccountReply reply;
    reply.answered = PostJson(url, document, reply.body, reply.status, &reply.why);
    return reply;
  };
  return transport;
}

std::string NoAnswerMessage(const AccountReply& reply) {
  return reply.why == NoAnswerReason::Unreachable ? msg::kAccountServerUnreachable : msg::kSignInTimedOut;
}

}  // namespace kv
