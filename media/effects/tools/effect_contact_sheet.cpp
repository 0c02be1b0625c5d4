// Draws every effect on one frame of the test camera's pattern (with a
// skin-coloured face added for FaceTrace) into one labelled picture, written
// as a binary PPM: effect_contact_sheet OUT.ppm [seconds]
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "media/effects/effect.h"
#include "media/effects/tests/test_scene.h"
#include "test_signals/canvas.h"
#include "test_signals/dot_font.h"
#include "test_signals/test_pattern.h"

namespace {

constexpr int kTileW = 320, kTileH = 240, kLabelH = 22, kColumns = 6;

effects_test::Picture PatternWithFace() {
    effects_test::Picture p(kTileW, kTileH);
    // A negative height asks for a top-down frame, the layout of Picture.
    const pixel_formats::FrameFormat format{pixel_formats::PixelFormat::kRgb24, kTileW, -kTileH, kTileW * 3};
    test_signals::TestPatternRenderer renderer;
    if (!renderer.Render(42, format, p.pixels.data(), p.pixels.size())) std::exit(1);
    const uint8_t hair[3] = {20, 30, 45}, skin[3] = {150, 180, 228};
    effects_test::Disc(p, 236, 112, 36, hair);
    effects_test::Disc(p, 236, 120, 31, skin);
    return p;
}

void Paste(test_signals::Canvas& sheet, const effects_test::Picture& tile, int slot, const std::string& label) {
    const int x0 = (slot % kColumns) * kTileW, y0 = (slot / kColumns) * (kTileH + kLabelH);
    for (int y = 0; y < kTileH; ++y)
        std::copy(tile.At(0, y), tile.At(0, y) + kTileW * 3, sheet.Row(y0 + y) + x0 * 3);
    const std::string text = slot == 0 ? label : std::to_string(slot) + " " + label;
    test_signals::DrawText(sheet, text, x0 + 6, y0 + kTileH + 4, 2, {255, 255, 255});
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s OUT.ppm [seconds]\n", argv[0]);
        return 2;
    }
    const effects::SampleTime time = static_cast<effects::SampleTime>((argc > 2 ? std::atof(argv[2]) : 0.9) * effects::kSecond);
    const int rows = (effects::kLastEffectCode + 1 + kColumns - 1) / kColumns;
    test_signals::Canvas sheet;
    sheet.Resize(kColumns * kTileW, rows * (kTileH + kLabelH));
    sheet.FillRect(0, 0, sheet.width(), sheet.height(), {40, 40, 40});
    const effects_test::Picture input = PatternWithFace();
    Paste(sheet, input, 0, "input");
    for (int code = 1; code <= effects::kLastEffectCode; ++code) {
        effects_test::Picture out(kTileW, kTileH);
        effects::CreateEffect(code)->Apply(input.View(), out.View(), time);
        Paste(sheet, out, code, effects::EffectName(code));
    }
    FILE* f = std::fopen(argv[1], "wb");
    if (!f) return 1;
    std::fprintf(f, "P6\n%d %d\n255\n", sheet.width(), sheet.height());
    for (int y = 0; y < sheet.height(); ++y)
        for (int x = 0; x < sheet.width(); ++x) {
            const uint8_t* p = sheet.Row(y) + 3 * x;
            const uint8_t rgb[3] = {p[2], p[1], p[0]};
            std::fwrite(rgb, 1, 3, f);
        }
    return std::fclose(f) == 0 ? 0 : 1;
}
