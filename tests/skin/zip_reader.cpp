#include "tests/skin/zip_reader.h"

#include <minizip/unzip.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace kv::test {
namespace {

// minizip's file functions over a block of memory: the "file" is a cursor into the bytes.
struct MemoryFile {
  std::string_view bytes;
  ZPOS64_T position = 0;
};

voidpf ZCALLBACK Open(voidpf opaque, const void*, int) { return opaque; }

uLong ZCALLBACK Read(voidpf, voidpf stream, void* buffer, uLong size) {
  auto* file = static_cast<MemoryFile*>(stream);
  const ZPOS64_T left = file->bytes.size() - std::min<ZPOS64_T>(file->position, file->bytes.size());
  const uLong count = static_cast<uLong>(std::min<ZPOS64_T>(size, left));
  std::memcpy(buffer, file->bytes.data() + file->position, count);
  file->position += count;
  return count;
}

uLong ZCALLBACK Write(voidpf, voidpf, const void*, uLong) { return 0; }

ZPOS64_T ZCALLBACK Tell(voidpf, voidpf stream) { return static_cast<MemoryFile*>(stream)->position; }

long ZCALLBACK Seek(voidpf, voidpf stream, ZPOS64_T offset, int origin) {
  auto* file = static_cast<MemoryFile*>(stream);
  ZPOS64_T base = 0;
  switch (origin) {
    case ZLIB_FILEFUNC_SEEK_CUR: base = file->position; break;
    case ZLIB_FILEFUNC_SEEK_END: base = file->bytes.size(); break;
    case ZLIB_FILEFUNC_SEEK_SET: break;
    default: return -1;
  }
  if (base + offset > file->bytes.size()) return -1;
  file->position = base + offset;
  return 0;
}

int ZCALLBACK Close(voidpf, voidpf) { return 0; }
int ZCALLBACK Error(voidpf, voidpf) { return 0; }

bool ReadCurrentEntry(unzFile zip, std::string& name, std::string& content) {
  unz_file_info64 info{};
  char nameBuffer[512];
  if (unzGetCurrentFileInfo64(zip, &info, nameBuffer, sizeof nameBuffer, nullptr, 0, nullptr, 0) != UNZ_OK ||
      unzOpenCurrentFile(zip) != UNZ_OK) {
    return false;
  }
  name = nameBuffer;
  content.resize(info.uncompressed_size);
  const int read = content.empty() ? 0
                                   : unzReadCurrentFile(zip, content.data(), static_cast<unsigned>(content.size()));
  // Closing checks the entry's CRC.
  const bool closed = unzCloseCurrentFile(zip) == UNZ_OK;
  return closed && read == static_cast<int>(content.size());
}

}  // namespace

bool ReadZipFromMemory(std::string_view bytes, std::map<std::string, std::string>& entries,
                       std::string& error) {
  MemoryFile file{bytes};
  zlib_filefunc64_def functions{};
  functions.zopen64_file = Open;
  functions.zread_file = Read;
  functions.zwrite_file = Write;
  functions.ztell64_file = Tell;
  functions.zseek64_file = Seek;
  functions.zclose_file = Close;
  functions.zerror_file = Error;
  functions.opaque = &file;
  unzFile zip = unzOpen2_64("skin", &functions);
  if (zip == nullptr) {
    error = "not a zip archive";
    return false;
  }
  bool ok = true;
  for (int status = unzGoToFirstFile(zip); ok && status == UNZ_OK; status = unzGoToNextFile(zip)) {
    std::string name, content;
    ok = ReadCurrentEntry(zip, name, content);
    if (ok) {
      entries[name] = std::move(content);
    } else {
      error = "damaged entry after " + (entries.empty() ? std::string("the start") : entries.rbegin()->first);
    }
  }
  unzClose(zip);
  return ok;
}

}  // namespace kv::test
