// DirectShow time: REFERENCE_TIME counts 100 ns units.
#pragma once

#include <windows.h>
#include <strmif.h>

const LONGLONG MILLISECONDS = 1000;    // per second
const LONGLONG UNITS = 10000000;       // 100 ns units per second

class CRefTime {
public:
    REFERENCE_TIME m_time = 0;

    CRefTime() = default;
    // Whole milliseconds, as the classic class took them.
    explicit CRefTime(LONG ms) : m_time(static_cast<REFERENCE_TIME>(ms) * (UNITS / MILLISECONDS)) {}
    CRefTime(REFERENCE_TIME t) : m_time(t) {}  // NOLINT: converts like the value it wraps

    operator REFERENCE_TIME() const { return m_time; }
    CRefTime& operator=(REFERENCE_TIME t) { m_time = t; return *this; }
    CRefTime& operator+=(const CRefTime& t) { m_time += t.m_time; return *this; }
    CRefTime& operator-=(const CRefTime& t) { m_time -= t.m_time; return *this; }

    // Rounded towards zero.
    LONG Millisecs() const { return static_cast<LONG>(m_time / (UNITS / MILLISECONDS)); }
    REFERENCE_TIME GetUnits() const { return m_time; }
};
