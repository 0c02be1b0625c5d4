// The reader over a channel whose header and size come from the fuzzer: a
// valid channel is laid out first, the input is laid over its header, and the
// memory handed to the reader is cut to a length the input chooses.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "media/frame_channel/channel_layout.h"
#include "media/frame_channel/frame_reader.h"
#include "media/frame_channel/frame_writer.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using pixel_formats::FrameFormat;
    using pixel_formats::PixelFormat;
    constexpr FrameFormat kFormat{PixelFormat::kI420, 24, 16};
    const size_t full = frame_channel::MappingSizeFor(
        static_cast<uint32_t>(frame_channel::FrameBytes(kFormat)));
    std::vector<uint8_t> image(full);
    frame_channel::FrameWriter writer;
    writer.Attach(image.data(), image.size(), 1);
    std::vector<uint8_t> frame(frame_channel::FrameBytes(kFormat), 0x55);
    writer.Write(frame.data(), frame.size(), kFormat, {}, 1);

    size_t length = full;
    if (size >= 2) {
        length = full - (static_cast<size_t>(data[0]) << 8 | data[1]) % full;
        data += 2;
        size -= 2;
    }
    const size_t overlay = size < sizeof(frame_channel::ChannelHeader) ? size : sizeof(frame_channel::ChannelHeader);
    for (size_t i = 0; i < overlay; ++i) image[i] ^= data[i];

    std::vector<uint8_t> exact(image.begin(), image.begin() + static_cast<std::ptrdiff_t>(length));
    frame_channel::FrameReader reader(exact.data(), exact.size());
    frame_channel::WriterStatus status;
    reader.ReadStatus(&status);
    std::vector<uint8_t> out(4096);
    frame_channel::FrameInfo info;
    if (reader.ReadLatest(out.data(), out.size(), &info) == frame_channel::ReadResult::kFrame &&
        info.size > out.size()) {
        __builtin_trap();
    }
    return 0;
}
