// korvane: the launcher's window. libcurl is set up before anything else (the program ends
// with -1 when it cannot be); then Qt's texts in Chinese, the skin, the launcher window, its
// modal run until the player closes it, and everything taken down in reverse order.
#include <QApplication>
#include <memory>

#include "app/frame_wnd.h"
#include "app/program_start.h"
#include "net/network_library.h"
#include "skin/embedded_skin.h"
#include "uilib/paint_manager.h"
#include "uilib/skin_resources.h"

int main(int argc, char** argv) {
  kv::NetworkLibrary network;
  if (!network.Ready()) return -1;

  QApplication application(argc, argv);
  kv::LoadQtTranslations(application);
  kv::ui::CPaintManagerUI::SetInstance();
  kv::ui::SkinResources::Instance().AddZip(kv::EmbeddedSkinZip());

  auto frame = std::make_unique<kv::CFrameWnd>();
  if (!kv::CreateLauncherWindow(*frame)) return 1;
  frame->ShowModal();
  frame.reset();
  return 0;
}
