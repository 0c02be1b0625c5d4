#include "dialog_framework/wide_string.h"

#include <cstdarg>
#include <cstdio>
#include <cwchar>

#include "dialog_framework/application.h"

namespace {

size_t Clamp(int index, size_t size) {
    if (index < 0) return 0;
    return static_cast<size_t>(index) > size ? size : static_cast<size_t>(index);
}

}  // namespace

CString::CString(const char* ansi) : CString(AnsiToWide(ansi)) {}

int CString::CompareNoCase(const wchar_t* other) const { return _wcsicmp(m_text.c_str(), other ? other : L""); }

CString CString::Left(int count) const { return CString(m_text.substr(0, Clamp(count, m_text.size()))); }

CString CString::Mid(int first) const { return CString(m_text.substr(Clamp(first, m_text.size()))); }

CString CString::Mid(int first, int count) const {
    const size_t begin = Clamp(first, m_text.size());
    return CString(m_text.substr(begin, Clamp(count, m_text.size() - begin)));
}

CString CString::Right(int count) const {
    const size_t n = Clamp(count, m_text.size());
    return CString(m_text.substr(m_text.size() - n));
}

int CString::Find(wchar_t ch, int start) const {
    const size_t at = m_text.find(ch, Clamp(start, m_text.size()));
    return at == std::wstring::npos ? -1 : static_cast<int>(at);
}

int CString::Find(const wchar_t* sub, int start) const {
    const size_t at = m_text.find(sub ? sub : L"", Clamp(start, m_text.size()));
    return at == std::wstring::npos ? -1 : static_cast<int>(at);
}

int CString::ReverseFind(wchar_t ch) const {
    const size_t at = m_text.rfind(ch);
    return at == std::wstring::npos ? -1 : static_cast<int>(at);
}

int CString::Replace(wchar_t from, wchar_t to) {
    int count = 0;
    for (wchar_t& c : m_text)
        if (c == from) { c = to; ++count; }
    return count;
}

void CString::Format(const wchar_t* format, ...) {
    va_list args;
    va_start(args, format);
    va_list measure;
    va_copy(measure, args);
    const int length = _vscwprintf(format, measure);
    va_end(measure);
    if (length < 0) {
        m_text.clear();
    } else {
        std::wstring text(static_cast<size_t>(length) + 1, L'\0');
        _vsnwprintf(&text[0], text.size(), format, args);
        text.resize(static_cast<size_t>(length));
        m_text.swap(text);
    }
    va_end(args);
}

BOOL CString::LoadString(UINT id) {
    const wchar_t* resource = nullptr;
    // Length 0 asks for a read-only pointer into the resource itself.
    const int length = ::LoadStringW(AfxGetResourceHandle(), id, reinterpret_cast<LPWSTR>(&resource), 0);
    if (length <= 0 || !resource) {
        m_text.clear();
        return FALSE;
    }
    m_text.assign(resource, static_cast<size_t>(length));
    return TRUE;
}

wchar_t* CString::GetBuffer(int minLength) {
    if (minLength > GetLength()) m_text.resize(static_cast<size_t>(minLength));
    return &m_text[0];
}

void CString::ReleaseBuffer(int newLength) {
    if (newLength < 0) newLength = static_cast<int>(std::wcslen(m_text.c_str()));
    m_text.resize(Clamp(newLength, m_text.size()));
}

std::string WideToAnsi(const wchar_t* text) {
    if (!text || !*text) return {};
    const int bytes = WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (bytes <= 1) return {};
    std::string ansi(static_cast<size_t>(bytes), '\0');
    WideCharToMultiByte(CP_ACP, 0, text, -1, &ansi[0], bytes, nullptr, nullptr);
    ansi.resize(static_cast<size_t>(bytes) - 1);
    return ansi;
}

CString AnsiToWide(const char* text) {
    if (!text || !*text) return CString();
    const int units = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    if (units <= 1) return CString();
    std::wstring wide(static_cast<size_t>(units), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text, -1, &wide[0], units);
    wide.resize(static_cast<size_t>(units) - 1);
    return CString(std::move(wide));
}
