#pragma once
// The cell grid both consoles keep: the grid is the truth of what the screen shows, so reading
// a cell back is exact. The virtual console adds a scripted input queue, the terminal console
// draws the grid on the terminal.

#include <vector>

#include "platform/ConsoleDevice.h"

namespace duv {

class GridConsole : public ConsoleDevice {
 public:
  GridConsole(std::int16_t rows, std::int16_t columns);

  std::int16_t Rows() const override { return rows_; }
  std::int16_t Columns() const override { return columns_; }
  void SetAttribute(std::uint8_t attribute) override { attribute_ = attribute; }
  std::uint8_t Attribute() const override { return attribute_; }
  void SetCursorPosition(std::int16_t row, std::int16_t column) override;
  std::int16_t CursorRow() const override { return cursorRow_; }
  std::int16_t CursorColumn() const override { return cursorColumn_; }
  void SetCursorShape(std::int16_t size) override { cursorShape_ = size; }
  std::int16_t CursorShape() const { return cursorShape_; }

  void Write(std::string_view text) override;
  ConsoleCell ReadCell(std::int16_t row, std::int16_t column) const override;
  void WriteCell(std::int16_t row, std::int16_t column, ConsoleCell cell) override;
  void ScrollRectangle(std::int16_t top, std::int16_t left, std::int16_t bottom,
                       std::int16_t right, int lines) override;

 protected:
  // A new size (held to the console limits); the content that still fits is kept.
  void Resize(std::int16_t rows, std::int16_t columns);
  const std::vector<ConsoleCell>& Cells() const { return cells_; }

 private:
  bool Inside(std::int16_t row, std::int16_t column) const {
    return row >= 1 && row <= rows_ && column >= 1 && column <= columns_;
  }
  std::size_t Index(std::int16_t row, std::int16_t column) const {
    return static_cast<std::size_t>(row - 1) * static_cast<std::size_t>(columns_) +
           static_cast<std::size_t>(column - 1);
  }

  std::int16_t rows_;
  std::int16_t columns_;
  std::vector<ConsoleCell> cells_;
  std::uint8_t attribute_ = 7;
  std::int16_t cursorRow_ = 1;
  std::int16_t cursorColumn_ = 1;
  std::int16_t cursorShape_ = -1;
};

}  // namespace duv
