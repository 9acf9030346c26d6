#pragma once

#include <QPointer>
#include <functional>
#include <map>

#include "dialogs/menu_observer.h"
#include "dialogs/menu_ui.h"
#include "uilib/dialog_builder.h"
#include "uilib/notify.h"
#include "uilib/paint_manager.h"
#include "uilib/window.h"

// A skinned popup menu. The window that opens it gets WMU_MENU_COMMAND for the chosen item,
// after the menu's own handling of the click (MenuCommandItem reads it). Escape, Left, a click
// outside every open menu or a choice closes all menus. The window frees itself.
namespace kv::ui {

// WMU_MENU_COMMAND: wParam points to the chosen item's name, lent for the handling of the
// message only (copy it to keep it); lParam is 1 when the item is now checked, 0 otherwise.
inline const CDuiString& MenuCommandItem(WPARAM wParam) { return *reinterpret_cast<const CDuiString*>(wParam); }

class CMenuWnd : public CWindowWnd, public ReceiverImpl, public INotifyUI, public IDialogBuilderCallback {
 public:
  CMenuWnd();
  ~CMenuWnd() override;

  // Opens a top-level menu (ownerItem null) built from `xml` with its top-left corner at
  // `screenPoint` for the window of `ownerManager`, or the sub-menu of `ownerItem`. `amend`
  // may add to the items built from the layout before the menu takes its size.
  void Init(CMenuElementUI* ownerItem, const QString& xml, CPaintManagerUI* ownerManager, QPoint screenPoint,
            std::function<void(CMenuUI&)> amend = {});

  // Every open menu.
  static ObserverImpl& ContextMenuObserver();
  // The window that opened the last top-level menu; it receives the commands.
  static HWND OwnerWindow();
  // Check states by item name, kept between openings.
  static std::map<QString, bool>& CheckStates();

  CMenuUI* GetMenuRoot() const { return root_; }
  CPaintManagerUI& GetPaintManager() { return paintManager_; }

  bool Receive(ContextMenuParam param) override;
  LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
  void Notify(TNotifyUI& msg) override;
  CControlUI* CreateControl(const QString& className) override;

 protected:
  QString GetWindowClass() const override { return QStringLiteral("MenuWnd"); }
  void OnFinalMessage(HWND hWnd) override;

 private:
  LRESULT OnCreate();
  LRESULT CreateSubMenu();
  bool IsOverAnyMenu(QPoint global) const;
  void MoveSelection(int direction);

  CMenuElementUI* ownerItem_ = nullptr;
  std::function<void(CMenuUI&)> amend_;
  QString xml_;
  QPoint point_;
  CPaintManagerUI paintManager_;
  CMenuUI* root_ = nullptr;
};

}  // namespace kv::ui
