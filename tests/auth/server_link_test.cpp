#include "auth/server_link.h"

#include <gtest/gtest.h>

namespace kv {
namespace {

TEST(ServerLinks, CarryAPercentEncodedWebAddress) {
  EXPECT_EQ(AccountServerFromLink("authlib-injector:yggdrasil-server:https%3A%2F%2Flittleskin.cn%2Fapi%2Fyggdrasil"),
            "https://littleskin.cn/api/yggdrasil");
  // As a drag from a page may bring it: with a line end, and the address's own escapes.
  EXPECT_EQ(AccountServerFromLink("authlib-injector:yggdrasil-server:http%3a%2f%2f127.0.0.1%3A8080%2F%25E7%259A%25AE\r\n"),
            "http://127.0.0.1:8080/%E7%9A%AE");
}

TEST(ServerLinks, AnythingElseIsIgnored) {
  for (const char* text : {
           "https://littleskin.cn/api/yggdrasil",                                  // not a link
           "authlib-injector:yggdrasil-server:",                                   // nothing in it
           "authlib-injector:yggdrasil-server:https%3A%2F%2Fskin.example%2",        // cut escape
           "authlib-injector:yggdrasil-server:https%3A%2F%2Fskin.example%ZZ",       // no hex
           "authlib-injector:yggdrasil-server:file%3A%2F%2F%2Fetc%2Fpasswd",         // no web address
           "authlib-injector:yggdrasil-server:javascript%3Aalert(1)",
           "authlib-injector:yggdrasil-server:https%3A%2F%2Fskin.example%0A%2Fapi",  // a line end inside
           "authlib-injector:yggdrasil-server:https%3A%2F%2Fskin.example%2F%FF",     // not UTF-8
           "authlib-injector:yggdrasil-server:skin.example",                         // no scheme
       }) {
    EXPECT_EQ(AccountServerFromLink(text), std::nullopt) << text;
  }
}

}  // namespace
}  // namespace kv
