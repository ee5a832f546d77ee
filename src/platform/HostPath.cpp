#include "platform/HostPath.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <vector>

#include "platform/CodePage850.h"

namespace duv {
namespace {

bool Exists(const std::string& path) {
  struct stat info {};
  return ::lstat(path.c_str(), &info) == 0;
}

// Upper-cases the ASCII and Latin-1 letters of a UTF-8 name, which covers every letter that
// code page 850 can spell; other characters compare as they are.
std::u32string FoldName(std::string_view utf8Name) {
  // A character outside code page 850 becomes 0x01, which nothing the system spells contains.
  std::u32string folded;
  for (char c : Utf8ToCp850(utf8Name, '\x01')) {
    char32_t cp = Cp850ToCodePoint(static_cast<unsigned char>(c));
    if (cp >= U'a' && cp <= U'z') cp -= 0x20;
    if (cp >= 0xE0 && cp <= 0xFE && cp != 0xF7) cp -= 0x20;
    folded += cp;
  }
  return folded;
}

std::string FindCaseInsensitive(const std::string& directory, const std::string& component) {
  DIR* dir = ::opendir(directory.empty() ? "." : directory.c_str());
  if (dir == nullptr) return {};
  const std::u32string wanted = FoldName(component);
  std::vector<std::string> matches;
  while (const dirent* entry = ::readdir(dir)) {
    const std::string name = entry->d_name;
    if (name == "." || name == "..") continue;
    if (FoldName(name) == wanted) matches.push_back(name);
  }
  ::closedir(dir);
  if (matches.empty()) return {};
  return *std::min_element(matches.begin(), matches.end());
}

}  // namespace

std::string ResolveHostPath(std::string_view systemPath) {
  std::string path = Cp850ToUtf8(systemPath);
  std::replace(path.begin(), path.end(), '\\', '/');

  std::vector<std::string> components;
  std::size_t start = 0;
  while (start <= path.size()) {
    const std::size_t slash = std::min(path.find('/', start), path.size());
    components.push_back(path.substr(start, slash - start));
    start = slash + 1;
  }

  // `resolved` is always a usable directory prefix: empty (the current directory) or ending
  // in "/".
  std::string resolved = path.starts_with('/') ? "/" : "";
  bool matching = true;
  for (std::size_t i = 0; i < components.size(); ++i) {
    const std::string& component = components[i];
    const bool last = i + 1 == components.size();
    if (component.empty()) continue;  // a leading, doubled or trailing separator
    std::string chosen = component;
    if (matching && component != "." && component != "..") {
      if (!Exists(resolved + component)) {
        const std::string found = FindCaseInsensitive(resolved, component);
        if (found.empty()) {
          matching = false;
        } else {
          chosen = found;
        }
      }
    }
    resolved += chosen;
    if (!last) resolved += '/';
  }
  return resolved;
}

}  // namespace duv
