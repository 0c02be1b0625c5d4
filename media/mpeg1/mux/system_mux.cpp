#include "media/mpeg1/mux/system_mux.h"

#include <algorithm>
#include <utility>

#include "media/mpeg1/common/bit_writer.h"
#include "media/mpeg1/mux/stream_queue.h"

namespace mpeg {

using namespace mux;

namespace {

constexpr uint8_t kPackStartCode = 0xBA;
constexpr uint8_t kSystemHeaderCode = 0xBB;
constexpr uint8_t kEndCode = 0xB9;
constexpr uint8_t kVideoStreamId = 0xE0;
constexpr uint8_t kAudioStreamId = 0xC0;
constexpr int kPackHeaderBytes = 12;
constexpr int kPacketHeaderBytes = 6 + 2;  // start code, id, length; STD buffer field
constexpr int kPtsBytes = 5;
// A stream waits for the other to catch up in time, but never holds more than
// this much of its own time or bytes back.
constexpr int64_t kMaxWaitTicks = 90000;
constexpr size_t kMaxWaitBytes = 4u << 20;

void PutTimestamp(BitWriter& bits, uint32_t prefix, int64_t t) {
    const uint64_t v = static_cast<uint64_t>(t) & 0x1FFFFFFFFull;
    bits.Put(prefix, 4);
    bits.Put(static_cast<uint32_t>(v >> 30) & 7, 3);
    bits.PutBit(true);
    bits.Put(static_cast<uint32_t>(v >> 15) & 0x7FFF, 15);
    bits.PutBit(true);
    bits.Put(static_cast<uint32_t>(v) & 0x7FFF, 15);
    bits.PutBit(true);
}

int64_t CeilDiv(int64_t a, int64_t b) { return (a + b - 1) / b; }

}  // namespace

struct SystemMux::State {
    SystemMuxConfig config;
    MuxOutput* output = nullptr;
    std::unique_ptr<StreamQueue> video, audio;
    int64_t mux_rate_units = 0;  // of 50 bytes/s
    int video_buffer_units = 0;  // of 1024 bytes
    int audio_buffer_units = 32; // of 128 bytes
    int64_t scr = -1;            // of the last pack
    size_t last_pack_bytes = 0;
    bool wrote_system_header = false;
    bool failed = false;
    bool finished = false;
    uint64_t bytes_written = 0;
    std::vector<uint8_t> pack;

