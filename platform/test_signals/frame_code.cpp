#include "test_signals/frame_code.h"

namespace test_signals {
namespace {

constexpr int kGuardCells = 2;
constexpr int kDataCellsPerRow = 16;
constexpr bool kGuards[kCodeRows][kGuardCells] = {{true, false}, {false, true}};

// CRC-4 (x^4 + x + 1) of the counter, most significant bit first: any one
// misread cell changes it.
unsigned CheckBits(uint32_t counter) {
    unsigned crc = 0;
    for (int i = 31; i >= 0; --i) {
        const unsigned feedback = ((counter >> i) & 1u) ^ (crc >> 3);
        crc = (crc << 1) & 0xFu;
        if (feedback) crc ^= 0x3u;
    }
    return crc;
}

int CellIndex(int column, int row) { return row * kCodeColumns + column; }

}  // namespace

CellRect CodeCellRect(int column, int row, int width, int height) {
    const int band_row = kPictureRowsPerCodeRow - kCodeRows + row;
    return {column * width / kCodeColumns, band_row * height / kPictureRowsPerCodeRow,
            (column + 1) * width / kCodeColumns, (band_row + 1) * height / kPictureRowsPerCodeRow};
}

int CodeBandTop(int height) { return CodeCellRect(0, 0, 1, height).y0; }

CodeCells EncodeFrameCode(uint32_t counter) {
    CodeCells cells{};
    const unsigned check = CheckBits(counter);
    for (int row = 0; row < kCodeRows; ++row) {
        const uint32_t half = row == 0 ? counter >> 16 : counter & 0xFFFF;
        for (int g = 0; g < kGuardCells; ++g) cells[CellIndex(g, row)] = kGuards[row][g];
        for (int bit = 0; bit < kDataCellsPerRow; ++bit) {
            cells[CellIndex(kGuardCells + bit, row)] = (half >> (kDataCellsPerRow - 1 - bit)) & 1;
        }
        const unsigned check_pair = row == 0 ? check >> 2 : check & 3;
        cells[CellIndex(kCodeColumns - 2, row)] = (check_pair >> 1) & 1;
        cells[CellIndex(kCodeColumns - 1, row)] = check_pair & 1;
    }
    return cells;
}

std::optional<uint32_t> DecodeFrameCode(const CodeCells& cells) {
    uint32_t counter = 0;
    unsigned check = 0;
    for (int row = 0; row < kCodeRows; ++row) {
        for (int g = 0; g < kGuardCells; ++g) {
            if (cells[CellIndex(g, row)] != kGuards[row][g]) return std::nullopt;
        }
        for (int bit = 0; bit < kDataCellsPerRow; ++bit) {
            counter = counter << 1 | (cells[CellIndex(kGuardCells + bit, row)] ? 1u : 0u);
        }
        check = check << 2 | (cells[CellIndex(kCodeColumns - 2, row)] ? 2u : 0u) |
                (cells[CellIndex(kCodeColumns - 1, row)] ? 1u : 0u);
    }
    if (check != CheckBits(counter)) return std::nullopt;
    return counter;
}

}  // namespace test_signals
