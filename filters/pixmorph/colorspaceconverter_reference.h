// The frame routines written step by step after their description, with
// explicit lengths and capacities added so that none can run past a buffer.
// They are the oracle the fast pipeline is held to; the filter runs the fast
// pipeline (ConvertFrame in colorspaceconverter.h).
#pragma once

#include <cstddef>
#include <cstdint>

#include "filters/pixmorph/colorspaceconverter.h"

namespace pixmorph::oracle {

// Needs InitYuvTables. Converts whole 4-byte groups while they lie inside
// src_length and their 6 output bytes inside dst_capacity; returns the bytes written.
size_t Yuy2ToRgb24(const uint8_t* src, size_t src_length, uint8_t* dst, size_t dst_capacity);

// False, with nothing written, when the frame is longer than src_length or the
// image (2*width*height bytes) larger than dst_capacity. Odd sizes follow the
// same walk; chroma stores that would land outside the image are dropped.
bool I420ToYuy2(const uint8_t* src, size_t src_length, int width, int height, uint8_t* dst, size_t dst_capacity);

// Swaps whole 4-byte groups that start below length; false, with nothing
// changed, when the last group would pass capacity.
bool UyvyToYuy2(uint8_t* buffer, size_t length, size_t capacity);

// The caller guarantees rows*pitch bytes on both sides.
void CopyRows(uint8_t* dst, size_t dst_pitch, const uint8_t* src, size_t src_pitch, int rows);
void FlipRowsInPlace(uint8_t* buffer, ptrdiff_t pitch, int rows);

// 0 on success; -1 for bits per pixel below 24 (destination cleared); -2 when
// a size is out of range or a buffer too small (nothing written). The source
// holds src_w*src_h pixels of bits/8 bytes, packed; so does the destination,
// which is first cleared over the 24-bit DIB size.
int ScaleNearest24(const uint8_t* src, size_t src_length, uint8_t* dst, size_t dst_capacity, int bits_per_pixel,
                   int src_w, int src_h, int dst_w, int dst_h);
// As above; -1 also when the temporary row cannot be had.
int ReplicatePixels24(const uint8_t* src, size_t src_length, uint8_t* dst, size_t dst_capacity, int bits_per_pixel,
                      int src_w, int src_h, int multiple_x, int multiple_y);

// The whole pipeline through both work buffers.
Status ConvertFrame(const InputFrame& in, const WorkBuffers& work, const OutputFrame& out);

}  // namespace pixmorph::oracle
