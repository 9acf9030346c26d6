#include "tools/mirror/mirror_server.h"

#include <sys/socket.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <optional>
#include <thread>

#include "tools/mirror/byte_range.h"
#include "tools/mirror/connection_threads.h"

namespace kv::mirror {
namespace {

constexpr std::size_t kChunkBytes = 256 * 1024;

bool Matches(const std::string& rulePath, const std::string& requestPath) {
  return rulePath == "*" || rulePath == requestPath;
}

bool AnyMatches(const std::vector<std::string>& rulePaths, const std::string& requestPath) {
  for (const std::string& rule : rulePaths) {
    if (Matches(rule, requestPath)) return true;
  }
  return false;
}

const char* ContentTypeOf(const std::string& path) {
  return path.size() >= 5 && path.compare(path.size() - 5, 5, ".json") == 0 ? "application/json"
                                                                            : "application/octet-stream";
}

constexpr auto kLongestStall = std::chrono::minutes(1);

// The smallest byte of the faults for `path` (UINT64_MAX when none).
std::uint64_t FirstFaultByte(const std::vector<DropFault>& faults, const std::string& path) {
  std::uint64_t at = UINT64_MAX;
  for (const DropFault& fault : faults) {
    if (Matches(fault.path, path) && fault.afterBytes < at) at = fault.afterBytes;
  }
  return at;
}

// The smallest length of the faults for `path`, or nothing.
std::optional<std::uint64_t> FaultLength(const std::vector<LengthFault>& faults, const std::string& path) {
  std::optional<std::uint64_t> bytes;
  for (const LengthFault& fault : faults) {
    if (Matches(fault.path, path) && (!bytes || fault.bytes < *bytes)) bytes = fault.bytes;
  }
  return bytes;
}

// The bytes [first, first + length) of one file, read in chunks as the connection takes them;
// past the file's first `fileBytes` come filler bytes (an answer longer than the file). An
// answer that starts before byte `dropAt` is cut off there (and the connection closed), so
// a client that resumes from that byte gets the rest; one that starts before `stallAt` stops
// sending there, as a stalled server does. With a rate, chunks are a tenth of a second's
// worth, each followed by its share of the second.
class FileSlice {
 public:
  FileSlice(const std::string& path, std::uint64_t fileBytes, std::uint64_t first, std::uint64_t dropAt,
            std::uint64_t stallAt, std::uint64_t bytesPerSecond)
      : path_(path), fileBytes_(fileBytes), first_(first), dropAt_(first < dropAt ? dropAt : UINT64_MAX),
        stallAt_(first < stallAt ? stallAt : UINT64_MAX), bytesPerSecond_(bytesPerSecond), buffer_(kChunkBytes) {}

  // Writes the next chunk from `offset` (counted from the slice's start), at most `limit`
  // bytes; false to close the connection.
  bool WriteFrom(std::size_t offset, std::size_t limit, httplib::DataSink& sink) {
    std::uint64_t position = first_ + offset;
    if (position >= dropAt_) return false;
    if (position >= stallAt_) {
      // Until the client gives up (or a minute has passed).
      auto giveUp = std::chrono::steady_clock::now() + kLongestStall;
      while (sink.is_writable() && std::chrono::steady_clock::now() < giveUp) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
      }
      return false;
    }
    std::size_t want = limit < kChunkBytes ? limit : kChunkBytes;
    if (bytesPerSecond_ > 0 && want > bytesPerSecond_ / 10 + 1) want = static_cast<std::size_t>(bytesPerSecond_ / 10 + 1);
    if (position + want > dropAt_) want = static_cast<std::size_t>(dropAt_ - position);
    if (position + want > stallAt_) want = static_cast<std::size_t>(stallAt_ - position);
    std::streamsize got = static_cast<std::streamsize>(want);
    if (position >= fileBytes_) {
      std::fill(buffer_.begin(), buffer_.begin() + got, '#');
    } else {
      if (position + want > fileBytes_) want = static_cast<std::size_t>(fileBytes_ - position);
      if (!in_.is_open()) in_.open(path_, std::ios::binary);  // not for HEAD requests
      in_.seekg(static_cast<std::streamoff>(position));
      in_.read(buffer_.data(), static_cast<std::streamsize>(want));
      got = in_.gcount();
    }
    if (got <= 0) return false;
    if (!sink.write(buffer_.data(), static_cast<std::size_t>(got))) return false;
    if (bytesPerSecond_ > 0) {
      std::this_thread::sleep_for(std::chrono::microseconds(static_cast<std::uint64_t>(got) * 1000000 / bytesPerSecond_));
    }
    return true;
  }

