#pragma once
// Environment variables as the system reads them: values in code page 850, an unset variable
// reading as the empty text.

#include <map>
#include <string>

namespace duv {

class Environment {
 public:
  virtual ~Environment() = default;
  virtual std::string Get(const std::string& name) const = 0;
};

enum class LocaleCodeset { kUtf8, kLatin1 };

// The codeset the locale variables name (LC_ALL, then LC_CTYPE, then LANG, the first one set).
// UTF-8 unless an ISO 8859 or Latin locale is named.
LocaleCodeset DetectLocaleCodeset(const char* lcAll, const char* lcCtype, const char* lang);

std::string LocaleTextToCp850(const std::string& value, LocaleCodeset codeset);

// The process environment. On POSIX the variable TERM is the terminal type, not the suite's
// terminal directory, so the suite's TERM is read from DUVTERM; every other name is its own.
class ProcessEnvironment : public Environment {
 public:
  ProcessEnvironment();
  std::string Get(const std::string& name) const override;

 private:
  LocaleCodeset codeset_;
};

// A fixed set of values, already in code page 850: for tests and tools.
class FixedEnvironment : public Environment {
 public:
  FixedEnvironment() = default;
  explicit FixedEnvironment(std::map<std::string, std::string> values) : values_(std::move(values)) {}
  void Set(const std::string& name, const std::string& value) { values_[name] = value; }
  void Unset(const std::string& name) { values_.erase(name); }
  std::string Get(const std::string& name) const override;

 private:
  std::map<std::string, std::string> values_;
};

}  // namespace duv
