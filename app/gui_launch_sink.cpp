#include "app/gui_launch_sink.h"

#include "app/crash_actions.h"
#include "dialogs/download_wnd.h"
#include "dialogs/loading_wnd.h"
#include "dialogs/log_wnd.h"
#include "dialogs/message_dialog.h"
#include "dialogs/profile_choice_wnd.h"
#include "dialogs/window_messages.h"
#include "platform/launcher_folder.h"
#include "settings/settings.h"
#include "uilib/gui_thread.h"
#include "util/messages.h"

namespace kv {

using namespace ui;

GuiLaunchSink::GuiLaunchSink(CWindowWnd& frame, CLoadingWnd& loading, CLogWnd* log,
                             const std::atomic<bool>& cancelled, CrashActionChosen onCrashAction)
    : frame_(frame), loading_(loading), log_(log), cancelled_(cancelled), onCrashAction_(std::move(onCrashAction)) {}

void GuiLaunchSink::FinishLoading() { loading_.Finish(); }

void GuiLaunchSink::ShowStage(const std::string& text) { loading_.SetText(QString::fromStdString(text)); }

bool GuiLaunchSink::CancelRequested() const { return cancelled_.load(); }

void GuiLaunchSink::ShowMessage(const std::string& text, MessageKind kind) {
  ShowMessageDialog(frame_.GetHWND(), QString::fromStdString(text), kind, kPromptCaption, kMessageOk);
}

void GuiLaunchSink::ShowGameCrash(const GameCrash& crash) {
  const CrashAction action = OfferedCrashAction(crash.action, crash.versionId);
  const std::string_view label = onCrashAction_ ? CrashActionLabel(action) : std::string_view();
  const int answer = ShowMessageDialog(frame_.GetHWND(), QString::fromStdString(crash.text), MessageKind::Error,
                                       kPromptCaption, kMessageOk,
                                       QString::fromUtf8(label.data(), static_cast<qsizetype>(label.size())));
  if (answer == kMessageActionChosen) onCrashAction_(action, crash.gameFolder);
}

void GuiLaunchSink::OfferJavaDownload(const std::string& text) {
  const QString question = QString::fromStdString(text) + QString::fromUtf8(msg::kDownloadJavaQuestion);
  if (ShowMessageDialog(frame_.GetHWND(), question, MessageKind::Question, kPromptCaption, kMessageOkCancel) ==
      IDOK) {
    frame_.PostMessage(WMU_DOWNLOAD_JAVA, 0, 0);
  }
}

bool GuiLaunchSink::ConfirmRuntimeDownload(int major, const std::string&) {
  return ShowMessageDialog(frame_.GetHWND(), QString::fromStdString(msg::RuntimeDownloadQuestion(major)),
                           MessageKind::Question, kPromptCaption, kMessageOkCancel) == IDOK;
}

bool GuiLaunchSink::ConfirmJavaReplacement(const std::string& text) {
  const QString question = QString::fromStdString(text) + QChar(u'\n') + QString::fromUtf8(msg::kUseAutomaticJavaQuestion);
  return ShowMessageDialog(frame_.GetHWND(), question, MessageKind::Warning, kPromptCaption, kMessageOkCancel) ==
         IDOK;
}

DownloadResult GuiLaunchSink::RunDownloads(const std::vector<DownloadItem>& plan) {
  DownloadOptions options;
  options.transfers = ReadSettings(SettingsFilePath()).downloadThreads.value_or(kDefaultTransfers);
  const DownloadOutcome outcome = RunOnGuiThread([&] {
    CDownLoadWnd window(plan, options);
    return window.Run(frame_.GetHWND());
  });
  if (outcome.result == DownloadResult::Failed) {
    ShowMessage(outcome.step == DownloadStep::Unpack ? msg::UnpackFailed(outcome.failedName, outcome.reason)
                                                     : msg::DownloadFailed(outcome.failedName, outcome.reason),
                MessageKind::Error);
  }
  return outcome.result;
}

std::optional<std::size_t> GuiLaunchSink::ChooseProfile(const std::vector<std::string>& names) {
  return RunOnGuiThread([&] {
    std::vector<QString> shown;
    for (const std::string& name : names) shown.push_back(QString::fromStdString(name));
    CProfileChoiceWnd window(std::move(shown));
    return window.Run(frame_.GetHWND());
  });
}

void GuiLaunchSink::ShowLauncher(bool visible) {
  // Shown again before the launch ends, so that the player finds the window in place.
  if (visible) frame_.SendMessage(WMU_SHOW, 1, 0);
  else frame_.PostMessage(WMU_SHOW, 0, 0);
}

bool GuiLaunchSink::HasLogWindow() const { return log_ != nullptr && log_->GetHWND() != nullptr; }

void GuiLaunchSink::ShowLog(bool visible) { frame_.PostMessage(WMU_SHOW_LOG, visible ? 1 : 0, 0); }

void GuiLaunchSink::ClearLog() {
  if (log_) log_->PostMessage(WMU_LOG_CLEAR, 0, 0);
}

void GuiLaunchSink::AppendLog(const std::string& text) {
  if (log_) CLogWnd::PostAppend(*log_, text);
}

}  // namespace kv
