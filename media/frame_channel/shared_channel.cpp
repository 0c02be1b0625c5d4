#include "media/frame_channel/shared_channel.h"

#include <sddl.h>

#include <string>

#include "media/frame_channel/channel_layout.h"

namespace frame_channel {

namespace {

// Any process of the session may open the objects, low-integrity ones
// included; readers trust nothing they find, so write access is no risk to them.
constexpr wchar_t kSessionWide[] = L"D:(A;;GA;;;WD)(A;;GA;;;SY)S:(ML;;NW;;;LW)";

class SessionSecurity {
public:
    SessionSecurity() {
        attributes_.nLength = sizeof attributes_;
        attributes_.bInheritHandle = FALSE;
        if (ConvertStringSecurityDescriptorToSecurityDescriptorW(kSessionWide, SDDL_REVISION_1, &descriptor_,
                                                                 nullptr)) {
            attributes_.lpSecurityDescriptor = descriptor_;
        }
    }
    ~SessionSecurity() {
        if (descriptor_ != nullptr) LocalFree(descriptor_);
    }
    SECURITY_ATTRIBUTES* get() { return &attributes_; }

private:
    PSECURITY_DESCRIPTOR descriptor_ = nullptr;
    SECURITY_ATTRIBUTES attributes_{};
};

std::wstring EventName(const wchar_t* name, int parity) {
    return std::wstring(name) + (parity == 0 ? L".even" : L".odd");
}

uint64_t CounterFrequency() {
    static const uint64_t frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return static_cast<uint64_t>(f.QuadPart);
    }();
    return frequency;
}

}  // namespace

uint64_t ChannelClockUs() {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    const uint64_t f = CounterFrequency();
    const uint64_t ticks = static_cast<uint64_t>(now.QuadPart);
    return ticks / f * 1000000 + ticks % f * 1000000 / f;
}

uint64_t ChannelClockMs() { return ChannelClockUs() / 1000; }

HRESULT ChannelObjects::Create(const wchar_t* name) {
    Close();
    SessionSecurity security;
    const uint64_t size = MappingSizeFor(kMaxFrameBytes);
    mapping_ = CreateFileMappingW(INVALID_HANDLE_VALUE, security.get(), PAGE_READWRITE,
                                  static_cast<DWORD>(size >> 32), static_cast<DWORD>(size), name);
    if (mapping_ == nullptr) return HRESULT_FROM_WIN32(GetLastError());
    const HRESULT hr = MapWholeView(FILE_MAP_ALL_ACCESS);
    return FAILED(hr) ? hr : OpenEvents(name, true);
}

HRESULT ChannelObjects::Open(const wchar_t* name) {
    Close();
    mapping_ = OpenFileMappingW(FILE_MAP_READ, FALSE, name);
    if (mapping_ == nullptr) return HRESULT_FROM_WIN32(GetLastError());
    const HRESULT hr = MapWholeView(FILE_MAP_READ);
    return FAILED(hr) ? hr : OpenEvents(name, false);
}

HRESULT ChannelObjects::MapWholeView(DWORD access) {
    view_ = static_cast<uint8_t*>(MapViewOfFile(mapping_, access, 0, 0, 0));
    if (view_ == nullptr) {
        const HRESULT hr = HRESULT_FROM_WIN32(GetLastError());
        Close();
        return hr;
    }
    MEMORY_BASIC_INFORMATION region{};
    VirtualQuery(view_, &region, sizeof region);
    size_ = region.RegionSize;
    return S_OK;
}

HRESULT ChannelObjects::OpenEvents(const wchar_t* name, bool create) {
    SessionSecurity security;
    for (int parity = 0; parity < 2; ++parity) {
        const std::wstring event_name = EventName(name, parity);
        events_[parity] = create ? CreateEventW(security.get(), TRUE, FALSE, event_name.c_str())
                                 : OpenEventW(SYNCHRONIZE, FALSE, event_name.c_str());
        if (events_[parity] == nullptr) {
            const HRESULT hr = HRESULT_FROM_WIN32(GetLastError());
            Close();
            return hr;
        }
    }
    return S_OK;
}

void ChannelObjects::Close() {
    for (HANDLE& event : events_) {
        if (event != nullptr) CloseHandle(event);
        event = nullptr;
    }
    if (view_ != nullptr) UnmapViewOfFile(view_);
    view_ = nullptr;
    size_ = 0;
    if (mapping_ != nullptr) CloseHandle(mapping_);
    mapping_ = nullptr;
}

HRESULT SharedChannelWriter::Open(const wchar_t* name) {
    const HRESULT hr = objects_.Create(name);
    if (FAILED(hr)) return hr;
    if (!writer_.Attach(objects_.view(), objects_.size(), GetCurrentProcessId())) {
        objects_.Close();
        return E_OUTOFMEMORY;
    }
    return S_OK;
}

bool SharedChannelWriter::Write(const uint8_t* data, size_t size, const pixel_formats::FrameFormat& format,
                                int64_t sample_time, int64_t frame_interval, uint64_t received_us) {
    if (!objects_.IsOpen()) return false;
    const uint64_t sequence = writer_.next_sequence();
    ResetEvent(objects_.event(sequence + 1));
    FrameTiming timing;
    timing.sample_time = sample_time;
    timing.frame_interval = frame_interval;
    timing.write_time_us = received_us;
    if (!writer_.Write(data, size, format, timing, ChannelClockMs())) return false;
    SetEvent(objects_.event(sequence));
    return true;
}

HRESULT SharedChannelReader::Open(const wchar_t* name) { return objects_.Open(name); }

SharedChannelReader::~SharedChannelReader() {
    if (writer_process_ != nullptr) CloseHandle(writer_process_);
}

bool SharedChannelReader::WriterRunning(uint32_t process_id) {
    if (process_id != writer_id_) {
        if (writer_process_ != nullptr) CloseHandle(writer_process_);
        writer_id_ = process_id;
        writer_process_ = process_id != 0 ? OpenProcess(SYNCHRONIZE, FALSE, process_id) : nullptr;
    }
    return writer_process_ == nullptr || WaitForSingleObject(writer_process_, 0) == WAIT_TIMEOUT;
}

bool SharedChannelReader::ReadStatus(WriterStatus* status) const {
    if (!objects_.IsOpen()) return false;
    return FrameReader(objects_.view(), objects_.size()).ReadStatus(status);
}

ReadResult SharedChannelReader::ReadLatest(uint8_t* dst, size_t capacity, FrameInfo* info) const {
    if (!objects_.IsOpen()) return ReadResult::kNoChannel;
    return FrameReader(objects_.view(), objects_.size()).ReadLatest(dst, capacity, info);
}

}  // namespace frame_channel
