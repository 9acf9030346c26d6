#pragma once

#include <vector>

#include "net/download_item.h"

namespace kv::cli {

// Fetches the planned files with a progress line on standard error (file k/n, name, size,
// speed). Ctrl-C cancels: the current file's partial file stays and the next run resumes it.
// Returns 1 when every file is in place, 2 when cancelled, 3 when a file kept failing (its
// reason already printed).
int DownloadWithProgress(const std::vector<DownloadItem>& plan);

}  // namespace kv::cli
