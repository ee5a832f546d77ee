#include "report/PrintStream.h"

#include <algorithm>
#include <cstdlib>
#include <limits>

#include "session/PackedDigits.h"
#include "session/TextHelpers.h"

namespace duv {
namespace {

// Bytes that would break a line of the stream or mean something to a printer.
std::string WithoutControlBytes(const std::string& text) {
  std::string clean = text;
  for (char& c : clean) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 32 || byte == 127 || byte == 255) c = ' ';
  }
  return clean;
}

}  // namespace

std::string StreamNumber(std::int64_t value) {
  const std::uint64_t magnitude = value < 0 ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
  return (value < 0 ? "-" : " ") + std::to_string(magnitude) + " ";
}

std::string NormaliseJustification(const std::string& code) {
  const std::string_view trimmed = TrimBlanks(code);
  const char first = trimmed.empty() ? ' ' : static_cast<char>(UpperCaseCp850(static_cast<unsigned char>(trimmed[0])));
  switch (first) {
    case 'C':
      return "C";
    case 'D':
    case 'R':
      return "D";
    case 'A':
    case 'B':
      return "A";
    case 'N': {
      // The width is the number after the letter, truncated and without sign; the mask runs
      // from the first backslash through the next one (none without a pair).
      const std::int64_t width = std::llabs(NumericValue(trimmed.substr(1)));
      std::string mask;
      const std::size_t open = code.find('\\');
      const std::size_t close = open == std::string::npos ? std::string::npos : code.find('\\', open + 1);
      if (close != std::string::npos) mask = code.substr(open, close - open + 1);
      return "N " + std::to_string(width) + " " + mask;
    }
    default:
      return "E";
  }
}

void PrintStream::WriteLine(const std::string& line) {
  file_.Write(line + "\r\n");
}

void PrintStream::OpenPrintStream(const std::string& device) {
  createFailed_ = !file_.Create(Path());
  WriteLine("DEVICE" + WithoutControlBytes(device));
}

void PrintStream::WritePageDirective(std::int16_t pageLength) {
  WriteLine("PAGE" + StreamNumber(pageLength));
  pageLength_ = pageLength;
  linesOnPage_ = 0;
}

void PrintStream::WriteControlLine(const std::string& text) {
  WriteLine("*" + WithoutControlBytes(text));
}

void PrintStream::WriteJustification(std::string& code) {
  code = NormaliseJustification(code);
  WriteLine("JUS" + code);
}

void PrintStream::WriteTextRecord(std::int16_t column, const std::string& text, std::int16_t advance) {
  if (linesOnPage_ >= pageLength_) WritePageDirective(pageLength_);
  WriteLine(StreamNumber(column) + "," + WithoutControlBytes(text) + "," + StreamNumber(advance));
  const int lines = linesOnPage_ + advance;
  linesOnPage_ = static_cast<std::int16_t>(std::clamp(lines, int{std::numeric_limits<std::int16_t>::min()},
                                                      int{std::numeric_limits<std::int16_t>::max()}));
}

bool PrintStream::ClosePrintStream() {
  const bool written = file_.IsOpen() ? file_.Close() : false;
  const bool ok = written && !createFailed_;
  createFailed_ = false;
  return ok;
}

}  // namespace duv
