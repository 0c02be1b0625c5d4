// The device-name list the engines hand to their applications: each name
// followed by a line feed, then one terminator, in a caller's buffer of
// 16-bit units that is never written past its capacity. Plain C++, so the
// bounds are checked by sanitized host tests (Unit: char16_t there, wchar_t
// in the Windows build, where both are 16 bits).
#pragma once

#include <algorithm>
#include <cstddef>

template <typename Unit>
class DeviceNameList {
public:
    // `capacity` counts units, terminator included; 0 writes nothing at all.
    DeviceNameList(Unit* buffer, size_t capacity) : buffer_(buffer), capacity_(capacity) {}

    // Appends name and line feed when they fit with room left for the
    // terminator. A name that does not fit is refused whole, and so is every
    // later one: the list stays a prefix of the devices, in their order.
    bool Append(const Unit* name, size_t length) {
        if (full_ || capacity_ - written_ < 2 || length > capacity_ - written_ - 2 || count_ == 0xFFFF) {
            full_ = true;
            return false;
        }
        std::copy(name, name + length, buffer_ + written_);
        buffer_[written_ + length] = Unit('\n');
        written_ += length + 1;
        ++count_;
        return true;
    }

    // Writes the terminator after the last name.
    void Finish() {
        if (written_ < capacity_) buffer_[written_] = Unit(0);
    }

    unsigned short Count() const { return count_; }
    bool Full() const { return full_; }

private:
    Unit* buffer_;
    size_t capacity_;
    size_t written_ = 0;
    unsigned short count_ = 0;
    bool full_ = false;
};
