#include "console/WindowStack.h"

#include <optional>

#include "platform/Files.h"
#include "platform/HostPath.h"
#include "session/TextHelpers.h"

namespace duv {

// The window file:
//
//   offset 0   4 bytes   next free position, 32-bit little-endian, 1-based (5 when empty)
//   offset 4   records, oldest first, each:
//              2 digits x 10   cursor row, cursor column, the previous window's top, left,
//                              bottom, right, and the saved rectangle's top, left, bottom, right
//              2 x cells       character and attribute of each cell, row by row
//              5 digits        length of the whole record (20 + 2 x cells + 5)
//
// Numbers are zero-padded ASCII digits keeping the last digits. Pops do not shorten the file;
// the pop that empties the stack deletes it.

namespace {

constexpr std::size_t kHeaderSize = 4;
constexpr std::size_t kFieldsSize = 20;
constexpr std::size_t kLengthSize = 5;

std::string Digits(int value, int width) {
  std::string text(static_cast<std::size_t>(width), '0');
  unsigned v = static_cast<unsigned>(value < 0 ? -value : value);
  for (int i = width - 1; i >= 0; --i) {
    text[static_cast<std::size_t>(i)] = static_cast<char>('0' + v % 10);
    v /= 10;
  }
  return text;
}

std::optional<int> ReadDigits(const std::string& bytes, std::size_t offset, std::size_t width) {
  if (offset + width > bytes.size()) return std::nullopt;
  int value = 0;
  for (std::size_t i = 0; i < width; ++i) {
    const char c = bytes[offset + i];
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
  }
  return value;
}

std::int64_t ReadHeader(const std::string& bytes) {
  std::uint32_t value = 0;
  for (int i = 3; i >= 0; --i) value = (value << 8) | static_cast<unsigned char>(bytes[static_cast<std::size_t>(i)]);
  return static_cast<std::int32_t>(value);
}

void WriteHeader(std::string& bytes, std::int64_t next) {
  if (bytes.size() < kHeaderSize) bytes.resize(kHeaderSize, '\0');
  const auto value = static_cast<std::uint32_t>(next);
  for (std::size_t i = 0; i < 4; ++i) bytes[i] = static_cast<char>((value >> (8 * i)) & 0xff);
}

bool WriteWhole(const std::string& path, const std::string& bytes) {
  OutputFile file;
  if (!file.Create(path)) return false;
  file.Write(bytes);
  return file.Close();
}

}  // namespace

WindowStack::WindowStack(Screen& screen, const std::string& workDir)
    : screen_(screen), windowFile_(workDir + "WinPush.tmp") {}

void WindowStack::PushWindow(std::int16_t top, std::int16_t left, std::int16_t bottom,
                             std::int16_t right) {
  const std::int16_t rows = screen_.ScreenRows();
  const std::int16_t columns = screen_.ScreenColumns();
  if (top < 1 || top > rows || left < 1 || left > columns || bottom < 1 || bottom > rows ||
      right < 1 || right > columns) {
    return;
  }
  const std::string path = ResolveHostPath(windowFile_);
  std::string bytes = ReadFileBytes(path).value_or(std::string());
  std::int64_t next = kHeaderSize + 1;
  if (bytes.size() > 3) next = ReadHeader(bytes);
  // A header that points outside the file (a damaged or foreign file) starts the stack anew
  // rather than writing somewhere nobody can read back.
  if (next < static_cast<std::int64_t>(kHeaderSize + 1) ||
      next > static_cast<std::int64_t>(bytes.size()) + 1) {
    bytes.clear();
    next = kHeaderSize + 1;
  }

  ConsoleDevice& device = screen_.Device();
  const CurrentWindow& before = screen_.Window();
  std::string record;
  for (const int field : {static_cast<int>(device.CursorRow()), static_cast<int>(device.CursorColumn()),
                          static_cast<int>(before.top), static_cast<int>(before.left),
                          static_cast<int>(before.bottom), static_cast<int>(before.right),
                          static_cast<int>(top), static_cast<int>(left), static_cast<int>(bottom),
                          static_cast<int>(right)}) {
    record += Digits(field, 2);
  }
  for (std::int16_t r = top; r <= bottom; ++r) {
    for (std::int16_t c = left; c <= right; ++c) {
      const ConsoleCell cell = device.ReadCell(r, c);
      record.push_back(static_cast<char>(cell.character));
      record.push_back(static_cast<char>(cell.attribute));
    }
  }
  record += Digits(static_cast<int>(record.size() + kLengthSize), static_cast<int>(kLengthSize));

  const auto start = static_cast<std::size_t>(next - 1);
  if (bytes.size() < start + record.size()) bytes.resize(start + record.size());
  bytes.replace(start, record.size(), record);
  WriteHeader(bytes, next + static_cast<std::int64_t>(record.size()));
  // A window file that cannot be written saves nothing: the push is rejected as a bad
  // rectangle would be, and the screen is not left with a window nobody can restore.
  if (!WriteWhole(path, bytes)) return;
  screen_.SetWindow({static_cast<std::int16_t>(before.depth + 1), top, left, bottom, right});
}

void WindowStack::PopWindow() {
  const std::string path = ResolveHostPath(windowFile_);
  std::string bytes = ReadFileBytes(path).value_or(std::string());
  if (bytes.size() <= 3) {
    RemoveFile(path);
    return;
  }
  // Everything is read and checked before anything changes: a record that cannot be read
  // whole restores nothing, and the unreadable file is dropped so that later pushes work.
  const std::int64_t next = ReadHeader(bytes);
  const auto readRecord = [&]() -> std::optional<std::size_t> {
    if (next < static_cast<std::int64_t>(kHeaderSize + 1 + kFieldsSize + kLengthSize) ||
        next > static_cast<std::int64_t>(bytes.size()) + 1) {
      return std::nullopt;
    }
    const auto end = static_cast<std::size_t>(next - 1);
    const auto length = ReadDigits(bytes, end - kLengthSize, kLengthSize);
    if (!length || static_cast<std::size_t>(*length) < kFieldsSize + kLengthSize ||
        static_cast<std::size_t>(*length) > end - kHeaderSize) {
      return std::nullopt;
    }
    const std::size_t start = end - static_cast<std::size_t>(*length);
    for (std::size_t i = 0; i < 10; ++i) {
      if (!ReadDigits(bytes, start + 2 * i, 2)) return std::nullopt;
    }
    const int top = *ReadDigits(bytes, start + 12, 2);
    const int left = *ReadDigits(bytes, start + 14, 2);
    const int bottom = *ReadDigits(bytes, start + 16, 2);
    const int right = *ReadDigits(bytes, start + 18, 2);
    const int cells = (bottom >= top && right >= left) ? (bottom - top + 1) * (right - left + 1) : 0;
    if (kFieldsSize + 2 * static_cast<std::size_t>(cells) + kLengthSize !=
        static_cast<std::size_t>(*length)) {
      return std::nullopt;
    }
    return start;
  };
  const auto start = readRecord();
  if (!start) {
    RemoveFile(path);
    return;
  }

  const auto field = [&](int i) { return static_cast<std::int16_t>(*ReadDigits(bytes, *start + 2 * static_cast<std::size_t>(i), 2)); };
  CurrentWindow window = screen_.Window();
  window.depth = static_cast<std::int16_t>(window.depth - 1);
  window.top = field(2);
  window.left = field(3);
  window.bottom = field(4);
  window.right = field(5);
  screen_.SetWindow(window);

  ConsoleDevice& device = screen_.Device();
  const std::int16_t top = field(6), left = field(7), bottom = field(8), right = field(9);
  std::size_t offset = *start + kFieldsSize;
  for (std::int16_t r = top; r <= bottom; ++r) {
    for (std::int16_t c = left; c <= right; ++c) {
      const auto character = static_cast<unsigned char>(bytes[offset]);
      const auto attribute = static_cast<std::uint8_t>(bytes[offset + 1]);
      offset += 2;
      // Cells outside the screen (a file from a larger console) are skipped.
      if (r < 1 || r > device.Rows() || c < 1 || c > device.Columns()) continue;
      device.SetAttribute(attribute);
      device.SetCursorPosition(r, c);
      device.Write(std::string(1, static_cast<char>(character)));
    }
  }
  const std::int16_t cursorRow = field(0), cursorColumn = field(1);
  if (cursorRow >= 1 && cursorRow <= device.Rows() && cursorColumn >= 1 && cursorColumn <= device.Columns()) {
    device.SetCursorPosition(cursorRow, cursorColumn);
  }

  const auto newNext = static_cast<std::int64_t>(*start + 1);
  WriteHeader(bytes, newNext);
  if (newNext < 6) {
    RemoveFile(path);
  } else {
    WriteWhole(path, bytes);
  }
}

void WindowStack::DrawFrame(std::int16_t style) {
  const CurrentWindow& w = screen_.Window();
  if (w.depth == 0) return;
  struct Frame {
    char topLeft, topRight, bottomLeft, bottomRight, horizontal, vertical;
  };
  Frame frame{'\0', '\0', '\0', '\0', '\0', '\0'};
  if (style == 0) frame = {' ', ' ', ' ', ' ', ' ', ' '};
  if (style == 1) frame = {'\xda', '\xbf', '\xc0', '\xd9', '\xc4', '\xb3'};
  if (style == 2) frame = {'\xc9', '\xbb', '\xc8', '\xbc', '\xcd', '\xba'};
  const int inner = std::max(0, w.right - w.left - 1);
  ConsoleDevice& device = screen_.Device();
  device.SetCursorPosition(w.top, w.left);
  device.Write(frame.topLeft + std::string(static_cast<std::size_t>(inner), frame.horizontal) + frame.topRight);
  for (std::int16_t r = static_cast<std::int16_t>(w.top + 1); r < w.bottom; ++r) {
    device.SetCursorPosition(r, w.left);
    device.Write(frame.vertical + std::string(static_cast<std::size_t>(inner), ' ') + frame.vertical);
  }
  device.SetCursorPosition(w.bottom, w.left);
  device.Write(frame.bottomLeft + std::string(static_cast<std::size_t>(inner), frame.horizontal) + frame.bottomRight);
}

void WindowStack::ShowMessage(std::int16_t centreRow, std::string& text) {
  constexpr int kWidth = 76;
  screen_.SetColourClass("+rh");
  WrapText(text, 0, kWidth, "i");
  const int lines = static_cast<int>(text.size() / kWidth);
  int top = std::max(1, centreRow - (lines + 1) / 2 - 2);
  int bottom = top + lines + 1;
  if (bottom > screen_.ScreenRows()) {
    bottom = screen_.ScreenRows();
    top = bottom - lines - 1;
  }
  if (top < 1) {
    screen_.SetColourClass("-");
    return;
  }
  int left = 0;
  int right = 0;
  for (int i = 0; i < lines; ++i) {
    const auto k = static_cast<int>(
        TrimTrailingBlanks(std::string_view(text).substr(static_cast<std::size_t>(i * kWidth), kWidth)).size());
    if (right - left < k + 4) {
      left = 41 - (k + 1) / 2 - 2;
      right = k / 2 + 41 + 1;
    }
  }
  PushWindow(static_cast<std::int16_t>(top), static_cast<std::int16_t>(left),
             static_cast<std::int16_t>(bottom), static_cast<std::int16_t>(right));
  // A box the screen cannot hold (a console narrower than the message) is not drawn over
  // whatever window is open below it.
  if (screen_.Window().top != top || screen_.Window().left != left) {
    screen_.SetColourClass("-");
    return;
  }
  DrawFrame(1);
  for (int i = 0; i < lines; ++i) {
    screen_.PlaceCursor(static_cast<std::int16_t>(i + 1), 2);
    screen_.Write(TrimTrailingBlanks(std::string_view(text).substr(static_cast<std::size_t>(i * kWidth), kWidth)));
  }
  screen_.SetColourClass("-");
}

}  // namespace duv
