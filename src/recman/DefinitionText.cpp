#include "recman/DefinitionText.h"

#include <sstream>
#include <vector>

#include "recman/RecordManager.h"

namespace duv::recman {

namespace {

struct TypeName {
  const char* name;
  std::uint16_t flags;
  std::uint8_t extendedType;
};

constexpr TypeName kTypes[] = {
    {"string", 0, keytype::kString},
    {"binary", keyflag::kBinary, keytype::kString},
    {"integer", keyflag::kExtendedType, keytype::kInteger},
    {"zstring", keyflag::kExtendedType, keytype::kZString},
    {"unsigned", keyflag::kExtendedType, keytype::kUnsignedBinary},
};

bool ParseNumber(const std::string& word, long low, long high, long& value) {
  if (word.empty() || word.size() > 6) return false;
  value = 0;
  for (const char c : word) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + (c - '0');
  }
  return value >= low && value <= high;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::vector<std::string> Words(const std::string& line) {
  std::istringstream in(line.substr(0, line.find('#')));
  std::vector<std::string> words;
  for (std::string w; in >> w;) words.push_back(w);
  return words;
}

}  // namespace

std::optional<FileDefinition> ParseDefinitionText(const std::string& text, std::string& error) {
  FileDefinition definition;
  std::string collatingHex;
  bool inCollating = false;
  std::istringstream lines(text);
  std::string line;
  int number = 0;
  auto fail = [&](const std::string& what) {
    error = "line " + std::to_string(number) + ": " + what;
    return std::nullopt;
  };
  while (std::getline(lines, line)) {
    ++number;
    const std::vector<std::string> words = Words(line);
    if (words.empty()) continue;
    const std::string& verb = words[0];
    long value = 0;
    if (verb == "record" || verb == "page") {
      inCollating = false;
      if (words.size() != 2 || !ParseNumber(words[1], 1, verb == "record" ? kMaxRecordLength : 65535, value)) {
        return fail("\"" + verb + "\" takes one number");
      }
      (verb == "record" ? definition.recordLength : definition.pageSize) = static_cast<std::uint16_t>(value);
    } else if (verb == "key") {
      inCollating = false;
      std::uint16_t flags = 0;
      for (std::size_t i = 1; i < words.size(); ++i) {
        if (words[i] == "duplicates") {
          flags |= keyflag::kDuplicates;
        } else if (words[i] == "modifiable") {
          flags |= keyflag::kModifiable;
        } else {
          return fail("unknown key flag \"" + words[i] + "\"");
        }
      }
      // The key's flags wait in a segment of length 0 until its first segment arrives.
      SegmentSpec marker;
      marker.length = 0;
      marker.flags = flags;
      definition.keys.push_back(KeySpec{{marker}});
    } else if (verb == "segment") {
      inCollating = false;
      if (definition.keys.empty()) return fail("a segment before any key");
      if (words.size() < 4) return fail("a segment needs a position, a length and a type");
      long position = 0, length = 0;
      if (!ParseNumber(words[1], 1, kMaxRecordLength, position) || !ParseNumber(words[2], 1, kMaxKeyLength, length)) {
        return fail("a segment's position and length are numbers");
      }
      KeySpec& key = definition.keys.back();
      const std::uint16_t keyFlags =
          key.segments.front().flags & (keyflag::kDuplicates | keyflag::kModifiable);
      if (key.segments.size() == 1 && key.segments.front().length == 0) key.segments.clear();
      SegmentSpec segment;
      segment.position = static_cast<std::uint16_t>(position);
      segment.length = static_cast<std::uint16_t>(length);
      segment.flags = keyFlags;
      bool typed = false;
      for (const TypeName& t : kTypes) {
        if (words[3] == t.name) {
          segment.flags |= t.flags;
          segment.extendedType = t.extendedType;
          typed = true;
        }
      }
      if (!typed) return fail("unknown type \"" + words[3] + "\"");
      for (std::size_t i = 4; i < words.size(); ++i) {
        if (words[i] == "descending") {
          segment.flags |= keyflag::kDescending;
        } else if (words[i] == "nocase") {
          segment.flags |= keyflag::kCaseInsensitive;
        } else if (words[i] == "collating") {
          segment.flags |= keyflag::kCollating;
        } else {
          return fail("unknown segment flag \"" + words[i] + "\"");
        }
      }
      if (!key.segments.empty()) key.segments.back().flags |= keyflag::kSegmented;
      key.segments.push_back(segment);
    } else if (verb == "collating") {
      if (words.size() < 2 || words[1].size() > 8) return fail("\"collating\" takes a name of up to 8 characters");
      definition.hasCollatingSequence = true;
      definition.collatingName.fill(' ');
      std::copy(words[1].begin(), words[1].end(), definition.collatingName.begin());
      for (std::size_t i = 2; i < words.size(); ++i) collatingHex += words[i];
      inCollating = true;
    } else if (inCollating) {
      for (const std::string& w : words) collatingHex += w;
    } else {
      return fail("unknown statement \"" + verb + "\"");
    }
  }
  number = 0;
  if (definition.recordLength == 0) return fail("no record length");
  if (definition.keys.empty()) return fail("no key");
  for (const KeySpec& key : definition.keys) {
    if (key.segments.front().length == 0) return fail("a key without segments");
  }
  if (definition.hasCollatingSequence) {
    if (collatingHex.size() != 512) return fail("the collating table needs 512 hexadecimal digits");
    for (std::size_t i = 0; i < 256; ++i) {
      const int high = HexDigit(collatingHex[2 * i]);
      const int low = HexDigit(collatingHex[2 * i + 1]);
      if (high < 0 || low < 0) return fail("the collating table is not hexadecimal");
      definition.collatingTable[i] = static_cast<std::uint8_t>(high * 16 + low);
    }
  }
  // The same checks as a Create: what is written here can be created.
  if (!ParseDefinition(definition.Encode())) return fail("the record manager cannot keep this definition");
  return definition;
}

std::string DefinitionToText(const FileDefinition& definition) {
  std::ostringstream out;
  out << "record " << definition.recordLength << "\n";
  out << "page " << definition.pageSize << "\n";
  for (const KeySpec& key : definition.keys) {
    out << "key";
    if (key.AllowsDuplicates()) out << " duplicates";
    if (key.Modifiable()) out << " modifiable";
    out << "\n";
    for (const SegmentSpec& s : key.segments) {
      const char* type = "string";
      for (const TypeName& t : kTypes) {
        const std::uint16_t typeFlags = s.flags & (keyflag::kBinary | keyflag::kExtendedType);
        if (typeFlags == t.flags && (t.flags != keyflag::kExtendedType || s.extendedType == t.extendedType)) {
          type = t.name;
        }
      }
      out << "  segment " << s.position << " " << s.length << " " << type;
      if (s.flags & keyflag::kDescending) out << " descending";
      if (s.flags & keyflag::kCaseInsensitive) out << " nocase";
      if (s.flags & keyflag::kCollating) out << " collating";
      out << "\n";
    }
  }
  if (definition.hasCollatingSequence) {
    std::string name(definition.collatingName.begin(), definition.collatingName.end());
    while (!name.empty() && (name.back() == ' ' || name.back() == '\0')) name.pop_back();
    out << "collating " << (name.empty() ? "ACS" : name) << "\n";
    static const char* kDigits = "0123456789abcdef";
    for (std::size_t row = 0; row < 8; ++row) {
      out << "  ";
      for (std::size_t i = row * 32; i < row * 32 + 32; ++i) {
        out << kDigits[definition.collatingTable[i] >> 4] << kDigits[definition.collatingTable[i] & 15];
      }
      out << "\n";
    }
  }
  return out.str();
}

std::string StatusName(std::int16_t value) {
  switch (value) {
    case status::kSuccess: return "success";
    case status::kInvalidOperation: return "invalid operation";
    case status::kIoError: return "I/O error or not a data file";
    case status::kFileNotOpen: return "file not open";
    case status::kKeyNotFound: return "key not found";
    case status::kDuplicateKey: return "duplicate key";
    case status::kInvalidKeyNumber: return "invalid key number";
    case status::kEndOfFile: return "end of file";
    case status::kInvalidFileName: return "invalid file name";
    case status::kFileNotFound: return "file not found";
    case status::kDataBufferTooShort: return "wrong record length";
    case status::kCreateFailed: return "create failed";
    case status::kAccessDenied: return "access denied";
    case status::kFileExists: return "file exists";
    case status::kConflict: return "changed by another user";
    case status::kRecordInUse: return "record in use by another user";
    case status::kFileInUse: return "file in use by another user";
    default: return {};
  }
}

}  // namespace duv::recman
