#include "media/effects/face_trace.h"

#include <algorithm>
#include <cmath>

#include "media/effects/effect_kit.h"

namespace effects {
namespace {

constexpr int kCell = 4;             // pixels per cell side
constexpr int kMinCells = 8;         // smaller regions are noise
constexpr int kForgetAfter = 15;     // frames without a region before the box goes
constexpr uint8_t kBoxColour[3] = {40, 230, 40};

struct Region {
    int cells = 0;
    int x0 = 0, y0 = 0, x1 = 0, y1 = 0;  // cells, half-open
};

void DrawBox(const FrameView& dst, const Box& box, int thick) {
    const auto fill = [&](int x0, int y0, int x1, int y1) {
        x0 = std::max(x0, 0), y0 = std::max(y0, 0), x1 = std::min(x1, dst.width), y1 = std::min(y1, dst.height);
        for (int y = y0; y < y1; ++y)
            for (uint8_t* p = dst.At(x0, y); p < dst.At(x1, y); p += 3) std::copy(kBoxColour, kBoxColour + 3, p);
    };
    fill(box.x0, box.y0, box.x1, box.y0 + thick);
    fill(box.x0, box.y1 - thick, box.x1, box.y1);
    fill(box.x0, box.y0, box.x0 + thick, box.y1);
    fill(box.x1 - thick, box.y0, box.x1, box.y1);
}

class FaceTrace final : public Effect {
public:
    void Apply(const ConstFrameView& src, const FrameView& dst, SampleTime) override {
        CopyFrame(src, dst);
        if (const auto box = tracker_.Track(src)) DrawBox(dst, *box, std::max(2, src.width / 100));
    }

private:
    FaceTracker tracker_;
};

}  // namespace

bool IsSkin(uint8_t b, uint8_t g, uint8_t r) {
    const int y = (29 * b + 150 * g + 77 * r) >> 8;
    const int cb = 128 + ((-43 * r - 85 * g + 128 * b) >> 8);
    const int cr = 128 + ((128 * r - 107 * g - 21 * b) >> 8);
    return y > 50 && cb >= 77 && cb <= 127 && cr >= 135 && cr <= 175;
}

std::optional<Box> FaceTracker::LargestRegion(const ConstFrameView& frame) {
    const int cw = frame.width / kCell, ch = frame.height / kCell;
    if (cw <= 0 || ch <= 0) return std::nullopt;
    skin_.assign(static_cast<size_t>(cw) * ch, 0);
    for (int cy = 0; cy < ch; ++cy) {
        for (int cx = 0; cx < cw; ++cx) {
            // Two samples on the cell's diagonal must both be skin.
            const uint8_t* a = frame.At(cx * kCell + 1, cy * kCell + 1);
            const uint8_t* b = frame.At(cx * kCell + 3, cy * kCell + 3);
            skin_[cy * cw + cx] = IsSkin(a[0], a[1], a[2]) && IsSkin(b[0], b[1], b[2]);
        }
    }
    seen_.assign(skin_.size(), 0);
    Region best;
    for (int start = 0; start < cw * ch; ++start) {
        if (!skin_[start] || seen_[start]) continue;
        Region region{0, cw, ch, 0, 0};
        stack_.assign(1, start);
        seen_[start] = 1;
        while (!stack_.empty()) {
            const int i = stack_.back(), x = i % cw, y = i / cw;
            stack_.pop_back();
            ++region.cells;
            region.x0 = std::min(region.x0, x), region.y0 = std::min(region.y0, y);
            region.x1 = std::max(region.x1, x + 1), region.y1 = std::max(region.y1, y + 1);
            const int next[4] = {x > 0 ? i - 1 : -1, x + 1 < cw ? i + 1 : -1, y > 0 ? i - cw : -1, y + 1 < ch ? i + cw : -1};
            for (int n : next)
                if (n >= 0 && skin_[n] && !seen_[n]) seen_[n] = 1, stack_.push_back(n);
        }
        if (region.cells > best.cells) best = region;
    }
    if (best.cells < kMinCells) return std::nullopt;
    return Box{best.x0 * kCell, best.y0 * kCell, best.x1 * kCell, best.y1 * kCell};
}

std::optional<Box> FaceTracker::Track(const ConstFrameView& frame) {
    const auto found = LargestRegion(frame);
    if (!found) {
        if (++missing_ > kForgetAfter) have_box_ = false;
    } else {
        missing_ = 0;
        const double target[4] = {double(found->x0), double(found->y0), double(found->x1), double(found->y1)};
        for (int i = 0; i < 4; ++i) box_[i] = have_box_ ? (box_[i] + target[i]) / 2 : target[i];
        have_box_ = true;
    }
    if (!have_box_) return std::nullopt;
    return Box{static_cast<int>(std::lround(box_[0])), static_cast<int>(std::lround(box_[1])),
               static_cast<int>(std::lround(box_[2])), static_cast<int>(std::lround(box_[3]))};
}

std::unique_ptr<Effect> MakeFaceTrace() { return std::make_unique<FaceTrace>(); }

}  // namespace effects
