#include "session/SettingsFile.h"

#include "platform/Files.h"
#include "session/TextHelpers.h"

namespace duv {
namespace {

bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (UpperCaseCp850(static_cast<unsigned char>(a[i])) != UpperCaseCp850(static_cast<unsigned char>(b[i]))) {
      return false;
    }
  }
  return true;
}

std::string_view SectionName(std::string_view line) {
  // line[0] is "["; the name runs to the first "]" or to the end of the line.
  std::string_view name = line.substr(1);
  const std::size_t close = name.find(']');
  if (close != std::string_view::npos) name = name.substr(0, close);
  return TrimBlanks(name);
}

std::string Unquote(std::string_view value) {
  if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
    value = value.substr(1, value.size() - 2);
  }
  return std::string(value);
}

}  // namespace

std::string FindSetting(std::string_view content, std::string_view section, std::string_view key) {
  const std::string_view wantedSection = TrimBlanks(section);
  const std::string_view wantedKey = TrimBlanks(key);
  bool inSection = false;
  std::size_t start = 0;
  while (start < content.size()) {
    std::size_t end = content.find('\n', start);
    if (end == std::string_view::npos) end = content.size();
    std::string_view line = content.substr(start, end - start);
    start = end + 1;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);

    line = line.substr(0, line.find(';'));
    const std::size_t first = line.find_first_not_of(' ');
    if (first == std::string_view::npos) continue;
    line = line.substr(first);

    if (!inSection) {
      if (line.front() == '[' && SameName(SectionName(line), wantedSection)) inSection = true;
      continue;
    }
    if (line.front() == '[') return {};  // only the first section of that name is searched
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos) continue;
    if (SameName(TrimTrailingBlanks(line.substr(0, equals)), wantedKey)) {
      return Unquote(line.substr(equals + 1));
    }
  }
  return {};
}

std::string ReadSetting(std::string_view filePath, std::string_view section, std::string_view key) {
  const auto content = ReadFileBytes(filePath);
  return content ? FindSetting(*content, section, key) : std::string();
}

}  // namespace duv
