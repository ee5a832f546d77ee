#include "platform/GridConsole.h"

#include <algorithm>

namespace duv {

namespace {
std::int16_t HoldTo(std::int16_t value, std::int16_t limit) {
  return std::clamp<std::int16_t>(value, 1, limit);
}
}  // namespace

GridConsole::GridConsole(std::int16_t rows, std::int16_t columns)
    : rows_(HoldTo(rows, kMaxConsoleRows)),
      columns_(HoldTo(columns, kMaxConsoleColumns)),
      cells_(static_cast<std::size_t>(rows_) * static_cast<std::size_t>(columns_)) {}

void GridConsole::Resize(std::int16_t rows, std::int16_t columns) {
  rows = HoldTo(rows, kMaxConsoleRows);
  columns = HoldTo(columns, kMaxConsoleColumns);
  if (rows == rows_ && columns == columns_) return;
  std::vector<ConsoleCell> resized(static_cast<std::size_t>(rows) * static_cast<std::size_t>(columns));
  for (std::int16_t r = 1; r <= std::min(rows, rows_); ++r) {
    for (std::int16_t c = 1; c <= std::min(columns, columns_); ++c) {
      resized[static_cast<std::size_t>(r - 1) * static_cast<std::size_t>(columns) +
              static_cast<std::size_t>(c - 1)] = cells_[Index(r, c)];
    }
  }
  rows_ = rows;
  columns_ = columns;
  cells_ = std::move(resized);
  cursorRow_ = std::min(cursorRow_, rows_);
  cursorColumn_ = std::min(cursorColumn_, columns_);
}

void GridConsole::SetCursorPosition(std::int16_t row, std::int16_t column) {
  cursorRow_ = HoldTo(row, rows_);
  cursorColumn_ = HoldTo(column, columns_);
}

void GridConsole::Write(std::string_view text) {
  for (const char byte : text) {
    cells_[Index(cursorRow_, cursorColumn_)] = {static_cast<unsigned char>(byte), attribute_};
    if (cursorColumn_ < columns_) {
      ++cursorColumn_;
    } else if (cursorRow_ < rows_) {
      cursorColumn_ = 1;
      ++cursorRow_;
    }
  }
}

ConsoleCell GridConsole::ReadCell(std::int16_t row, std::int16_t column) const {
  if (!Inside(row, column)) return {};
  return cells_[Index(row, column)];
}

void GridConsole::WriteCell(std::int16_t row, std::int16_t column, ConsoleCell cell) {
  if (Inside(row, column)) cells_[Index(row, column)] = cell;
}

void GridConsole::ScrollRectangle(std::int16_t top, std::int16_t left, std::int16_t bottom,
                                  std::int16_t right, int lines) {
  top = std::max<std::int16_t>(top, 1);
  left = std::max<std::int16_t>(left, 1);
  bottom = std::min(bottom, rows_);
  right = std::min(right, columns_);
  if (top > bottom || left > right || lines == 0) return;
  const int height = bottom - top + 1;
  const ConsoleCell blank{' ', attribute_};
  for (int i = 0; i < height; ++i) {
    // Every row takes the row `lines` below it (above it when scrolling down); walking from
    // the side the content moves to reads no row after it was overwritten.
    const int target = lines > 0 ? top + i : bottom - i;
    const int source = target + lines;
    for (std::int16_t c = left; c <= right; ++c) {
      const bool fromInside = source >= top && source <= bottom;
      cells_[Index(static_cast<std::int16_t>(target), c)] =
          fromInside ? cells_[Index(static_cast<std::int16_t>(source), c)] : blank;
    }
  }
}

}  // namespace duv
