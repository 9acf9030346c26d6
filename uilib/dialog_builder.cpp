#include "uilib/dialog_builder.h"

#include <pugixml.hpp>

#include <functional>

#include "uilib/attribute_values.h"
#include "uilib/button.h"
#include "uilib/combo.h"
#include "uilib/container.h"
#include "uilib/edit.h"
#include "uilib/fonts.h"
#include "uilib/gif_anim.h"
#include "uilib/label.h"
#include "uilib/layouts.h"
#include "uilib/list.h"
#include "uilib/paint_manager.h"
#include "uilib/progress.h"
#include "uilib/rich_edit.h"
#include "uilib/scroll_bar.h"
#include "uilib/skin_resources.h"
#include "uilib/ui_cast.h"

namespace kv::ui {
namespace {

// Includes nest at most this deep, so that a file that includes itself cannot run away.
constexpr int kMaxIncludeDepth = 16;
constexpr int kMaxIncludeCount = 1000;

QString Text(const char* utf8) { return QString::fromUtf8(utf8); }

bool IsWindowLevelTag(const QString& tag) {
  static const QStringList tags = {QStringLiteral("image"), QStringLiteral("font"), QStringLiteral("default"),
                                   QStringLiteral("style"), QStringLiteral("import"),
                                   QStringLiteral("multilanguage")};
  return tags.contains(tag.toLower());
}

}  // namespace

CControlUI* CDialogBuilder::CreateBuiltinControl(const QString& tag) {
  using Factory = std::function<CControlUI*()>;
  static const QHash<QString, Factory> factories = {
      {QStringLiteral("control"), [] { return new CControlUI(); }},
      {QStringLiteral("container"), [] { return new CContainerUI(); }},
      {QStringLiteral("verticallayout"), [] { return new CVerticalLayoutUI(); }},
      {QStringLiteral("horizontallayout"), [] { return new CHorizontalLayoutUI(); }},
      {QStringLiteral("tilelayout"), [] { return new CTileLayoutUI(); }},
      {QStringLiteral("tablayout"), [] { return new CTabLayoutUI(); }},
      {QStringLiteral("animationtablayout"), [] { return new CAnimationTabLayoutUI(); }},
      {QStringLiteral("label"), [] { return new CLabelUI(); }},
      {QStringLiteral("text"), [] { return new CTextUI(); }},
      {QStringLiteral("button"), [] { return new CButtonUI(); }},
      {QStringLiteral("option"), [] { return new COptionUI(); }},
      {QStringLiteral("checkbox"), [] { return new CCheckBoxUI(); }},
      {QStringLiteral("edit"), [] { return new CEditUI(); }},
      {QStringLiteral("richedit"), [] { return new CRichEditUI(); }},
      {QStringLiteral("combo"), [] { return new CComboUI(); }},
      {QStringLiteral("list"), [] { return new CListUI(); }},
      {QStringLiteral("listheader"), [] { return new CListHeaderUI(); }},
      {QStringLiteral("listheaderitem"), [] { return new CListHeaderItemUI(); }},
      {QStringLiteral("listelement"), [] { return new CListLabelElementUI(); }},
      {QStringLiteral("listlabelelement"), [] { return new CListLabelElementUI(); }},
      {QStringLiteral("listtextelement"), [] { return new CListTextElementUI(); }},
      {QStringLiteral("listcontainerelement"), [] { return new CListContainerElementUI(); }},
      {QStringLiteral("progress"), [] { return new CProgressUI(); }},
      {QStringLiteral("slider"), [] { return new CSliderUI(); }},
      {QStringLiteral("scrollbar"), [] { return new CScrollBarUI(); }},
      {QStringLiteral("gifanim"), [] { return new CGifAnimUI(); }},
  };
  auto it = factories.constFind(tag.toLower());
  return it == factories.constEnd() ? nullptr : (*it)();
}

struct CDialogBuilder::Context {
  IDialogBuilderCallback* callback;
  CPaintManagerUI* manager;
  int depth;
  int fontsSeen = 0;
  CDialogBuilder* builder;

  void ApplyWindowChildren(const pugi::xml_node& root) {
    for (const pugi::xml_node& node : root.children()) {
      if (node.type() != pugi::node_element) continue;
      const QString tag = Text(node.name()).toLower();
      if (tag == u"font") {
        const int ordinal = fontsSeen++;
        if (!manager) continue;
        const pugi::xml_attribute idAttr = node.attribute("id");
        // Early layouts number their fonts by order instead of giving ids.
        const int id = idAttr ? ParseInt(Text(idAttr.value()), -1) : ordinal;
        const QFont font = MakeFont(Text(node.attribute("name").value()),
                                    ParseInt(Text(node.attribute("size").value()), kDefaultFontSize),
                                    ParseBool(Text(node.attribute("bold").value())),
                                    ParseBool(Text(node.attribute("underline").value())),
                                    ParseBool(Text(node.attribute("italic").value())),
                                    ParseBool(Text(node.attribute("strikeout").value())));
        const bool shared = ParseBool(Text(node.attribute("shared").value()));
        if (id >= 0) manager->AddFont(id, font, shared);
        if (ParseBool(Text(node.attribute("default").value()))) manager->SetDefaultFont(font, shared);
      } else if (tag == u"default") {
        if (!manager) continue;
        const QString name = Text(node.attribute("name").value());
        if (!name.isEmpty()) {
          manager->AddDefaultAttributeList(name, Text(node.attribute("value").value()),
                                           ParseBool(Text(node.attribute("shared").value())));
        }
      } else if (tag == u"style") {
        if (!manager) continue;
        const QString name = Text(node.attribute("name").value());
        if (!name.isEmpty()) {
          manager->AddStyle(name, Text(node.attribute("value").value()),
                            ParseBool(Text(node.attribute("shared").value())));
        }
      } else if (tag == u"image") {
        const QString name = Text(node.attribute("name").value());
        const ARGB mask = ParseColor(Text(node.attribute("mask").value()));
        if (!name.isEmpty() && mask != 0) SkinResources::Instance().SetDefaultMask(name, mask);
      }
    }
  }

