#include "uilib/paint_manager.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDateTime>
#include <QFontMetrics>
#include <QPainter>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QToolTip>
#include <algorithm>

#include "uilib/attribute_values.h"
#include "uilib/control.h"
#include "uilib/fonts.h"
#include "uilib/keyboard_focus.h"
#include "uilib/round_corners.h"
#include "uilib/skin_resources.h"

namespace kv::ui {
namespace {

// The listener lists hold each listener once; both report whether they changed the list.
template <typename T>
bool AddOnce(std::vector<T*>& list, T* item) {
  if (!item || std::find(list.begin(), list.end(), item) != list.end()) return false;
  list.push_back(item);
  return true;
}

template <typename T>
bool RemoveOnce(std::vector<T*>& list, T* item) {
  auto it = std::find(list.begin(), list.end(), item);
  if (it == list.end()) return false;
  list.erase(it);
  return true;
}

QHash<const QWidget*, CPaintManagerUI*>& Managers() {
  static QHash<const QWidget*, CPaintManagerUI*> managers;
  return managers;
}

QHash<QString, QString>& SharedDefaults() {
  static QHash<QString, QString> defaults;
  return defaults;
}

std::map<int, QFont>& SharedFonts() {
  static std::map<int, QFont> fonts;
  return fonts;
}

std::unique_ptr<QFont>& SharedDefaultFont() {
  static std::unique_ptr<QFont> font;
  return font;
}

bool IsInSubtree(const CControlUI* control, const CControlUI* root) {
  for (const CControlUI* c = control; c; c = c->GetParent()) {
    if (c == root) return true;
  }
  return false;
}

CControlUI* MatchName(CControlUI* control, void* data) {
  return control->GetName() == *static_cast<const QString*>(data) ? control : nullptr;
}

CControlUI* MatchPoint(CControlUI* control, void* data) {
  return control->GetPos().Contains(*static_cast<const QPoint*>(data)) ? control : nullptr;
}

struct ClassSearch {
  QString className;
  int index;
};

CControlUI* MatchClass(CControlUI* control, void* data) {
  auto* search = static_cast<ClassSearch*>(data);
  if (control->GetClass().compare(search->className, Qt::CaseInsensitive) != 0) return nullptr;
  return search->index-- == 0 ? control : nullptr;
}

struct ShortcutSearch {
  QChar key;
};

CControlUI* MatchShortcut(CControlUI* control, void* data) {
  const QChar key = static_cast<ShortcutSearch*>(data)->key;
  return (!control->GetShortcut().isNull() && control->GetShortcut() == key && control->IsEnabled() &&
          control->IsVisibleInTree())
             ? control
             : nullptr;
}

std::uint64_t Now() { return static_cast<std::uint64_t>(QDateTime::currentMSecsSinceEpoch()); }

}  // namespace

UiRect ShadowInfo::Margins() const {
  if (!show) return {};
  if (size > 0) return {size - offset.x(), size - offset.y(), size + offset.x(), size + offset.y()};
  return corner;
}

CPaintManagerUI::CPaintManagerUI() : context_(std::make_unique<QObject>()) {}

CPaintManagerUI::~CPaintManagerUI() {
  Unregister();
  if (QCoreApplication::instance()) QToolTip::hideText();
  // The tree goes while the manager can still answer the controls' last calls.
  CControlUI* root = root_;
  root_ = nullptr;
  delete root;
  for (CControlUI* control : delayedCleanup_) delete control;
  delayedCleanup_.clear();
  context_.reset();
}

void CPaintManagerUI::SetInstance(void*) {}

bool CPaintManagerUI::SetResourceZip(std::string_view archive) { return SkinResources::Instance().AddZip(archive); }

void CPaintManagerUI::SetResourcePath(const QString& folder) { SkinResources::Instance().SetFolder(folder); }

CPaintManagerUI* CPaintManagerUI::ForWindow(const QWidget* window) { return Managers().value(window, nullptr); }

void CPaintManagerUI::Unregister() {
  if (registeredWindow_ && Managers().value(registeredWindow_) == this) Managers().remove(registeredWindow_);
  registeredWindow_ = nullptr;
}

void CPaintManagerUI::Init(QWidget* window) {
  Unregister();
  window_ = window;
  if (!window) return;
  registeredWindow_ = window;
  Managers().insert(window, this);
  window->setMouseTracking(true);
  // A widget that goes first takes its entry along, so that no later widget at the same
  // address finds this manager.
  QObject::connect(window, &QObject::destroyed, context_.get(), [this, window] {
    if (registeredWindow_ == window) Unregister();
  });
}

bool CPaintManagerUI::AttachDialog(CControlUI* root) {
  if (!root) return false;
  SetFocus(nullptr);
  hot_ = eventClick_ = eventRClick_ = nullptr;
  delete root_;
  root_ = root;
  root_->SetManager(this, nullptr, true);
  layoutPending_ = true;
  firstLayoutDone_ = false;
  windowInitSent_ = false;
  NeedUpdate();
  return true;
}

void CPaintManagerUI::SetInitSize(int cx, int cy) {
  initSize_ = {cx, cy};
  if (window_ && cx > 0 && cy > 0) window_->resize(cx, cy);
}

void CPaintManagerUI::SetMinInfo(int cx, int cy) {
  minInfo_ = {std::max(0, cx), std::max(0, cy)};
  if (window_) window_->setMinimumSize(minInfo_);
}

void CPaintManagerUI::SetMaxInfo(int cx, int cy) {
  maxInfo_ = {std::max(0, cx), std::max(0, cy)};
  if (window_) {
    window_->setMaximumSize(maxInfo_.width() > 0 ? maxInfo_.width() : QWIDGETSIZE_MAX,
                            maxInfo_.height() > 0 ? maxInfo_.height() : QWIDGETSIZE_MAX);
  }
}

void CPaintManagerUI::SetOpacity(int opacity) {
  opacity_ = std::clamp(opacity, 0, 255);
  if (window_) window_->setWindowOpacity(opacity_ / 255.0);
}

void CPaintManagerUI::SetLayered(bool layered) {
  layered_ = layered;
  if (window_ && !window_->isVisible()) window_->setAttribute(Qt::WA_TranslucentBackground, layered);
}

void CPaintManagerUI::SetWindowAttribute(const QString& rawName, const QString& value) {
  const QString name = rawName.toLower();
  if (name == u"size") {
    const QSize s = ParseSize(value);
    SetInitSize(s.width(), s.height());
  } else if (name == u"mininfo") {
    const QSize s = ParseSize(value);
    SetMinInfo(s.width(), s.height());
  } else if (name == u"maxinfo") {
    const QSize s = ParseSize(value);
    SetMaxInfo(s.width(), s.height());
  } else if (name == u"caption") SetCaptionRect(ParseRect(value));
  else if (name == u"sizebox") SetSizeBox(ParseRect(value));
  else if (name == u"roundcorner") {
    const QSize s = ParseSize(value);
    // "roundcorner=5" means 5,5.
    SetRoundCorner(s.width(), value.contains(u',') ? s.height() : s.width());
    // With a compositor the window paints its own smooth corners on a see-through background,
    // which has to be asked for before the window first appears.
    if (window_ && !window_->testAttribute(Qt::WA_WState_Created) && !roundCorner_.isEmpty() &&
        SmoothCornersSupported()) {
      window_->setAttribute(Qt::WA_TranslucentBackground, true);
    }
  } else if (name == u"alpha" || name == u"opacity") SetOpacity(ParseInt(value, 255));
  else if (name == u"bktrans" || name == u"layered") SetLayered(ParseBool(value));
  else if (name == u"noactivate") {
    if (window_) window_->setAttribute(Qt::WA_ShowWithoutActivating, ParseBool(value));
    windowCustom_.insert(name, value);
  }
  else if (name == u"showdirty") SetShowUpdateRect(ParseBool(value));
  else if (name == u"tooltiphovertime") SetToolTipHoverTime(ParseInt(value, 1000));
  else if (name == u"tooltipbkcolor") SetToolTipColor(QPalette::ToolTipBase, ParseColor(value));
  else if (name == u"tooltiptextcolor") SetToolTipColor(QPalette::ToolTipText, ParseColor(value));
  else if (name == u"defaultfontcolor") defaultFontColor_ = ParseColor(value);
  else if (name == u"disabledfontcolor") disabledFontColor_ = ParseColor(value);
  else if (name == u"linkfontcolor") linkFontColor_ = ParseColor(value);
  else if (name == u"linkhoverfontcolor") linkHoverFontColor_ = ParseColor(value);
  else if (name == u"selectedcolor") selectedColor_ = ParseColor(value);
  else if (name == u"focusmarkcolor") focusMarkColor_ = ParseColor(value);
  else if (name == u"showshadow") {
    shadow_.show = ParseBool(value);
    shadowShowGiven_ = true;
  } else if (name == u"shadowimage") {
    // A shadow picture alone asks for the shadow, unless the layout said otherwise.
    shadow_.image = value;
    if (!value.isEmpty() && !shadowShowGiven_) shadow_.show = true;
  } else if (name == u"shadowcorner") shadow_.corner = ParseRect(value);
  else if (name == u"shadowsize") shadow_.size = std::clamp(ParseInt(value), -35, 35);
  else if (name == u"shadowposition") {
    const QSize s = ParseSize(value);
    shadow_.offset = {s.width(), s.height()};
  } else if (name == u"shadowcolor") shadow_.color = ParseColor(value);
  else if (name == u"shadowdarkness") shadow_.darkness = std::clamp(ParseInt(value, 150), 0, 255);
  else if (name == u"shadowsharpness") shadow_.sharpness = std::clamp(ParseInt(value, 5), 0, 35);
  else windowCustom_.insert(name, value);
}

void CPaintManagerUI::AddFont(int id, const QFont& font, bool shared) {
  if (shared) SharedFonts()[id] = font;
  else fonts_[id] = font;
}

QFont CPaintManagerUI::GetFont(int id) const {
  if (id >= 0) {
    if (auto it = fonts_.find(id); it != fonts_.end()) return it->second;
    if (auto it = SharedFonts().find(id); it != SharedFonts().end()) return it->second;
  }
  return GetDefaultFont();
}

QFont CPaintManagerUI::GetDefaultFont() const {
  if (defaultFont_) return *defaultFont_;
  if (SharedDefaultFont()) return *SharedDefaultFont();
  return DefaultFont();
}

void CPaintManagerUI::SetDefaultFont(const QFont& font, bool shared) {
  if (shared) SharedDefaultFont() = std::make_unique<QFont>(font);
  else defaultFont_ = std::make_unique<QFont>(font);
}

int CPaintManagerUI::GetDefaultFontHeight() const { return QFontMetrics(GetDefaultFont()).height(); }

int CPaintManagerUI::GetFontHeight(int id) const { return QFontMetrics(GetFont(id)).height(); }

void CPaintManagerUI::AddDefaultAttributeList(const QString& tag, const QString& list, bool shared) {
  if (shared) SharedDefaults().insert(tag.toLower(), list);
  else defaultAttributes_.insert(tag.toLower(), list);
}

QString CPaintManagerUI::GetDefaultAttributeList(const QString& tag) const {
  const QString key = tag.toLower();
  if (auto it = defaultAttributes_.constFind(key); it != defaultAttributes_.constEnd()) return *it;
  return SharedDefaults().value(key);
}

QHash<QString, QString>& SharedStyles() {
  static QHash<QString, QString> styles;
  return styles;
}

void CPaintManagerUI::AddStyle(const QString& name, const QString& list, bool shared) {
  if (shared) SharedStyles().insert(name, list);
  else styles_.insert(name, list);
}

QString CPaintManagerUI::GetStyle(const QString& name) const {
  if (auto it = styles_.constFind(name); it != styles_.constEnd()) return *it;
  return SharedStyles().value(name);
}

bool CPaintManagerUI::AddNotifier(INotifyUI* notifier) {
  return AddOnce(notifiers_, notifier);
}

bool CPaintManagerUI::RemoveNotifier(INotifyUI* notifier) {
  return RemoveOnce(notifiers_, notifier);
}

void CPaintManagerUI::SendNotify(TNotifyUI& msg, bool async) {
  msg.ptMouse = lastMouse_;
  msg.dwTimestamp = Now();
  if (msg.pSender && msg.sVirtualWnd.isEmpty()) msg.sVirtualWnd = msg.pSender->GetVirtualWnd();
  if (async) {
    // Scrolling reports only where it ended up.
    if (msg.sType == kNotifyScroll) {
      std::erase_if(asyncNotifications_, [&](const TNotifyUI& queued) {
        return queued.sType == kNotifyScroll && queued.pSender == msg.pSender;
      });
    }
    asyncNotifications_.push_back(msg);
    ScheduleFlush();
    return;
  }
  // A notifier may remove itself or others while being told; work on a copy.
  const std::vector<INotifyUI*> notifiers = notifiers_;
  for (INotifyUI* notifier : notifiers) {
    if (std::find(notifiers_.begin(), notifiers_.end(), notifier) != notifiers_.end()) notifier->Notify(msg);
  }
}

void CPaintManagerUI::SendNotify(CControlUI* control, const QString& type, WPARAM wParam, LPARAM lParam, bool async) {
  TNotifyUI msg;
  msg.sType = type;
  msg.pSender = control;
  msg.wParam = wParam;
  msg.lParam = lParam;
  SendNotify(msg, async);
}

bool CPaintManagerUI::AddPreMessageFilter(IMessageFilterUI* filter) {
  return AddOnce(preFilters_, filter);
}

bool CPaintManagerUI::RemovePreMessageFilter(IMessageFilterUI* filter) {
  return RemoveOnce(preFilters_, filter);
}

bool CPaintManagerUI::AddMessageFilter(IMessageFilterUI* filter) {
  return AddOnce(filters_, filter);
}

bool CPaintManagerUI::RemoveMessageFilter(IMessageFilterUI* filter) {
  return RemoveOnce(filters_, filter);
}

void CPaintManagerUI::SetFocus(CControlUI* control) {
  if (control == focus_) return;
  if (control && (control->GetManager() != this || !control->IsVisibleInTree())) return;
  // The mark may sit on a list around the focused row rather than on the row itself.
  if (CControlUI* holder = FocusMarkHolder(); holder && focusMarkShown_) holder->Invalidate();
  if (CControlUI* old = focus_) {
    focus_ = nullptr;
    TEventUI event;
    event.type = UiEvent::KillFocus;
    event.pSender = control;
    event.dwTimestamp = Now();
    DispatchEvent(old, event);
    // The handler may have removed the control; it is reaped from focus_ then, not here.
    SendNotify(old, kNotifyKillFocus);
  }
  if (control && control->GetManager() == this) {
    // Keys go to the window again unless the new control brings its own native editor.
    QWidget* focused = QApplication::focusWidget();
    const bool native = control->GetInterface(QStringLiteral("Edit")) || control->GetInterface(QStringLiteral("RichEdit")) ||
                        control->GetInterface(QStringLiteral("Combo"));
    if (window_ && focused && focused != window_ && window_->isAncestorOf(focused) && !native) {
      window_->setFocus(Qt::OtherFocusReason);
    }
    focus_ = control;
    TEventUI event;
    event.type = UiEvent::SetFocus;
    event.pSender = control;
    event.dwTimestamp = Now();
    DispatchEvent(control, event);
    if (CControlUI* holder = FocusMarkHolder(); holder && focusMarkShown_) holder->Invalidate();
    if (focus_ == control) SendNotify(control, kNotifySetFocus);
  }
}

bool CPaintManagerUI::SetNextTabControl(bool forward) {
  if (!root_) return false;
  UpdateLayout();
  const std::vector<CControlUI*> stops = TabStops(root_);
  if (stops.empty()) return false;
  // From a list's row, Tab goes on from the list.
  const auto it = std::find(stops.begin(), stops.end(), TabStopHolding(focus_));
  const int n = static_cast<int>(stops.size());
  int index = forward ? 0 : n - 1;
  if (it != stops.end()) {
    const int current = static_cast<int>(it - stops.begin());
    index = forward ? (current + 1) % n : (current - 1 + n) % n;
  }
  CControlUI* next = stops[static_cast<std::size_t>(index)];
  ScrollIntoView(*next);
  SetFocus(next);
  ShowFocusMark(true);
  return true;
}

void CPaintManagerUI::ShowFocusMark(bool show) {
  if (focusMarkShown_ == show) return;
  focusMarkShown_ = show;
  if (CControlUI* holder = FocusMarkHolder()) holder->Invalidate();
}

CControlUI* CPaintManagerUI::FocusMarkHolder() const { return TabStopHolding(focus_); }

void CPaintManagerUI::SetCapture() { captured_ = true; }

void CPaintManagerUI::ReleaseCapture() { captured_ = false; }

QPoint CPaintManagerUI::ClientToScreen(QPoint client) const {
  return window_ ? window_->mapToGlobal(client) : client;
}

CControlUI* CPaintManagerUI::FindControl(const QString& name) {
  if (!root_) return nullptr;
  QString key = name;
  return root_->FindControl(&MatchName, &key, UIFIND_ALL);
}

CControlUI* CPaintManagerUI::FindControl(QPoint pt) {
  if (!root_) return nullptr;
  UpdateLayout();
  return root_->FindControl(&MatchPoint, &pt, UIFIND_VISIBLE | UIFIND_HITTEST | UIFIND_TOP_FIRST);
}

CControlUI* CPaintManagerUI::FindSubControlByName(CControlUI* parent, const QString& name) {
  if (!parent) return nullptr;
  QString key = name;
  return parent->FindControl(&MatchName, &key, UIFIND_ALL);
}

CControlUI* CPaintManagerUI::FindSubControlByClass(CControlUI* parent, const QString& className, int index) {
  if (!parent) return nullptr;
  ClassSearch search{className, index};
  return parent->FindControl(&MatchClass, &search, UIFIND_ALL);
}

void CPaintManagerUI::AddOptionGroup(const QString& group, CControlUI* control) {
  if (group.isEmpty() || !control) return;
  auto& members = optionGroups_[group];
  if (std::find(members.begin(), members.end(), control) == members.end()) members.push_back(control);
}

const std::vector<CControlUI*>* CPaintManagerUI::GetOptionGroup(const QString& group) const {
  auto it = optionGroups_.find(group);
  return it == optionGroups_.end() ? nullptr : &it->second;
}

void CPaintManagerUI::RemoveOptionGroup(const QString& group, CControlUI* control) {
  auto it = optionGroups_.find(group);
  if (it == optionGroups_.end()) return;
  std::erase(it->second, control);
  if (it->second.empty()) optionGroups_.erase(it);
}

bool CPaintManagerUI::SetTimer(CControlUI* control, UINT id, UINT elapse) {
  if (!control || !context_) return false;
  KillTimer(control, id);
  auto* timer = new QTimer(context_.get());
  timer->setInterval(static_cast<int>(std::max(1u, elapse)));
  QObject::connect(timer, &QTimer::timeout, context_.get(), [this, control, id, timer] {
    const bool live = std::any_of(timers_.begin(), timers_.end(),
                                  [&](const Timer& t) { return t.timer == timer; });
    if (!live) return;
    TEventUI event;
    event.type = UiEvent::Timer;
    event.pSender = control;
    event.wParam = id;
    event.dwTimestamp = Now();
    event.ptMouse = lastMouse_;
    DispatchEvent(control, event);
  });
  timers_.push_back({control, id, timer});
  timer->start();
  return true;
}

bool CPaintManagerUI::KillTimer(CControlUI* control, UINT id) {
  for (auto it = timers_.begin(); it != timers_.end(); ++it) {
    if (it->control == control && it->id == id) {
      it->timer->stop();
      it->timer->deleteLater();
      timers_.erase(it);
      return true;
    }
  }
  return false;
}

void CPaintManagerUI::KillTimers(CControlUI* control) {
  for (auto it = timers_.begin(); it != timers_.end();) {
    if (it->control == control) {
      it->timer->stop();
      it->timer->deleteLater();
      it = timers_.erase(it);
    } else {
      ++it;
    }
  }
}

void CPaintManagerUI::ReapObjects(CControlUI* control) {
  if (!control) return;
  if (IsInSubtree(focus_, control)) focus_ = nullptr;
  if (IsInSubtree(hot_, control)) {
    hot_ = nullptr;
    if (tooltipTimer_) tooltipTimer_->stop();
    QToolTip::hideText();
  }
  if (IsInSubtree(eventClick_, control)) {
    eventClick_ = nullptr;
    captured_ = false;
  }
  if (IsInSubtree(eventRClick_, control)) eventRClick_ = nullptr;
  KillTimers(control);
  std::erase_if(asyncNotifications_, [&](const TNotifyUI& msg) { return msg.pSender == control; });
  for (auto it = optionGroups_.begin(); it != optionGroups_.end();) {
    std::erase(it->second, control);
    it = it->second.empty() ? optionGroups_.erase(it) : std::next(it);
  }
  if (root_ == control) root_ = nullptr;
}

void CPaintManagerUI::AddDelayedCleanup(CControlUI* control) {
  if (!control) return;
  control->SetManager(this, nullptr, false);
  control->SetInternVisible(false);
  delayedCleanup_.push_back(control);
  ScheduleFlush();
}

void CPaintManagerUI::ScheduleFlush() {
  if (flushScheduled_ || !context_) return;
  flushScheduled_ = true;
  QMetaObject::invokeMethod(context_.get(), [this] { Flush(); }, Qt::QueuedConnection);
}

void CPaintManagerUI::Flush() {
  flushScheduled_ = false;
  if (layoutPending_) UpdateLayout();
  std::vector<TNotifyUI> notifications;
  notifications.swap(asyncNotifications_);
  for (TNotifyUI& msg : notifications) {
    // A sender removed meanwhile was reaped from the queue; later ones still count.
    SendNotify(msg, false);
  }
  // Controls removed during an event are destroyed only once no event is being handled.
  if (dispatchDepth_ == 0) {
    std::vector<CControlUI*> cleanup;
    cleanup.swap(delayedCleanup_);
    for (CControlUI* control : cleanup) {
      ReapObjects(control);
      delete control;
    }
  }
}

void CPaintManagerUI::DispatchEvent(CControlUI* control, TEventUI& event) {
  if (!control) return;
  ++dispatchDepth_;
  control->Event(event);
  --dispatchDepth_;
  if (dispatchDepth_ == 0 && !delayedCleanup_.empty()) ScheduleFlush();
}

void CPaintManagerUI::Invalidate() {
  if (window_) window_->update();
}

void CPaintManagerUI::Invalidate(const UiRect& rc) {
  if (window_ && !rc.IsEmpty()) window_->update(rc.ToQRect());
}

void CPaintManagerUI::NeedUpdate() {
  if (layingOut_) return;
  if (!layoutPending_) {
    layoutPending_ = true;
    ScheduleFlush();
  }
  Invalidate();
}

UiRect CPaintManagerUI::ClientRect() const {
  if (!window_) return {0, 0, initSize_.width(), initSize_.height()};
  return {0, 0, window_->width(), window_->height()};
}

void CPaintManagerUI::UpdateLayout() {
  if (!root_ || layingOut_) return;
  if (!layoutPending_ && firstLayoutDone_) return;
  layingOut_ = true;
  layoutPending_ = false;
  root_->SetPos(ClientRect(), false);
  layingOut_ = false;
  firstLayoutDone_ = true;
  Invalidate();
}

void CPaintManagerUI::Paint(const PaintContext& context) {
  if (!root_ || !context.painter) return;
  UpdateLayout();
  QPainter& painter = *context.painter;
  painter.setRenderHint(QPainter::TextAntialiasing, true);
  root_->DoPaint(painter, context.dirty);
  if (showUpdateRect_) {
    painter.save();
    painter.setPen(QColor(255, 0, 0));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(context.dirty.ToQRect().adjusted(0, 0, -1, -1));
    painter.restore();
  }
  if (!windowInitSent_ && firstLayoutDone_) {
    windowInitSent_ = true;
    SendNotify(root_, kNotifyWindowInit, 0, 0, true);
  }
}

void CPaintManagerUI::SetHot(CControlUI* control, QPoint pt) {
  if (control == hot_) return;
  TEventUI event;
  event.ptMouse = pt;
  event.dwTimestamp = Now();
  if (CControlUI* old = hot_) {
    hot_ = nullptr;
    event.type = UiEvent::MouseLeave;
    event.pSender = old;
    DispatchEvent(old, event);
  }
  QToolTip::hideText();
  hot_ = control;
  if (control) {
    event.type = UiEvent::MouseEnter;
    event.pSender = control;
    DispatchEvent(control, event);
    if (!tooltipTimer_ && context_) {
      tooltipTimer_ = new QTimer(context_.get());
      tooltipTimer_->setSingleShot(true);
      QObject::connect(tooltipTimer_, &QTimer::timeout, context_.get(), [this] { ShowToolTip(); });
    }
    if (tooltipTimer_) tooltipTimer_->start(tooltipHoverTime_);
  } else if (tooltipTimer_) {
    tooltipTimer_->stop();
  }
}

void CPaintManagerUI::SetToolTipColor(QPalette::ColorRole role, ARGB color) {
  if ((color >> 24) == 0) return;
  // Qt shows one tooltip for the whole program, so its colours are the program's: the layout
  // that names them gives them to the tooltips of every window.
  QPalette palette = QToolTip::palette();
  palette.setColor(role, ToQColor(color));
  QToolTip::setPalette(palette);
}

void CPaintManagerUI::ShowToolTip() {
  if (!hot_ || !window_ || hot_->GetToolTip().isEmpty()) return;
  QString text = hot_->GetToolTip().toHtmlEscaped();
  text.replace(u'\n', QStringLiteral("<br>"));
  // Long tooltips wrap at 300 pixels.
  // In the window's own font, as its text is.
  QToolTip::setFont(GetDefaultFont());
  const bool wide = QFontMetrics(QToolTip::font()).horizontalAdvance(hot_->GetToolTip()) > 300;
  const QString html = wide ? QStringLiteral("<table width=\"300\"><tr><td>%1</td></tr></table>").arg(text)
                            : QStringLiteral("<p style=\"white-space:pre\">%1</p>").arg(text);
  QToolTip::showText(window_->mapToGlobal(lastMouse_), html, window_, hot_->GetPos().ToQRect());
}

void CPaintManagerUI::UpdateCursor() {
  if (!window_) return;
  CControlUI* control = captured_ && eventClick_ ? eventClick_ : hot_;
  const Qt::CursorShape shape = control && control->IsEnabled() ? control->GetCursor() : Qt::ArrowCursor;
  if (window_->cursor().shape() != shape) window_->setCursor(shape);
}

bool CPaintManagerUI::PreMessageHandler(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  const std::vector<IMessageFilterUI*> filters = preFilters_;
  for (IMessageFilterUI* filter : filters) {
    bool handled = false;
    const LRESULT r = filter->MessageHandler(msg, wParam, lParam, handled);
    if (handled) {
      result = r;
      return true;
    }
  }
  if (msg != WM_KEYDOWN) return false;
  const UINT modifiers = static_cast<UINT>(lParam);
  if (wParam == VK_TAB && !(modifiers & (MODIFIER_CONTROL | MODIFIER_ALT))) {
    if (focus_ && (focus_->GetControlFlags() & UIFLAG_WANTRETURN) && focus_->GetInterface(QStringLiteral("RichEdit"))) {
      return false;
    }
    SetNextTabControl((modifiers & MODIFIER_SHIFT) == 0);
    result = 0;
    return true;
  }
  if ((modifiers & MODIFIER_ALT) && root_ && wParam >= 0x30 && wParam <= 0x5A) {
    ShortcutSearch search{QChar(static_cast<char16_t>(wParam))};
    if (CControlUI* control = root_->FindControl(&MatchShortcut, &search, UIFIND_ENABLED | UIFIND_ME_FIRST)) {
      control->SetFocus();
      ShowFocusMark(true);
      control->Activate();
      result = 0;
      return true;
    }
  }
  return false;
}

bool CPaintManagerUI::MessageHandler(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  const std::vector<IMessageFilterUI*> filters = filters_;
  for (IMessageFilterUI* filter : filters) {
    bool handled = false;
    const LRESULT r = filter->MessageHandler(msg, wParam, lParam, handled);
    if (handled) {
      result = r;
      return true;
    }
  }
  result = 0;
  switch (msg) {
    case WM_PAINT: {
      const auto* context = reinterpret_cast<const PaintContext*>(lParam);
      if (context) Paint(*context);
      return true;
    }
    case WM_SIZE:
      if (wParam != SIZE_MINIMIZED) {
        NeedUpdate();
        UpdateLayout();
      }
      return false;
    case WM_MOUSEMOVE: {
      const QPoint pt = TrackPointer(lParam);
      CControlUI* control = OwnControlAt(pt);
      SetHot(control, pt);
      CControlUI* target = captured_ && eventClick_ ? eventClick_ : control;
      if (target) DispatchPointerEvent(target, UiEvent::MouseMove, pt, {.keyState = static_cast<UINT>(wParam)});
      UpdateCursor();
      return true;
    }
    case WM_MOUSELEAVE:
      if (!captured_) SetHot(nullptr, lastMouse_);
      QToolTip::hideText();
      return true;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
      const QPoint pt = TrackPointer(lParam);
      if (tooltipTimer_) tooltipTimer_->stop();
      QToolTip::hideText();
      ShowFocusMark(false);
      CControlUI* control = OwnControlAt(pt);
      if (!control) return true;
      eventClick_ = control;
      control->SetFocus();
      if (eventClick_ != control) return true;  // the focus change removed it
      SetCapture();
      DispatchPointerEvent(control, msg == WM_LBUTTONDOWN ? UiEvent::ButtonDown : UiEvent::DblClick, pt,
                           {.keyState = static_cast<UINT>(wParam)});
      return true;
    }
    case WM_LBUTTONUP: {
      const QPoint pt = TrackPointer(lParam);
      CControlUI* control = eventClick_;
      ReleaseCapture();
      eventClick_ = nullptr;
      if (!control) return true;
      DispatchPointerEvent(control, UiEvent::ButtonUp, pt, {.keyState = static_cast<UINT>(wParam)});
      UpdateCursor();
      return true;
    }
    case WM_RBUTTONDOWN: {
      const QPoint pt = TrackPointer(lParam);
      ShowFocusMark(false);
      CControlUI* control = OwnControlAt(pt);
      eventRClick_ = nullptr;
      if (!control) return true;
      control->SetFocus();
      eventRClick_ = control;
      DispatchPointerEvent(control, UiEvent::RButtonDown, pt, {});
      return true;
    }
    case WM_CONTEXTMENU: {
      CControlUI* control = eventRClick_;
      eventRClick_ = nullptr;
      if (!control || !window_) return true;
      const QPoint pt = window_->mapFromGlobal(PointFromLParam(lParam));
      lastMouse_ = pt;
      DispatchPointerEvent(control, UiEvent::ContextMenu, pt,
                           {.wParam = wParam, .lParam = reinterpret_cast<LPARAM>(control)});
      return true;
    }
    case WM_MOUSEWHEEL: {
      const QPoint pt = TrackPointer(lParam);
      CControlUI* control = OwnControlAt(pt);
      if (!control) return true;
      const int delta = HighSigned(static_cast<LPARAM>(wParam));
      DispatchPointerEvent(control, UiEvent::ScrollWheel, pt, {.wParam = delta > 0 ? 0u : 1u, .lParam = delta});
      // The content moved under the pointer.
      SetHot(FindControl(pt), pt);
      return true;
    }
    case WM_KEYDOWN:
    case WM_CHAR: {
      if (!focus_) return false;
      TEventUI event;
      event.dwTimestamp = Now();
      event.type = msg == WM_KEYDOWN ? UiEvent::KeyDown : UiEvent::Char;
      event.pSender = focus_;
      event.chKey = wParam;
      event.wKeyState = static_cast<UINT>(lParam);
      event.ptMouse = lastMouse_;
      DispatchEvent(focus_, event);
      return true;
    }
    case WM_CLOSE:
    case WM_DESTROY:
      SetFocus(nullptr);
      SetHot(nullptr, lastMouse_);
      QToolTip::hideText();
      return false;
    default:
      return false;
  }
}

QPoint CPaintManagerUI::TrackPointer(LPARAM lParam) {
  lastMouse_ = PointFromLParam(lParam);
  return lastMouse_;
}

CControlUI* CPaintManagerUI::OwnControlAt(QPoint pt) {
  CControlUI* control = FindControl(pt);
  return control && control->GetManager() == this ? control : nullptr;
}

void CPaintManagerUI::DispatchPointerEvent(CControlUI* target, UiEvent type, QPoint pt, PointerDetails details) {
  TEventUI event;
  event.dwTimestamp = Now();
  event.type = type;
  event.pSender = target;
  event.ptMouse = pt;
  event.wKeyState = details.keyState;
  event.wParam = details.wParam;
  event.lParam = details.lParam;
  DispatchEvent(target, event);
}

QSystemTrayIcon* CPaintManagerUI::GetTrayObject() {
  if (!tray_ && window_) tray_ = new QSystemTrayIcon(window_->windowIcon(), window_);
  return tray_;
}

}  // namespace kv::ui
