#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "mods/mod_documents.h"

// What the mod page shows of the documents, without any window: which entries count as
// installed, the author line, the placeholders, where an entry's icon is and which links may
// be opened.
namespace kv {

// The placeholder of the list side, by the kind the page is told.
enum class ModPlaceholder { NotSupported = 0, Loading = 1, NoneInstalled = 2 };

// The text for a placeholder kind; nothing for kinds other than 0, 1 and 2.
std::optional<std::string> ModPlaceholderText(int kind);

// A catalogue entry counts as installed when its installed text contains "true".
bool CountsAsInstalled(const CatalogueMod& mod);

// Each author followed by two blanks, the last one too; empty without authors.
std::string AuthorLine(const std::vector<std::string>& authors);

// The icon file of an entry: the instance's ".qrx/.cache/" + `icon`. Empty when the icon is
// not a plain file name, or holds a quote (it is written into an image attribute), or when
// the instance's folder would not lie inside the instances' folder.
std::string ModIconPath(const std::string& gamePath, const std::string& instanceName, const std::string& icon);

// The address of a mod link's text: the text without its "{a}{f 3}" and "{/f}{/a}" markup,
// when that is an http or https address. Nothing for anything else.
std::optional<std::string> ModLinkAddress(std::string_view linkText);

}  // namespace kv
