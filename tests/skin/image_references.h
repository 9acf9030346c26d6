#pragma once

#include <pugixml.hpp>

#include <map>
#include <string>
#include <vector>

namespace kv::test {

// The parts of an image attribute string ("file='image\a.png' source='0,0,26,17'" or a plain
// file name) that say which picture is drawn and how.
struct ImageString {
  std::string file;
  std::map<std::string, std::string> keys;  // source, dest, corner, xtiled, ...
};

ImageString ParseImageString(const std::string& text);

// `name="value" name2="value2"`, as in <Default value> and the scroll-bar style lists.
std::map<std::string, std::string> ParseAttributeList(const std::string& text);

// A layout's path for a picture ("image\a.png") as its entry name in the archive ("image/a.png").
std::string ArchiveName(const std::string& skinPath);

// One place where a layout names a picture.
struct ImageReference {
  std::string where;  // element and attribute, for messages
  std::string attribute;
  ImageString image;
  int controlWidth = 0;  // the control's fixed size, 0 when the layout does not fix it
  int controlHeight = 0;
};

// Every picture a layout names: image attributes of every element, pictures inside attribute
// lists (<Default>, scroll-bar styles), menu icons and the window's shadow. The shadow's
// nine-slice corners are given as its "corner" key.
std::vector<ImageReference> CollectImageReferences(const pugi::xml_document& layout);

}  // namespace kv::test
