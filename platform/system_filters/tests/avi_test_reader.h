// A minimal AVI reader for the writer's tests: walks the RIFF tree of a file
// in memory and checks every size on the way, independently of how the
// writer computed them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace avi_test {

struct StreamHeader {
    std::string type;  // "vids" / "auds"
    std::string handler;
    uint32_t scale = 0, rate = 0, length = 0, suggestedBuffer = 0, sampleSize = 0;
    uint16_t frameRight = 0, frameBottom = 0;
    std::vector<uint8_t> format;
    std::string name;
};

struct MainHeader {
    uint32_t microSecPerFrame = 0, maxBytesPerSec = 0, flags = 0, totalFrames = 0, streams = 0,
             suggestedBuffer = 0, width = 0, height = 0;
};

struct Chunk {
    std::string id;
    uint64_t offset = 0;  // of the chunk's id in the file
    std::vector<uint8_t> data;
};

struct IndexEntry {
    std::string id;
    uint32_t flags = 0, offset = 0, size = 0;
};

struct ParsedAvi {
    uint32_t riffSize = 0;
    MainHeader main;
    std::vector<StreamHeader> streams;
    uint64_t moviCode = 0;  // offset of the 'movi' code
    std::vector<Chunk> chunks;
    bool hasIndex = false;
    std::vector<IndexEntry> index;
};

// Empty error when the file is well formed; otherwise what is wrong.
std::string Parse(const std::vector<uint8_t>& file, ParsedAvi* avi);

}  // namespace avi_test
