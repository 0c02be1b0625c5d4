// Sizes of a status display that follow from its owner's client area, free
// of any window code so they are tested on the host.
#pragma once

namespace osd {

struct Box {
    int left = 0, top = 0, right = 0, bottom = 0;
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool Empty() const { return right <= left || bottom <= top; }
};

// The text's font height: percent of the client height (rounded down), kept
// within minimum..maximum. When the bounds cross, maximum wins, so a bad
// setting can never blow the text up past the upper bound.
int FontHeightFor(int clientHeight, int minimum, int maximum, int percent);

// The client box inset by the margins; may come out empty (or inverted)
// when the client area is smaller than the margins.
Box TextRect(const Box& client, const Box& margins);

}  // namespace osd
