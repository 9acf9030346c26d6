#pragma once

#include <QImage>
#include <vector>

#include "uilib/control.h"

// An animated GIF (the control's bkimage, a plain file name) stretched over the control, each
// frame held for its own delay, looping; it plays while shown and stops while hidden.
namespace kv::ui {

class CGifAnimUI : public CControlUI {
 public:
  static constexpr UINT kTimerId = 0x61F;
  QString GetClass() const override;
  void* GetInterface(const QString& name) override;

  void PlayGif();
  void PauseGif();
  void StopGif();
  bool IsPlaying() const { return playing_; }
  int FrameCount() const { return static_cast<int>(frames_.size()); }
  int CurrentFrame() const { return current_; }

  void DoInit() override;
  void SetVisible(bool visible = true) override;
  void SetInternVisible(bool visible = true) override;
  QSize EstimateSize(QSize available) override;
  void DoEvent(TEventUI& event) override;
  void SetAttribute(const QString& name, const QString& value) override;
  void PaintBkImage(QPainter& painter) override;

 private:
  void LoadFrames();
  void FollowVisibility();

  struct Frame {
    QImage image;
    int delayMs;
  };
  std::vector<Frame> frames_;
  QString loadedFile_;
  int current_ = 0;
  bool playing_ = false;
  bool autoPlay_ = true;
  bool autoSize_ = false;
};

}  // namespace kv::ui
