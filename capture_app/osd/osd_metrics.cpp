#include "capture_app/osd/osd_metrics.h"

namespace osd {

int FontHeightFor(int clientHeight, int minimum, int maximum, int percent) {
    int height = clientHeight * percent / 100;
    if (height < minimum) height = minimum;
    if (height > maximum) height = maximum;
    return height;
}

Box TextRect(const Box& client, const Box& margins) {
    return Box{client.left + margins.left, client.top + margins.top, client.right - margins.right,
               client.bottom - margins.bottom};
}

}  // namespace osd
