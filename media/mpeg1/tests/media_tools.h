// Helpers for tests that check our streams with ffmpeg and ffprobe, which we
// did not write: run a command, keep files in a per-process scratch folder,
// decode, probe, and compare pictures.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace mpeg::testing {

struct CommandResult {
    int exit_code = -1;
    std::vector<uint8_t> out;  // stdout
    std::string err;           // stderr
};

// Runs `command` through the shell.
CommandResult RunCommand(const std::string& command);

// A path inside a scratch folder made once per test process.
std::string ScratchPath(const std::string& name);
bool WriteFile(const std::string& path, const std::vector<uint8_t>& bytes);

// ffmpeg -v warning decoding to raw I420 or 16-bit PCM. `warnings` receives
// everything ffmpeg printed (nothing for a clean stream).
std::vector<uint8_t> DecodeVideo(const std::string& path, std::string* warnings);
std::vector<int16_t> DecodeAudio(const std::string& path, int channels, std::string* warnings);

// ffprobe's key=value fields of the container and each stream (frames
// counted). streams[i]["codec_name"] and so on; format["format_name"].
struct ProbeResult {
    std::map<std::string, std::string> format;
    std::vector<std::map<std::string, std::string>> streams;
    std::string errors;
};
ProbeResult Probe(const std::string& path);

// Peak signal-to-noise ratio of 8-bit samples, 99 for identical input.
double Psnr(const uint8_t* a, const uint8_t* b, size_t count);

}  // namespace mpeg::testing
