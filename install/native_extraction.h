#pragma once

#include <string>

#include "net/download_item.h"

// Unpacking a zip archive (a native library jar, the legacy asset archive) into a folder.
namespace kv {

struct ExtractionResult {
  bool opened = false;  // false when the archive could not be opened at all
  int written = 0;      // files and folders created or overwritten
  int failed = 0;       // items that could not be read or written
  int refused = 0;      // items whose name would leave the folder
};

// Every item, in archive order, at `folder` + its stored name: folders become folders, files
// are created or overwritten (missing parent folders made) with the time stored in the
// archive. A bad item does not stop the rest; a partly written file is removed. An item whose
// name is absolute, carries a drive or climbs out with ".." is never written. "\" in a stored
// name counts as a separator. Nothing is excluded, META-INF included.
ExtractionResult ExtractArchive(const std::string& archivePath, const std::string& folder);

// The download engine's after-download step for a planned archive: unpacks its archive path
// into its extract folder. Problems go to the diagnostic log; the launch goes on without them.
void UnpackDownloadedArchive(const DownloadItem& item);

}  // namespace kv
