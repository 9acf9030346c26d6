#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "launch/game_session.h"
#include "net/download_item.h"
#include "net/download_sink.h"
#include "play/game_crash.h"
#include "util/message_kinds.h"

namespace kv {

// How a launch shows itself. The launcher window implements it by posting to its windows and
// running its dialogs; korvane-cli by printing. Every call comes from the launch's thread.
class LaunchSink : public GameOutputSink {
 public:
  // The loading indicator is done (called before any message, window or game start).
  virtual void FinishLoading() = 0;
  // What the launch does now, said before each step that may wait for a server or the disk.
  virtual void ShowStage(const std::string& text) { static_cast<void>(text); }
  // Whether the player asked to stop the launch. Looked at between the steps: a step under way
  // ends first. The download window stops its downloads itself.
  virtual bool CancelRequested() const { return false; }
  // A message with the caption "提示" and an OK button; returns when it is dismissed.
  virtual void ShowMessage(const std::string& text, MessageKind kind) = 0;
  // The game ended with an error. The launcher window offers the crash's action beside the
  // message; a sink without buttons shows the message alone.
  virtual void ShowGameCrash(const GameCrash& crash) { ShowMessage(crash.text, MessageKind::Error); }
  // No Java fits the version and the publisher's runtime for it cannot be had: `text` says
  // which it needs. The launcher window offers the updater's Java download; korvane-cli says so.
  virtual void OfferJavaDownload(const std::string& text) = 0;
  // No Java fits and the publisher offers the runtime `component` of Java `major`: whether to
  // download it now. A sink that cannot ask does not.
  virtual bool ConfirmRuntimeDownload(int major, const std::string& component) {
    static_cast<void>(major);
    static_cast<void>(component);
    return false;
  }
  // The Java the player chose cannot be used: `text` names it and the Java that fits. Whether
  // to leave the choice of Java to the launcher from now on and go on with that one. A sink
  // that cannot ask shows the text and stops.
  virtual bool ConfirmJavaReplacement(const std::string& text) {
    ShowMessage(text, MessageKind::Warning);
    return false;
  }
  // Fetches the planned files (the download window); Completed when every file is in place.
  // A failure has been shown to the player by the time it returns.
  virtual DownloadResult RunDownloads(const std::vector<DownloadItem>& plan) = 0;
  // The player picks the game profile to play from the account's profiles, by name; the index
  // of the one chosen, or nothing. A sink that cannot ask chooses none.
  virtual std::optional<std::size_t> ChooseProfile(const std::vector<std::string>& names) {
    static_cast<void>(names);
    return std::nullopt;
  }
};

}  // namespace kv
