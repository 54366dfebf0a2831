#include "core/settings.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace corvatin {

namespace fs = std::filesystem;

namespace {

// Values are stored on one line each; these escapes keep line breaks and backslashes of string lists intact.
std::string Escape(const std::string& text) {
  std::string out;
  for (char ch : text) {
    switch (ch) {
    case '\\': out += "\\\\"; break;
    case '\n': out += "\\n"; break;
    case '\r': out += "\\r"; break;
    default: out += ch;
    }
  }
  return out;
}

bool Unescape(const std::string& text, std::string& out) {
  out.clear();
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\') {
      out += text[i];
      continue;
    }
    if (++i >= text.size()) return false;
    switch (text[i]) {
    case '\\': out += '\\'; break;
    case 'n': out += '\n'; break;
    case 'r': out += '\r'; break;
    default: return false;
    }
  }
  return true;
}

std::string StripCR(std::string line) {
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return line;
}

} // namespace

TVRegistry::TVRegistry(std::string fileName) : fileName_(std::move(fileName)) {}

std::pair<std::string, std::string> TVRegistry::SplitPath(const std::string& path) {
  std::string key = kBaseKey;
  size_t at = path.rfind('\\');
  if (at == std::string::npos) return {key, path};
  return {key + "\\" + path.substr(0, at), path.substr(at + 1)};
}

bool TVRegistry::Load(Store& store) const {
  store.clear();
  std::ifstream in(fileName_, std::ios::binary);
  if (!in) return true; // no file yet: every value takes its default
  std::string line, section;
  bool inSection = false;
  while (std::getline(in, line)) {
    line = StripCR(line);
    if (line.empty() || line[0] == ';' || line[0] == '#') continue;
    if (line.front() == '[') {
      if (line.back() != ']') return false;
      section = line.substr(1, line.size() - 2);
      inSection = true;
      continue;
    }
    size_t eq = line.find('=');
    if (!inSection || eq == std::string::npos || eq == 0) return false;
    std::string raw;
    if (!Unescape(line.substr(eq + 1), raw) || raw.empty() || (raw[0] != 'i' && raw[0] != 's' && raw[0] != 'l') ||
        raw.size() < 2 || raw[1] != ':')
      return false;
    store[section][line.substr(0, eq)] = raw;
  }
  return true;
}

void TVRegistry::Save(const Store& store) {
  fs::path target(fileName_);
  std::error_code ec;
  if (target.has_parent_path()) fs::create_directories(target.parent_path(), ec);
  // Keep an unparseable file for the user instead of silently overwriting it.
  Store probe;
  if (fs::exists(target, ec) && !Load(probe)) fs::rename(target, fs::path(fileName_ + ".bad"), ec);

  std::string temp = fileName_ + ".tmp." + std::to_string(::getpid());
  {
    std::ofstream out(temp, std::ios::binary | std::ios::trunc);
    if (!out) return; // a store that cannot be written makes the write do nothing
    for (const auto& [section, values] : store) {
      if (values.empty()) continue;
      out << '[' << section << "]\n";
      for (const auto& [name, raw] : values) out << name << '=' << Escape(raw) << '\n';
    }
    out.flush();
    if (!out) {
      out.close();
      fs::remove(temp, ec);
      return;
    }
  }
  fs::rename(temp, target, ec);
  if (ec) fs::remove(temp, ec);
}

bool TVRegistry::Lookup(const std::string& path, std::string& raw) const {
  std::lock_guard lock(mutex_);
  Store store;
  if (!Load(store)) return false;
  auto [key, name] = SplitPath(path);
  auto s = store.find(key);
  if (s == store.end()) return false;
  auto v = s->second.find(name);
  if (v == s->second.end()) return false;
  raw = v->second;
  return true;
}

void TVRegistry::Put(const std::string& path, const std::string* raw) {
  std::lock_guard lock(mutex_);
  Store store;
  if (!Load(store)) store.clear();
  auto [key, name] = SplitPath(path);
  if (name.find('=') != std::string::npos || key.find(']') != std::string::npos) return; // not storable
  if (raw)
    store[key][name] = *raw;
  else if (auto s = store.find(key); s != store.end())
    s->second.erase(name);
  Save(store);
}

int TVRegistry::ReadInteger(const std::string& path, int defaultValue) const {
  std::string raw;
  if (!Lookup(path, raw) || raw[0] != 'i') return defaultValue;
  try {
    size_t used = 0;
    long long v = std::stoll(raw.substr(2), &used);
    if (used != raw.size() - 2 || v < INT32_MIN || v > INT32_MAX) return defaultValue;
    return static_cast<int>(v);
  } catch (const std::exception&) {
    return defaultValue;
  }
}

std::string TVRegistry::ReadString(const std::string& path, const std::string& defaultValue) const {
  std::string raw;
  if (!Lookup(path, raw) || raw[0] != 's') return defaultValue;
  return raw.substr(2);
}

void TVRegistry::WriteInteger(const std::string& path, int value) {
  std::string raw = "i:" + std::to_string(value);
  Put(path, &raw);
}

void TVRegistry::WriteString(const std::string& path, const std::string& value) {
  std::string raw = "s:" + value;
  Put(path, &raw);
}

void TVRegistry::ReadStringList(const std::string& path, std::vector<std::string>& list) const {
  std::string raw;
  if (!Lookup(path, raw) || raw[0] != 'l' || raw.size() <= 2) return;
  // The list's text form: one line per entry, each ended by a line break.
  list.clear();
  std::istringstream in(raw.substr(2));
  std::string line;
  while (std::getline(in, line)) list.push_back(StripCR(line));
}

void TVRegistry::WriteStringList(const std::string& path, const std::vector<std::string>& list) {
  std::string text;
  for (const auto& s : list) text += s + "\r\n";
  if (text.empty()) {
    Put(path, nullptr);
    return;
  }
  std::string raw = "l:" + text;
  Put(path, &raw);
}

std::string DefaultSettingsFile() {
  if (const char* f = std::getenv("CORVATIN_SETTINGS"); f && *f) return f;
  const char* xdg = std::getenv("XDG_CONFIG_HOME");
  if (xdg && *xdg) return std::string(xdg) + "/corvatin/settings.ini";
  const char* home = std::getenv("HOME");
  if (home && *home) return std::string(home) + "/.config/corvatin/settings.ini";
  return std::string("./corvatin/settings.ini");
}

TVRegistry& Registry() {
  static TVRegistry registry(DefaultSettingsFile());
  return registry;
}

} // namespace corvatin
