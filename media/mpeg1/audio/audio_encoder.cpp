#include "media/mpeg1/audio/audio_encoder.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <utility>
#include <vector>

#include "media/mpeg1/audio/audio_tables.h"
#include "media/mpeg1/audio/bit_allocation.h"
#include "media/mpeg1/audio/subband_analysis.h"
#include "media/mpeg1/common/bit_writer.h"

namespace mpeg {

using namespace audio;

namespace {

constexpr int kGranules = 12;        // of three samples per subband
constexpr int kSamplesPerSubband = 36;
constexpr int kHeaderBits = 32;

int SampleRateCode(int rate) { return rate == 44100 ? 0 : rate == 48000 ? 1 : rate == 32000 ? 2 : -1; }

int BitRateIndex(int bit_rate, int channels) {
    for (int i = 1; i < 15; ++i) {
        if (kBitRates[i] * 1000 != bit_rate) continue;
        const int kbps = kBitRates[i];
        // Layer II leaves the lowest rates to mono and the highest to stereo.
        const bool mono_only = kbps == 32 || kbps == 48 || kbps == 56 || kbps == 80;
        const bool stereo_only = kbps >= 224;
        if ((channels == 2 && mono_only) || (channels == 1 && stereo_only)) return -1;
        return i;
    }
    return -1;
}

// The largest index whose scale factor still covers `peak`.
int ScaleFactorIndex(float peak) {
    for (int i = kScaleFactorCount - 1; i > 0; --i)
        if (kScaleFactors[i] >= peak) return i;
    return 0;
}

// scfsi: which of a band's three scale factors are sent. Near-equal ones are
// merged into the larger factor, so no sample ever exceeds its factor.
int ChooseScfsi(int s[3]) {
    auto near = [](int a, int b) { return std::abs(a - b) <= 1; };
    if (near(s[0], s[1]) && near(s[1], s[2]) && near(s[0], s[2])) {
        s[0] = s[1] = s[2] = std::min({s[0], s[1], s[2]});
        return 2;
    }
    if (near(s[0], s[1])) {
        s[0] = s[1] = std::min(s[0], s[1]);
        return 1;
    }
    if (near(s[1], s[2])) {
        s[1] = s[2] = std::min(s[1], s[2]);
        return 3;
    }
    return 0;
}

int ScaleFactorsSent(int scfsi) { return scfsi == 0 ? 3 : scfsi == 2 ? 1 : 2; }

int Quantize(float x, int steps) {
    const int k = static_cast<int>(std::floor(x * steps * 0.5f + (steps - 1) * 0.5f + 0.5f));
    return std::clamp(k, 0, steps - 1);
}

}  // namespace

struct AudioEncoder::State {
    int sample_rate = 0, channels = 0, bit_rate = 0, bitrate_index = 0;
    const AllocationTable* table = nullptr;
    SubbandAnalysis analysis[2];
    float pcm[2][kFrameSamples];
    int buffered = 0;                 // sample frames waiting in pcm
    uint8_t partial[4];               // bytes of a sample frame split across calls
    int partial_size = 0;
    uint64_t frames_coded = 0;
    bool any_input = false;
    uint32_t padding_remainder = 0;   // of 144 * bit_rate / sample_rate bytes per frame
    float sb_samples[2][kSubbands][kSamplesPerSubband];
    std::vector<uint8_t> bytes;

