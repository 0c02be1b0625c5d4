#include "capture_app/video_sizes.h"

size_t UsableSizeCount(int reported, size_t capacity) {
    if (reported <= 0) return 0;
    return static_cast<size_t>(reported) < capacity ? static_cast<size_t>(reported) : capacity;
}

tag_VideoSize LargestSizePair(const tag_VideoSize* sizes, size_t count) {
    tag_VideoSize largest{0, 0};
    for (size_t i = 0; i < count; ++i) {
        if (sizes[i].width > largest.width || sizes[i].height > largest.height) largest = sizes[i];
    }
    return largest;
}

std::wstring SizeComboText(const tag_VideoSize& size) {
    return std::to_wstring(size.width) + L" * " + std::to_wstring(size.height);
}

bool RecordingOffered(const tag_VideoSize& size) { return size.width <= 640; }

bool IsSizeIndex(int index, size_t count) { return index >= 0 && static_cast<size_t>(index) < count; }
