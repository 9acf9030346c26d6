// The embedded skin: every layout parses, every picture a layout or the program names is in the
// archive and decodes, and the controls the windows look up by name exist.
#include "skin/embedded_skin.h"
#include "tests/skin/image_references.h"
#include "uilib/zip_reader.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QImageReader>

#include <cstdio>
#include <map>
#include <set>
#include <string>

namespace kv::test {
namespace {

const std::map<std::string, std::string>& SkinEntries() {
  static const std::map<std::string, std::string> entries = [] {
    std::map<std::string, std::string> read;
    auto zip = ui::ReadZipEntries(EmbeddedSkinZip());
    EXPECT_TRUE(zip) << "the embedded skin is not a readable zip";
    if (zip) {
      for (auto& [name, bytes] : *zip) read.emplace(name, bytes.toStdString());
    }
    return read;
  }();
  return entries;
}

QImage Decode(const std::string& bytes) {
  return QImage::fromData(QByteArray::fromRawData(bytes.data(), static_cast<int>(bytes.size())));
}

struct Rect {
  int l = 0, t = 0, r = 0, b = 0;
};

bool ParseRect(const std::string& text, Rect& rect) {
  return std::sscanf(text.c_str(), "%d,%d,%d,%d", &rect.l, &rect.t, &rect.r, &rect.b) == 4;
}

std::vector<std::string> LayoutNames() {
  std::vector<std::string> names;
  for (const auto& [name, bytes] : SkinEntries()) {
    if (name.rfind("xmls/", 0) == 0) names.push_back(name);
  }
  return names;
}

pugi::xml_document ParseLayout(const std::string& entry) {
  pugi::xml_document document;
  const std::string& bytes = SkinEntries().at(entry);
  const pugi::xml_parse_result result = document.load_buffer(bytes.data(), bytes.size());
  EXPECT_TRUE(result) << entry << ": " << result.description() << " at byte " << result.offset;
  return document;
}

TEST(SkinArchive, HoldsTheLayoutsAndPicturesUnderForwardSlashNames) {
  const auto& entries = SkinEntries();
  ASSERT_FALSE(entries.empty());
  for (const auto& [name, bytes] : entries) {
    EXPECT_TRUE(name.rfind("xmls/", 0) == 0 || name.rfind("image/", 0) == 0) << name;
    EXPECT_EQ(name.find('\\'), std::string::npos) << name;
    EXPECT_FALSE(bytes.empty()) << name;
  }
  for (const char* layout : {"xmls/Main_dlg.xml", "xmls/Log_dlg.xml", "xmls/DownLoad_dlg.xml",
                             "xmls/LoadingWnd.xml", "xmls/MessageBoxDialog.xml", "xmls/Instance_Menu.xml",
                             "xmls/AddInstance_dlg.xml", "xmls/Version_dlg.xml", "xmls/RenameIns_dlg.xml",
                             "xmls/SetWnd_dlg.xml", "xmls/InstanceSet_dlg.xml"}) {
    EXPECT_TRUE(entries.count(layout)) << layout;
  }
}

TEST(SkinArchive, EveryLayoutIsAWindowWithOneRootControl) {
  const std::set<std::string> windowSettings = {"Font", "Default", "Image", "Style", "Import"};
  for (const std::string& entry : LayoutNames()) {
    const pugi::xml_document layout = ParseLayout(entry);
    const pugi::xml_node window = layout.document_element();
    EXPECT_STREQ(window.name(), "Window") << entry;
    int controls = 0;
    for (const pugi::xml_node& child : window.children()) {
      if (child.type() == pugi::node_element && !windowSettings.count(child.name())) ++controls;
    }
    EXPECT_EQ(controls, 1) << entry;
  }
}

TEST(SkinArchive, EveryPictureALayoutNamesExistsDecodesAndFitsItsRectangles) {
  int checked = 0;
  for (const std::string& entry : LayoutNames()) {
    for (const ImageReference& reference : CollectImageReferences(ParseLayout(entry))) {
      const std::string where = entry + ": " + reference.where;
      const std::string file = ArchiveName(reference.image.file);
      const auto found = SkinEntries().find(file);
      ASSERT_NE(found, SkinEntries().end()) << where << " names missing " << reference.image.file;
      const QImage image = Decode(found->second);
      ASSERT_FALSE(image.isNull()) << where << ": " << file << " does not decode";
      ++checked;

      // A source rectangle must lie inside the picture, and nine-slice corners inside it.
      Rect source{0, 0, image.width(), image.height()};
      const auto sourceKey = reference.image.keys.find("source");
      if (sourceKey != reference.image.keys.end()) {
        ASSERT_TRUE(ParseRect(sourceKey->second, source)) << where;
        EXPECT_TRUE(source.l >= 0 && source.t >= 0 && source.r <= image.width() &&
                    source.b <= image.height() && source.l < source.r && source.t < source.b)
            << where << ": source " << sourceKey->second << " outside " << image.width() << "x" << image.height();
      }
      const auto cornerKey = reference.image.keys.find("corner");
      if (cornerKey != reference.image.keys.end()) {
        Rect corner;
        ASSERT_TRUE(ParseRect(cornerKey->second, corner)) << where;
        EXPECT_LE(corner.l + corner.r, source.r - source.l) << where;
        EXPECT_LE(corner.t + corner.b, source.b - source.t) << where;
      }
    }
  }
  EXPECT_GT(checked, 40);
}

TEST(SkinArchive, PicturesOnFixedSizeControlsAreDrawnAtTheirOwnSize) {
  // A picture stretched over a control of another size comes out blurred; a nine-slice, a
  // sprite cell, a placed picture or the progress fill are sized by their keys instead.
  for (const std::string& entry : LayoutNames()) {
    for (const ImageReference& reference : CollectImageReferences(ParseLayout(entry))) {
      if (reference.controlWidth == 0 || reference.controlHeight == 0 || reference.attribute == "foreimage") continue;
      const auto& keys = reference.image.keys;
      int width = 0, height = 0;
      if (keys.count("corner") || keys.count("dest") || keys.count("xtiled") || keys.count("ytiled")) continue;
      if (keys.count("source")) {
        Rect source;
        ASSERT_TRUE(ParseRect(keys.at("source"), source));
        width = source.r - source.l;
        height = source.b - source.t;
      } else {
        const auto found = SkinEntries().find(ArchiveName(reference.image.file));
        if (found == SkinEntries().end()) continue;  // reported by the test above
        const QImage image = Decode(found->second);
        width = image.width();
        height = image.height();
      }
      EXPECT_EQ(width, reference.controlWidth) << entry << ": " << reference.where;
      EXPECT_EQ(height, reference.controlHeight) << entry << ": " << reference.where;
    }
  }
}

TEST(SkinArchive, PicturesTheProgramNamesInCodeExistAtTheSizesItDrawsThem) {
  // These are named by the windows' code rather than by a layout; the sizes are those of the
  // dest rectangles and source strips the code uses.
  struct Expected {
    const char* file;
    int width, height;
  };
  const Expected pictures[] = {
      {"image/logo.png", 60, 60},           {"image/Btn_Add.png", 60, 60},
      {"image/ListItem_Hover.png", 90, 90}, {"image/ListItem_Pushed.png", 96, 96},
      {"image/Menu_Online.png", 15, 15},    {"image/Menu_Offline.png", 15, 15},
      {"image/ModInstalled.png", 12, 12},   {"image/ModNotInstalled.png", 12, 12},
      {"image/MessageDialog/BK.png", 333, 120}, {"image/MessageDialog/Icon.png", 108, 36},
  };
  for (const Expected& expected : pictures) {
    const auto found = SkinEntries().find(expected.file);
    ASSERT_NE(found, SkinEntries().end()) << expected.file;
    const QImage image = Decode(found->second);
    EXPECT_EQ(image.width(), expected.width) << expected.file;
    EXPECT_EQ(image.height(), expected.height) << expected.file;
  }
}

TEST(SkinArchive, LoadingAnimationLoopsThroughSeveralFrames) {
  const std::string& bytes = SkinEntries().at("image/Loading.gif");
  QByteArray data = QByteArray::fromRawData(bytes.data(), static_cast<int>(bytes.size()));
  QBuffer buffer(&data);
  QImageReader reader(&buffer, "gif");
  ASSERT_TRUE(reader.canRead()) << reader.errorString().toStdString();
  EXPECT_GT(reader.imageCount(), 1);
  EXPECT_EQ(reader.loopCount(), -1);  // forever
  EXPECT_EQ(reader.size(), QSize(40, 40));
  EXPECT_GT(reader.nextImageDelay(), 0);
}

TEST(SkinArchive, EveryFontALayoutUsesIsDeclaredInIt) {
  // An unknown font id silently falls back to the default font.
  for (const std::string& entry : LayoutNames()) {
    const pugi::xml_document layout = ParseLayout(entry);
    std::set<std::string> declared = {"-1"};
    for (const pugi::xpath_node& font : layout.select_nodes("/Window/Font")) {
      declared.insert(font.node().attribute("id").value());
    }
    auto check = [&](const std::string& where, const std::string& name, const std::string& value) {
      if (name == "font" || name == "itemfont") {
        EXPECT_TRUE(declared.count(value)) << entry << ": " << where << " uses font " << value;
      }
    };
    for (const pugi::xpath_node& found : layout.select_nodes("/Window//*")) {
      const pugi::xml_node node = found.node();
      if (std::string(node.name()) == "Default") {
        for (const auto& [name, value] : ParseAttributeList(node.attribute("value").value())) {
          check(std::string("Default ") + node.attribute("name").value(), name, value);
        }
        continue;
      }
      for (const pugi::xml_attribute& attribute : node.attributes()) {
        check(node.name(), attribute.name(), attribute.value());
      }
    }
  }
}

bool HasControl(const pugi::xml_document& layout, const std::string& name) {
  return layout.find_node([&name](const pugi::xml_node& node) { return name == node.attribute("name").value(); });
}

TEST(SkinArchive, ControlsTheWindowsLookUpByNameExist) {
  const std::map<std::string, std::vector<std::string>> wanted = {
      {"xmls/Main_dlg.xml",
       {"Main_Background", "Btn_Close", "Btn_Max", "Btn_Restore", "Btn_Min", "Btn_Set", "Btn_Login_Status",
        "Btn_StartGame", "LB_UserName", "TileLayout_GameList", "List_Mod", "CB_IsInstanll", "Option_Game",
        "Option_Mod", "Tab_Switch", "VL_ModList", "VL_ModListChild", "VL_ModInfo", "VL_ModInfoChild",
        "LB_ModName", "LB_ModAuthor", "LB_Installed", "Btn_AddMod", "Btn_DelMod", "LB_InstanceName",
        "VL_InstanceDetails", "LB_InstanceVersion", "LB_InstanceLoader", "LB_LastPlayed",
        "LB_InstanceFolder", "Btn_OpenFolder"}},
      {"xmls/Log_dlg.xml",
       {"RE_Log", "Btn_Min", "Btn_Close", "LB_WndText", "LB_LogNote", "Btn_CopyLog", "Btn_SaveLog"}},
      {"xmls/DownLoad_dlg.xml",
       {"LB_FileName", "LB_FileSize", "LB_DownLoadSpeed", "LB_FileIndex", "DownLoad_process", "LB_Total",
        "Btn_Cancel"}},
      {"xmls/LoadingWnd.xml", {"Main_Background", "LB_Stage", "Btn_Cancel"}},
      {"xmls/MessageBoxDialog.xml", {"caption", "closebtn", "TextLayout", "text", "okbtn", "cancelbtn"}},
      {"xmls/Instance_Menu.xml", {"Menu_Instance_Add", "Menu_Instance_Del", "Menu_Instance_Rename", "Menu_Instance_Settings",
                                  "Menu_Instance_Import"}},
      {"xmls/InstanceSet_dlg.xml",
       {"LB_WndText", "CB_FollowJava", "CBox_JavaPath", "LB_JavaVer", "Btn_JavaPathReset", "CB_FollowMemory",
        "LB_MachineMemory", "CB_IsAutoMallocMemory", "Ed_JVMMemoryMin", "Ed_JVMMemoryMax", "CB_FollowLaunchParameters",
        "Ed_LaunchParameters", "CB_FollowWindowSize", "Ed_WindowWidth", "Ed_WindowHeight", "Btn_Ok", "Btn_Cancel",
        "Btn_Close"}},
      {"xmls/AddInstance_dlg.xml",
       {"Ed_InstanceName", "Ed_Version", "Btn_SelectVersion", "CBox_Loader", "CBox_LoaderVersion", "LB_LoaderState",
        "Btn_OK", "Btn_Cancel", "Btn_Close"}},
      {"xmls/Version_dlg.xml", {"List_Version", "Btn_Refresh", "Btn_OK", "Btn_Cancel", "Btn_Close"}},
      {"xmls/RenameIns_dlg.xml", {"Ed_InstanceName", "Btn_Ok", "Btn_Cancel", "Btn_Close"}},
      {"xmls/SetWnd_dlg.xml",
       {"Ed_UserName", "Ed_Pwd", "CB_IsGenuine", "CBox_JavaPath", "LB_JavaVer", "Btn_JavaPathReset",
        "Btn_JavaTest", "Ed_GamePath", "Btn_SelectGamePath", "Btn_DefaultGamePath", "Ed_JVMMemoryMin",
        "Ed_JVMMemoryMax", "CB_IsAutoMallocMemory", "Ed_LaunchParameters", "CB_IsShowCmd", "CB_IsKeepLog", "Btn_Ok",
        "Btn_Cancel", "Btn_Close"}},
  };
  for (const auto& [entry, names] : wanted) {
    const pugi::xml_document layout = ParseLayout(entry);
    for (const std::string& name : names) EXPECT_TRUE(HasControl(layout, name)) << entry << " lacks " << name;
  }
}

TEST(SkinArchive, ControlNamesAreUniqueInEachLayout) {
  // The windows find controls by name; a second control of the same name would never be found.
  for (const std::string& entry : LayoutNames()) {
    const pugi::xml_document layout = ParseLayout(entry);
    std::set<std::string> seen;
    for (const pugi::xpath_node& found : layout.select_nodes("//*[@name]")) {
      const std::string tag = found.node().name();
      if (tag == "Font" || tag == "Default" || tag == "Image") continue;
      const std::string name = found.node().attribute("name").value();
      EXPECT_TRUE(seen.insert(name).second) << entry << ": " << name << " twice";
    }
  }
}

}  // namespace
}  // namespace kv::test
