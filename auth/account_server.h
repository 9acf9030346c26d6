#pragma once

#include <string>
#include <string_view>

#include "auth/account_transport.h"
#include "util/result.h"

// The account server a player signs in to. Two kinds speak the same sign-in protocol: a plain
// Yggdrasil service, with its actions right below its address, and an authlib-injector server,
// which describes itself in the metadata at its API root and whose players the game accepts
// only when it runs with the authlib-injector agent.
namespace kv {

enum class AccountServerKind { Yggdrasil, AuthlibInjector };

struct AccountServer {
  AccountServerKind kind = AccountServerKind::Yggdrasil;
  // Plain: the address; authlib-injector: the API root. Without a trailing slash.
  std::string apiRoot;
  // authlib-injector only: the metadata document as the API root sent it, and the server's
  // name from it, fit to be shown (empty when it gives none).
  std::string metadata;
  std::string name;

  // Where a sign-in action ("authenticate", "validate", "refresh") is posted.
  std::string ActionUrl(std::string_view action) const;
};

// Finds out what `address` is. Its answer to a GET (after at most five redirects) may carry
// the API location header, relative to the address that answered or absolute: the API root is
// then where it points, else the address that answered with the metadata. A root whose answer
// is a JSON object with a "meta" object is an authlib-injector server; one that gives no such
// metadata is a plain service at `address`, unless a location header claimed it to be an API
// root. Once on https, a redirect or a location to plain http is refused (Refused): the
// password would go unencrypted. Refused too, with the player's text: an address that is not
// http(s) (Invalid), a redirect or location that does not resolve to one (Invalid), metadata
// that is not a JSON object (Invalid), a server that cannot be reached or whose answer is too
// large (the transport's kinds).
Result<AccountServer> ResolveAccountServer(const std::string& address, const AccountTransport& transport);

}  // namespace kv
