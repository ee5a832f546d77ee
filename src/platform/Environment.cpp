#include "platform/Environment.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

#include "platform/CodePage850.h"

namespace duv {

LocaleCodeset DetectLocaleCodeset(const char* lcAll, const char* lcCtype, const char* lang) {
  std::string locale;
  for (const char* value : {lcAll, lcCtype, lang}) {
    if (value != nullptr && *value != '\0') {
      locale = value;
      break;
    }
  }
  std::transform(locale.begin(), locale.end(), locale.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  if (locale.find("utf-8") != std::string::npos || locale.find("utf8") != std::string::npos) {
    return LocaleCodeset::kUtf8;
  }
  if (locale.find("8859") != std::string::npos || locale.find("latin") != std::string::npos) {
    return LocaleCodeset::kLatin1;
  }
  return LocaleCodeset::kUtf8;
}

std::string LocaleTextToCp850(const std::string& value, LocaleCodeset codeset) {
  return codeset == LocaleCodeset::kLatin1 ? Latin1ToCp850(value) : Utf8ToCp850(value);
}

ProcessEnvironment::ProcessEnvironment()
    : codeset_(DetectLocaleCodeset(std::getenv("LC_ALL"), std::getenv("LC_CTYPE"),
                                   std::getenv("LANG"))) {}

std::string ProcessEnvironment::Get(const std::string& name) const {
  const std::string hostName = name == "TERM" ? "DUVTERM" : name;
  const char* value = std::getenv(hostName.c_str());
  return value == nullptr ? std::string() : LocaleTextToCp850(value, codeset_);
}

std::string FixedEnvironment::Get(const std::string& name) const {
  const auto it = values_.find(name);
  return it == values_.end() ? std::string() : it->second;
}

}  // namespace duv
