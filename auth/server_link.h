#pragma once

#include <optional>
#include <string>
#include <string_view>

// The links with which account-server sites hand their address to launchers: the text
// "authlib-injector:yggdrasil-server:" followed by the percent-encoded address, dragged from
// the site onto the launcher's window.
namespace kv {

// The address such a link carries (blanks and line ends around the link are ignored). Nothing
// for any other text, for an encoding that is damaged or not UTF-8 text, or for an address
// that is not http(s): a dropped text never becomes anything else.
std::optional<std::string> AccountServerFromLink(std::string_view text);

}  // namespace kv
