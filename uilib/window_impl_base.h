#pragma once

#include "uilib/dialog_builder.h"
#include "uilib/notify.h"
#include "uilib/paint_manager.h"
#include "uilib/window.h"

// The base of skinned top-level windows: builds the layout on creation, drags the window by
// its caption (over plain labels and layouts only) and resizes it by its borders, cuts the
// round corners, closes on Escape, and handles the closebtn, minbtn, maxbtn and restorebtn
// buttons (maximise and restore swap the visibility of the last two).
namespace kv::ui {

class WindowImplBase : public CWindowWnd, public INotifyUI, public IMessageFilterUI, public IDialogBuilderCallback {
 public:
  WindowImplBase();
  ~WindowImplBase() override;

  CPaintManagerUI& GetPaintManager() { return paintManager_; }

  LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
  void Notify(TNotifyUI& msg) override;
  CControlUI* CreateControl(const QString& className) override;
  LRESULT MessageHandler(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled) override;

 protected:
  UINT GetClassStyle() const override { return CS_DBLCLKS; }
  // A folder to read the skin from; empty: the skin already set up.
  virtual QString GetSkinDirectory() const { return {}; }
  virtual QString GetLayoutFile() const = 0;
  virtual int GetResourceType() const { return 0; }
  virtual int GetResourceID() const { return 0; }
  // Runs once the layout is attached.
  virtual void OnWindowReady() {}
  virtual LRESULT OnSysCommand(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled);
  virtual LRESULT HandleCustomMessage(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled);
  // Keys every window answers the same way; Escape closes. True when the key was used.
  virtual bool ResponseDefaultKeyEvent(WPARAM key);

  virtual LRESULT OnCreate();
  LRESULT OnNcHitTest(LPARAM lParam);
  void OnSize(WPARAM kind);
  // Shows maxbtn or restorebtn to match the window's state.
  void SyncMaxRestoreButtons();

  CPaintManagerUI paintManager_;
};

// Whether the caption may drag the window at a point over `control`: only plain controls,
// labels and layouts (and nothing inside anything else) drag.
bool IsCaptionDragControl(CControlUI* control);

// The non-client answer for a client point: a resize edge from the size box (not while
// maximised), HTCAPTION inside the caption band where `dragsAt` allows, else HTCLIENT.
LRESULT CaptionHitTest(CPaintManagerUI& manager, QPoint client, QSize clientSize, bool maximized,
                       bool (*dragsAt)(CControlUI*));

}  // namespace kv::ui
