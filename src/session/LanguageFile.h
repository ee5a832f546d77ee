#pragma once
// The module's language file, LOCALE\<module>.LNG under the root directory: entries of four
// comma-separated fields (the Catalan text, then its Galician-Portuguese, Aranese and Spanish
// versions), one entry to a line or spread over several.

#include <optional>
#include <string>
#include <string_view>

#include "session/Session.h"

namespace duv {

// Reads the fields of a language file one by one.
//  - A field ends at a comma or at a line end (CR, optionally followed by LF), which is consumed.
//  - Blanks before a field are skipped. An unquoted field drops tabs and line feeds and keeps
//    everything else up to its end, trailing blanks included.
//  - A field starting with a double quote runs to the next double quote; after it, blanks,
//    tabs and line feeds are skipped and the comma or line end is consumed. Anything else
//    there, up to the comma or line end, is dropped.
//  - The byte 0x1A ends the file.
class LanguageFieldReader {
 public:
  explicit LanguageFieldReader(std::string_view content);
  // The next field, or nothing at the end of the file. After a comma there is always one more
  // field, even if empty.
  std::optional<std::string> NextField();

 private:
  bool AtEnd() const { return pos_ >= content_.size(); }
  // Consumes a comma or a line end at the current position; true for a comma.
  bool ConsumeSeparator();

  std::string_view content_;
  std::size_t pos_ = 0;
  bool afterComma_ = false;
};

class Translator {
 public:
  Translator(const Session& session, std::string moduleName)
      : session_(session), moduleName_(std::move(moduleName)) {}

  // The text in the session's language, or the text itself for Catalan, for a text the file
  // does not list, and when the file cannot be created or read.
  std::string Translate(const std::string& text) const;

 private:
  const Session& session_;
  std::string moduleName_;
};

}  // namespace duv
