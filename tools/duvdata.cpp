// duvdata: the data tool. It writes dictionaries from their readable description, creates
// data files from dictionaries, loads and dumps records, describes a file, and holds a record
// lock so that the waiting of the module can be seen. Everything goes through the record
// manager's BTRCALL, as the module's own reads do.

#include <unistd.h>

#include <array>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "data/DataFiles.h"
#include "platform/CodePage850.h"
#include "platform/Files.h"
#include "platform/HostPath.h"
#include "recman/DefinitionText.h"
#include "recman/RecordManager.h"

namespace {

using duv::recman::RecordManager;
namespace op = duv::recman::op;

constexpr const char* kUsage =
    "usage: duvdata create PATH DICTIONARY | load PATH | dump PATH [--hex] | stat PATH | "
    "lock PATH KEYHEX SECONDS | dictionary DESCRIPTION XDF";

int Fail(const std::string& message) {
  std::fprintf(stderr, "duvdata: %s\n", message.c_str());
  return 1;
}

int Usage() {
  std::fprintf(stderr, "%s\n", kUsage);
  return 2;
}

std::string Describe(std::int16_t status) {
  const std::string name = duv::recman::StatusName(status);
  return name.empty() ? "status " + std::to_string(status) : name + " (" + std::to_string(status) + ")";
}

// Command-line paths are UTF-8; the system's paths are code page 850.
std::string SystemPath(const char* argument) { return duv::Utf8ToCp850(argument); }

// A data file name completed as the module completes it: ".dat" when it has no extension.
std::string DataPath(const char* argument) { return duv::SplitDataFileName(SystemPath(argument)).Path(); }

std::optional<std::string> Unhex(const std::string& text) {
  if (text.size() % 2 != 0) return std::nullopt;
  std::string bytes;
  for (std::size_t i = 0; i < text.size(); i += 2) {
    int value = 0;
    for (const char c : {text[i], text[i + 1]}) {
      const int digit = (c >= '0' && c <= '9') ? c - '0' : (c >= 'a' && c <= 'f') ? c - 'a' + 10
                        : (c >= 'A' && c <= 'F') ? c - 'A' + 10 : -1;
      if (digit < 0) return std::nullopt;
      value = value * 16 + digit;
    }
    bytes.push_back(static_cast<char>(value));
  }
  return bytes;
}

std::string Hex(const std::string& bytes) {
  static const char* kDigits = "0123456789abcdef";
  std::string out;
  for (const char c : bytes) {
    out.push_back(kDigits[static_cast<unsigned char>(c) >> 4]);
    out.push_back(kDigits[static_cast<unsigned char>(c) & 15]);
  }
  return out;
}

// Printable ASCII as it is, everything else as \xHH.
std::string Readable(const std::string& bytes) {
  std::string out;
  for (const char c : bytes) {
    const auto b = static_cast<unsigned char>(c);
    if (b == '\\') {
      out += "\\\\";
    } else if (b >= 0x20 && b < 0x7f) {
      out.push_back(c);
    } else {
      char escape[5];
      std::snprintf(escape, sizeof escape, "\\x%02x", b);
      out += escape;
    }
  }
  return out;
}

// One open data file.
class DataFile {
 public:
  explicit DataFile(RecordManager& manager) : manager_(manager) { block_.fill(0); }

  std::int16_t Open(const std::string& path, std::int8_t mode = 0) {
    std::array<char, 5> owner = {'4', '7', '1', '9', '\0'};
    std::uint32_t length = owner.size();
    std::string name = path;
    name.push_back('\0');
    return manager_.BTRCALL(op::kOpen, block_.data(), owner.data(), length, name.data(),
                            static_cast<std::uint8_t>(path.size()), mode);
  }

  std::int16_t Call(std::int16_t operation, std::string& data, std::uint32_t& length, std::int8_t keyNumber = 0) {
    if (data.size() < duv::kDataBufferSize) data.resize(duv::kDataBufferSize, ' ');
    return manager_.BTRCALL(operation, block_.data(), data.data(), length, key.data(), 255, keyNumber);
  }

  std::array<std::uint8_t, 256> key{};

