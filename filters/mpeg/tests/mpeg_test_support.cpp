#include "mpeg_test_support.h"

#include <cstdlib>
#include <cstring>

#include "dshow_base/com_ptr.h"
#include "dshow_base/media_type.h"
#include "filters/mpeg/mpeg_filters_api.h"

namespace mpeg_filters_test {

EngineSetup ConfigureEncoderLikeTheEngine(IBaseFilter* encoder, int quality) {
    EngineSetup r;
    ComPtr<IUnknown> settings, params;
    r.settingsInterface = encoder->QueryInterface(IID_IEncoderSettings, settings.PutVoid());
    if (FAILED(r.settingsInterface)) return r;
    BYTE block[864] = {};
    r.getBlock = CallSlot(settings.Get(), 12, static_cast<BYTE*>(block));
    block[812] = static_cast<BYTE>((block[812] & ~0x1E) | ((quality << 1) & 0x1E));
    r.structure = CallSlot(settings.Get(), 8, 1, 1, 0);
    r.setBlock = CallSlot(settings.Get(), 13, static_cast<const BYTE*>(block));
    r.paramsInterface = encoder->QueryInterface(IID_IEncoderParams, params.PutVoid());
    if (FAILED(r.paramsInterface)) return r;
    r.param = CallSlot(params.Get(), 4, 96, 1);
    return r;
}

SystemStreamSummary ScanSystemStream(const std::vector<uint8_t>& b) {
    SystemStreamSummary s;
    size_t at = 0;
    const auto fail = [&](const char* what) {
        s.problem = std::string(what) + " at byte " + std::to_string(at);
        return s;
    };
    while (at + 4 <= b.size()) {
        if (b[at] != 0 || b[at + 1] != 0 || b[at + 2] != 1) return fail("no start code");
        const uint8_t code = b[at + 3];
        if (code == 0xB9) {
            s.endCodeLast = at + 4 == b.size();
            return at + 4 == b.size() ? s : fail("bytes after the end code");
        }
        if (code == 0xBA) {
            if ((b[at + 4] & 0xF0) != 0x20) return fail("not an MPEG-1 pack header");
            ++s.packs;
            at += 12;
            continue;
        }
        if (code < 0xBB || at + 6 > b.size()) return fail("unexpected start code");
        const size_t length = static_cast<size_t>(b[at + 4]) << 8 | b[at + 5];
        if (code == 0xE0) ++s.videoPackets;
        if (code == 0xC0) ++s.audioPackets;
        at += 6 + length;
        if (at > b.size()) return fail("packet runs past the end");
    }
    return fail("no end code");
}

}  // namespace mpeg_filters_test

namespace mpeg_filters_test {
namespace {
size_t FindStartCode(const std::vector<uint8_t>& b, uint8_t code) {
    for (size_t i = 0; i + 4 <= b.size(); ++i) {
        if (b[i] == 0 && b[i + 1] == 0 && b[i + 2] == 1 && b[i + 3] == code) return i;
    }
    return b.size();
}
}  // namespace

SequenceHeader FindSequenceHeader(const std::vector<uint8_t>& b) {
    SequenceHeader h;
    const size_t at = FindStartCode(b, 0xB3);
    if (at + 12 > b.size()) return h;
    const uint8_t* s = b.data() + at;
    h.present = true;
    h.width = s[4] << 4 | s[5] >> 4;
    h.height = (s[5] & 0x0F) << 8 | s[6];
    h.bitRate = (s[8] << 10 | s[9] << 2 | s[10] >> 6) * 400;
    return h;
}

int FirstPictureType(const std::vector<uint8_t>& b) {
    const size_t at = FindStartCode(b, 0x00);
    if (at + 6 > b.size()) return 0;
    return (b[at + 5] >> 3) & 7;
}

}  // namespace mpeg_filters_test