    void Push(const int16_t* samples, size_t count, const FrameSink& sink);
    void CodeFrame(const FrameSink& sink);
    void WriteFrame(const int scf[2][kSubbands][3], const int scfsi[2][kSubbands], const int alloc[2][kSubbands],
                    bool padding);
    void Reset();
};

std::unique_ptr<AudioEncoder> AudioEncoder::Create(const AudioEncoderConfig& config) {
    if (SampleRateCode(config.sample_rate) < 0 || config.channels < 1 || config.channels > 2) return nullptr;
    const int bit_rate = config.bit_rate != 0 ? config.bit_rate : config.channels == 1 ? 128000 : 192000;
    const int index = BitRateIndex(bit_rate, config.channels);
    if (index < 0) return nullptr;
    auto s = std::make_unique<State>();
    s->sample_rate = config.sample_rate;
    s->channels = config.channels;
    s->bit_rate = bit_rate;
    s->bitrate_index = index;
    s->table = &SelectAllocationTable(config.sample_rate, bit_rate / 1000 / config.channels);
    return std::unique_ptr<AudioEncoder>(new AudioEncoder(std::move(s)));
}

AudioEncoder::AudioEncoder(std::unique_ptr<State> state) : s_(std::move(state)) {}
AudioEncoder::~AudioEncoder() = default;

int AudioEncoder::sample_rate() const { return s_->sample_rate; }
int AudioEncoder::channels() const { return s_->channels; }
int AudioEncoder::bit_rate() const { return s_->bit_rate; }

void AudioEncoder::Encode(const int16_t* samples, size_t sample_frames, const FrameSink& sink) {
    s_->Push(samples, sample_frames, sink);
}

void AudioEncoder::EncodeBytes(const uint8_t* data, size_t size, const FrameSink& sink) {
    State& s = *s_;
    const int frame_bytes = 2 * s.channels;
    int16_t chunk[256 * 2];
    while (size > 0) {
        // Finish a split sample frame first.
        if (s.partial_size > 0 || size < static_cast<size_t>(frame_bytes)) {
            while (size > 0 && s.partial_size < frame_bytes) s.partial[s.partial_size++] = *data++, --size;
            if (s.partial_size < frame_bytes) return;
            for (int c = 0; c < s.channels; ++c)
                chunk[c] = static_cast<int16_t>(s.partial[2 * c] | (s.partial[2 * c + 1] << 8));
            s.partial_size = 0;
            s.Push(chunk, 1, sink);
            continue;
        }
        const size_t frames = std::min<size_t>(size / frame_bytes, 256);
        for (size_t i = 0; i < frames * s.channels; ++i)
            chunk[i] = static_cast<int16_t>(data[2 * i] | (data[2 * i + 1] << 8));
        s.Push(chunk, frames, sink);
        data += frames * frame_bytes;
        size -= frames * frame_bytes;
    }
}

void AudioEncoder::Flush(const FrameSink& sink) {
    State& s = *s_;
    if (s.any_input) {
        // Silence until the decoder's filterbank delay has passed the last real sample.
        const int tail = s.buffered + kDecoderDelaySamples;
        const int frames = (tail + kFrameSamples - 1) / kFrameSamples;
        for (int f = 0; f < frames; ++f) {
            for (int c = 0; c < s.channels; ++c) std::fill(s.pcm[c] + s.buffered, s.pcm[c] + kFrameSamples, 0.0f);
            s.buffered = kFrameSamples;
            s.CodeFrame(sink);
        }
    }
    s.Reset();
}

void AudioEncoder::State::Reset() {
    for (SubbandAnalysis& a : analysis) a = SubbandAnalysis();
    buffered = 0;
    partial_size = 0;
    frames_coded = 0;
    any_input = false;
    padding_remainder = 0;
}

void AudioEncoder::State::Push(const int16_t* samples, size_t count, const FrameSink& sink) {
    if (count > 0) any_input = true;
    while (count > 0) {
        const size_t take = std::min<size_t>(count, static_cast<size_t>(kFrameSamples - buffered));
        for (size_t i = 0; i < take; ++i)
            for (int c = 0; c < channels; ++c) pcm[c][buffered + i] = samples[i * channels + c] * (1.0f / 32768.0f);
        buffered += static_cast<int>(take);
        samples += take * channels;
        count -= take;
        if (buffered == kFrameSamples) CodeFrame(sink);
    }
}

void AudioEncoder::State::CodeFrame(const FrameSink& sink) {
    for (int c = 0; c < channels; ++c) {
        float out[kSubbands];
        for (int block = 0; block < kSamplesPerSubband; ++block) {
            analysis[c].Process(pcm[c] + block * kSubbands, out);
            for (int sb = 0; sb < kSubbands; ++sb) sb_samples[c][sb][block] = out[sb];
        }
    }
    int scf[2][kSubbands][3] = {}, scfsi[2][kSubbands] = {}, alloc[2][kSubbands];
    AllocationRequest request{table, channels, {}, {}, 0};
    for (int c = 0; c < channels; ++c) {
        for (int sb = 0; sb < table->sblimit; ++sb) {
            for (int part = 0; part < 3; ++part) {
                float peak = 0;
                for (int i = 0; i < 12; ++i) peak = std::max(peak, std::fabs(sb_samples[c][sb][part * 12 + i]));
                scf[c][sb][part] = ScaleFactorIndex(peak);
            }
        }
        SignalToMaskRatios(scf[c], table->sblimit, sample_rate, request.smr_db[c]);
        for (int sb = 0; sb < table->sblimit; ++sb) {
            scfsi[c][sb] = ChooseScfsi(scf[c][sb]);
            request.side_bits[c][sb] = 2 + 6 * ScaleFactorsSent(scfsi[c][sb]);
        }
    }
    const uint32_t per_frame = 144u * static_cast<uint32_t>(bit_rate);
    padding_remainder += per_frame % static_cast<uint32_t>(sample_rate);
    const bool padding = padding_remainder >= static_cast<uint32_t>(sample_rate);
    if (padding) padding_remainder -= static_cast<uint32_t>(sample_rate);
    const int frame_bytes = static_cast<int>(per_frame / static_cast<uint32_t>(sample_rate)) + (padding ? 1 : 0);
    int allocation_bits = 0;
    for (int sb = 0; sb < table->sblimit; ++sb) allocation_bits += table->subbands[sb]->nbal * channels;
    request.available_bits = frame_bytes * 8 - kHeaderBits - allocation_bits;
    AllocateBits(request, alloc);
    WriteFrame(scf, scfsi, alloc, padding);
    bytes.resize(static_cast<size_t>(frame_bytes), 0);  // ancillary space left as zeros
    sink(EncodedAudioFrame{bytes.data(), bytes.size(), frames_coded * kFrameSamples});
    ++frames_coded;
    buffered = 0;
}

void AudioEncoder::State::WriteFrame(const int scf[2][kSubbands][3], const int scfsi[2][kSubbands],
                                     const int alloc[2][kSubbands], bool padding) {
    bytes.clear();
    BitWriter bits(&bytes);
    bits.Put(0xFFF, 12);  // syncword
    bits.Put(1, 1);       // ID: MPEG-1
    bits.Put(2, 2);       // layer II
    bits.Put(1, 1);       // no CRC
    bits.Put(static_cast<uint32_t>(bitrate_index), 4);
    bits.Put(static_cast<uint32_t>(SampleRateCode(sample_rate)), 2);
    bits.PutBit(padding);
    bits.PutBit(false);                   // private_bit
    bits.Put(channels == 1 ? 3 : 0, 2);   // single channel or stereo
    bits.Put(0, 2);                       // mode_extension
    bits.Put(0, 2);                       // not copyrighted, a copy
    bits.Put(0, 2);                       // no emphasis
    const int sblimit = table->sblimit;
    for (int sb = 0; sb < sblimit; ++sb)
        for (int c = 0; c < channels; ++c) bits.Put(static_cast<uint32_t>(alloc[c][sb]), table->subbands[sb]->nbal);
    for (int sb = 0; sb < sblimit; ++sb)
        for (int c = 0; c < channels; ++c)
            if (alloc[c][sb]) bits.Put(static_cast<uint32_t>(scfsi[c][sb]), 2);
    for (int sb = 0; sb < sblimit; ++sb) {
        for (int c = 0; c < channels; ++c) {
            if (!alloc[c][sb]) continue;
            const int* s = scf[c][sb];
            const int m = scfsi[c][sb];
            bits.Put(static_cast<uint32_t>(s[0]), 6);
            if (m == 0 || m == 3) bits.Put(static_cast<uint32_t>(s[1]), 6);
            if (m == 0 || m == 1) bits.Put(static_cast<uint32_t>(s[2]), 6);
        }
    }
    for (int gr = 0; gr < kGranules; ++gr) {
        for (int sb = 0; sb < sblimit; ++sb) {
            for (int c = 0; c < channels; ++c) {
                if (!alloc[c][sb]) continue;
                const QuantClass& q = kQuantClasses[table->subbands[sb]->classes[alloc[c][sb]]];
                const float inverse = static_cast<float>(1.0 / kScaleFactors[scf[c][sb][gr / 4]]);
                int k[3];
                for (int i = 0; i < 3; ++i) k[i] = Quantize(sb_samples[c][sb][gr * 3 + i] * inverse, q.steps);
                if (q.grouped) {
                    bits.Put(static_cast<uint32_t>(k[0] + q.steps * (k[1] + q.steps * k[2])), q.bits);
                } else {
                    for (int i = 0; i < 3; ++i) bits.Put(static_cast<uint32_t>(k[i]), q.bits);
                }
            }
        }
    }
    bits.AlignWithZeros();
}

}  // namespace mpeg
