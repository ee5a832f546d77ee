#pragma once
// The data layer on a virtual console, over the real record manager seen through a recording
// stand-in, with an installation root in a temporary directory holding the dictionaries.

#include <vector>

#include "data/DataFiles.h"
#include "support/ConsoleFixture.h"
#include "support/RecordFiles.h"

namespace duv::testing {

// Forwards to the real record manager and keeps what was asked; it can also offer a shorter
// data buffer than the caller did, to make the record manager answer 22.
class RecordingCalls : public recman::RecordCalls {
 public:
  struct Call {
    std::int16_t operation;
    std::uint8_t keyLength;
    std::int8_t keyNumber;
    std::uint32_t dataLength;
  };

  std::int16_t BTRCALL(std::int16_t operation, std::uint8_t* positionBlock, void* dataBuffer,
                       std::uint32_t& dataLength, void* keyBuffer, std::uint8_t keyLength,
                       std::int8_t keyNumber) override {
    calls.push_back({operation, keyLength, keyNumber, dataLength});
    const std::int16_t base = operation % 100;
    if (shortenGetsTo != 0 && ((base >= 5 && base <= 13) || base == 23)) {
      dataLength = std::min(dataLength, shortenGetsTo);
    }
    return manager.BTRCALL(operation, positionBlock, dataBuffer, dataLength, keyBuffer, keyLength, keyNumber);
  }

  std::vector<std::int16_t> Operations() const {
    std::vector<std::int16_t> ops;
    for (const Call& c : calls) ops.push_back(c.operation);
    return ops;
  }

  recman::RecordManager manager;
  std::vector<Call> calls;
  std::uint32_t shortenGetsTo = 0;
};

// A dictionary file: the 16-bit length, then the Create definition.
inline std::string Dictionary(const FileDefinition& definition) {
  const std::string bytes = definition.Encode();
  std::string out;
  out.push_back(static_cast<char>(bytes.size() & 0xff));
  out.push_back(static_cast<char>(bytes.size() >> 8));
  return out + bytes;
}

class DataFixture : public ConsoleFixture {
 protected:
  DataFixture() : data(calls, settings, windows, keyboard, Hooks()) {
    settings.rootDir = root.Prefix();
    settings.languageCode = "   ";
    std::filesystem::create_directories(root.Path() / "DADES");
  }

  DataFileHooks Hooks() {
    DataFileHooks hooks;
    hooks.pause = [this](int ms) {
      pauses.push_back(ms);
      if (onPause) onPause(static_cast<int>(pauses.size()));
    };
    hooks.randomFraction = [] { return 0.5; };
    hooks.endProgram = [this] { ++programEnds; };
    return hooks;
  }

  void WriteDictionary(const std::string& base, const FileDefinition& definition) {
    root.Write("ddf/" + base + ".xdf", Dictionary(definition));
  }

  // Every row of the screen, trimmed and joined by "|".
  std::string ScreenText() const {
    std::string text;
    for (std::int16_t row = 1; row <= 25; ++row) {
      std::string line = console.RowText(row);
      while (!line.empty() && line.back() == ' ') line.pop_back();
      text += line + "|";
    }
    return text;
  }

  TempDir root;
  SessionSettings settings;
  RecordingCalls calls;
  std::vector<int> pauses;
  std::function<void(int)> onPause;  // called with the number of pauses so far
  int programEnds = 0;
  DataFiles data;
};

}  // namespace duv::testing
