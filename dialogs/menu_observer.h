#pragma once

#include <algorithm>
#include <vector>

#include "uilib/window.h"

// Lets any open menu close every open menu at once: each menu window is a receiver of one
// process-wide observer, and a broadcast reaches them all, the newest first.
namespace kv::ui {

struct ContextMenuParam {
  // 1: close every menu; 2: close the menus that `hWnd` is an ancestor of.
  WPARAM wParam = 0;
  HWND hWnd = nullptr;
};

class ReceiverImpl;

class ObserverImpl {
 public:
  ~ObserverImpl();
  // Adds the receiver and registers this observer in it.
  void AddReceiver(ReceiverImpl* receiver);
  void RemoveReceiver(ReceiverImpl* receiver);
  // Hands the parameter to every receiver, last added first.
  void Broadcast(ContextMenuParam param);
  const std::vector<ReceiverImpl*>& Receivers() const { return receivers_; }

 private:
  std::vector<ReceiverImpl*> receivers_;
};

class ReceiverImpl {
 public:
  virtual ~ReceiverImpl() { RemoveObserver(); }
  void AddObserver(ObserverImpl* observer) {
    if (std::find(observers_.begin(), observers_.end(), observer) == observers_.end()) observers_.push_back(observer);
  }
  // Leaves every observer it is registered with.
  void RemoveObserver() {
    std::vector<ObserverImpl*> observers;
    observers.swap(observers_);
    for (ObserverImpl* observer : observers) observer->RemoveReceiver(this);
  }
  void ForgetObserver(ObserverImpl* observer) { std::erase(observers_, observer); }
  virtual bool Receive(ContextMenuParam) { return false; }

 private:
  std::vector<ObserverImpl*> observers_;
};

inline ObserverImpl::~ObserverImpl() {
  for (ReceiverImpl* receiver : receivers_) receiver->ForgetObserver(this);
}

inline void ObserverImpl::AddReceiver(ReceiverImpl* receiver) {
  if (!receiver) return;
  if (std::find(receivers_.begin(), receivers_.end(), receiver) == receivers_.end()) receivers_.push_back(receiver);
  receiver->AddObserver(this);
}

inline void ObserverImpl::RemoveReceiver(ReceiverImpl* receiver) {
  std::erase(receivers_, receiver);
  receiver->ForgetObserver(this);
}

inline void ObserverImpl::Broadcast(ContextMenuParam param) {
  // A receiver may leave while it is told; later ones are still told.
  const std::vector<ReceiverImpl*> receivers(receivers_.rbegin(), receivers_.rend());
  for (ReceiverImpl* receiver : receivers) {
    if (std::find(receivers_.begin(), receivers_.end(), receiver) != receivers_.end()) receiver->Receive(param);
  }
}

}  // namespace kv::ui
