#pragma once

#include <QDateTime>
#include <QString>
#include <cstdint>
#include <optional>

#include "uilib/notify.h"

namespace kv::ui {
class CControlUI;
class CPaintManagerUI;
}  // namespace kv::ui

// The game page's card for the selected instance: its name, its version and the loader the
// version id names (无 when it names none), when its game last started, and its folder with a button that opens it
// (creating it first when it is missing). Without a selection the card says so.
namespace kv {

class CFrameWnd;

// When an instance's game last started, as the card says it: today's and yesterday's by the
// time of day, others by date; "从未启动" before the first game.
QString LastPlayedText(std::optional<std::int64_t> secondsSince1970, const QDateTime& now);

class InstancePanel {
 public:
  explicit InstancePanel(CFrameWnd& frame) : frame_(frame) {}

  // Looks the card's controls up once the frame's layout is built.
  void FindControls(ui::CPaintManagerUI& manager);
  // Fills the card from the frame's selection and the settings file.
  void Show();
  // The card's notifications (its folder button); false for others.
  bool Notify(ui::TNotifyUI& msg);

  // The selected instance's folder as the card shows it; empty without a selection.
  const QString& Folder() const { return folder_; }

 private:
  void OpenFolder();

  CFrameWnd& frame_;
  ui::CControlUI* name_ = nullptr;
  ui::CControlUI* details_ = nullptr;
  ui::CControlUI* version_ = nullptr;
  ui::CControlUI* loader_ = nullptr;
  ui::CControlUI* lastPlayed_ = nullptr;
  ui::CControlUI* folderLabel_ = nullptr;
  ui::CControlUI* openFolder_ = nullptr;
  QString folder_;
};

}  // namespace kv
