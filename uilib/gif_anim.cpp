#include "uilib/gif_anim.h"

#include <QBuffer>
#include <QImageReader>
#include <QPainter>

#include "uilib/attribute_values.h"
#include "uilib/paint_manager.h"
#include "uilib/skin_resources.h"

namespace kv::ui {

QString CGifAnimUI::GetClass() const { return QStringLiteral("GifAnimUI"); }

void* CGifAnimUI::GetInterface(const QString& name) {
  if (name.compare(u"GifAnim", Qt::CaseInsensitive) == 0) return this;
  return CControlUI::GetInterface(name);
}

void CGifAnimUI::LoadFrames() {
  if (loadedFile_ == bkImage_) return;
  loadedFile_ = bkImage_;
  frames_.clear();
  current_ = 0;
  std::optional<QByteArray> bytes = SkinResources::Instance().Read(bkImage_);
  if (!bytes) return;
  QBuffer buffer(&*bytes);
  buffer.open(QIODevice::ReadOnly);
  QImageReader reader(&buffer);
  for (int i = 0; i < 10000; ++i) {
    QImage image = reader.read();
    if (image.isNull()) break;
    const int delay = reader.nextImageDelay();
    // A delay of 0 would spin; such frames are held for 100 ms.
    frames_.push_back({std::move(image), delay > 0 ? delay : 100});
    if (!reader.canRead()) break;
  }
  if (autoSize_ && !frames_.empty()) {
    cxyFixed_ = frames_.front().image.size();
    NeedParentUpdate();
  }
}

void CGifAnimUI::PlayGif() {
  if (!manager_ || frames_.size() < 2) {
    playing_ = !frames_.empty();
    return;
  }
  playing_ = true;
  manager_->SetTimer(this, kTimerId, static_cast<UINT>(frames_[static_cast<std::size_t>(current_)].delayMs));
}

void CGifAnimUI::PauseGif() {
  playing_ = false;
  if (manager_) manager_->KillTimer(this, kTimerId);
}

void CGifAnimUI::StopGif() {
  PauseGif();
  current_ = 0;
  Invalidate();
}

void CGifAnimUI::FollowVisibility() {
  if (!manager_) return;
  if (IsVisible() && autoPlay_) {
    if (!playing_) PlayGif();
  } else if (playing_) {
    StopGif();
  }
}

void CGifAnimUI::DoInit() {
  LoadFrames();
  FollowVisibility();
}

void CGifAnimUI::SetVisible(bool visible) {
  CControlUI::SetVisible(visible);
  FollowVisibility();
}

void CGifAnimUI::SetInternVisible(bool visible) {
  CControlUI::SetInternVisible(visible);
  FollowVisibility();
}

QSize CGifAnimUI::EstimateSize(QSize) { return cxyFixed_; }

void CGifAnimUI::DoEvent(TEventUI& event) {
  if (event.type == UiEvent::Timer && event.wParam == kTimerId) {
    if (frames_.empty()) return;
    current_ = (current_ + 1) % static_cast<int>(frames_.size());
    Invalidate();
    if (manager_) {
      manager_->SetTimer(this, kTimerId, static_cast<UINT>(frames_[static_cast<std::size_t>(current_)].delayMs));
    }
    return;
  }
  CControlUI::DoEvent(event);
}

void CGifAnimUI::SetAttribute(const QString& rawName, const QString& value) {
  const QString name = rawName.toLower();
  if (name == u"bkimage") {
    SetBkImage(value);
    if (manager_) {
      LoadFrames();
      FollowVisibility();
    }
  } else if (name == u"autoplay") {
    autoPlay_ = ParseBool(value);
    FollowVisibility();
  } else if (name == u"autosize") {
    autoSize_ = ParseBool(value);
  } else {
    CControlUI::SetAttribute(rawName, value);
  }
}

void CGifAnimUI::PaintBkImage(QPainter& painter) {
  if (frames_.empty()) LoadFrames();
  if (frames_.empty()) return;
  painter.save();
  painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
  painter.drawImage(rcItem_.ToQRect(), frames_[static_cast<std::size_t>(current_)].image);
  painter.restore();
}

}  // namespace kv::ui
