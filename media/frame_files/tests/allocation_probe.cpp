#include "media/frame_files/tests/allocation_probe.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {

// Each block carries its size in front, so delete knows what it gives back.
constexpr size_t kHeader = alignof(std::max_align_t);
std::atomic<size_t> held{0}, peak{0}, base{0};

void* Allocate(size_t size) {
    auto* block = static_cast<unsigned char*>(std::malloc(size + kHeader));
    if (!block) throw std::bad_alloc();
    *reinterpret_cast<size_t*>(block) = size;
    const size_t now = held += size;
    size_t seen = peak.load();
    while (now > seen && !peak.compare_exchange_weak(seen, now)) {
    }
    return block + kHeader;
}

void Release(void* p) {
    if (!p) return;
    auto* block = static_cast<unsigned char*>(p) - kHeader;
    held -= *reinterpret_cast<size_t*>(block);
    std::free(block);
}

}  // namespace

void* operator new(size_t size) { return Allocate(size); }
void* operator new[](size_t size) { return Allocate(size); }
void operator delete(void* p) noexcept { Release(p); }
void operator delete[](void* p) noexcept { Release(p); }
void operator delete(void* p, size_t) noexcept { Release(p); }
void operator delete[](void* p, size_t) noexcept { Release(p); }

namespace frame_test {

void ResetAllocationPeak() {
    base = held.load();
    peak = held.load();
}

size_t AllocationPeak() { return peak - base; }

}  // namespace frame_test
