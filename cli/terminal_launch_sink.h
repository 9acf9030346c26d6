#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "play/launch_sink.h"

namespace kv::cli {

// A launch as a terminal shows it: messages on standard error, as every refusal of this
// program is, the game's output on standard output, the downloads with a progress line. It asks
// nothing: the Java runtime a version needs is downloaded unless `javaDownloads` is off.
class TerminalLaunchSink : public LaunchSink {
 public:
  explicit TerminalLaunchSink(bool javaDownloads = true) : javaDownloads_(javaDownloads) {}

  void FinishLoading() override {}
  void ShowMessage(const std::string& text, MessageKind kind) override;
  void OfferJavaDownload(const std::string& text) override;
  bool ConfirmRuntimeDownload(int major, const std::string& component) override;
  bool ConfirmJavaReplacement(const std::string& text) override;
  DownloadResult RunDownloads(const std::vector<DownloadItem>& plan) override;
  // The profile is chosen once, with login --profile.
  std::optional<std::size_t> ChooseProfile(const std::vector<std::string>& names) override;
  void ShowLauncher(bool) override {}
  bool HasLogWindow() const override { return true; }
  void ShowLog(bool) override {}
  void ClearLog() override {}
  void AppendLog(const std::string& text) override;

 private:
  bool javaDownloads_;
};

}  // namespace kv::cli
