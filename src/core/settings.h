#pragma once
// The settings store: the few values that outlive a run (result folder, element colours, the editor's palette),
// named by a path "section\name" and kept in a per-user key-value file.

#include <map>
#include <mutex>
#include <string>
#include <vector>

namespace corvatin {

/// Settings store over an INI-style file. Every operation reads the file, and every write replaces it atomically
/// (temporary file, then rename), so a crash never leaves it half written. A file that cannot be parsed reads
/// as defaults; it is kept (as "<file>.bad") rather than silently overwritten by the next write.
class TVRegistry {
public:
  /// Key under which every value lives; a path's section extends it.
  static constexpr const char* kBaseKey = "Software\\Corvatin";

  explicit TVRegistry(std::string fileName);

  int ReadInteger(const std::string& path, int defaultValue) const;
  std::string ReadString(const std::string& path, const std::string& defaultValue) const;
  void WriteInteger(const std::string& path, int value);
  void WriteString(const std::string& path, const std::string& value);
  /// Fills list from the stored value; leaves it unchanged when the value is missing or empty.
  void ReadStringList(const std::string& path, std::vector<std::string>& list) const;
  /// Stores the list (one line each); an empty list deletes the value.
  void WriteStringList(const std::string& path, const std::vector<std::string>& list);

  const std::string& FileName() const { return fileName_; }

  /// Splits a value path at its last backslash: (key below the base key, value name).
  static std::pair<std::string, std::string> SplitPath(const std::string& path);

private:
  // key -> (value name -> stored text with a one-letter kind prefix)
  using Store = std::map<std::string, std::map<std::string, std::string>>;
  bool Load(Store& store) const;
  void Save(const Store& store);
  bool Lookup(const std::string& path, std::string& raw) const;
  void Put(const std::string& path, const std::string* raw);

  std::string fileName_;
  mutable std::mutex mutex_;
};

/// The settings file: $CORVATIN_SETTINGS, else $XDG_CONFIG_HOME/corvatin/settings.ini, else
/// ~/.config/corvatin/settings.ini.
std::string DefaultSettingsFile();

/// The process-wide store, created on first use over DefaultSettingsFile().
TVRegistry& Registry();

} // namespace corvatin