 private:
  std::string path_;
  std::ifstream in_;
  std::uint64_t fileBytes_;
  std::uint64_t first_;
  std::uint64_t dropAt_;
  std::uint64_t stallAt_;
  std::uint64_t bytesPerSecond_;
  std::vector<char> buffer_;
};

}  // namespace

std::string ResolveServedFile(const std::string& root, const std::string& requestPath) {
  if (requestPath.empty() || requestPath.front() != '/') return {};
  std::string relative;
  std::size_t start = 1;
  while (start <= requestPath.size()) {
    std::size_t end = requestPath.find('/', start);
    if (end == std::string::npos) end = requestPath.size();
    std::string segment = requestPath.substr(start, end - start);
    start = end + 1;
    if (segment.empty()) continue;
    if (segment == "." || segment == ".." || segment.find('\\') != std::string::npos ||
        segment.find('\0') != std::string::npos) {
      return {};
    }
    relative += "/" + segment;
  }
  if (relative.empty()) return {};
  std::string file = root + relative;
  std::error_code error;
  // An address that is also a folder's (a list at .../loader/1.21.1, its entries below it)
  // is the folder's document.
  if (std::filesystem::is_directory(file, error)) file += "/" + std::string(kFolderDocument);
  return std::filesystem::is_regular_file(file, error) ? file : std::string();
}

MirrorServer::MirrorServer(MirrorOptions options) : options_(std::move(options)) {
  while (options_.root.size() > 1 && options_.root.back() == '/') options_.root.pop_back();
  for (const StatusFault& fault : options_.statuses) {
    statusRules_.push_back({fault, std::make_shared<std::atomic<int>>(0)});
  }
  server_.new_task_queue = [] { return new ConnectionThreads; };
  server_.set_socket_options([this](socket_t socket) {
    httplib::default_socket_options(socket);
    listeningSocket_ = socket;
  });
  server_.set_tcp_nodelay(true);
  server_.set_keep_alive_max_count(1000000);
  // Each request is logged before its answer goes out, so that a client that has its answer
  // finds its request in the log.
  server_.Get(".*", [this](const httplib::Request& request, httplib::Response& response) {
    HandleGet(request, response);
    Log(request, response);
  });
}

int MirrorServer::Bind() {
  int port = options_.port;
  if (port == 0) {
    port = server_.bind_to_any_port(options_.bindAddress);
  } else if (!server_.bind_to_port(options_.bindAddress, port)) {
    port = -1;
  }
  // The library listens with a backlog of five: of many clients connecting at once, the
  // surplus would have their connection attempts dropped and repeated a second later.
  if (port > 0 && listeningSocket_ != INVALID_SOCKET) ::listen(listeningSocket_, SOMAXCONN);
  return port;
}

void MirrorServer::Serve() { server_.listen_after_bind(); }

bool MirrorServer::AnswerWithFault(const std::string& path, httplib::Response& response) {
  for (StatusRule& rule : statusRules_) {
    if (!Matches(rule.fault.path, path)) continue;
    if (rule.fault.times >= 0 && rule.served->fetch_add(1) >= rule.fault.times) continue;
    response.status = rule.fault.status;
    response.set_content("status " + std::to_string(rule.fault.status) + " for " + path + "\n", "text/plain");
    return true;
  }
  return false;
}

