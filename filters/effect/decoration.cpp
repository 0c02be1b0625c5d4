#include "filters/effect/decoration.h"

#include <vector>

#include "filters/effect/frame_request.h"
#include "media/frame_files/frame_overlay.h"

namespace effect_filter {
namespace {

class EffectDecoration final : public Decoration {
public:
    EffectDecoration(int code, std::unique_ptr<effects::Effect> effect) : code_(code), effect_(std::move(effect)) {}
    int code() const override { return code_; }
    void Render(const effects::ConstFrameView& src, const effects::FrameView& dst, effects::SampleTime time) override {
        effect_->Apply(src, dst, time);
    }

private:
    int code_;
    std::unique_ptr<effects::Effect> effect_;
};

// Scaled pictures are kept per animation frame while they fit this budget,
// so a looping animation is scaled once per output size. With the decoded
// pictures (kDecorationPictureBytes) a decoration holds at most 64 MB.
constexpr size_t kOverlayBudget = (size_t{64} << 20) - kDecorationPictureBytes;

class FrameDecoration final : public Decoration {
public:
    FrameDecoration(std::shared_ptr<const frame_files::FrameAnimation> animation, FramePlay play)
        : animation_(std::move(animation)), play_(play), overlays_(animation_->frames.size()) {}
    int code() const override { return -1; }

    void Render(const effects::ConstFrameView& src, const effects::FrameView& dst, effects::SampleTime time) override {
        // A stream that starts again (stop and run, a rebuilt graph) counts from 0 again.
        if (!started_ || time < start_) start_ = time, started_ = true;
        const size_t index = FrameAt(time - start_);
        const frame_files::PreparedOverlay* overlay = Overlay(index, dst.width, dst.height);
        for (int y = 0; y < src.height; ++y) std::copy(src.Row(y), src.Row(y) + 3 * src.width, dst.Row(y));
        if (!overlay) return;
        // The overlay is bottom-up: start at the bottom row, step upwards.
        BlendOverlay(*overlay, dst.Row(dst.height - 1), -dst.pitch);
    }

private:
    size_t FrameAt(effects::SampleTime elapsed) const {
        const auto& a = *animation_;
        const int64_t scaled = elapsed * play_.speed_percent / 100;
        const uint64_t total_100ns = a.TotalDurationMs() * 10000;
        if (play_.plays > 0 && scaled >= 0 && static_cast<uint64_t>(scaled) >= total_100ns * play_.plays)
            return a.frames.size() - 1;
        return frame_files::FrameIndexAt(a, scaled);
    }

    const frame_files::PreparedOverlay* Overlay(size_t index, int width, int height) {
        if (width != width_ || height != height_) {
            for (auto& o : overlays_) o.reset();
            held_bytes_ = 0;
            width_ = width, height_ = height;
        }
        auto& slot = overlays_[index];
        if (slot) return slot.get();
        auto made = std::make_unique<frame_files::PreparedOverlay>();
        if (!PrepareOverlay(*animation_, index, width, height, made.get())) return nullptr;
        const size_t bytes = made->bgr.size() + made->inverse3.size() + made->spans.size() * sizeof(made->spans[0]);
        if (held_bytes_ + bytes > kOverlayBudget) {  // a long animation at a large size
            for (auto& o : overlays_) o.reset();  // start again with this one
            held_bytes_ = 0;
        }
        held_bytes_ += bytes;
        slot = std::move(made);
        return slot.get();
    }

    std::shared_ptr<const frame_files::FrameAnimation> animation_;
    FramePlay play_;
    std::vector<std::unique_ptr<frame_files::PreparedOverlay>> overlays_;
    size_t held_bytes_ = 0;
    int width_ = 0, height_ = 0;
    bool started_ = false;
    effects::SampleTime start_ = 0;
};

}  // namespace

bool ReadFramePlay(int first, int second, FramePlay* play) {
    if (first < 0 || first > 1000 || second < 0 || second > 1000000) return false;
    play->speed_percent = first == 0 ? 100 : first;
    play->plays = second;
    return true;
}

std::unique_ptr<Decoration> MakeEffectDecoration(int code, uint32_t seed) {
    auto effect = effects::CreateEffect(code, seed);
    if (!effect) return nullptr;
    return std::make_unique<EffectDecoration>(code, std::move(effect));
}

std::unique_ptr<Decoration> MakeFrameDecoration(std::shared_ptr<const frame_files::FrameAnimation> animation,
                                                FramePlay play) {
    if (!animation || animation->frames.empty()) return nullptr;
    return std::make_unique<FrameDecoration>(std::move(animation), play);
}

}  // namespace effect_filter
