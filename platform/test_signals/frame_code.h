// The machine-readable frame counter: a grid of black and white cells along
// the bottom of the test pattern.
//
// The grid is 20 columns by 2 rows, laid out in fractions of the picture
// (columns of width/20, rows of height/15 in the bottom two fifteenths), so a
// scaled copy of the picture still has its cells in the same relative places.
// Each row: two guard cells (white-black on top, black-white below), 16 bits
// of the counter, most significant first, and two of the four bits of its
// CRC-4, so that any single misread cell is rejected.
#pragma once

#include <array>
#include <cstdint>
#include <optional>

namespace test_signals {

inline constexpr int kCodeColumns = 20;
inline constexpr int kCodeRows = 2;
inline constexpr int kPictureRowsPerCodeRow = 15;  // vertical unit: height / 15
inline constexpr int kCodeCellCount = kCodeColumns * kCodeRows;
// Smallest picture the code is drawn on: cells of at least 8x8 pixels.
inline constexpr int kMinCodeWidth = 8 * kCodeColumns;
inline constexpr int kMinCodeHeight = 8 * kPictureRowsPerCodeRow;

struct CellRect {
    int x0, y0, x1, y1;  // half-open, y from the top of the picture
};

// Where cell (column, row) lies in a picture of the given size.
CellRect CodeCellRect(int column, int row, int width, int height);
// First picture row of the code band; the band runs to the bottom.
int CodeBandTop(int height);

// Cells row by row, true = white.
using CodeCells = std::array<bool, kCodeCellCount>;

CodeCells EncodeFrameCode(uint32_t counter);
// The counter when the guards and check bits agree, otherwise nothing.
std::optional<uint32_t> DecodeFrameCode(const CodeCells& cells);

}  // namespace test_signals
