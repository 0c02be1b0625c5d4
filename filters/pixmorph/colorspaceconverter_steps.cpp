#include "filters/pixmorph/colorspaceconverter.h"

namespace pixmorph {

int32_t ScaleStep(int source_size, int destination_size, StepPrecision precision) {
    // The volatile stores make the 32-bit x87 build round exactly where the
    // rule rounds instead of keeping 80-bit intermediates in registers.
    volatile double quotient = static_cast<double>(source_size) / destination_size;
    if (precision == StepPrecision::kDouble) return static_cast<int32_t>(quotient * 32768.0);
    volatile float single = static_cast<float>(quotient);
    return static_cast<int32_t>(single * 32768.0f);
}

}  // namespace pixmorph
