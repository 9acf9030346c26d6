#include "loader/install_sink.h"

#include "util/messages.h"

namespace kv {

std::string InstallStepText(InstallStep step, int done, int total) {
  std::string text;
  switch (step) {
    case InstallStep::LoaderDescription: text = msg::kInstallLoaderDescription; break;
    case InstallStep::GameDescription: text = msg::kInstallGameDescription; break;
    case InstallStep::Installer: text = msg::kInstallInstaller; break;
    case InstallStep::Libraries: text = msg::kInstallLibraries; break;
    case InstallStep::Processors: text = msg::kInstallProcessors; break;
  }
  if (total > 0) text += " " + std::to_string(done) + "/" + std::to_string(total);
  return text;
}

}  // namespace kv
