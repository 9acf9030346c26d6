#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// The command line of korvane-mirror: where to listen, what to serve, and the faults it
// injects for tests. A fault's path is a request path ("/libs/a/b.jar") or "*" for every file.
namespace kv::mirror {

struct DropFault {
  std::string path;
  std::uint64_t afterBytes = 0;  // the fault strikes when an answer reaches this byte of the file
};

// A file served with another length than it has.
struct LengthFault {
  std::string path;
  std::uint64_t bytes = 0;
};

struct StatusFault {
  std::string path;
  int status = 500;
  int times = -1;  // how many requests get it; -1: all of them
};

struct MirrorOptions {
  std::string root;                    // the folder served, in the mirror layout
  std::string bindAddress = "127.0.0.1";
  int port = 0;                        // 0: pick a free port
  std::vector<DropFault> drops;        // the connection closes
  std::vector<DropFault> stalls;       // nothing more is sent, the connection stays open
  std::vector<StatusFault> statuses;
  std::vector<std::string> withoutLength;  // answered without Content-Length
  std::vector<std::string> withoutRanges;  // Range ignored: always the whole file, status 200
  std::vector<std::string> emptyHeads;     // HEAD announces an empty file (Content-Length: 0)
  std::vector<LengthFault> cuts;           // served as if the file ended after `bytes`
  std::vector<LengthFault> extras;         // served with `bytes` more after the file's end
  int delayMilliseconds = 0;               // before every answer
  std::uint64_t bytesPerSecond = 0;        // each answer's body at most this fast; 0: no limit
};

// Fills `options` from the arguments after the program name. On a mistake returns the reason.
std::optional<std::string> ParseMirrorOptions(const std::vector<std::string>& args, MirrorOptions& options);

inline constexpr const char* kMirrorUsage =
    "usage: korvane-mirror --root FOLDER [--port N] [--bind ADDRESS]\n"
    "                      [--drop PATH=BYTES] [--stall PATH=BYTES] [--status PATH=CODE[,TIMES]]\n"
    "                      [--no-length PATH] [--no-ranges PATH] [--empty-head PATH]\n"
    "                      [--cut PATH=BYTES] [--extra PATH=BYTES]\n"
    "                      [--delay MS] [--rate BYTES]\n"
    "Serves FOLDER (laid out as the download mirror) over HTTP: GET and HEAD, single byte\n"
    "ranges, keep-alive; a folder's address serves its file .index. --port 0 (the default) picks a free port. The first line on\n"
    "standard output is the base address; every request is logged on standard error.\n"
    "Faults, for tests (PATH is a request path or * for all):\n"
    "  --drop PATH=BYTES       close the connection when an answer reaches byte BYTES\n"
    "  --stall PATH=BYTES      stop sending when an answer reaches byte BYTES, keeping the\n"
    "                          connection open (for a minute)\n"
    "  --status PATH=CODE[,N]  answer CODE (for the first N requests only when N is given)\n"
    "  --no-length PATH        send no Content-Length (chunked)\n"
    "  --no-ranges PATH        ignore Range and answer 200 with the whole file\n"
    "  --empty-head PATH       answer HEAD with Content-Length: 0 (GET is not affected)\n"
    "  --cut PATH=BYTES        serve only the first BYTES of the file, as if that were all\n"
    "                          of it (the answer ends cleanly)\n"
    "  --extra PATH=BYTES      serve BYTES filler bytes after the file, as part of it\n"
    "  --delay MS              wait MS milliseconds before every answer\n"
    "  --rate BYTES            send each body at most BYTES a second\n";

}  // namespace kv::mirror
