// Loads and stores of the seqlock counters in memory another process shares.
// The fields are plain uint32_t so the layout stays a plain struct; 32-bit
// atomics are lock-free and address-free on every target we build.
#pragma once

#include <atomic>
#include <cstdint>

namespace frame_channel {

inline uint32_t LoadAcquire(const uint32_t* word) { return __atomic_load_n(word, __ATOMIC_ACQUIRE); }
inline uint32_t LoadRelaxed(const uint32_t* word) { return __atomic_load_n(word, __ATOMIC_RELAXED); }
inline void StoreRelease(uint32_t* word, uint32_t value) { __atomic_store_n(word, value, __ATOMIC_RELEASE); }

// Writer side: makes the counter odd (and different from any value a reader
// may hold, even when a dead writer left it odd) before the guarded fields change.
inline uint32_t BeginWrite(uint32_t* word) {
    const uint32_t odd = (LoadRelaxed(word) + 1) | 1u;
    __atomic_store_n(word, odd, __ATOMIC_RELAXED);
    std::atomic_thread_fence(std::memory_order_release);
    return odd;
}
inline void EndWrite(uint32_t* word, uint32_t odd) { StoreRelease(word, odd + 1); }

// Reader side: after copying the guarded fields, true when the copy is whole.
inline bool StillEqual(const uint32_t* word, uint32_t before) {
    std::atomic_thread_fence(std::memory_order_acquire);
    return (before & 1u) == 0 && LoadRelaxed(word) == before;
}

}  // namespace frame_channel
