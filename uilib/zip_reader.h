#pragma once

#include <QByteArray>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kv::ui {

// Every file entry (name, uncompressed bytes) of a zip archive held in memory, in archive
// order; folders are left out. Nothing when the bytes are not a readable zip, an entry is
// damaged, or the archive would unpack to more than `maxTotalBytes`.
std::optional<std::vector<std::pair<std::string, QByteArray>>> ReadZipEntries(
    std::string_view archive, std::size_t maxTotalBytes = 512u * 1024u * 1024u);

}  // namespace kv::ui
