#include "uilib/zip_reader.h"

#include <minizip/unzip.h>

#include <algorithm>
#include <cstring>

namespace kv::ui {
namespace {

// The archive as a read-only stream for minizip's I/O callbacks.
struct MemoryStream {
  std::string_view bytes;
  ZPOS64_T position = 0;
};

voidpf OpenStream(voidpf opaque, const void*, int) { return opaque; }

uLong ReadStream(voidpf, voidpf stream, void* buffer, uLong size) {
  auto* s = static_cast<MemoryStream*>(stream);
  if (s->position >= s->bytes.size()) return 0;
  const std::size_t count = std::min<std::size_t>(size, s->bytes.size() - s->position);
  std::memcpy(buffer, s->bytes.data() + s->position, count);
  s->position += count;
  return static_cast<uLong>(count);
}

uLong WriteStream(voidpf, voidpf, const void*, uLong) { return 0; }

ZPOS64_T TellStream(voidpf, voidpf stream) { return static_cast<MemoryStream*>(stream)->position; }

long SeekStream(voidpf, voidpf stream, ZPOS64_T offset, int origin) {
  auto* s = static_cast<MemoryStream*>(stream);
  ZPOS64_T base = 0;
  switch (origin) {
    case ZLIB_FILEFUNC_SEEK_SET: base = 0; break;
    case ZLIB_FILEFUNC_SEEK_CUR: base = s->position; break;
    case ZLIB_FILEFUNC_SEEK_END: base = s->bytes.size(); break;
    default: return -1;
  }
  if (base + offset > s->bytes.size()) return -1;
  s->position = base + offset;
  return 0;
}

int CloseStream(voidpf, voidpf) { return 0; }
int StreamError(voidpf, voidpf) { return 0; }

}  // namespace

std::optional<std::vector<std::pair<std::string, QByteArray>>> ReadZipEntries(std::string_view archive,
                                                                            std::size_t maxTotalBytes) {
  MemoryStream stream{archive, 0};
  zlib_filefunc64_def io{};
  io.zopen64_file = OpenStream;
  io.zread_file = ReadStream;
  io.zwrite_file = WriteStream;
  io.ztell64_file = TellStream;
  io.zseek64_file = SeekStream;
  io.zclose_file = CloseStream;
  io.zerror_file = StreamError;
  io.opaque = &stream;

  unzFile zip = unzOpen2_64("memory", &io);
  if (!zip) return std::nullopt;
  std::vector<std::pair<std::string, QByteArray>> entries;
  std::size_t total = 0;
  bool ok = true;
  for (int status = unzGoToFirstFile(zip); status == UNZ_OK; status = unzGoToNextFile(zip)) {
    unz_file_info64 info{};
    char name[1024] = {};
    if (unzGetCurrentFileInfo64(zip, &info, name, sizeof name - 1, nullptr, 0, nullptr, 0) != UNZ_OK) {
      ok = false;
      break;
    }
    const std::string entryName(name);
    if (entryName.empty() || entryName.back() == '/' || entryName.back() == '\\') continue;
    if (info.uncompressed_size > maxTotalBytes - total) {
      ok = false;
      break;
    }
    QByteArray bytes(static_cast<qsizetype>(info.uncompressed_size), Qt::Uninitialized);
    if (unzOpenCurrentFile(zip) != UNZ_OK) {
      ok = false;
      break;
    }
    qsizetype filled = 0;
    while (filled < bytes.size()) {
      const int read = unzReadCurrentFile(zip, bytes.data() + filled,
                                          static_cast<unsigned>(std::min<qsizetype>(bytes.size() - filled, 1 << 20)));
      if (read <= 0) break;
      filled += read;
    }
    // Closing checks the CRC of everything read; a short read is a damaged entry too.
    const bool crcOk = unzCloseCurrentFile(zip) == UNZ_OK;
    if (filled != bytes.size() || !crcOk) {
      ok = false;
      break;
    }
    total += static_cast<std::size_t>(bytes.size());
    entries.emplace_back(entryName, std::move(bytes));
  }
  unzClose(zip);
  if (!ok) return std::nullopt;
  return entries;
}

}  // namespace kv::ui
