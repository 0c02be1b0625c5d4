#include "test_signals/test_pattern.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "pixel_formats/convert_frame.h"
#include "test_signals/dot_font.h"
#include "test_signals/frame_code.h"
#include "test_signals/luma_reader.h"

namespace test_signals {
namespace {

using pixel_formats::FrameFormat;
using pixel_formats::FrameLayout;
using pixel_formats::PixelFormat;

constexpr Colour kBlack{0, 0, 0};
constexpr Colour kWhite{255, 255, 255};
// 75% colour bars: white, yellow, cyan, green, magenta, red, blue, black.
constexpr Colour kBars[] = {{191, 191, 191}, {0, 191, 191}, {191, 191, 0}, {0, 191, 0},
                            {191, 0, 191},   {0, 0, 191},   {191, 0, 0},   {16, 16, 16}};
constexpr int kBarCount = sizeof(kBars) / sizeof(kBars[0]);
constexpr Colour kBoxFill{0, 140, 255};  // orange
constexpr int kMaxDigits = 10;           // 4294967295

bool HasCode(int width, int height) { return width >= kMinCodeWidth && height >= kMinCodeHeight; }

// Position on a back-and-forth path over [0, range].
int Bounce(uint32_t step, int range) {
    if (range <= 0) return 0;
    const uint64_t period = 2 * static_cast<uint64_t>(range);
    const int at = static_cast<int>(step % period);
    return at <= range ? at : static_cast<int>(period) - at;
}

// One row is computed, the others copied: the bars are vertical.
void DrawBars(Canvas& canvas, uint32_t frame, int area_height) {
    const int width = canvas.width();
    if (area_height <= 0) return;
    const int shift = static_cast<int>(frame * static_cast<uint64_t>(std::max(1, width / 64)) % width);
    uint8_t* first = canvas.Row(0);
    for (int x = 0; x < width; ++x) {
        const Colour c = kBars[static_cast<int64_t>((x + shift) % width) * kBarCount / width];
        first[3 * x] = c.b;
        first[3 * x + 1] = c.g;
        first[3 * x + 2] = c.r;
    }
    for (int y = 1; y < area_height; ++y) std::memcpy(canvas.Row(y), first, static_cast<size_t>(width) * 3);
}

void DrawBox(Canvas& canvas, uint32_t frame, int area_height) {
    const int size = std::max(4, std::min(canvas.width(), area_height) / 5);
    const int x = Bounce(frame * static_cast<uint32_t>(std::max(1, canvas.width() / 90)), canvas.width() - size);
    const int y = Bounce(frame * static_cast<uint32_t>(std::max(1, area_height / 70)), area_height - size);
    const int border = std::max(1, size / 10);
    canvas.FillRect(x, y, x + size, y + size, kBlack);
    canvas.FillRect(x + border, y + border, x + size - border, y + size - border, kBoxFill);
}

// Digit size for the longest number, so the digits keep their size as it grows.
int CounterScale(int width, int area_height) {
    return std::max(1, std::min(area_height / (5 * kGlyphHeight), width * 9 / 10 / (kMaxDigits * kGlyphAdvance)));
}

// White text on a black plate, the plate `pad` wider than the text all round.
void DrawPlate(Canvas& canvas, std::string_view text, int x, int y, int scale, int pad) {
    canvas.FillRect(x, y, x + TextWidth(text, scale) + 2 * pad, y + kGlyphHeight * scale + 2 * pad, kBlack);
    DrawText(canvas, text, x + pad, y + pad, scale, kWhite);
}

void DrawCounter(Canvas& canvas, uint32_t frame, int area_height) {
    const int scale = CounterScale(canvas.width(), area_height);
    DrawPlate(canvas, std::to_string(frame), 2 * scale, 2 * scale, scale, 2 * scale);
}

// The label sits at the bottom left of the picture above the code band.
void DrawLabel(Canvas& canvas, std::string_view label, int area_height) {
    if (label.empty()) return;
    const int scale = std::max(1, CounterScale(canvas.width(), area_height) / 3);
    const int pad = scale;
    DrawPlate(canvas, label, 0, area_height - kGlyphHeight * scale - 2 * pad, scale, pad);
}

void DrawCode(Canvas& canvas, uint32_t frame) {
    const CodeCells cells = EncodeFrameCode(frame);
    for (int row = 0; row < kCodeRows; ++row) {
        for (int col = 0; col < kCodeColumns; ++col) {
            const CellRect r = CodeCellRect(col, row, canvas.width(), canvas.height());
            canvas.FillRect(r.x0, r.y0, r.x1, r.y1, cells[row * kCodeColumns + col] ? kWhite : kBlack);
        }
    }
}

void DrawPattern(Canvas& canvas, uint32_t frame, std::string_view label) {
    const bool code = HasCode(canvas.width(), canvas.height());
    const int area_height = code ? CodeBandTop(canvas.height()) : canvas.height();
    DrawBars(canvas, frame, area_height);
    DrawBox(canvas, frame, area_height);
    DrawCounter(canvas, frame, area_height);
    DrawLabel(canvas, label, area_height);
    if (code) DrawCode(canvas, frame);
}

// Cells are sampled over their inner half, which scaling by nearest neighbour
// and 4:2:x chroma cannot reach from the neighbouring cells.
std::optional<CodeCells> ReadCells(const LumaReader& reader, int width, int height) {
    int levels[kCodeCellCount];
    for (int row = 0; row < kCodeRows; ++row) {
        for (int col = 0; col < kCodeColumns; ++col) {
            const CellRect r = CodeCellRect(col, row, width, height);
            const int dx = (r.x1 - r.x0) / 4, dy = (r.y1 - r.y0) / 4;
            levels[row * kCodeColumns + col] = reader.MeanOver(r.x0 + dx, r.y0 + dy, r.x1 - dx, r.y1 - dy);
        }
    }
    // The guards (white-black over black-white) give the frame's own levels.
    const int white = std::min(levels[0], levels[kCodeColumns + 1]);
    const int black = std::max(levels[1], levels[kCodeColumns]);
    if (white - black < 64) return std::nullopt;
    const int middle = (white + black) / 2, doubt = (white - black) / 4;
    CodeCells cells;
    for (int i = 0; i < kCodeCellCount; ++i) {
        if (std::abs(levels[i] - middle) < doubt) return std::nullopt;
        cells[i] = levels[i] > middle;
    }
    return cells;
}

}  // namespace

bool TestPatternRenderer::Render(uint32_t frame_number, const FrameFormat& format, uint8_t* dst, size_t capacity) {
    FrameLayout layout;
    if (!dst || !pixel_formats::ComputeFrameLayout(format, &layout) || layout.size > capacity) return false;
    canvas_.Resize(layout.width, layout.height);
    DrawPattern(canvas_, frame_number, label_);
    const FrameFormat drawn{PixelFormat::kRgb24, layout.width, -layout.height, layout.width * 3};
    return pixel_formats::ConvertFrame(canvas_.data(), canvas_.size(), drawn, dst, capacity, format);
}

bool RenderTestPattern(uint32_t frame_number, PixelFormat format, int width, int height, uint8_t* dst,
                       size_t capacity) {
    TestPatternRenderer renderer;
    return renderer.Render(frame_number, {format, width, height, 0}, dst, capacity);
}

std::optional<uint32_t> DecodeFrameCounter(const uint8_t* frame, size_t length, PixelFormat format, int width,
                                           int height) {
    FrameLayout layout;
    if (!frame || !pixel_formats::ComputeFrameLayout({format, width, height, 0}, &layout) || layout.size > length) {
        return std::nullopt;
    }
    // Below 4x4 pixels per cell a scaled code can no longer be told apart.
    if (layout.width < 4 * kCodeColumns || layout.height < 4 * kPictureRowsPerCodeRow) return std::nullopt;
    const std::optional<CodeCells> cells = ReadCells(LumaReader(frame, format, layout), layout.width, layout.height);
    return cells ? DecodeFrameCode(*cells) : std::nullopt;
}

}  // namespace test_signals
