#include "media/mpeg1/tests/media_tools.h"

#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>

namespace mpeg::testing {

namespace {

const std::string& ScratchDir() {
    static const std::string dir = [] {
        char pattern[] = "/tmp/mpeg_test_XXXXXX";
        const char* made = mkdtemp(pattern);
        return std::string(made ? made : "/tmp");
    }();
    return dir;
}

std::string ReadText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// ffmpeg's demuxers for bare elementary streams always print this line, as
// such streams carry no time stamps; it says nothing about the data.
std::string WithoutDurationGuess(const std::string& err) {
    std::istringstream lines(err);
    std::string line, kept;
    while (std::getline(lines, line)) {
        if (line.find("Estimating duration from bitrate, this may be inaccurate") != std::string::npos) continue;
        kept += line + "\n";
    }
    return kept;
}

}  // namespace

CommandResult RunCommand(const std::string& command) {
    CommandResult result;
    const std::string err_path = ScratchPath("stderr.txt");
    FILE* pipe = popen((command + " 2>" + err_path).c_str(), "r");
    if (pipe == nullptr) return result;
    uint8_t buffer[65536];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) result.out.insert(result.out.end(), buffer, buffer + n);
    const int status = pclose(pipe);
    result.exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.err = ReadText(err_path);
    return result;
}

std::string ScratchPath(const std::string& name) { return ScratchDir() + "/" + name; }

bool WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

std::vector<uint8_t> DecodeVideo(const std::string& path, std::string* warnings) {
    // passthrough: one output picture per coded picture, whatever the timing.
    CommandResult r = RunCommand("ffmpeg -nostdin -v warning -threads 1 -i '" + path +
                                 "' -fps_mode passthrough -f rawvideo -pix_fmt yuv420p -");
    *warnings = WithoutDurationGuess(r.err);
    if (r.exit_code != 0) warnings->append("\n(ffmpeg exit code " + std::to_string(r.exit_code) + ")");
    return r.out;
}

std::vector<int16_t> DecodeAudio(const std::string& path, int channels, std::string* warnings) {
    CommandResult r = RunCommand("ffmpeg -nostdin -v warning -i '" + path + "' -f s16le -acodec pcm_s16le -ac " +
                                 std::to_string(channels) + " -");
    *warnings = WithoutDurationGuess(r.err);
    if (r.exit_code != 0) warnings->append("\n(ffmpeg exit code " + std::to_string(r.exit_code) + ")");
    std::vector<int16_t> samples(r.out.size() / 2);
    for (size_t i = 0; i < samples.size(); ++i)
        samples[i] = static_cast<int16_t>(r.out[2 * i] | (r.out[2 * i + 1] << 8));
    return samples;
}

ProbeResult Probe(const std::string& path) {
    ProbeResult result;
    CommandResult r = RunCommand("ffprobe -v error -count_frames -show_format -show_streams -of flat=s=_ '" + path + "'");
    result.errors = r.err;
    std::istringstream lines(std::string(r.out.begin(), r.out.end()));
    std::string line;
    while (std::getline(lines, line)) {
        // format_key="value" or streams_stream_N_key="value"
        const size_t eq = line.find('=');
        if (eq == std::string::npos) continue;
        std::string key = line.substr(0, eq), value = line.substr(eq + 1);
        if (value.size() >= 2 && value.front() == '"') value = value.substr(1, value.size() - 2);
        if (key.rfind("format_", 0) == 0) {
            result.format[key.substr(7)] = value;
        } else if (key.rfind("streams_stream_", 0) == 0) {
            const size_t us = key.find('_', 15);
            const size_t index = std::stoul(key.substr(15, us - 15));
            if (result.streams.size() <= index) result.streams.resize(index + 1);
            result.streams[index][key.substr(us + 1)] = value;
        }
    }
    return result;
}

double Psnr(const uint8_t* a, const uint8_t* b, size_t count) {
    double sum = 0;
    for (size_t i = 0; i < count; ++i) {
        const double d = static_cast<double>(a[i]) - b[i];
        sum += d * d;
    }
    if (sum == 0) return 99.0;
    return 10.0 * std::log10(255.0 * 255.0 * static_cast<double>(count) / sum);
}

}  // namespace mpeg::testing
