#include "media/mpeg1/video/video_encoder.h"

#include <algorithm>
#include <utility>

#include "media/mpeg1/common/bit_writer.h"
#include "media/mpeg1/video/block_coder.h"
#include "media/mpeg1/video/input_converter.h"
#include "media/mpeg1/video/macroblock_coder.h"
#include "media/mpeg1/video/motion_estimator.h"
#include "media/mpeg1/video/pixel_ops.h"
#include "media/mpeg1/video/rate_control.h"
#include "media/mpeg1/video/stream_headers.h"
#include "media/mpeg1/video/video_tables.h"

namespace mpeg {

using namespace video;

namespace {

// macroblock_type codes of P pictures (Table B.2b), without quantiser changes.
constexpr Vlc kTypeForwardCoded{1, 1};  // motion vector and residual
constexpr Vlc kTypeZeroCoded{1, 2};     // residual only, zero vector
constexpr Vlc kTypeForwardOnly{1, 3};   // motion vector only
constexpr Vlc kTypeIntraInP{3, 5};
constexpr Vlc kTypeIntraInI{1, 1};

// Inter SAD must exceed the block's own deviation by this much before intra
// coding wins: intra blocks cost more bits at the same error.
constexpr int kIntraBias = 512;
// A vector must save this much SAD over the zero vector to be worth its bits
// (and to keep still areas skippable).
constexpr int kZeroVectorBias = 96;

void Put(BitWriter& bits, const Vlc& v) { bits.Put(v.code, v.length); }

void WriteAddressIncrement(BitWriter& bits, int increment) {
    const VlcTables& t = Tables();
    while (increment > 33) {
        Put(bits, t.macroblock_escape);
        increment -= 33;
    }
    Put(bits, t.address_increment[increment]);
}

void WriteMotionComponent(BitWriter& bits, int delta, int f_code) {
    const int f = 1 << (f_code - 1);
    if (delta < -16 * f) delta += 32 * f;
    if (delta > 16 * f - 1) delta -= 32 * f;
    const VlcTables& t = Tables();
    if (f == 1 || delta == 0) {
        Put(bits, t.motion_code[delta + 16]);
        return;
    }
    const int magnitude = delta < 0 ? -delta : delta;
    const int code = (magnitude - 1) / f + 1;
    Put(bits, t.motion_code[(delta < 0 ? -code : code) + 16]);
    bits.Put(static_cast<uint32_t>((magnitude - 1) % f), f_code - 1);
}

int ChooseFCode(int width) { return width <= 352 ? 2 : 3; }

}  // namespace

struct VideoEncoder::State {
    VideoEncoderConfig config;
    SequenceParameters seq;
    int mb_width = 0, mb_height = 0, f_code = 2;
    InputConverter converter;
    YuvFrame cur, ref, recon;
    Quantizer quantizer;
    MacroblockCoder coder{&quantizer};
    MotionEstimator estimator;
    RateControl rate;
    std::vector<MotionVector> vectors, previous_vectors;
    uint32_t picture_count = 0;
    int gop_position = 0;
    bool have_reference = false;
    bool sequence_open = false;
    std::vector<uint8_t> bytes;

