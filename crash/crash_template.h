#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

// The texts of the table of causes: "{name}" stands for a value, and a part in "[" ... "]" is
// shown only when every value inside it is known (not empty), so one text reads well with and
// without an optional capture.
namespace kv {

// The names of the values a text uses, in order.
std::vector<std::string> TemplateNames(std::string_view text);

// The text with its values filled in; `value` gives a name's value, empty when unknown.
std::string FillTemplate(std::string_view text, const std::function<std::string(std::string_view)>& value);

}  // namespace kv
