#include "capture_app/settings/settings_rules.h"

namespace settings_rules {

std::wstring SizeText(int width, int height) {
    return std::to_wstring(width) + L" * " + std::to_wstring(height);
}

int PageToShow(int storedLastPage) { return storedLastPage >= 0 && storedLastPage < kPageCount ? storedLastPage : 0; }

const InterpolationSize* InterpolationSizeAt(int index) {
    if (index < 0 || index >= kInterpolationSizeCount) return nullptr;
    return &kInterpolationSizes[index];
}

int InterpolationSelection(int storedIndex) { return InterpolationSizeAt(storedIndex) ? storedIndex : -1; }

}  // namespace settings_rules
