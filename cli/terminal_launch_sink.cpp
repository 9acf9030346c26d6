#include "cli/terminal_launch_sink.h"

#include <cstdio>

#include "cli/cli_commands.h"
#include "cli/download_progress.h"
#include "util/messages.h"

namespace kv::cli {

void TerminalLaunchSink::ShowMessage(const std::string& text, MessageKind) { Note(text); }

void TerminalLaunchSink::OfferJavaDownload(const std::string& text) { Note(text); }

bool TerminalLaunchSink::ConfirmRuntimeDownload(int major, const std::string& component) {
  Note(javaDownloads_ ? msg::RuntimeDownloading(major, component) : msg::RuntimeDownloadRefused(major, component));
  return javaDownloads_;
}

bool TerminalLaunchSink::ConfirmJavaReplacement(const std::string& text) {
  Note(text + "\n" + msg::kUseAutomaticJavaCommand);
  return false;
}

DownloadResult TerminalLaunchSink::RunDownloads(const std::vector<DownloadItem>& plan) {
  return DownloadWithProgress(plan);
}

std::optional<std::size_t> TerminalLaunchSink::ChooseProfile(const std::vector<std::string>& names) {
  Note(Printable(msg::ProfileChoiceNeeded(names)) + "\n请先用 korvane-cli login USER --profile NAME 选定角色");
  return std::nullopt;
}

void TerminalLaunchSink::AppendLog(const std::string& text) {
  std::fwrite(text.data(), 1, text.size(), stdout);
  std::fflush(stdout);
}

}  // namespace kv::cli
