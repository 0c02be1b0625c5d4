#include "filters/pixmorph/pixmorph_filter_rules.h"

#include <algorithm>
#include <cstdint>

namespace pixmorph {

namespace {

bool InRange(int64_t n) { return n >= 1 && n <= kMaxDimension; }

int64_t Magnitude(int n) { return n < 0 ? -static_cast<int64_t>(n) : n; }

size_t PackedBytes(const Picture& p) {
    if (!InRange(p.width) || !InRange(Magnitude(p.height))) return 0;
    const size_t w = static_cast<size_t>(p.width);
    const size_t h = static_cast<size_t>(Magnitude(p.height));
    switch (p.subtype) {
    case Subtype::kRgb24: return DibSize24(p.width, p.height);
    case Subtype::kI420: return w * h + 2 * ((w + 1) / 2) * ((h + 1) / 2);
    case Subtype::kYuy2:
    case Subtype::kYuyv:
    case Subtype::kUyvy: return (w + 1) / 2 * 4 * h;
    }
    return 0;
}

}  // namespace

bool ProposedOutputSize(const ControlValues& values, int input_width, int input_height, int* width, int* height) {
    int64_t w = values.width, h = values.height;
    if (values.multiple_mode) {
        w = static_cast<int64_t>(input_width) * values.multiple_x;
        h = Magnitude(input_height) * values.multiple_y;
    }
    if (!InRange(w) || !InRange(h)) return false;
    *width = static_cast<int>(w);
    *height = static_cast<int>(h);
    return true;
}

uint32_t AllocatorRequest(uint32_t output_sample_size, uint32_t input_sample_size, bool input_fixed_size) {
    uint64_t request = 2 * static_cast<uint64_t>(std::max(output_sample_size, input_sample_size));
    if (!input_fixed_size && request < 65536) request = 65536;
    return request > INT32_MAX ? 0 : static_cast<uint32_t>(request);
}

WorkSizes WorkNeeds(const Picture& input) {
    return {Yuy2WorkSize(input.subtype, input.width, input.height), RgbWorkSize(input.width, input.height)};
}

WorkSizes WorkBufferSizes(WorkRule rule, uint32_t request, uint32_t input_sample_size, const Picture& input) {
    const size_t base =
        rule == WorkRule::kAllocatorRequest ? request : 2 * static_cast<size_t>(input_sample_size);
    const WorkSizes need = WorkNeeds(input);
    return {std::max(base, need.yuy2), std::max(base, need.rgb)};
}

size_t DeclaredFrameBytes(const Picture& picture, uint32_t declared_image_size) {
    return declared_image_size ? declared_image_size : PackedBytes(picture);
}

FrameShape ShapeForFrame(const FramePlan& plan, int input_width, int input_height, int output_width,
                         int output_height) {
    if (plan.multiple_mode &&
        static_cast<int64_t>(input_width) * plan.multiple_x == output_width &&
        Magnitude(input_height) * plan.multiple_y == output_height) {
        return {ScaleMode::kMultiple, plan.multiple_x, plan.multiple_y};
    }
    return {ScaleMode::kSize, 1, 1};
}

}  // namespace pixmorph
