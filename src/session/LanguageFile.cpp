#include "session/LanguageFile.h"

#include "platform/Files.h"

namespace duv {

LanguageFieldReader::LanguageFieldReader(std::string_view content) : content_(content) {
  const std::size_t endOfFile = content_.find('\x1A');
  if (endOfFile != std::string_view::npos) content_ = content_.substr(0, endOfFile);
}

bool LanguageFieldReader::ConsumeSeparator() {
  if (AtEnd()) return false;
  if (content_[pos_] == ',') {
    ++pos_;
    return true;
  }
  if (content_[pos_] == '\r') {
    ++pos_;
    if (!AtEnd() && content_[pos_] == '\n') ++pos_;
  }
  return false;
}

std::optional<std::string> LanguageFieldReader::NextField() {
  while (!AtEnd() && content_[pos_] == ' ') ++pos_;
  if (AtEnd() && !afterComma_) return std::nullopt;

  std::string field;
  if (!AtEnd() && content_[pos_] == '"') {
    ++pos_;
    const std::size_t close = content_.find('"', pos_);
    const std::size_t end = close == std::string_view::npos ? content_.size() : close;
    field.assign(content_.substr(pos_, end - pos_));
    pos_ = end == content_.size() ? end : end + 1;
    while (!AtEnd() && content_[pos_] != ',' && content_[pos_] != '\r') ++pos_;
  } else {
    while (!AtEnd() && content_[pos_] != ',' && content_[pos_] != '\r') {
      const char c = content_[pos_++];
      if (c != '\t' && c != '\n') field += c;
    }
  }
  afterComma_ = ConsumeSeparator();
  return field;
}

std::string Translator::Translate(const std::string& text) const {
  const std::string& language = session_.Settings().languageCode;
  if (language == "CAT") return text;

  const std::string path = session_.Settings().rootDir + "LOCALE\\" + moduleName_ + ".LNG";
  if (!EnsureFileExists(path)) return text;
  const auto content = ReadFileBytes(path);
  if (!content) return text;

  LanguageFieldReader reader(*content);
  while (const auto key = reader.NextField()) {
    auto galician = reader.NextField();
    auto aranese = reader.NextField();
    auto spanish = reader.NextField();
    // An entry cut short by the end of the file is no entry.
    if (!spanish) return text;
    if (*key != text) continue;
    if (language == "SPA") return *spanish;
    if (language == "GLG") return *galician;
    if (language == "OCI") return *aranese;
    return text;
  }
  return text;
}

}  // namespace duv
