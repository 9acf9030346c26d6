#include "settings/instance_folders.h"

#include <cerrno>
#include <filesystem>
#include <system_error>

#include "platform/diagnostic_log.h"

namespace kv {
namespace fs = std::filesystem;
namespace {

// The path with its folders resolved (links included) but its last component kept as it is,
// so that a link in the last place is judged, and deleted, as the link itself.
fs::path ResolveParent(const std::string& path) {
  fs::path lexical = fs::path(path).lexically_normal();
  if (!lexical.has_filename()) lexical = lexical.parent_path();
  std::error_code error;
  fs::path parent = fs::weakly_canonical(lexical.parent_path(), error);
  if (error) return {};
  return parent / lexical.filename();
}

int ErrorCode(const std::error_code& error) { return error ? error.value() : 0; }

}  // namespace

std::string InstancesRoot(const std::string& gamePath) { return gamePath + "../Instance/"; }

std::string InstanceFolder(const std::string& gamePath, const std::string& name) {
  return InstancesRoot(gamePath) + name + "/";
}

std::string ShownInstanceFolder(const std::string& gamePath, const std::string& name) {
  return fs::path(InstanceFolder(gamePath, name)).lexically_normal().string();
}

bool IsStrictlyInside(const std::string& path, const std::string& root) {
  fs::path target = ResolveParent(path);
  std::error_code error;
  fs::path base = fs::weakly_canonical(fs::path(root).lexically_normal(), error);
  if (error || target.empty() || base.empty()) return false;
  fs::path name = target.filename();
  if (name.empty() || name == "." || name == "..") return false;
  fs::path relative = target.lexically_relative(base);
  return !relative.empty() && *relative.begin() != ".." && relative != ".";
}

bool DeleteFolder(const std::string& path, const std::string& root) {
  std::error_code error;
  bool ok = false;
  if (!IsStrictlyInside(path, root)) {
    error = std::make_error_code(std::errc::permission_denied);
  } else if (!fs::exists(fs::symlink_status(ResolveParent(path), error))) {
    if (!error) error = std::make_error_code(std::errc::no_such_file_or_directory);
  } else {
    ok = fs::remove_all(ResolveParent(path), error) != static_cast<std::uintmax_t>(-1) && !error;
  }
  LogLine(LogLevel::Info, "DeleteFolder Return code = " + std::to_string(ErrorCode(error)));
  return ok;
}

bool RenameFolder(const std::string& from, const std::string& to, const std::string& root) {
  std::error_code error;
  bool ok = false;
  if (!IsStrictlyInside(from, root) || !IsStrictlyInside(to, root)) {
    error = std::make_error_code(std::errc::permission_denied);
  } else {
    fs::path source = ResolveParent(from);
    fs::path target = ResolveParent(to);
    if (!fs::exists(fs::symlink_status(source, error))) {
      if (!error) error = std::make_error_code(std::errc::no_such_file_or_directory);
    } else if (fs::exists(fs::symlink_status(target, error))) {
      error = std::make_error_code(std::errc::file_exists);
    } else {
      error.clear();
      fs::rename(source, target, error);
      ok = !error;
    }
  }
  LogLine(LogLevel::Info, "ReNameFolder Return code = " + std::to_string(ErrorCode(error)));
  return ok;
}

}  // namespace kv
