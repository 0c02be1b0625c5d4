// Rules over the capture size list the engine reports. Portable.
#pragma once

#include <cstddef>
#include <string>

#include "capture_engine/video_size_record.h"

// Entries the application lends GetVideoSize.
inline constexpr size_t kSizeListCapacity = 20;

// How many of the reported entries are real: never more than the array holds,
// never negative.
size_t UsableSizeCount(int reported, size_t capacity = kSizeListCapacity);

// The entry kept as the largest native size: a later entry replaces the pair
// when it is wider or taller (the pair is replaced together, not maximised
// field by field). {0, 0} for an empty list.
tag_VideoSize LargestSizePair(const tag_VideoSize* sizes, size_t count);

// The size combo's text, "640 * 480".
std::wstring SizeComboText(const tag_VideoSize& size);

// Recording is offered only up to 640 pixels wide.
bool RecordingOffered(const tag_VideoSize& size);

bool IsSizeIndex(int index, size_t count);
