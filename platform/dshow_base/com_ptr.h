// Owning COM interface pointer: one reference, released exactly once.
// No implicit conversion to the raw pointer and no overloaded operator&, so
// every place that hands out or takes in a reference says so (Get, Put, Attach).
#pragma once

#include <objbase.h>

#include <cstddef>
#include <utility>

template <typename T>
class ComPtr {
public:
    ComPtr() = default;
    explicit ComPtr(T* p) : p_(p) { if (p_) p_->AddRef(); }
    ComPtr(const ComPtr& o) : p_(o.p_) { if (p_) p_->AddRef(); }
    ComPtr(ComPtr&& o) noexcept : p_(o.p_) { o.p_ = nullptr; }
    ~ComPtr() { Reset(); }

    ComPtr& operator=(const ComPtr& o) {
        if (this != &o) ComPtr(o).Swap(*this);
        return *this;
    }
    ComPtr& operator=(ComPtr&& o) noexcept {
        if (this != &o) { Reset(); p_ = o.p_; o.p_ = nullptr; }
        return *this;
    }

    T* Get() const { return p_; }
    T* operator->() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }

    // Releases what is held and returns the slot for an out parameter.
    T** Put() { Reset(); return &p_; }
    void** PutVoid() { return reinterpret_cast<void**>(Put()); }

    void Reset() {
        T* old = p_;
        p_ = nullptr;
        if (old) old->Release();
    }
    // Takes over a reference the caller already owns.
    void Attach(T* p) { Reset(); p_ = p; }
    // Gives up ownership without releasing.
    T* Detach() { T* p = p_; p_ = nullptr; return p; }
    // Hands an extra reference to an out parameter.
    HRESULT CopyTo(T** out) const {
        if (!out) return E_POINTER;
        *out = p_;
        if (p_) p_->AddRef();
        return S_OK;
    }
    template <typename U>
    HRESULT As(ComPtr<U>* out) const {
        if (!p_) return E_POINTER;
        return p_->QueryInterface(__uuidof(U), out->PutVoid());
    }
    void Swap(ComPtr& o) noexcept { std::swap(p_, o.p_); }

private:
    T* p_ = nullptr;
};

template <typename T>
bool operator==(const ComPtr<T>& a, const ComPtr<T>& b) { return a.Get() == b.Get(); }
template <typename T>
bool operator!=(const ComPtr<T>& a, const ComPtr<T>& b) { return a.Get() != b.Get(); }
template <typename T>
bool operator==(const ComPtr<T>& a, std::nullptr_t) { return a.Get() == nullptr; }
template <typename T>
bool operator!=(const ComPtr<T>& a, std::nullptr_t) { return a.Get() != nullptr; }

// First failure stops; S_FALSE passes as success.
#define RETURN_IF_FAILED(expr)                  \
    do {                                        \
        const HRESULT hr_ = (expr);             \
        if (FAILED(hr_)) return hr_;            \
    } while (0)
