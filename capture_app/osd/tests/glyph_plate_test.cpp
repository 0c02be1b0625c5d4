// The plate cut from a glyph mask: what is covered and what shows through.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "capture_app/osd/glyph_plate.h"

namespace {

// A mask from rows of '#' (ink) and '.' (blank).
struct Picture {
    explicit Picture(std::vector<std::string> rows) : rows_(std::move(rows)) {
        for (const std::string& row : rows_)
            for (char c : row) bytes_.push_back(c == '#' ? 0xFF : 0);
    }
    osd::GlyphMask Mask() const {
        const int width = rows_.empty() ? 0 : static_cast<int>(rows_[0].size());
        return osd::GlyphMask{bytes_.data(), width, static_cast<int>(rows_.size()), width};
    }
    std::vector<std::string> rows_;
    std::vector<std::uint8_t> bytes_;
};

bool Covers(const std::vector<osd::Box>& rects, int x, int y) {
    for (const osd::Box& r : rects)
        if (x >= r.left && x < r.right && y >= r.top && y < r.bottom) return true;
    return false;
}

// Every pixel of the picture: covered exactly when blank and inside the box.
void ExpectPlateMatches(const Picture& picture, const std::vector<osd::Box>& rects, const osd::Box& box) {
    for (int y = 0; y < static_cast<int>(picture.rows_.size()); ++y) {
        for (int x = 0; x < static_cast<int>(picture.rows_[y].size()); ++x) {
            const bool inside = x >= box.left && x < box.right && y >= box.top && y < box.bottom;
            const bool expected = inside && picture.rows_[y][x] == '.';
            EXPECT_EQ(expected, Covers(rects, x, y)) << "at " << x << "," << y;
        }
    }
}

// Rectangles must not overlap and must come in y-x bands.
void ExpectBanded(const std::vector<osd::Box>& rects) {
    for (size_t i = 1; i < rects.size(); ++i) {
        const osd::Box& a = rects[i - 1];
        const osd::Box& b = rects[i];
        if (a.top == b.top) {
            EXPECT_EQ(a.bottom, b.bottom) << "band heights differ at " << i;
            EXPECT_LE(a.right, b.left) << "rectangles overlap or are out of order at " << i;
        } else {
            EXPECT_LE(a.bottom, b.top) << "bands overlap at " << i;
        }
    }
}

TEST(GlyphPlate, CutsTheLettersOutOfTheirBoundingBox) {
    const Picture picture({
        "..........",
        "..#...##..",
        "..#..#..#.",
        "..#..#..#.",
        "..###.##..",
        "..........",
    });
    osd::Box box;
    const std::vector<osd::Box> rects = osd::PlateRects(picture.Mask(), &box);
    EXPECT_EQ(2, box.left);
    EXPECT_EQ(1, box.top);
    EXPECT_EQ(9, box.right);
    EXPECT_EQ(5, box.bottom);
    ExpectPlateMatches(picture, rects, box);
    ExpectBanded(rects);
}

TEST(GlyphPlate, EqualRowsShareOneBand) {
    const Picture picture({
        "#...#",
        "#...#",
        "#...#",
        "#####",
    });
    osd::Box box;
    const std::vector<osd::Box> rects = osd::PlateRects(picture.Mask(), &box);
    ASSERT_EQ(1u, rects.size());
    EXPECT_EQ(1, rects[0].left);
    EXPECT_EQ(0, rects[0].top);
    EXPECT_EQ(4, rects[0].right);
    EXPECT_EQ(3, rects[0].bottom);
    ExpectPlateMatches(picture, rects, box);
}

TEST(GlyphPlate, GapsBetweenLettersAndHolesInsideThemArePlate) {
    const Picture picture({
        "###..###.",
        "#.#..#...",
        "###..###.",
        "......#..",
        ".....##..",
    });
    osd::Box box;
    const std::vector<osd::Box> rects = osd::PlateRects(picture.Mask(), &box);
    EXPECT_EQ(0, box.left);
    EXPECT_EQ(8, box.right);
    EXPECT_EQ(5, box.bottom);
    EXPECT_TRUE(Covers(rects, 1, 1));  // the hole of the first letter
    EXPECT_TRUE(Covers(rects, 3, 0));  // between the letters
    EXPECT_FALSE(Covers(rects, 8, 0)); // right of the box
    ExpectPlateMatches(picture, rects, box);
    ExpectBanded(rects);
}

TEST(GlyphPlate, NoInkGivesNoPlate) {
    const Picture picture({"....", "...."});
    osd::Box box{1, 1, 2, 2};
    EXPECT_TRUE(osd::PlateRects(picture.Mask(), &box).empty());
    EXPECT_TRUE(box.Empty());
}

TEST(GlyphPlate, SolidInkLeavesNothingOfThePlate) {
    const Picture picture({"..", ".#", ".#"});
    osd::Box box;
    EXPECT_TRUE(osd::PlateRects(picture.Mask(), &box).empty());
    EXPECT_EQ(1, box.left);
    EXPECT_EQ(1, box.top);
    EXPECT_EQ(2, box.right);
    EXPECT_EQ(3, box.bottom);
}

TEST(GlyphPlate, HonoursTheRowStride) {
    // Two-pixel rows stored four bytes apart; the padding holds ink that must be ignored.
    const std::uint8_t bytes[] = {1, 0, 1, 1,
                                  0, 1, 1, 1};
    osd::Box box;
    const std::vector<osd::Box> rects = osd::PlateRects(osd::GlyphMask{bytes, 2, 2, 4}, &box);
    EXPECT_EQ(2, box.right);
    EXPECT_EQ(2, box.bottom);
    ASSERT_EQ(2u, rects.size());
    EXPECT_EQ(1, rects[0].left);
    EXPECT_EQ(0, rects[1].left);
    EXPECT_EQ(1, rects[1].top);
}

}  // namespace
