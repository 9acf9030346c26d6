#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "install/download_source.h"
#include "loader/install_sink.h"
#include "meta/version_description.h"
#include "net/download_engine.h"
#include "util/result.h"

// The steps that every loader's installation shares. An installation works outside versions/
// and puts the loader's description there last, so that a failure leaves no version behind
// (the libraries it fetched and checked may stay: they are the published files).
namespace kv {

// Brings the description of the game version that the loader extends into the game folder, as
// a launch does, and checks that it can be read.
Status ProvideGameDescription(const std::string& gamePath, const std::string& gameVersion, const DownloadSource& source,
                              InstallSink& sink);

// Fetches the libraries of `description` that are not in place, each checked against the
// checksum its description gives, else the one its repository publishes beside it (.sha1);
// reports the Libraries step. A failure names the file that kept failing.
Status FetchLibraries(const std::string& gamePath, const VersionDescription& description, const DownloadSource& source,
                      const DownloadOptions& options, InstallSink& sink);

// Fetches the files of `plan` (none of them in place yet), reporting `step`: the files done
// of all for the Libraries step, the step alone for any other. A failure names the file that
// kept failing.
Status FetchPlanned(std::vector<DownloadItem> plan, InstallStep step, const DownloadOptions& options, InstallSink& sink);

// What a loader's description must be to be saved: a version of its own name (not the game's,
// which it would overwrite) that extends the game version, with libraries that stay in their
// folder.
bool IsInstallableDescription(const VersionDescription& description, const std::string& gameVersion);

// Puts `bytes` at versions/<id>/<id>.json in one step: a reader finds the whole description or none.
Status PlaceDescription(const std::string& gamePath, const std::string& id, std::string_view bytes);

}  // namespace kv
