// Nothing may leave a COM method as an exception: the encoder cores and the
// standard containers report running out of memory by throwing.
#pragma once

#include <windows.h>

#include <new>

namespace mpeg_filters {

template <typename F>
HRESULT CallNoThrow(F&& f) noexcept {
    try {
        return f();
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (...) {
        return E_UNEXPECTED;
    }
}

}  // namespace mpeg_filters
