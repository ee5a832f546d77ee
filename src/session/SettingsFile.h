#pragma once
// Settings files (Sessio.ini, ZuliTerm.ini, Zuli.ini): one entry per line, "[Section]" lines,
// "Key=value" lines and ";" comments. The file is opened, scanned and closed on every call.

#include <string>
#include <string_view>

namespace duv {

// The value of `key` in the first section named `section` of the file, or "" when the file
// cannot be read, the section or the key is missing, or the value is empty.
std::string ReadSetting(std::string_view filePath, std::string_view section, std::string_view key);

// The same lookup over the bytes of a settings file.
std::string FindSetting(std::string_view content, std::string_view section, std::string_view key);

}  // namespace duv
