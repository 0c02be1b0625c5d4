// Effects with a textbook counterpart, checked against ImageMagick's own:
// Invert = -negate, Gray = -grayscale Rec601Luma, Magical Mirror's right half
// = -flop, RotateZ at a quarter turn = -rotate 90 (its middle), Mosaic = box
// shrink and enlarge by the block size.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

#include "media/effects/shape_effects.h"
#include "media/effects/tests/effect_test_util.h"
#include "media/effects/warp_effects.h"

namespace effects_test {
namespace {

using namespace effects;

void WritePpm(const Picture& p, const std::string& path) {
    FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fprintf(f, "P6\n%d %d\n255\n", p.width, p.height);
    for (size_t i = 0; i < p.pixels.size(); i += 3) {
        const uint8_t rgb[3] = {p.pixels[i + 2], p.pixels[i + 1], p.pixels[i]};
        std::fwrite(rgb, 1, 3, f);
    }
    std::fclose(f);
}

Picture ReadPpm(const std::string& path) {
    Picture p;
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return p;
    int w = 0, h = 0, max = 0;
    if (std::fscanf(f, "P6 %d %d %d", &w, &h, &max) == 3 && max == 255 && std::fgetc(f) != EOF) {
        p = Picture(w, h);
        for (size_t i = 0; i < p.pixels.size(); i += 3) {
            uint8_t rgb[3] = {0, 0, 0};
            if (std::fread(rgb, 1, 3, f) != 3) break;
            p.pixels[i] = rgb[2], p.pixels[i + 1] = rgb[1], p.pixels[i + 2] = rgb[0];
        }
    }
    std::fclose(f);
    return p;
}

class AgainstImageMagick : public testing::Test {
protected:
    void SetUp() override {
        char dir[] = "/tmp/effects_im_XXXXXX";
        ASSERT_NE(mkdtemp(dir), nullptr);
        dir_ = dir;
        WritePpm(scene_, dir_ + "/in.ppm");
    }
    void TearDown() override { std::system(("rm -rf " + dir_).c_str()); }

    // ImageMagick's picture for `options` applied to the scene.
    Picture Convert(const std::string& options) {
        const std::string out = dir_ + "/out.ppm";
        const std::string command = "convert " + dir_ + "/in.ppm " + options + " -depth 8 ppm:" + out;
        EXPECT_EQ(0, std::system(command.c_str())) << command << " (is ImageMagick installed?)";
        Picture p = ReadPpm(out);
        EXPECT_GT(p.width, 0) << "no picture from: " << command;
        return p;
    }

    const Picture scene_ = Scene(320, 240);
    std::string dir_;
};

// Largest channel difference over the pixels of `ours` in [x0, x1) x [y0, y1),
// ImageMagick's picture read at an offset.
int Worst(const Picture& ours, const Picture& theirs, int x0, int y0, int x1, int y1, int dx = 0, int dy = 0) {
    int worst = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x)
            for (int c = 0; c < 3; ++c) worst = std::max(worst, std::abs(ours.At(x, y)[c] - theirs.At(x + dx, y + dy)[c]));
    return worst;
}

TEST_F(AgainstImageMagick, InvertGrayMirrorRotateAndMosaic) {
    const Picture negate = Convert("-negate");
    ASSERT_EQ(negate.width, 320);
    EXPECT_EQ(0, Worst(ApplyTo(kInvert, scene_), negate, 0, 0, 320, 240));

    const Picture gray = Convert("-grayscale Rec601Luma");
    ASSERT_EQ(gray.width, 320);
    EXPECT_LE(Worst(ApplyTo(kGray, scene_), gray, 0, 0, 320, 240), 1);

    const Picture flop = Convert("-flop");
    ASSERT_EQ(flop.width, 320);
    const Picture mirror = ApplyTo(kMagicalMirror, scene_);
    EXPECT_EQ(0, Worst(mirror, flop, 160, 0, 320, 240));
    EXPECT_EQ(0, Worst(mirror, scene_, 0, 0, 160, 240));

    // -rotate 90 turns 320x240 clockwise into 240x320; our quarter turn keeps
    // the frame, so its columns 40..279 are ImageMagick's 0..239 shifted down by 40.
    const Picture rotated = Convert("-rotate 90");
    ASSERT_EQ(rotated.width, 240);
    EXPECT_EQ(0, Worst(ApplyTo(kRotateZ, scene_, kRotateZPeriod / 4), rotated, 40, 0, 280, 240, -40, 40));

    const int block = MosaicBlockSize(320);
    const Picture boxed = Convert("-scale " + std::to_string(320 / block) + "x" + std::to_string(240 / block) +
                                  "! -scale 320x240!");
    ASSERT_EQ(boxed.width, 320);
    EXPECT_LE(Worst(ApplyTo(kMosaic, scene_), boxed, 0, 0, 320, 240), 1);
}

}  // namespace
}  // namespace effects_test
