#pragma once

#include <vector>

#include "net/download_item.h"
#include "net/download_sink.h"

namespace kv::cli {

// Fetches the planned files with a progress line on standard error (file k/n, name, size,
// speed). Ctrl-C cancels: the current file's partial file stays and the next run resumes it.
// A file that kept failing has its reason printed by the time this returns.
DownloadResult DownloadWithProgress(const std::vector<DownloadItem>& plan);

}  // namespace kv::cli
