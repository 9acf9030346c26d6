#include "tools/korvane-catalogue/catalogue_builder.h"

#include <algorithm>
#include <filesystem>
#include <set>
#include <system_error>

#include "tools/korvane-catalogue/jar_metadata.h"
#include "tools/qrx/game_versions.h"
#include "util/digest.h"
#include "util/file_names.h"
#include "util/files.h"

namespace kv::catalogue {
namespace {

namespace fs = std::filesystem;

std::string Utf8(const fs::path& path) {
  const std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

fs::path PathOf(const std::string& utf8) { return fs::path(std::u8string(utf8.begin(), utf8.end())); }

// Letters, digits, "-", "_" and "." of a mod id, so that icon names stay plain.
std::string SafeStem(const std::string& text) {
  std::string stem;
  for (const char ch : text) {
    const bool plain = (ch >= 'a' && ch <= 'z') || (ch >= 'A' && ch <= 'Z') || (ch >= '0' && ch <= '9') ||
                       ch == '-' || ch == '_';
    stem += plain ? ch : '_';
  }
  return stem.empty() ? "mod" : stem;
}

bool IsCatalogueOrEmpty(const fs::path& folder) {
  std::error_code error;
  if (!fs::exists(folder, error)) return true;
  if (!fs::is_directory(folder, error)) return false;
  return fs::is_empty(folder, error) || fs::exists(folder / "index.json", error);
}

std::vector<fs::path> JarsIn(const fs::path& folder, std::error_code& error) {
  std::vector<fs::path> jars;
  for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
    std::error_code ignored;
    if (it->is_regular_file(ignored) && it->path().extension() == ".jar") jars.push_back(it->path());
  }
  std::sort(jars.begin(), jars.end());
  return jars;
}

// Removes what an earlier build left in `folder` that `kept` does not name.
void RemoveUnnamed(const fs::path& folder, const std::set<std::string>& kept) {
  std::error_code error;
  for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
    if (!kept.count(Utf8(it->path().filename()))) {
      std::error_code ignored;
      fs::remove(it->path(), ignored);
    }
  }
}

}  // namespace

BuildResult BuildCatalogue(const std::string& jarsFolder, const std::string& outFolder) {
  BuildResult result;
  const fs::path out = PathOf(outFolder);
  if (!IsCatalogueOrEmpty(out)) {
    result.failure = outFolder + " 不是空文件夹，也不是之前生成的目录 (没有 index.json)，不会写入";
    return result;
  }
  std::error_code error;
  const std::vector<fs::path> jars = JarsIn(PathOf(jarsFolder), error);
  if (error) {
    result.failure = "无法读取文件夹 " + jarsFolder + ": " + error.message();
    return result;
  }
  fs::create_directories(out / "jars", error);
  fs::create_directories(out / "icons", error);
  if (error) {
    result.failure = "无法创建 " + outFolder + ": " + error.message();
    return result;
  }
  // The jars and icons are written and cleaned only in folders of OUT itself: a link there
  // would carry both out of it.
  for (const char* folder : {"jars/", "icons/"}) {
    if (const Status inside = CheckNoLinkBetween(Utf8(out), Utf8(out / folder)); !inside) {
      result.failure = inside.message();
      return result;
    }
  }

  std::vector<qrx::CatalogueEntry> entries;
  std::set<std::string> keptJars;
  std::set<std::string> keptIcons;
  for (const fs::path& jar : jars) {
    const std::string fileName = Utf8(jar.filename());
    std::string problem;
    std::vector<std::string> warnings;
    std::optional<JarMod> mod = IsPlainFileName(fileName) ? ReadJarMod(Utf8(jar), problem, warnings) : std::nullopt;
    if (!IsPlainFileName(fileName)) problem = "文件名不是普通文件名";
    for (const std::string& warning : warnings) result.warnings.push_back(fileName + ": " + warning);
    const std::optional<std::string> md5 = mod ? Md5HexOfFile(Utf8(jar)) : std::nullopt;
    if (mod && !md5) problem = "无法读取";
    if (!mod || !md5) {
      result.skipped.push_back(fileName + ": " + problem);
      continue;
    }
    qrx::CatalogueEntry& entry = mod->entry;
    entry.files.push_back({"jars/" + fileName, fileName, *md5, GetFileSize(Utf8(jar))});
    std::string iconName;
    if (!mod->iconBytes.empty()) {
      const std::string iconMd5 = Md5Hex(mod->iconBytes);
      iconName = SafeStem(entry.id) + "-" + iconMd5.substr(0, 8) + "." + mod->iconExtension;
      entry.icon = qrx::CatalogueFile{"icons/" + iconName, {}, iconMd5, mod->iconBytes.size()};
    }
    // A jar that is left out publishes nothing: it is judged before anything is written.
    if (const std::string entryProblem = qrx::EntryProblem(entry); !entryProblem.empty()) {
      result.skipped.push_back(fileName + ": " + entryProblem);
      continue;
    }
    if (!CopyFileAtomically(Utf8(jar), Utf8(out / "jars" / jar.filename()))) {
      result.failure = "无法复制 " + fileName;
      return result;
    }
    keptJars.insert(fileName);
    if (!iconName.empty()) {
      if (!WriteFileAtomically(Utf8(out / "icons" / iconName), mod->iconBytes)) {
        result.failure = "无法写入图标 " + iconName;
        return result;
      }
      keptIcons.insert(iconName);
    }
    entries.push_back(std::move(entry));
  }

  // Newest first within one id: qrx installs the first entry that fits a game version.
  std::stable_sort(entries.begin(), entries.end(), [](const qrx::CatalogueEntry& a, const qrx::CatalogueEntry& b) {
    if (a.id != b.id) return a.id < b.id;
    return qrx::CompareMavenVersions(a.version, b.version) > 0;
  });
  if (!WriteFileAtomically(Utf8(out / "index.json"), qrx::WriteCatalogueIndex(entries))) {
    result.failure = "无法写入 " + Utf8(out / "index.json");
    return result;
  }
  RemoveUnnamed(out / "jars", keptJars);
  RemoveUnnamed(out / "icons", keptIcons);
  result.ok = true;
  result.mods = static_cast<int>(entries.size());
  return result;
}

}  // namespace kv::catalogue
