#include "dshow_base/sample_byte_sink.h"

#include <algorithm>
#include <cstring>

bool CSampleByteSink::Write(uint64_t offset, const uint8_t* data, size_t size) {
    if (pending_ && offset != offset_ + static_cast<uint64_t>(length_) && !Flush()) return false;
    while (size > 0) {
        if (!pending_ && !StartSample(offset)) return WriteThroughStream(offset, data, size);
        const size_t room = static_cast<size_t>(capacity_ - length_);
        const size_t part = std::min(room, size);
        std::memcpy(buffer_ + length_, data, part);
        length_ += static_cast<long>(part);
        data += part;
        size -= part;
        offset += part;
        if (length_ == capacity_ && !Flush()) return false;
    }
    return true;
}

bool CSampleByteSink::StartSample(uint64_t offset) {
    HRESULT hr = pin_->GetDeliveryBuffer(pending_.Put(), nullptr, nullptr, 0);
    if (SUCCEEDED(hr)) hr = pending_->GetPointer(&buffer_);
    if (FAILED(hr) || pending_->GetSize() <= 0) {
        pending_.Reset();
        if (SUCCEEDED(error_) && !stream_) error_ = FAILED(hr) ? hr : E_UNEXPECTED;
        return false;
    }
    offset_ = offset;
    length_ = 0;
    capacity_ = pending_->GetSize();
    return true;
}

bool CSampleByteSink::Flush() {
    if (!pending_) return true;
    ComPtr<IMediaSample> sample = std::move(pending_);
    REFERENCE_TIME start = static_cast<REFERENCE_TIME>(offset_);
    REFERENCE_TIME stop = start + length_;
    HRESULT hr = sample->SetActualDataLength(length_);
    if (SUCCEEDED(hr)) hr = sample->SetTime(&start, &stop);
    if (SUCCEEDED(hr)) hr = pin_->Deliver(sample.Get());
    if (SUCCEEDED(hr)) return true;
    if (stream_) return WriteThroughStream(offset_, buffer_, static_cast<size_t>(length_));
    if (SUCCEEDED(error_)) error_ = hr;
    return false;
}

void CSampleByteSink::Discard() {
    pending_.Reset();
    length_ = 0;
}

bool CSampleByteSink::WriteThroughStream(uint64_t offset, const uint8_t* data, size_t size) {
    if (!stream_) return false;
    LARGE_INTEGER at;
    at.QuadPart = static_cast<LONGLONG>(offset);
    HRESULT hr = stream_->Seek(at, STREAM_SEEK_SET, nullptr);
    ULONG written = 0;
    if (SUCCEEDED(hr)) hr = stream_->Write(data, static_cast<ULONG>(size), &written);
    if (SUCCEEDED(hr) && written != size) hr = STG_E_MEDIUMFULL;
    if (FAILED(hr) && SUCCEEDED(error_)) error_ = hr;
    return SUCCEEDED(hr);
}