  void ApplyAttributes(CControlUI* control, const QString& tag, const pugi::xml_node& node) {
    if (manager) {
      const QString defaults = manager->GetDefaultAttributeList(tag);
      if (!defaults.isEmpty()) control->ApplyAttributeList(defaults);
    }
    for (const pugi::xml_attribute& attribute : node.attributes()) {
      const QString name = Text(attribute.name());
      const QString value = Text(attribute.value());
      if (name.compare(u"style", Qt::CaseInsensitive) == 0 && manager) {
        const QString style = manager->GetStyle(value);
        if (!style.isEmpty()) {
          control->ApplyAttributeList(style);
          continue;
        }
      }
      control->SetAttribute(name, value);
    }
  }

  // Builds the control children of `node`; adds them to `parent` when there is one and
  // returns the first.
  CControlUI* BuildChildren(const pugi::xml_node& node, CControlUI* parent) {
    CControlUI* first = nullptr;
    auto* container = ui_cast<CContainerUI>(parent);
    for (const pugi::xml_node& child : node.children()) {
      if (child.type() != pugi::node_element) continue;
      const QString tag = Text(child.name());
      if (IsWindowLevelTag(tag) || tag.compare(u"window", Qt::CaseInsensitive) == 0) continue;
      if (tag.compare(u"include", Qt::CaseInsensitive) == 0) {
        const QString source = Text(child.attribute("source").value());
        const int count = std::clamp(ParseInt(Text(child.attribute("count").value()), 1), 0, kMaxIncludeCount);
        for (int i = 0; i < count && !source.isEmpty(); ++i) {
          CControlUI* built = builder->Build(source, callback, manager, parent, depth + 1);
          if (!first) first = built;
          if (!built) break;
        }
        continue;
      }
      CControlUI* control = CreateBuiltinControl(tag);
      if (!control && callback) control = callback->CreateControl(tag);
      if (!control) continue;  // unknown tags are skipped with their children
      if (child.first_child()) BuildChildren(child, control);
      if (parent) {
        if (!container || !container->Add(control)) {
          delete control;
          continue;
        }
      }
      if (manager) control->SetManager(manager, control->GetParent(), false);
      ApplyAttributes(control, tag, child);
      if (!first) first = control;
      if (!parent) break;  // without a parent only the first control can be handed back
    }
    return first;
  }
};

CControlUI* CDialogBuilder::Create(const QString& xml, const QString&, IDialogBuilderCallback* callback,
                                   CPaintManagerUI* manager, CControlUI* parent) {
  error_.clear();
  return Build(xml, callback, manager, parent, 0);
}

CControlUI* CDialogBuilder::Build(const QString& xml, IDialogBuilderCallback* callback, CPaintManagerUI* manager,
                                  CControlUI* parent, int depth) {
  if (depth > kMaxIncludeDepth) {
    error_ = QStringLiteral("layouts include each other too deeply");
    return nullptr;
  }
  pugi::xml_document document;
  pugi::xml_parse_result parsed;
  if (xml.trimmed().startsWith(u'<')) {
    const QByteArray utf8 = xml.toUtf8();
    parsed = document.load_buffer(utf8.constData(), static_cast<std::size_t>(utf8.size()), pugi::parse_default,
                                   pugi::encoding_utf8);
  } else {
    const std::optional<QByteArray> bytes = SkinResources::Instance().Read(xml);
    if (!bytes) {
      error_ = QStringLiteral("layout not found: %1").arg(xml);
      return nullptr;
    }
    parsed = document.load_buffer(bytes->constData(), static_cast<std::size_t>(bytes->size()));
  }
  if (!parsed) {
    error_ = QStringLiteral("layout %1 is not valid XML: %2 at offset %3")
                 .arg(xml.left(64), QString::fromUtf8(parsed.description()))
                 .arg(parsed.offset);
    return nullptr;
  }
  const pugi::xml_node root = document.document_element();
  Context context{callback, manager, depth, 0, this};
  CControlUI* built = nullptr;
  if (Text(root.name()).compare(u"window", Qt::CaseInsensitive) == 0) {
    context.ApplyWindowChildren(root);
    if (manager) {
      for (const pugi::xml_attribute& attribute : root.attributes()) {
        manager->SetWindowAttribute(Text(attribute.name()), Text(attribute.value()));
      }
    }
    built = context.BuildChildren(root, parent);
  } else {
    // A layout without <Window> is a control tree of its own.
    pugi::xml_document holder;
    holder.append_copy(root);
    built = context.BuildChildren(holder, parent);
  }
  if (!built && error_.isEmpty()) error_ = QStringLiteral("layout %1 holds no control").arg(xml.left(64));
  return built;
}

}  // namespace kv::ui
