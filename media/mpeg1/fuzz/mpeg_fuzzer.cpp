// Drives the three cores with sizes, formats, time stamps and chunk lengths
// taken from the input. The sanitizers catch any access outside a buffer;
// the checks here catch output that breaks the cores' own promises.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "media/mpeg1/audio/audio_encoder.h"
#include "media/mpeg1/mux/system_mux.h"
#include "media/mpeg1/video/video_encoder.h"
#include "pixel_formats/pixel_format.h"

namespace {

class InputReader {
public:
    InputReader(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    unsigned Byte() { return pos_ < size_ ? data_[pos_++] : 0; }
    unsigned Word() { return Byte() | Byte() << 8; }
    int64_t Time() {
        const unsigned pick = Byte();
        if (pick < 16) return mpeg::SystemMux::kNoTime;
        if (pick < 24) return -static_cast<int64_t>(Word()) * 1000;
        if (pick < 28) return static_cast<int64_t>(Word()) << 30;
        return static_cast<int64_t>(Word()) * 3000;
    }
    // Up to `max` bytes of the input (fewer once it runs out).
    std::vector<uint8_t> Bytes(size_t max) {
        const size_t n = std::min(max, size_ - pos_);
        std::vector<uint8_t> out(data_ + pos_, data_ + pos_ + n);
        pos_ += n;
        return out;
    }
    bool Done() const { return pos_ >= size_; }

private:
    const uint8_t* data_;
    size_t size_;
    size_t pos_ = 0;
};

void Abort(bool failed) {
    if (failed) std::abort();
}

void FuzzVideo(InputReader& in) {
    mpeg::VideoEncoderConfig config;
    config.input.format = pixel_formats::kAllPixelFormats[in.Byte() % pixel_formats::kPixelFormatCount];
    config.input.width = static_cast<int>(in.Byte() % 90) - 4;
    config.input.height = static_cast<int>(in.Byte() % 90) - 45;
    config.input.stride = in.Byte() < 32 ? static_cast<int>(in.Byte()) * 4 : 0;
    config.quality = static_cast<int>(in.Byte() % 4);
    config.gop_length = static_cast<int>(in.Byte() % 5);
    config.frame_duration = static_cast<int64_t>(in.Word()) * 100 - 1000;
    auto encoder = mpeg::VideoEncoder::Create(config);
    if (!encoder) return;
    const size_t frame = encoder->input_frame_size();
    for (int i = 0; i < 6 && !in.Done(); ++i) {
        mpeg::EncodedPicture picture;
        if (in.Byte() % 4 == 0) {
            encoder->EncodeRepeat(&picture);
            continue;
        }
        std::vector<uint8_t> data = in.Bytes(frame);
        const bool whole = data.size() == frame;
        if (whole) {
            Abort(!encoder->Encode(data.data(), data.size(), &picture));
            Abort(picture.size < 8 || picture.data[0] != 0 || picture.data[1] != 0 || picture.data[2] != 1);
        } else {
            Abort(encoder->Encode(data.data(), data.size(), &picture));
        }
    }
    Abort(encoder->Finish().size() != 4);
}

void FuzzAudio(InputReader& in) {
    static const int kRates[] = {32000, 44100, 48000, 22050};
    static const int kBitRates[] = {0, 32000, 64000, 128000, 192000, 384000, 1};
    mpeg::AudioEncoderConfig config;
    config.sample_rate = kRates[in.Byte() % 4];
    config.channels = static_cast<int>(in.Byte() % 3) + 1;
    config.bit_rate = kBitRates[in.Byte() % 7];
    auto encoder = mpeg::AudioEncoder::Create(config);
    if (!encoder) return;
    uint64_t expected_first = 0;
    auto sink = [&](const mpeg::EncodedAudioFrame& f) {
        Abort(f.first_sample != expected_first || f.size < 4 || f.data[0] != 0xFF);
        expected_first += mpeg::AudioEncoder::kSamplesPerFrame;
    };
    while (!in.Done()) {
        const size_t n = in.Word() % 5000;
        std::vector<uint8_t> pcm = in.Bytes(n);
        // Stretch short inputs so whole frames get coded too.
        if (in.Byte() % 8 == 0) pcm.resize(pcm.size() * 20, 0x5A);
        encoder->EncodeBytes(pcm.data(), pcm.size(), sink);
        if (in.Byte() % 16 == 0) encoder->Flush(sink), expected_first = 0;
    }
    encoder->Flush(sink);
}

class CheckedOutput : public mpeg::MuxOutput {
public:
    explicit CheckedOutput(long fail_after) : fail_after_(fail_after) {}
    bool Write(const uint8_t* data, size_t size) override {
        Abort(size < 4 || data[0] != 0 || data[1] != 0 || data[2] != 1);
        Abort(data[3] != 0xBA && data[3] != 0xB9);
        written_ += size;
        return fail_after_ < 0 || written_ <= static_cast<size_t>(fail_after_);
    }

private:
    long fail_after_;
    size_t written_ = 0;
};

void FuzzMux(InputReader& in) {
    mpeg::SystemMuxConfig config;
    const unsigned flags = in.Byte();
    config.has_video = flags & 1;
    config.has_audio = flags & 2;
    config.pack_size = (flags & 4) ? static_cast<int>(in.Word()) : 2048;
    config.video_bit_rate = (flags & 8) ? static_cast<int>(in.Word()) * 1000 : 0;
    config.audio_bit_rate = (flags & 16) ? static_cast<int>(in.Word()) * 10 : 0;
    config.time_origin = (flags & 32) ? in.Time() : 0;
    CheckedOutput output((flags & 64) ? static_cast<long>(in.Word()) * 8 : -1);
    auto mux = mpeg::SystemMux::Create(config, &output);
    if (!mux) return;
    while (!in.Done()) {
        const unsigned op = in.Byte();
        const auto kind = op & 1 ? mpeg::StreamKind::kAudio : mpeg::StreamKind::kVideo;
        if (op % 29 == 0) {
            mux->EndStream(kind);
            continue;
        }
        const int64_t time = in.Time();
        std::vector<uint8_t> chunk = in.Bytes(in.Word() % 3000);
        // Plant start codes and audio syncwords so units and times are found.
        if (op & 2 && chunk.size() > 8) chunk[0] = 0, chunk[1] = 0, chunk[2] = 1, chunk[3] = op & 4 ? 0xB3 : 0;
        if (op & 8 && chunk.size() > 8) chunk[4] = 0xFF, chunk[5] = 0xFD, chunk[6] = static_cast<uint8_t>(op);
        mux->Write(kind, chunk.data(), chunk.size(), time);
    }
    mux->Finish();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    InputReader in(data, size);
    switch (in.Byte() % 3) {
        case 0: FuzzVideo(in); break;
        case 1: FuzzAudio(in); break;
        default: FuzzMux(in); break;
    }
    return 0;
}
