// The skin folder as the capture window loads and paints it: every file a
// plain 24-bit BMP at its size, tiles that join without seams, and buttons
// that fit the bars without covering one another at any window size.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "capture_app/assets/tests/asset_files.h"

namespace {

std::string SkinFile(const std::string& name) { return assets::InProgramDir("Skin\\" + name); }

// Every file loaded once for the whole suite.
const std::map<std::string, std::string>& Files() {
    static const std::map<std::string, std::string> files = [] {
        std::map<std::string, std::string> all;
        for (const assets::SkinBitmap& piece : assets::FramePieces()) all[piece.path] = assets::ReadBytes(SkinFile(piece.path));
        for (const std::string& name : assets::ButtonNames())
            for (const char* s = assets::kButtonStates; *s; ++s) {
                const std::string file = name + *s + ".BMP";
                all[file] = assets::ReadBytes(SkinFile(file));
            }
        return all;
    }();
    return files;
}

assets::BmpFacts Facts(const std::string& name) { return assets::InspectBmp(Files().at(name)); }

TEST(SkinFiles, EveryFramePieceIsAPlain24BitBmpOfItsSize) {
    for (const assets::SkinBitmap& piece : assets::FramePieces()) {
        const assets::BmpFacts facts = Facts(piece.path);
        ASSERT_TRUE(facts.valid) << piece.path << ": " << facts.problem;
        EXPECT_EQ(piece.width, facts.width) << piece.path;
        EXPECT_EQ(piece.height, facts.height) << piece.path;
    }
}

TEST(SkinFiles, EveryButtonHasFourStatesOfOneSize) {
    for (const std::string& name : assets::ButtonNames()) {
        const assets::BmpFacts over = Facts(name + "H.BMP");
        ASSERT_TRUE(over.valid) << name << "H: " << over.problem;
        for (const char* s = assets::kButtonStates; *s; ++s) {
            const assets::BmpFacts facts = Facts(name + *s + ".BMP");
            ASSERT_TRUE(facts.valid) << name << *s << ": " << facts.problem;
            EXPECT_EQ(over.width, facts.width) << name << *s;
            EXPECT_EQ(over.height, facts.height) << name << *s;
        }
    }
}

TEST(SkinFiles, TheFourStatesOfAButtonLookDifferent) {
    for (const std::string& name : assets::ButtonNames()) {
        const std::string states[4] = {Files().at(name + "H.BMP"), Files().at(name + "U.BMP"),
                                       Files().at(name + "D.BMP"), Files().at(name + "X.BMP")};
        for (int a = 0; a < 4; ++a)
            for (int b = a + 1; b < 4; ++b)
                EXPECT_NE(states[a], states[b]) << name << " states " << assets::kButtonStates[a] << " and "
                                                << assets::kButtonStates[b] << " are the same picture";
    }
}

// Column x of a piece, top to bottom.
std::vector<unsigned> Column(const std::string& piece, int x) {
    const std::string& bytes = Files().at(piece);
    const assets::BmpFacts facts = assets::InspectBmp(bytes);
    std::vector<unsigned> column;
    if (!facts.valid) return column;
    if (x < 0) x += facts.width;
    for (int y = 0; y < facts.height; ++y) column.push_back(assets::PixelAt(bytes, x, y));
    return column;
}

std::vector<unsigned> Row(const std::string& piece, int y) {
    const std::string& bytes = Files().at(piece);
    const assets::BmpFacts facts = assets::InspectBmp(bytes);
    std::vector<unsigned> row;
    for (int x = 0; facts.valid && x < facts.width; ++x) row.push_back(assets::PixelAt(bytes, x, y));
    return row;
}

// Where the window places two pieces side by side (in either layout), the
// tile between them repeats their touching edges: no visible seam.
TEST(SkinFiles, TilesContinueThePiecesBesideThem) {
    struct Join { const char* a; int columnA; const char* b; int columnB; };
    const Join joins[] = {
        {"top\\TopCenter.BMP", 0, "top\\TopCenter.BMP", 1},
        {"top\\About.BMP", -1, "top\\TopCenter.BMP", 0},
        {"top\\TopCenter.BMP", 1, "top\\TopRight.BMP", 0},
        {"top\\TopLeft.BMP", -1, "top\\About.BMP", 0},
        {"bottom\\BottomFill1.BMP", 0, "bottom\\BottomFill1.BMP", 1},
        {"bottom\\BottomFill1.BMP", 1, "bottom\\BottomLeft2.BMP", 0},
        {"bottom\\BottomRight2.BMP", -1, "bottom\\BottomFill1.BMP", 0},
        {"bottom\\BottomFill1.BMP", 1, "bottom\\BottomRight1.BMP", 0},
        {"bottom\\BottomFill2.BMP", 0, "bottom\\BottomFill2.BMP", 1},
        {"bottom\\BottomLeft2.BMP", -1, "bottom\\BottomFill2.BMP", 0},
        {"bottom\\BottomFill2.BMP", 1, "bottom\\BottomCenter1.BMP", 0},
        {"bottom\\BottomCenter1.BMP", -1, "bottom\\BottomFill2.BMP", 0},
        {"bottom\\BottomFill2.BMP", 1, "bottom\\BottomCenter2.BMP", 0},
        {"bottom\\BottomCenter2.BMP", -1, "bottom\\BottomFill2.BMP", 0},
        {"bottom\\BottomFill2.BMP", 1, "bottom\\BottomRight2.BMP", 0},
    };
    for (const Join& join : joins) {
        // The logo is a row shorter than the bar; the preview covers that row.
        std::vector<unsigned> a = Column(join.a, join.columnA), b = Column(join.b, join.columnB);
        ASSERT_FALSE(a.empty() || b.empty());
        a.resize(std::min(a.size(), b.size()));
        b.resize(a.size());
        EXPECT_EQ(a, b) << join.a << " column " << join.columnA << " against " << join.b << " column " << join.columnB;
    }
    for (const char* side : {"center\\CenterLeft2.BMP", "center\\CenterRight2.BMP"})
        EXPECT_EQ(Row(side, 0), Row(side, 1)) << side << " does not tile downwards";
}

struct Place {
    const char* name;
    int x, y;
};

// The buttons' places for a client area of width R and height B.
std::vector<Place> Places(int R, int B) {
    const int M = R / 2;
    return {{"Help", R - 67, 7},       {"Min", R - 49, 7},           {"Close", R - 29, 8},
            {"Effect", 21, B - 94},    {"Browse", M - 150, B - 48},  {"Record", M - 101, B - 48},
            {"Snap", M - 25, B - 60},  {"AutoSnap", M + 22, B - 48}, {"Setup", M + 112, B - 48},
            {"Popup", R - 30, B - 28}};
}

struct Rect {
    int l, t, r, b;
    bool Overlaps(const Rect& o) const { return l < o.r && o.l < r && t < o.b && o.t < b; }
};

TEST(SkinFiles, ButtonsFitTheBarsWithoutCoveringEachOther) {
    constexpr int kLogoEnd = 21 + 274, kTopBar = 35, kBottomBar = 94, kEffectPlate = 75;
    for (int R : {455, 560, 561, 700, 1280}) {
        for (int B : {353, 600}) {
            const bool narrow = R < 561;
            std::vector<std::pair<std::string, Rect>> shown;
            for (const Place& p : Places(R, B)) {
                const std::string name = p.name;
                if (narrow && (name == "Browse" || name == "Setup")) continue;
                const assets::BmpFacts f = Facts(name + "H.BMP");
                ASSERT_TRUE(f.valid) << name;
                const Rect r{p.x, p.y, p.x + f.width, p.y + f.height};
                const std::string where = name + " at " + std::to_string(R) + " x " + std::to_string(B);
                EXPECT_TRUE(r.l >= 0 && r.r <= R && r.t >= 0 && r.b <= B) << where << " leaves the window";
                if (p.y < kTopBar) {
                    EXPECT_LE(r.b, kTopBar) << where << " hangs into the picture";
                    EXPECT_GE(r.l, kLogoEnd) << where << " covers the logo";
                } else {
                    EXPECT_GE(r.t, B - kBottomBar) << where << " covers the picture";
                }
                if (name == "Effect") EXPECT_LE(r.r, kEffectPlate) << where << " is wider than its plate";
                for (const auto& [other, o] : shown) EXPECT_FALSE(r.Overlaps(o)) << where << " covers " << other;
                shown.emplace_back(name, r);
            }
        }
    }
}

}  // namespace
