#include "data_files.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "paths.h"

#ifndef FOLIOS_INSTALL_DATA_DIR
#define FOLIOS_INSTALL_DATA_DIR ""
#endif
#ifndef FOLIOS_SOURCE_DATA_DIR
#define FOLIOS_SOURCE_DATA_DIR ""
#endif

namespace folios {

namespace fs = std::filesystem;

namespace {

std::string EnvOrEmpty(const char* name) {
  const char* value = std::getenv(name);
  return value ? std::string(value) : std::string();
}

bool IsDirectory(const std::string& path) {
  std::error_code ec;
  return !path.empty() && fs::is_directory(path, ec);
}

// The entry of `dir` whose name equals `name` ignoring ASCII case; an exact
// match wins. Empty when there is none.
std::string FindIgnoringCase(const std::string& dir, std::string_view name) {
  if (!IsDirectory(dir)) return std::string();
  std::string exact = dir + "/" + std::string(name);
  std::error_code ec;
  if (fs::exists(exact, ec)) return exact;
  std::string wanted = ToLowerAscii(name);
  for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
    std::string entry = it->path().filename().string();
    if (ToLowerAscii(entry) == wanted) return dir + "/" + entry;
  }
  return std::string();
}

}  // namespace

std::string ExecutableDirectory() {
  std::error_code ec;
  fs::path exe = fs::read_symlink("/proc/self/exe", ec);
  if (ec) return std::string();
  return exe.parent_path().string();
}

std::string HomeDirectory() {
  std::string home = EnvOrEmpty("HOME");
  if (!home.empty()) return home;
  if (const passwd* pw = getpwuid(getuid()); pw && pw->pw_dir) return pw->pw_dir;
  return "/";
}

std::string ShippedDataDirectory() {
  std::string exe_dir = ExecutableDirectory();
  const std::string candidates[] = {
      EnvOrEmpty("FOLIOS_SHARE_DIR"),
      exe_dir.empty() ? std::string() : exe_dir + "/../data",
      exe_dir.empty() ? std::string() : exe_dir + "/../share/lumentra-folios",
      FOLIOS_INSTALL_DATA_DIR,
      FOLIOS_SOURCE_DATA_DIR,
  };
  for (const std::string& dir : candidates) {
    if (IsDirectory(dir)) return fs::path(dir).lexically_normal().string();
  }
  return std::string();
}

std::string UserDataDirectory() {
  std::string dir = EnvOrEmpty("FOLIOS_DATA_DIR");
  if (!dir.empty()) return dir;
  std::string xdg = EnvOrEmpty("XDG_DATA_HOME");
  if (!xdg.empty()) return xdg + "/lumentra-folios";
  return HomeDirectory() + "/.local/share/lumentra-folios";
}

std::string LocateDataFile(std::string_view name) {
  std::string user = FindIgnoringCase(UserDataDirectory(), name);
  if (!user.empty()) return user;
  std::string shipped = FindIgnoringCase(ShippedDataDirectory(), name);
  if (!shipped.empty()) return shipped;
  return UserDataDirectory() + "/" + std::string(name);
}

std::string WritableDataFile(std::string_view name) {
  std::string dir = UserDataDirectory();
  std::error_code ec;
  fs::create_directories(dir, ec);
  std::string existing = FindIgnoringCase(dir, name);
  return existing.empty() ? dir + "/" + std::string(name) : existing;
}

}  // namespace folios
