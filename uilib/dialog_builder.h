#pragma once

#include <QString>

// CDialogBuilder builds a control tree from an XML layout of the skin. For each element it
// creates the control by tag, builds and adds its children, attaches it to its parent, applies
// the <Default> list of its tag and then its own attributes in document order. <Window>
// carries the window's attributes, fonts, defaults and images; <Include> builds another file.
namespace kv::ui {

class CControlUI;
class CPaintManagerUI;

// Creates the controls of tags the library does not know.
class IDialogBuilderCallback {
 public:
  virtual ~IDialogBuilderCallback() = default;
  virtual CControlUI* CreateControl(const QString& className) = 0;
};

class CDialogBuilder {
 public:
  // Builds `xml`, a skin file name or XML text (when it starts with '<'). With `parent`, every
  // top-level control is added to it; the first one is returned. Null on a missing file,
  // broken XML or a layout without controls; GetLastError says why.
  CControlUI* Create(const QString& xml, const QString& type = {}, IDialogBuilderCallback* callback = nullptr,
                     CPaintManagerUI* manager = nullptr, CControlUI* parent = nullptr);
  const QString& GetLastError() const { return error_; }

  // The control a built-in tag names (case-insensitive); null for unknown tags.
  static CControlUI* CreateBuiltinControl(const QString& tag);

 private:
  struct Context;
  CControlUI* Build(const QString& xml, IDialogBuilderCallback* callback, CPaintManagerUI* manager,
                    CControlUI* parent, int depth);

  QString error_;
};

}  // namespace kv::ui
