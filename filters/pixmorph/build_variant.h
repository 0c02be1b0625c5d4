// What differs between the two modules built from these sources. Pixmorph is
// the diagnostic build; Scalvane (PIXMORPH_SCALVANE) is the release build
// under its own display names, with work buffers sized from the input type.
// The scaling precision comes with the core each module links
// (PIXMORPH_FULL_PRECISION_STEPS, colorspaceconverter.h).
#pragma once

#include "dshow_base/debug.h"
#include "filters/pixmorph/pixmorph_filter_rules.h"

namespace pixmorph_build {

#ifdef PIXMORPH_SCALVANE
inline constexpr wchar_t kFilterDescription[] = L"Talvoro Scalvane";
inline constexpr wchar_t kFriendlyName[] = L"Talvoro Scalvane";
inline constexpr wchar_t kPageDescription[] = L"Scalvane PropertyPage";
inline constexpr pixmorph::WorkRule kWorkRule = pixmorph::WorkRule::kTwiceInputSample;
#else
inline constexpr wchar_t kFilterDescription[] = L"Talvoro Pixmorph Colour Space Converter";
inline constexpr wchar_t kFriendlyName[] = L"Talvoro Pixmorph Filter";
inline constexpr wchar_t kPageDescription[] = L"Pixmorph PropertyPage";
inline constexpr pixmorph::WorkRule kWorkRule = pixmorph::WorkRule::kAllocatorRequest;
#endif

}  // namespace pixmorph_build

// The filter's own checks: reported in the diagnostic build whatever NDEBUG
// says, absent from the release build.
#ifdef PIXMORPH_DIAGNOSTICS
#define PIXMORPH_FILTER_ASSERT(cond) ((cond) ? (void)0 : DbgAssert(#cond, __FILE__, __LINE__))
#else
#define PIXMORPH_FILTER_ASSERT(cond) ((void)0)
#endif