void MirrorServer::HandleGet(const httplib::Request& request, httplib::Response& response) {
  // This version of the library cuts every answer to the request's ranges by itself, and
  // miscounts ranges beyond the end of the file; the handler answers ranges itself instead.
  const_cast<httplib::Request&>(request).ranges.clear();
  if (options_.delayMilliseconds > 0) {
    std::this_thread::sleep_for(std::chrono::milliseconds(options_.delayMilliseconds));
  }
  const std::string& path = request.path;
  if (AnswerWithFault(path, response)) return;
  std::string file = ResolveServedFile(options_.root, path);
  if (file.empty()) {
    response.status = 404;
    response.set_content("not found: " + path + "\n", "text/plain");
    return;
  }
  std::error_code error;
  std::uint64_t fileBytes = std::filesystem::file_size(file, error);
  if (error) {
    response.status = 500;
    response.set_content("unreadable: " + path + "\n", "text/plain");
    return;
  }
  if (const std::optional<std::uint64_t> cut = FaultLength(options_.cuts, path)) fileBytes = std::min(fileBytes, *cut);
  const std::uint64_t size = fileBytes + FaultLength(options_.extras, path).value_or(0);

  if (request.method == "HEAD" && AnyMatches(options_.emptyHeads, path)) {
    response.status = 200;
    response.set_content(std::string(), ContentTypeOf(path));
    return;
  }

  ByteRange range;
  if (request.has_header("Range") && !AnyMatches(options_.withoutRanges, path)) {
    range = ParseByteRange(request.get_header_value("Range"), size);
  }
  std::uint64_t first = 0;
  std::uint64_t length = size;
  switch (range.kind) {
    case ByteRange::Kind::Unsatisfiable:
      response.status = 416;
      response.set_header("Content-Range", "bytes */" + std::to_string(size));
      return;
    case ByteRange::Kind::Part:
      first = range.first;
      length = range.length;
      response.status = 206;
      response.set_header("Content-Range", "bytes " + std::to_string(first) + "-" +
                                               std::to_string(first + length - 1) + "/" + std::to_string(size));
      break;
    case ByteRange::Kind::Whole:
      response.status = 200;
      break;
  }
  response.set_header("Accept-Ranges", AnyMatches(options_.withoutRanges, path) ? "none" : "bytes");

  auto slice = std::make_shared<FileSlice>(file, fileBytes, first, FirstFaultByte(options_.drops, path),
                                           FirstFaultByte(options_.stalls, path), options_.bytesPerSecond);
  const char* type = ContentTypeOf(path);
  if (AnyMatches(options_.withoutLength, path)) {
    response.set_chunked_content_provider(type, [slice, length](std::size_t offset, httplib::DataSink& sink) {
      if (offset >= length) {
        sink.done();
        return true;
      }
      return slice->WriteFrom(offset, static_cast<std::size_t>(length - offset), sink);
    });
  } else if (length == 0) {
    response.set_content(std::string(), type);
  } else {
    response.set_content_provider(static_cast<std::size_t>(length), type,
                                  [slice](std::size_t offset, std::size_t limit, httplib::DataSink& sink) {
                                    return slice->WriteFrom(offset, limit, sink);
                                  });
  }
}

void MirrorServer::Log(const httplib::Request& request, const httplib::Response& response) {
  std::string range = request.get_header_value("Range");
  std::lock_guard lock(logMutex_);
  std::fprintf(stderr, "%s:%d %s %s%s%s %d\n", request.remote_addr.c_str(), request.remote_port,
               request.method.c_str(), request.target.c_str(), range.empty() ? "" : " ",
               range.c_str(), response.status);
  std::fflush(stderr);
}

}  // namespace kv::mirror
