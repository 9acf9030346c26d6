#include "tests/skin/image_references.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

namespace kv::test {
namespace {

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

bool EndsWith(const std::string& text, const std::string& end) {
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// Reads `key=<quote>value<quote>` pairs separated by blanks; `quote` is ' or ".
std::map<std::string, std::string> ParsePairs(const std::string& text, char quote) {
  std::map<std::string, std::string> pairs;
  std::size_t i = 0;
  while (i < text.size()) {
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) ++i;
    const std::size_t equals = text.find('=', i);
    if (equals == std::string::npos || equals + 1 >= text.size() || text[equals + 1] != quote) break;
    const std::size_t close = text.find(quote, equals + 2);
    if (close == std::string::npos) break;
    pairs[Lower(text.substr(i, equals - i))] = text.substr(equals + 2, close - equals - 2);
    i = close + 1;
  }
  return pairs;
}

std::pair<int, int> FixedSize(const std::map<std::string, std::string>& attributes) {
  auto number = [&attributes](const char* name) {
    const auto it = attributes.find(name);
    return it == attributes.end() ? 0 : std::atoi(it->second.c_str());
  };
  int width = number("width");
  int height = number("height");
  const auto pos = attributes.find("pos");
  int l = 0, t = 0, r = 0, b = 0;
  if (pos != attributes.end() && std::sscanf(pos->second.c_str(), "%d,%d,%d,%d", &l, &t, &r, &b) == 4) {
    if (width == 0) width = r - l;
    if (height == 0) height = b - t;
  }
  return {width, height};
}

bool IsAttributeList(const std::string& name) {
  return name == "vscrollbarstyle" || name == "hscrollbarstyle" || name == "dropbox";
}

void CollectFromAttributes(const std::string& element, const std::map<std::string, std::string>& attributes,
                           std::vector<ImageReference>& out) {
  const auto [width, height] = FixedSize(attributes);
  for (const auto& [name, value] : attributes) {
    if (IsAttributeList(name)) {
      CollectFromAttributes(element + " " + name, ParseAttributeList(value), out);
      continue;
    }
    const bool picture = EndsWith(name, "image") || (element.rfind("MenuElement", 0) == 0 && name == "icon");
    if (!picture || value.empty()) continue;
    out.push_back({element + " " + name, name, ParseImageString(value), width, height});
  }
}

std::map<std::string, std::string> AttributesOf(const pugi::xml_node& node) {
  std::map<std::string, std::string> attributes;
  for (const pugi::xml_attribute& attribute : node.attributes()) {
    attributes[Lower(attribute.name())] = attribute.value();
  }
  return attributes;
}

}  // namespace

ImageString ParseImageString(const std::string& text) {
  ImageString image;
  if (text.find('=') == std::string::npos) {
    image.file = text;
    return image;
  }
  image.keys = ParsePairs(text, '\'');
  const auto file = image.keys.find("file");
  if (file != image.keys.end()) {
    image.file = file->second;
    image.keys.erase(file);
  }
  return image;
}

std::map<std::string, std::string> ParseAttributeList(const std::string& text) { return ParsePairs(text, '"'); }

std::string ArchiveName(const std::string& skinPath) {
  std::string name = skinPath;
  std::replace(name.begin(), name.end(), '\\', '/');
  return name;
}

std::vector<ImageReference> CollectImageReferences(const pugi::xml_document& layout) {
  std::vector<ImageReference> out;
  const pugi::xml_node window = layout.document_element();
  const auto windowAttributes = AttributesOf(window);
  const auto shadow = windowAttributes.find("shadowimage");
  if (shadow != windowAttributes.end()) {
    ImageReference reference{"Window shadowimage", "shadowimage", ParseImageString(shadow->second), 0, 0};
    const auto corner = windowAttributes.find("shadowcorner");
    if (corner != windowAttributes.end()) reference.image.keys["corner"] = corner->second;
    out.push_back(reference);
  }

  for (const pugi::xpath_node& found : window.select_nodes(".//*")) {
    const pugi::xml_node node = found.node();
    const std::string tag = node.name();
    const auto attributes = AttributesOf(node);
    if (Lower(tag) == "default") {
      const std::string target = node.attribute("name").value();
      const std::string value = node.attribute("value").value();
      if (Lower(target) == "explandicon") {
        out.push_back({"Default ExplandIcon", "image", ParseImageString(value), 0, 0});
      } else {
        CollectFromAttributes("Default " + target, ParseAttributeList(value), out);
      }
      continue;
    }
    const std::string name = node.attribute("name").value();
    CollectFromAttributes(name.empty() ? tag : tag + " " + name, attributes, out);
  }
  return out;
}

}  // namespace kv::test