    StreamQueue* Queue(StreamKind kind) { return kind == StreamKind::kVideo ? video.get() : audio.get(); }
    int64_t ToTicks(int64_t time) const;
    void Pump(bool flush);
    StreamQueue* NextStream(bool flush);
    bool MayWait(const StreamQueue& q) const;
    void WritePack(StreamQueue& q, uint8_t stream_id);
    void WriteSystemHeader(BitWriter& bits);
    bool Emit(const std::vector<uint8_t>& bytes);
};

std::unique_ptr<SystemMux> SystemMux::Create(const SystemMuxConfig& config, MuxOutput* output) {
    if ((!config.has_video && !config.has_audio) || output == nullptr || config.pack_size < 512 ||
        config.pack_size > 65535) {
        return nullptr;
    }
    auto s = std::make_unique<State>();
    s->config = config;
    s->output = output;
    if (config.has_video) s->video = std::make_unique<StreamQueue>(std::make_unique<VideoScanner>());
    if (config.has_audio) s->audio = std::make_unique<StreamQueue>(std::make_unique<AudioScanner>());
    const int64_t video_rate = config.has_video ? (config.video_bit_rate > 0 ? config.video_bit_rate : 10000000) : 0;
    const int64_t audio_rate = config.has_audio ? (config.audio_bit_rate > 0 ? config.audio_bit_rate : 384000) : 0;
    // Headroom for pack and packet headers and for bursts above the average.
    const int64_t bytes_per_second = (video_rate + audio_rate) / 8 * 5 / 4;
    s->mux_rate_units = std::clamp<int64_t>(CeilDiv(bytes_per_second, 50), 1, (1 << 22) - 1);
    const int64_t video_buffer = std::max<int64_t>(config.video_buffer_bits / 8, 46 * 1024);
    s->video_buffer_units = static_cast<int>(std::min<int64_t>(CeilDiv(video_buffer, 1024), 8191));
    return std::unique_ptr<SystemMux>(new SystemMux(std::move(s)));
}

SystemMux::SystemMux(std::unique_ptr<State> state) : s_(std::move(state)) {}
SystemMux::~SystemMux() = default;

bool SystemMux::failed() const { return s_->failed; }
uint64_t SystemMux::bytes_written() const { return s_->bytes_written; }

bool SystemMux::Write(StreamKind stream, const uint8_t* data, size_t size, int64_t time) {
    State& s = *s_;
    StreamQueue* q = s.Queue(stream);
    if (s.failed || s.finished || q == nullptr || q->ended) return false;
    if (size == 0) return true;
    q->Append(data, size, time == kNoTime ? -1 : s.ToTicks(time));
    s.Pump(false);
    return !s.failed;
}

bool SystemMux::EndStream(StreamKind stream) {
    State& s = *s_;
    StreamQueue* q = s.Queue(stream);
    if (s.failed || s.finished || q == nullptr) return false;
    q->ended = true;
    s.Pump(false);
    return !s.failed;
}

bool SystemMux::Finish() {
    State& s = *s_;
    if (s.failed || s.finished) return false;
    s.Pump(true);
    s.finished = true;
    if (s.failed) return false;
    std::vector<uint8_t> end;
    BitWriter bits(&end);
    bits.PutStartCode(kEndCode);
    return s.Emit(end);
}

int64_t SystemMux::State::ToTicks(int64_t time) const {
    if (time <= config.time_origin) return kPreloadTicks;
    // Unsigned so that no pair of times can overflow; the 33-bit fields wrap anyway.
    const uint64_t from_origin = std::min<uint64_t>(static_cast<uint64_t>(time) - static_cast<uint64_t>(config.time_origin),
                                                    uint64_t{1} << 50);
    return kPreloadTicks + static_cast<int64_t>(from_origin / 1000 * 9 + (from_origin % 1000) * 9 / 1000);
}

bool SystemMux::State::Emit(const std::vector<uint8_t>& bytes) {
    if (failed) return false;
    if (!output->Write(bytes.data(), bytes.size())) {
        failed = true;
        return false;
    }
    bytes_written += bytes.size();
    return true;
}

// A stream may hold its data back while another stream, not yet ended, has
// nothing queued to compare times with, unless it is already too far ahead.
bool SystemMux::State::MayWait(const StreamQueue& q) const {
    const int64_t span = q.TailTime() - q.HeadTime();
    return span < kMaxWaitTicks && q.queued() < kMaxWaitBytes;
}

StreamQueue* SystemMux::State::NextStream(bool flush) {
    const size_t full = static_cast<size_t>(config.pack_size);
    StreamQueue* best = nullptr;
    for (StreamQueue* q : {video.get(), audio.get()}) {
        if (q == nullptr || q->queued() == 0) continue;
        // A short packet only at the end of a stream.
        if (!flush && !q->ended && q->queued() < full) continue;
        if (best == nullptr || q->HeadTime() < best->HeadTime()) best = q;
    }
    if (best == nullptr || flush) return best;
    for (StreamQueue* other : {video.get(), audio.get()}) {
        if (other == nullptr || other == best || other->ended) continue;
        // Nothing to compare with yet, or the other stream's data is not yet
        // known to be later: wait for it, within limits.
        if (other->TailTime() < best->HeadTime() && MayWait(*best)) return nullptr;
    }
    return best;
}

void SystemMux::State::Pump(bool flush) {
    while (!failed) {
        StreamQueue* q = NextStream(flush);
        if (q == nullptr) return;
        WritePack(*q, q == video.get() ? kVideoStreamId : kAudioStreamId);
    }
}

void SystemMux::State::WriteSystemHeader(BitWriter& bits) {
    const int streams = (video ? 1 : 0) + (audio ? 1 : 0);
    bits.PutStartCode(kSystemHeaderCode);
    bits.Put(static_cast<uint32_t>(6 + 3 * streams), 16);  // header_length
    bits.PutBit(true);
    bits.Put(static_cast<uint32_t>(mux_rate_units), 22);  // rate_bound
    bits.PutBit(true);
    bits.Put(audio ? 1 : 0, 6);  // audio_bound
    bits.PutBit(false);          // fixed_flag
    bits.PutBit(false);          // CSPS_flag
    bits.PutBit(false);          // system_audio_lock_flag
    bits.PutBit(false);          // system_video_lock_flag
    bits.PutBit(true);
    bits.Put(video ? 1 : 0, 5);  // video_bound
    bits.Put(0xFF, 8);           // reserved_byte
    if (video) {
        bits.Put(kVideoStreamId, 8);
        bits.Put(3, 2);
        bits.PutBit(true);  // buffer bound in units of 1024 bytes
        bits.Put(static_cast<uint32_t>(video_buffer_units), 13);
    }
    if (audio) {
        bits.Put(kAudioStreamId, 8);
        bits.Put(3, 2);
        bits.PutBit(false);  // in units of 128 bytes
        bits.Put(static_cast<uint32_t>(audio_buffer_units), 13);
    }
}

void SystemMux::State::WritePack(StreamQueue& q, uint8_t stream_id) {
    const int header_bytes = kPackHeaderBytes + (wrote_system_header ? 0 : 6 + 6 + 3 * ((video ? 1 : 0) + (audio ? 1 : 0)));
    const size_t room = static_cast<size_t>(config.pack_size - header_bytes - kPacketHeaderBytes - kPtsBytes);
    const size_t payload = std::min(q.queued(), room);
    const TimedUnit* unit = q.FirstUnitIn(payload);

    // The pack leaves the mux at mux_rate; it may go out later than that
    // allows (gaps are fine) but never earlier than the last pack finished.
    const int64_t bytes_per_second = mux_rate_units * 50;
    int64_t pack_scr = q.HeadTime() >= 0 ? q.HeadTime() - kPreloadTicks : 0;
    if (scr >= 0) pack_scr = std::max(pack_scr, scr + CeilDiv(static_cast<int64_t>(last_pack_bytes) * 90000, bytes_per_second));
    pack_scr = std::max<int64_t>(pack_scr, 0);

    pack.clear();
    BitWriter bits(&pack);
    bits.PutStartCode(kPackStartCode);
    PutTimestamp(bits, 0x2, pack_scr);
    bits.PutBit(true);
    bits.Put(static_cast<uint32_t>(mux_rate_units), 22);
    bits.PutBit(true);
    if (!wrote_system_header) {
        WriteSystemHeader(bits);
        wrote_system_header = true;
    }
    bits.PutStartCode(stream_id);
    bits.Put(static_cast<uint32_t>(2 + (unit ? kPtsBytes : 1) + payload), 16);  // packet_length
    bits.Put(1, 2);  // STD_buffer fields follow
    if (stream_id == kVideoStreamId) {
        bits.PutBit(true);
        bits.Put(static_cast<uint32_t>(video_buffer_units), 13);
    } else {
        bits.PutBit(false);
        bits.Put(static_cast<uint32_t>(audio_buffer_units), 13);
    }
    if (unit) {
        PutTimestamp(bits, 0x2, unit->pts);
    } else {
        bits.Put(0x0F, 8);
    }
    pack.insert(pack.end(), q.head(), q.head() + payload);
    q.Consume(payload);
    scr = pack_scr;
    last_pack_bytes = pack.size();
    Emit(pack);
}

}  // namespace mpeg
