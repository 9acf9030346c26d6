#pragma once

#include <string>

namespace kv {

// One planned download: a file of the game folder that is missing, and where the mirror keeps it.
struct DownloadItem {
  std::string name;           // shown while it downloads: a library's file name, the client
                              // jar's whole path, an asset's logical name, "legacy.zip"
  std::string path;           // the local target
  std::string url;            // the mirror address
  bool isArchive = false;     // unpacked after the download (native jars, the legacy archive)
  std::string archivePath;    // the file to unpack (the path) when isArchive, else empty
  std::string extractFolder;  // the path's folder, separator included, for libraries and the
                              // legacy archive; empty for the client jar and asset objects
};

}  // namespace kv
