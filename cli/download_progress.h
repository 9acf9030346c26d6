#pragma once

#include <optional>
#include <vector>

#include "net/download_item.h"
#include "net/download_sink.h"

namespace kv::cli {

// Fetches the planned files with a progress line on standard error (files in place of all,
// the latest file's name and size, the speed, the share of the bytes). Ctrl-C cancels: the
// partial files stay and the next run resumes them. A file that kept failing has its reason
// printed by the time this returns. `transfers`: files at once; unset, as the settings file
// says (DownloadThreads), else 16.
DownloadResult DownloadWithProgress(const std::vector<DownloadItem>& plan,
                                    std::optional<int> transfers = std::nullopt);
// The same, with the file that kept failing and its reason.
DownloadOutcome FetchWithProgress(const std::vector<DownloadItem>& plan, std::optional<int> transfers = std::nullopt);

}  // namespace kv::cli
