#include "core/paths.h"

#include <cstdlib>
#include <filesystem>
#include <mutex>

namespace corvatin {

namespace fs = std::filesystem;

namespace {
std::mutex g_mutex;
std::string g_override;

std::string WithSlash(std::string folder) {
  if (folder.empty() || folder.back() != '/') folder += '/';
  return folder;
}
} // namespace

void SetDataFolder(const std::string& folder) {
  std::lock_guard lock(g_mutex);
  g_override = folder.empty() ? std::string() : WithSlash(folder);
}

std::string DataFolder() {
  {
    std::lock_guard lock(g_mutex);
    if (!g_override.empty()) return g_override;
  }
  if (const char* env = std::getenv("CORVATIN_DATA_DIR"); env && *env) return WithSlash(env);
  std::error_code ec;
  fs::path exe = fs::read_symlink("/proc/self/exe", ec);
  fs::path dir = ec ? fs::current_path(ec) : exe.parent_path();
  for (const fs::path& candidate : {dir / "data", dir / ".." / "share" / "corvatin"})
    if (fs::is_directory(candidate, ec)) return WithSlash(fs::weakly_canonical(candidate, ec).string());
#ifdef CORVATIN_SOURCE_DATA_DIR
  if (fs::is_directory(CORVATIN_SOURCE_DATA_DIR, ec)) return WithSlash(CORVATIN_SOURCE_DATA_DIR);
#endif
  return WithSlash(dir.string());
}

bool HasFolderPart(const std::string& fileName) {
  return fileName.find('/') != std::string::npos || fileName.find('\\') != std::string::npos;
}

} // namespace corvatin
