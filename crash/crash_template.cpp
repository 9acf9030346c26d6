#include "crash/crash_template.h"

namespace kv {
namespace {

// Calls `onName` for each "{name}" of `text` and `onText` for the text between them.
template <class OnText, class OnName>
void Walk(std::string_view text, OnText onText, OnName onName) {
  std::size_t at = 0;
  while (at < text.size()) {
    const std::size_t open = text.find('{', at);
    const std::size_t close = open == std::string_view::npos ? open : text.find('}', open);
    if (close == std::string_view::npos) {
      onText(text.substr(at));
      return;
    }
    onText(text.substr(at, open - at));
    onName(text.substr(open + 1, close - open - 1));
    at = close + 1;
  }
}

std::string FillPart(std::string_view part, const std::function<std::string(std::string_view)>& value,
                     bool& everyValueKnown) {
  std::string filled;
  Walk(
      part, [&](std::string_view text) { filled += text; },
      [&](std::string_view name) {
        const std::string known = value(name);
        if (known.empty()) everyValueKnown = false;
        filled += known;
      });
  return filled;
}

}  // namespace

std::vector<std::string> TemplateNames(std::string_view text) {
  std::vector<std::string> names;
  Walk(text, [](std::string_view) {}, [&](std::string_view name) { names.emplace_back(name); });
  return names;
}

std::string FillTemplate(std::string_view text, const std::function<std::string(std::string_view)>& value) {
  std::string filled;
  std::size_t at = 0;
  while (at < text.size()) {
    const std::size_t open = text.find('[', at);
    const std::size_t close = open == std::string_view::npos ? open : text.find(']', open);
    bool unused = true;
    if (close == std::string_view::npos) {
      filled += FillPart(text.substr(at), value, unused);
      break;
    }
    filled += FillPart(text.substr(at, open - at), value, unused);
    bool everyValueKnown = true;
    const std::string optional = FillPart(text.substr(open + 1, close - open - 1), value, everyValueKnown);
    if (everyValueKnown) filled += optional;
    at = close + 1;
  }
  return filled;
}

}  // namespace kv