    void BeginPicture(BitWriter& bits, PictureCodingType type);
    void CodeIntraPicture(BitWriter& bits, int qscale);
    void CodePredictedPicture(BitWriter& bits, int qscale);
    void CodePredictedRow(BitWriter& bits, int row, int qscale);
    void CodeRepeatedPicture(BitWriter& bits);
    void EndPicture(BitWriter& bits, PictureCodingType type, EncodedPicture* out);
    int RowQscale(const BitWriter& bits, size_t start, int qscale, int row) const {
        return rate.RowQscale(qscale, bits.BitPosition() - start, row, mb_height);
    }
};

std::unique_ptr<VideoEncoder> VideoEncoder::Create(const VideoEncoderConfig& config) {
    const int w = config.input.width, h = config.input.height < 0 ? -config.input.height : config.input.height;
    if (w < kMinVideoDimension || h < kMinVideoDimension || w > kMaxVideoDimension || h > kMaxVideoDimension ||
        w * h > kMaxVideoPixels || config.quality < 0 || config.quality > 2 || config.gop_length < 1 ||
        config.gop_length > 1023) {
        return nullptr;
    }
    auto s = std::make_unique<State>();
    if (!s->converter.Configure(config.input)) return nullptr;
    s->config = config;
    s->mb_width = (w + 15) / 16;
    s->mb_height = (h + 15) / 16;
    s->f_code = ChooseFCode(w);
    s->estimator.Configure(s->f_code);
    s->cur.Allocate(s->mb_width * 16, s->mb_height * 16);
    s->ref.Allocate(s->mb_width * 16, s->mb_height * 16);
    s->recon.Allocate(s->mb_width * 16, s->mb_height * 16);
    s->vectors.resize(static_cast<size_t>(s->mb_width) * s->mb_height);
    s->previous_vectors.resize(s->vectors.size());
    s->seq.width = w;
    s->seq.height = h;
    s->seq.picture_rate_code = NearestPictureRateCode(config.frame_duration);
    s->rate.Configure(config.quality, w, h, kPictureRates[s->seq.picture_rate_code]);
    s->seq.bit_rate = s->rate.bit_rate();
    s->seq.vbv_buffer_bits = s->rate.buffer_bits();
    return std::unique_ptr<VideoEncoder>(new VideoEncoder(std::move(s)));
}

VideoEncoder::VideoEncoder(std::unique_ptr<State> state) : s_(std::move(state)) {}
VideoEncoder::~VideoEncoder() = default;

size_t VideoEncoder::input_frame_size() const { return s_->converter.frame_size(); }
int VideoEncoder::bit_rate() const { return s_->seq.bit_rate; }
int VideoEncoder::buffer_size_bits() const { return s_->seq.vbv_buffer_bits; }
double VideoEncoder::picture_rate() const { return kPictureRates[s_->seq.picture_rate_code]; }

bool VideoEncoder::Encode(const uint8_t* frame, size_t size, EncodedPicture* out) {
    State& s = *s_;
    if (!s.converter.Convert(frame, size, &s.cur)) return false;
    const bool intra = s.gop_position == 0 || !s.have_reference;
    const PictureCodingType type = intra ? PictureCodingType::kIntra : PictureCodingType::kPredicted;
    s.bytes.clear();
    BitWriter bits(&s.bytes);
    s.BeginPicture(bits, type);
    if (intra) {
        s.CodeIntraPicture(bits, s.rate.PictureQscale());
    } else {
        s.CodePredictedPicture(bits, s.rate.PictureQscale());
    }
    std::swap(s.ref, s.recon);
    s.EndPicture(bits, type, out);
    return true;
}

bool VideoEncoder::EncodeRepeat(EncodedPicture* out) {
    State& s = *s_;
    if (!s.have_reference) return false;
    if (s.gop_position == 0) {
        // A group must open with an I picture: code the last input again.
        s.bytes.clear();
        BitWriter bits(&s.bytes);
        s.BeginPicture(bits, PictureCodingType::kIntra);
        s.CodeIntraPicture(bits, s.rate.PictureQscale());
        std::swap(s.ref, s.recon);
        s.EndPicture(bits, PictureCodingType::kIntra, out);
        return true;
    }
    s.bytes.clear();
    BitWriter bits(&s.bytes);
    s.BeginPicture(bits, PictureCodingType::kPredicted);
    s.CodeRepeatedPicture(bits);  // the reference stays as it is
    s.EndPicture(bits, PictureCodingType::kPredicted, out);
    return true;
}

std::vector<uint8_t> VideoEncoder::Finish() {
    std::vector<uint8_t> end;
    BitWriter bits(&end);
    WriteSequenceEnd(bits);
    s_->sequence_open = false;
    s_->gop_position = 0;
    s_->have_reference = false;
    return end;
}

void VideoEncoder::State::BeginPicture(BitWriter& bits, PictureCodingType type) {
    if (type == PictureCodingType::kIntra) {
        // Every group repeats the sequence header so a player can start at any group.
        WriteSequenceHeader(bits, seq);
        WriteGroupHeader(bits, picture_count, seq.picture_rate_code);
        gop_position = 0;
        sequence_open = true;
    }
    WritePictureHeader(bits, gop_position, type, f_code);
}

void VideoEncoder::State::EndPicture(BitWriter& bits, PictureCodingType type, EncodedPicture* out) {
    bits.AlignWithZeros();
    rate.PictureDone(bytes.size() * 8);
    have_reference = true;
    gop_position = (gop_position + 1) % config.gop_length;
    out->data = bytes.data();
    out->size = bytes.size();
    out->type = type == PictureCodingType::kIntra ? PictureType::kIntra : PictureType::kPredicted;
    out->number = picture_count++;
}

void VideoEncoder::State::CodeIntraPicture(BitWriter& bits, int qscale) {
    MacroblockLevels mb;
    const size_t start = bits.BitPosition();
    for (int row = 0; row < mb_height; ++row) {
        const int q = RowQscale(bits, start, qscale, row);
        WriteSliceHeader(bits, row, q);
        DcPredictors dc;
        for (int col = 0; col < mb_width; ++col) {
            coder.CodeIntra(cur, col, row, q, &mb, &recon);
            Put(bits, Tables().address_increment[1]);
            Put(bits, kTypeIntraInI);
            for (int b = 0; b < 6; ++b) WriteIntraBlock(bits, mb.levels[b], mb.last[b], b < 4 ? 0 : b - 3, &dc);
        }
    }
    std::fill(vectors.begin(), vectors.end(), MotionVector{});
}

void VideoEncoder::State::CodePredictedPicture(BitWriter& bits, int qscale) {
    std::swap(vectors, previous_vectors);
    const size_t start = bits.BitPosition();
    for (int row = 0; row < mb_height; ++row) CodePredictedRow(bits, row, RowQscale(bits, start, qscale, row));
}

void VideoEncoder::State::CodePredictedRow(BitWriter& bits, int row, int q) {
    WriteSliceHeader(bits, row, q);
    DcPredictors dc;
    MotionVector pmv;
    MacroblockLevels mb;
    MacroblockPrediction pred;
    int last_coded = -1;
    for (int col = 0; col < mb_width; ++col) {
        const size_t index = static_cast<size_t>(row) * mb_width + col;
        MotionVector candidates[4];
        int n = 0;
        if (col > 0) candidates[n++] = vectors[index - 1];
        if (row > 0) candidates[n++] = vectors[index - mb_width];
        if (row > 0 && col + 1 < mb_width) candidates[n++] = vectors[index - mb_width + 1];
        candidates[n++] = previous_vectors[index];
        const MotionResult found = estimator.Search(cur.y, ref.y, col, row, candidates, n);
        // The deviation can only make intra win when the match is poor.
        if (found.sad > kIntraBias && found.sad > Deviation16(cur.y.Row(row * 16) + col * 16, cur.y.width) + kIntraBias) {
            coder.CodeIntra(cur, col, row, q, &mb, &recon);
            WriteAddressIncrement(bits, col - last_coded);
            Put(bits, kTypeIntraInP);
            for (int b = 0; b < 6; ++b) WriteIntraBlock(bits, mb.levels[b], mb.last[b], b < 4 ? 0 : b - 3, &dc);
            vectors[index] = MotionVector{};
            pmv = MotionVector{};
            last_coded = col;
            continue;
        }
        const MotionVector mv = found.zero_sad <= found.sad + kZeroVectorBias ? MotionVector{} : found.mv;
        vectors[index] = mv;
        MacroblockCoder::Predict(ref, col, row, mv, &pred);
        coder.CodeInter(cur, col, row, pred, q, &mb);
        coder.ReconstructInter(pred, mb, q, col, row, &recon);
        dc.Reset();  // any non-intra macroblock resets the DC predictors
        const bool zero = mv == MotionVector{};
        const bool edge = col == 0 || col == mb_width - 1;  // a slice's first and last are always coded
        if (mb.cbp == 0 && zero && !edge) {
            pmv = MotionVector{};  // a skipped macroblock resets the vector predictor
            continue;
        }
        WriteAddressIncrement(bits, col - last_coded);
        last_coded = col;
        if (mb.cbp != 0 && zero) {
            Put(bits, kTypeZeroCoded);
            pmv = MotionVector{};
        } else {
            Put(bits, mb.cbp != 0 ? kTypeForwardCoded : kTypeForwardOnly);
            WriteMotionComponent(bits, mv.x - pmv.x, f_code);
            WriteMotionComponent(bits, mv.y - pmv.y, f_code);
            pmv = mv;
        }
        if (mb.cbp != 0) {
            Put(bits, Tables().coded_block_pattern[mb.cbp]);
            for (int b = 0; b < 6; ++b)
                if (mb.cbp & (32 >> b)) WriteInterBlock(bits, mb.levels[b], mb.last[b]);
        }
    }
}

void VideoEncoder::State::CodeRepeatedPicture(BitWriter& bits) {
    for (int row = 0; row < mb_height; ++row) {
        WriteSliceHeader(bits, row, rate.base_qscale());
        // First and last macroblock of the slice as zero vectors without
        // residual; everything between is skipped.
        Put(bits, Tables().address_increment[1]);
        Put(bits, kTypeForwardOnly);
        WriteMotionComponent(bits, 0, f_code);
        WriteMotionComponent(bits, 0, f_code);
        if (mb_width > 1) {
            WriteAddressIncrement(bits, mb_width - 1);
            Put(bits, kTypeForwardOnly);
            WriteMotionComponent(bits, 0, f_code);
            WriteMotionComponent(bits, 0, f_code);
        }
    }
    std::swap(vectors, previous_vectors);
    std::fill(vectors.begin(), vectors.end(), MotionVector{});
}

}  // namespace mpeg
