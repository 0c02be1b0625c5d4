#include "avi_test_reader.h"

#include <cstring>

namespace avi_test {
namespace {

uint32_t U32(const std::vector<uint8_t>& f, uint64_t at) {
    return f[at] | f[at + 1] << 8 | f[at + 2] << 16 | static_cast<uint32_t>(f[at + 3]) << 24;
}
uint16_t U16(const std::vector<uint8_t>& f, uint64_t at) { return static_cast<uint16_t>(f[at] | f[at + 1] << 8); }
std::string Code(const std::vector<uint8_t>& f, uint64_t at) {
    return std::string(reinterpret_cast<const char*>(&f[at]), 4);
}

class Reader {
public:
    Reader(const std::vector<uint8_t>& f, ParsedAvi* avi) : f_(f), avi_(avi) {}

    std::string Run() {
        if (f_.size() < 12 || Code(f_, 0) != "RIFF" || Code(f_, 8) != "AVI ") return "no RIFF AVI form";
        avi_->riffSize = U32(f_, 4);
        if (avi_->riffSize + 8ull != f_.size()) return "RIFF size does not match the file";
        return Walk(12, f_.size(), "");
    }

private:
    // Chunks between begin and end, inside a list of type `list`.
    std::string Walk(uint64_t at, uint64_t end, const std::string& list) {
        while (at < end) {
            if (at % 2) return "chunk at odd offset " + std::to_string(at);
            if (at + 8 > end) return "truncated chunk header in " + list;
            const std::string id = Code(f_, at);
            const uint64_t size = U32(f_, at + 4);
            const uint64_t next = at + 8 + size + (size & 1);
            if (next > end) return "chunk " + id + " overruns its list";
            std::string error = id == "LIST" ? List(at, size) : Leaf(id, at, size, list);
            if (!error.empty()) return error;
            at = next;
        }
        return at == end ? "" : "chunks overrun " + list;
    }

    std::string List(uint64_t at, uint64_t size) {
        if (size < 4) return "LIST without type";
        const std::string type = Code(f_, at + 8);
        if (type == "strl") avi_->streams.emplace_back();
        if (type == "movi") avi_->moviCode = at + 8;
        return Walk(at + 12, at + 8 + size, type);
    }

    std::string Leaf(const std::string& id, uint64_t at, uint64_t size, const std::string& list) {
        const uint64_t d = at + 8;
        if (list == "movi") {
            avi_->chunks.push_back({id, at, std::vector<uint8_t>(f_.begin() + d, f_.begin() + d + size)});
            return "";
        }
        if (id == "avih") return MainHeaderAt(d, size);
        if (list == "strl" && !avi_->streams.empty()) return StreamPart(id, d, size);
        if (id == "idx1") {
            avi_->hasIndex = true;
            if (size % 16) return "idx1 size not a multiple of 16";
            for (uint64_t e = d; e < d + size; e += 16) {
                avi_->index.push_back({Code(f_, e), U32(f_, e + 4), U32(f_, e + 8), U32(f_, e + 12)});
            }
        }
        return "";
    }

    std::string MainHeaderAt(uint64_t d, uint64_t size) {
        if (size != 56) return "avih is not 56 bytes";
        MainHeader& m = avi_->main;
        m.microSecPerFrame = U32(f_, d);
        m.maxBytesPerSec = U32(f_, d + 4);
        m.flags = U32(f_, d + 12);
        m.totalFrames = U32(f_, d + 16);
        m.streams = U32(f_, d + 24);
        m.suggestedBuffer = U32(f_, d + 28);
        m.width = U32(f_, d + 32);
        m.height = U32(f_, d + 36);
        return "";
    }

    std::string StreamPart(const std::string& id, uint64_t d, uint64_t size) {
        StreamHeader& s = avi_->streams.back();
        if (id == "strh") {
            if (size != 56) return "strh is not 56 bytes";
            s.type = Code(f_, d);
            s.handler = Code(f_, d + 4);
            s.scale = U32(f_, d + 20);
            s.rate = U32(f_, d + 24);
            s.length = U32(f_, d + 32);
            s.suggestedBuffer = U32(f_, d + 36);
            s.sampleSize = U32(f_, d + 44);
            s.frameRight = U16(f_, d + 52);
            s.frameBottom = U16(f_, d + 54);
        } else if (id == "strf") {
            s.format.assign(f_.begin() + d, f_.begin() + d + size);
        } else if (id == "strn") {
            s.name.assign(reinterpret_cast<const char*>(&f_[d]), strnlen(reinterpret_cast<const char*>(&f_[d]), size));
        }
        return "";
    }

    const std::vector<uint8_t>& f_;
    ParsedAvi* avi_;
};

}  // namespace

std::string Parse(const std::vector<uint8_t>& file, ParsedAvi* avi) {
    *avi = ParsedAvi{};
    return Reader(file, avi).Run();
}

}  // namespace avi_test