 private:
  RecordManager& manager_;
  std::array<std::uint8_t, duv::recman::kPositionBlockSize> block_{};
};

std::optional<duv::recman::FileDefinition> StatOf(DataFile& file, std::uint32_t& records) {
  std::string data;
  std::uint32_t length = duv::kDataBufferSize;
  if (file.Call(op::kStat, data, length) != 0) return std::nullopt;
  records = static_cast<unsigned char>(data[6]) | (static_cast<unsigned char>(data[7]) << 8) |
            (static_cast<unsigned char>(data[8]) << 16) | (static_cast<std::uint32_t>(static_cast<unsigned char>(data[9])) << 24);
  return duv::recman::ParseDefinition(std::string_view(data).substr(0, length));
}

int WriteDictionary(const char* descriptionPath, const char* xdfPath) {
  const std::optional<std::string> text = duv::ReadFileBytes(SystemPath(descriptionPath));
  if (!text) return Fail(std::string("cannot read ") + descriptionPath);
  std::string error;
  const auto definition = duv::recman::ParseDefinitionText(*text, error);
  if (!definition) return Fail(std::string(descriptionPath) + ": " + error);
  const std::string bytes = definition->Encode();
  std::string dictionary;
  dictionary.push_back(static_cast<char>(bytes.size() & 0xff));
  dictionary.push_back(static_cast<char>(bytes.size() >> 8));
  dictionary += bytes;

  // Written beside its place and moved there whole.
  const std::string target = duv::ResolveHostPath(SystemPath(xdfPath));
  const std::string temporary = target + ".new-" + std::to_string(::getpid());
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    out << dictionary;
    out.close();
    if (!out) {
      std::remove(temporary.c_str());
      return Fail(std::string("cannot write ") + xdfPath);
    }
  }
  if (std::rename(temporary.c_str(), target.c_str()) != 0) {
    std::remove(temporary.c_str());
    return Fail(std::string("cannot write ") + xdfPath);
  }
  return 0;
}

int Create(const char* pathArgument, const char* dictionaryPath) {
  const std::optional<std::string> dictionary = duv::ReadFileBytes(SystemPath(dictionaryPath));
  if (!dictionary) return Fail(std::string("cannot read ") + dictionaryPath);
  const std::optional<std::string> definition = duv::DictionaryDefinition(*dictionary);
  if (!definition) return Fail(std::string(dictionaryPath) + " is not a whole dictionary");
  RecordManager manager;
  std::string data = *definition;
  data.resize(duv::kDataBufferSize, ' ');
  std::uint32_t dataLength = duv::kDataBufferSize;
  const std::string path = DataPath(pathArgument);
  std::string key = path;
  key.push_back('\0');
  std::array<std::uint8_t, duv::recman::kPositionBlockSize> block{};
  const std::int16_t status = manager.BTRCALL(op::kCreate, block.data(), data.data(), dataLength, key.data(),
                                              static_cast<std::uint8_t>(std::min<std::size_t>(path.size(), 255)), -1);
  if (status != 0) return Fail(std::string("cannot create ") + pathArgument + ": " + Describe(status));
  return 0;
}

int Load(const char* pathArgument) {
  RecordManager manager;
  DataFile file(manager);
  if (const std::int16_t s = file.Open(DataPath(pathArgument)); s != 0) {
    return Fail(std::string("cannot open ") + pathArgument + ": " + Describe(s));
  }
  std::uint32_t records = 0;
  const auto definition = StatOf(file, records);
  if (!definition) return Fail(std::string("cannot read the definition of ") + pathArgument);

  std::string none;
  std::uint32_t zero = 0;
  if (const std::int16_t s = file.Call(op::kBeginTransaction, none, zero); s != 0) {
    return Fail("cannot begin the load: " + Describe(s));
  }
  auto abandon = [&](const std::string& message) {
    std::uint32_t length = 0;
    file.Call(op::kAbortTransaction, none, length);
    return Fail(message + "; nothing was loaded");
  };
  std::string line;
  int number = 0;
  int loaded = 0;
  while (std::getline(std::cin, line)) {
    ++number;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.find_first_not_of(" \t") == std::string::npos) continue;
    const std::optional<std::string> record = Unhex(line);
    if (!record) return abandon("line " + std::to_string(number) + ": not hexadecimal, two digits a byte");
    if (record->size() != definition->recordLength) {
      return abandon("line " + std::to_string(number) + ": " + std::to_string(record->size()) +
                     " bytes, the record length is " + std::to_string(definition->recordLength));
    }
    std::string data = *record;
    std::uint32_t length = static_cast<std::uint32_t>(record->size());
    if (const std::int16_t s = file.Call(op::kInsert, data, length, -1); s != 0) {
      return abandon("line " + std::to_string(number) + ": " + Describe(s));
    }
    ++loaded;
  }
  if (std::cin.bad()) return abandon("cannot read the standard input");
  std::uint32_t length = 0;
  if (const std::int16_t s = file.Call(op::kEndTransaction, none, length); s != 0) {
    return Fail("the load could not be committed: " + Describe(s));
  }
  std::printf("%d records loaded\n", loaded);
  return 0;
}

