#include "tests/net/loopback_listener.h"

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdint>

namespace kv::test {
namespace {

sockaddr_in Loopback(int port) {
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = htons(static_cast<std::uint16_t>(port));
  return address;
}

}  // namespace

LoopbackListener::LoopbackListener(int backlog) : socket_(::socket(AF_INET, SOCK_STREAM, 0)) {
  sockaddr_in address = Loopback(0);
  socklen_t length = sizeof address;
  ::bind(socket_, reinterpret_cast<sockaddr*>(&address), sizeof address);
  ::listen(socket_, backlog);
  ::getsockname(socket_, reinterpret_cast<sockaddr*>(&address), &length);
  port_ = ntohs(address.sin_port);
}

LoopbackListener::~LoopbackListener() { ::close(socket_); }

std::string LoopbackListener::BaseUrl() const { return "http://127.0.0.1:" + std::to_string(port_); }

int LoopbackListener::ConnectWithoutWaiting() const {
  const int client = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
  const sockaddr_in address = Loopback(port_);
  ::connect(client, reinterpret_cast<const sockaddr*>(&address), sizeof address);
  return client;
}

}  // namespace kv::test
