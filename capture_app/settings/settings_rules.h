// The settings dialog's choices that need no window: the enlarged snapshot
// sizes on offer, their combo texts, and which page and size an index stored
// or selected elsewhere may stand for. Plain C++, built for the host too.
#pragma once

#include <cstddef>
#include <string>

namespace settings_rules {

struct InterpolationSize {
    int width;
    int height;
};

// Offered in this order in the other page's size combo.
inline constexpr InterpolationSize kInterpolationSizes[] = {
    {1600, 1200}, {2048, 1536}, {2580, 1936}, {2816, 2112}, {3264, 2448}, {3876, 2584},
};
inline constexpr int kInterpolationSizeCount = sizeof kInterpolationSizes / sizeof kInterpolationSizes[0];

inline constexpr int kPageCount = 4;

// config.ini keeps the work folder as ANSI text in a 200-byte value.
inline constexpr size_t kWorkPathAnsiBytes = 199;

// "W * H", as the size combos show sizes.
std::wstring SizeText(int width, int height);

// The page to open on for a stored last page: the first page when the stored
// value names none (a hand-edited config.ini may hold anything).
int PageToShow(int storedLastPage);

// The size at a combo index; nullptr for no selection (-1) or any index
// outside the list.
const InterpolationSize* InterpolationSizeAt(int index);

// The combo index to select for a stored size index: none (-1) when the
// index names no size.
int InterpolationSelection(int storedIndex);

}  // namespace settings_rules
