#pragma once
// The print stream: the file workDir + "duvprint.tmp" that the print program renders. Lines of
// code page 850 text ended by CR LF:
//
//   DEVICE<device text>                     always the first line
//   PAGE<length>                            a new page of that many lines
//   *<text>                                 a control line for the device
//   JUS<code>                               justification of the records that follow
//   <column>,<text>,<advance>               a text record
//
// Numbers are written as a sign character (blank or "-"), the digits, and one blank: the
// record for column 85, "TOTAL", advance 1 is " 85 ,TOTAL, 1 ".

#include <cstdint>
#include <string>

#include "platform/Files.h"
#include "session/Session.h"

namespace duv {

// A number in the stream's fixed form.
std::string StreamNumber(std::int64_t value);

// The normalised justification code: "C", "D" (D or R), "A" (A or B), "N <width> \mask\" or "E".
std::string NormaliseJustification(const std::string& code);

class PrintStream {
 public:
  explicit PrintStream(const SessionSettings& settings) : settings_(settings) {}

  // Creates the stream anew and writes the device line. A stream that cannot be created is
  // left closed: the writers then write nothing, and the caller goes on.
  void OpenPrintStream(const std::string& device);
  void WritePageDirective(std::int16_t pageLength);
  void WriteControlLine(const std::string& text);
  // Writes the normalised code and hands it back in `code`.
  void WriteJustification(std::string& code);
  // Writes a record, preceded by a page directive when the page is full. Control bytes of the
  // text (0 to 31, 127, 255) are written as blanks.
  void WriteTextRecord(std::int16_t column, const std::string& text, std::int16_t advance);
  // False when the stream could not be created or something written to it was lost.
  bool ClosePrintStream();

  std::int16_t LinesOnPage() const { return linesOnPage_; }
  std::int16_t PageLength() const { return pageLength_; }
  std::string Path() const { return settings_.workDir + "duvprint.tmp"; }

 private:
  void WriteLine(const std::string& line);

  const SessionSettings& settings_;
  OutputFile file_;
  bool createFailed_ = false;
  // Both survive from one stream to the next; only a page directive resets them.
  std::int16_t linesOnPage_ = 0;
  std::int16_t pageLength_ = 0;
};

}  // namespace duv
