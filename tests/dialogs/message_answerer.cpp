#include "tests/dialogs/message_answerer.h"

#include <QPointer>

namespace kv::test {

using namespace ui;

MessageAnswerer::MessageAnswerer(const char* button)
    : watcher_([this, button, answered = QPointer<QWidget>()]() mutable {
        CWindowWnd* dialog = FindOpenWindow(QStringLiteral("KvMessageDialog"));
        if (!dialog || dialog->GetHWND() == answered) return;
        answered = dialog->GetHWND();
        texts_.push_back(TextOf(dialog, "text"));
        captions_.push_back(TextOf(dialog, "caption"));
        ClickControlOf(dialog, button);
      }) {}

}  // namespace kv::test
