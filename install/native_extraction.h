#pragma once

#include <string>
#include <vector>

#include "net/download_item.h"
#include "util/result.h"

// Unpacking a zip archive (a native library jar, the legacy asset archive) into a folder.
namespace kv {

struct ExtractionResult {
  bool opened = false;  // false when the archive could not be opened at all
  int written = 0;      // files and folders created or overwritten
  int failed = 0;       // items that could not be read or written
  int refused = 0;      // items whose name would leave the folder or name the archive itself
  int excluded = 0;     // items left out as the caller asked
};

// Every item, in archive order, at `folder` + its stored name: folders become folders, files
// are created or overwritten (missing parent folders made) with the time stored in the
// archive. A bad item does not stop the rest; a partly written file is removed. An item whose
// name is absolute, carries a drive or climbs out with ".." is never written, and neither is
// one that would land on the archive being read. "\" in a stored name counts as a separator.
// An item whose name (with "/" as separator) begins with one of `exclude` is left out.
ExtractionResult ExtractArchive(const std::string& archivePath, const std::string& folder,
                                const std::vector<std::string>& exclude = {});

// The download engine's after-download step for a planned archive: unpacks its archive path
// into its extract folder, leaving out its excluded names. An archive that does not open, or
// whose items cannot all be written, fails (Invalid, Io) and is removed, so that the next plan
// fetches it again; refused names are only logged.
Status UnpackDownloadedArchive(const DownloadItem& item);

// The download engine's content check: a planned archive, jar or zip must open as a zip
// archive whose directory reads to its end (Invalid otherwise: an answer cut short). Other
// files pass.
Status CheckDownloadedFile(const DownloadItem& item, const std::string& file);

}  // namespace kv
