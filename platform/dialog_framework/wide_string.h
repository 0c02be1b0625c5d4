// CString: the programs' UTF-16 string, with the operations dialog code uses
// (formatting, slicing, searching, string resources, buffers handed to Win32).
// Narrow text is always the ANSI code page, converted explicitly.
#pragma once

#include <windows.h>

#include <string>

class CString {
public:
    CString() = default;
    CString(const wchar_t* text) : m_text(text ? text : L"") {}
    CString(const wchar_t* text, int length) : m_text(text, length > 0 ? length : 0) {}
    CString(wchar_t ch, int repeat = 1) : m_text(repeat > 0 ? repeat : 0, ch) {}
    CString(std::wstring text) : m_text(std::move(text)) {}
    // Narrow text in the ANSI code page.
    explicit CString(const char* ansi);

    int GetLength() const { return static_cast<int>(m_text.size()); }
    bool IsEmpty() const { return m_text.empty(); }
    void Empty() { m_text.clear(); }

    operator const wchar_t*() const { return m_text.c_str(); }
    const wchar_t* GetString() const { return m_text.c_str(); }
    const std::wstring& str() const { return m_text; }
    wchar_t GetAt(int index) const { return m_text.at(static_cast<size_t>(index)); }
    wchar_t operator[](int index) const { return GetAt(index); }

    CString& operator+=(const CString& s) { m_text += s.m_text; return *this; }
    CString& operator+=(const wchar_t* s) { if (s) m_text += s; return *this; }
    CString& operator+=(wchar_t ch) { m_text += ch; return *this; }

    int Compare(const wchar_t* other) const { return m_text.compare(other ? other : L""); }
    int CompareNoCase(const wchar_t* other) const;

    CString Left(int count) const;
    CString Mid(int first) const;
    CString Mid(int first, int count) const;
    CString Right(int count) const;
    // Index of the first match at or after start, -1 when none.
    int Find(wchar_t ch, int start = 0) const;
    int Find(const wchar_t* sub, int start = 0) const;
    int ReverseFind(wchar_t ch) const;
    int Replace(wchar_t from, wchar_t to);

    // printf-style, as the Microsoft runtime reads it (%s takes a wide string).
    void Format(const wchar_t* format, ...);
    // The string resource of the program's resource module; false when absent.
    BOOL LoadString(UINT id);

    // A writable buffer of at least minLength characters plus the terminator;
    // ReleaseBuffer trims to the terminator (or to newLength).
    wchar_t* GetBuffer(int minLength);
    void ReleaseBuffer(int newLength = -1);

    friend bool operator==(const CString& a, const CString& b) { return a.m_text == b.m_text; }
    friend bool operator==(const CString& a, const wchar_t* b) { return a.Compare(b) == 0; }
    friend bool operator!=(const CString& a, const CString& b) { return !(a == b); }
    friend bool operator!=(const CString& a, const wchar_t* b) { return !(a == b); }
    friend bool operator<(const CString& a, const CString& b) { return a.m_text < b.m_text; }
    friend CString operator+(CString a, const CString& b) { return a += b; }
    friend CString operator+(CString a, const wchar_t* b) { return a += b; }
    friend CString operator+(const wchar_t* a, const CString& b) { return CString(a) += b; }
    friend CString operator+(CString a, wchar_t b) { return a += b; }

private:
    std::wstring m_text;
};

// Whole-string conversions through the ANSI code page.
std::string WideToAnsi(const wchar_t* text);
CString AnsiToWide(const char* text);