int Dump(const char* pathArgument, bool hex) {
  RecordManager manager;
  DataFile file(manager);
  if (const std::int16_t s = file.Open(DataPath(pathArgument), duv::recman::openmode::kReadOnly); s != 0) {
    return Fail(std::string("cannot open ") + pathArgument + ": " + Describe(s));
  }
  std::string data;
  std::uint32_t length = duv::kDataBufferSize;
  std::int16_t s = file.Call(op::kGetFirst, data, length);
  while (s == 0) {
    const std::string record = data.substr(0, length);
    std::printf("%s\n", hex ? Hex(record).c_str() : Readable(record).c_str());
    length = duv::kDataBufferSize;
    s = file.Call(op::kGetNext, data, length);
  }
  if (s != duv::recman::status::kEndOfFile) return Fail("the dump stopped: " + Describe(s));
  return 0;
}

int Stat(const char* pathArgument) {
  RecordManager manager;
  DataFile file(manager);
  if (const std::int16_t s = file.Open(DataPath(pathArgument), duv::recman::openmode::kReadOnly); s != 0) {
    return Fail(std::string("cannot open ") + pathArgument + ": " + Describe(s));
  }
  std::uint32_t records = 0;
  const auto definition = StatOf(file, records);
  if (!definition) return Fail(std::string("cannot read the definition of ") + pathArgument);
  std::printf("%srecords %u\n", duv::recman::DefinitionToText(*definition).c_str(), records);
  return 0;
}

int Lock(const char* pathArgument, const char* keyHex, const char* secondsText) {
  const std::optional<std::string> key = Unhex(keyHex);
  char* end = nullptr;
  const long seconds = std::strtol(secondsText, &end, 10);
  if (!key || key->empty() || key->size() > 255) return Fail("KEYHEX is a key in hexadecimal, two digits a byte");
  if (end == secondsText || *end != '\0' || seconds < 0 || seconds > 86400) {
    return Fail("SECONDS is a number from 0 to 86400");
  }
  RecordManager manager;
  DataFile file(manager);
  if (const std::int16_t s = file.Open(DataPath(pathArgument)); s != 0) {
    return Fail(std::string("cannot open ") + pathArgument + ": " + Describe(s));
  }
  std::copy(key->begin(), key->end(), file.key.begin());
  std::string data;
  std::uint32_t length = duv::kDataBufferSize;
  const std::int16_t s = file.Call(op::kGetEqual + op::kLockNoWait, data, length);
  if (s != 0) return Fail(std::string("cannot lock ") + keyHex + ": " + Describe(s));
  std::printf("locked %s for %ld seconds\n", keyHex, seconds);
  std::fflush(stdout);
  ::sleep(static_cast<unsigned>(seconds));
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  if (args.empty()) return Usage();
  const std::string& command = args[0];
  if (command == "create" && args.size() == 3) return Create(argv[2], argv[3]);
  if (command == "load" && args.size() == 2) return Load(argv[2]);
  if (command == "dump" && args.size() == 2) return Dump(argv[2], false);
  if (command == "dump" && args.size() == 3 && args[2] == "--hex") return Dump(argv[2], true);
  if (command == "stat" && args.size() == 2) return Stat(argv[2]);
  if (command == "lock" && args.size() == 4) return Lock(argv[2], argv[3], argv[4]);
  if (command == "dictionary" && args.size() == 3) return WriteDictionary(argv[2], argv[3]);
  return Usage();
}
