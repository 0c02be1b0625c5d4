// Growable arrays in the shape dialog code expects (Add, GetSize, GetAt,
// RemoveAt, ...). An index outside the array stops the program at once
// instead of touching memory that is not the array's.
#pragma once

#include <windows.h>

#include <cstdlib>
#include <vector>

#include "dialog_framework/wide_string.h"

template <class TYPE, class ARG_TYPE = const TYPE&>
class CArray {
public:
    INT_PTR GetSize() const { return static_cast<INT_PTR>(m_items.size()); }
    INT_PTR GetCount() const { return GetSize(); }
    INT_PTR GetUpperBound() const { return GetSize() - 1; }
    bool IsEmpty() const { return m_items.empty(); }

    void SetSize(INT_PTR size) { m_items.resize(size > 0 ? static_cast<size_t>(size) : 0); }
    void RemoveAll() { m_items.clear(); }

    const TYPE& GetAt(INT_PTR i) const { return m_items[Checked(i, 0)]; }
    TYPE& ElementAt(INT_PTR i) { return m_items[Checked(i, 0)]; }
    void SetAt(INT_PTR i, ARG_TYPE value) { m_items[Checked(i, 0)] = value; }
    const TYPE& operator[](INT_PTR i) const { return GetAt(i); }
    TYPE& operator[](INT_PTR i) { return ElementAt(i); }
    TYPE* GetData() { return m_items.data(); }
    const TYPE* GetData() const { return m_items.data(); }

    INT_PTR Add(ARG_TYPE value) {
        m_items.push_back(value);
        return GetUpperBound();
    }
    // index may be GetSize(): inserting at the end appends.
    void InsertAt(INT_PTR i, ARG_TYPE value, INT_PTR count = 1) {
        if (count <= 0) return;
        m_items.insert(m_items.begin() + Checked(i, 1), static_cast<size_t>(count), value);
    }
    void RemoveAt(INT_PTR i, INT_PTR count = 1) {
        if (count <= 0) return;
        const size_t first = Checked(i, 0);
        Checked(i + count - 1, 0);
        m_items.erase(m_items.begin() + first, m_items.begin() + first + static_cast<size_t>(count));
    }

private:
    size_t Checked(INT_PTR i, INT_PTR slack) const {
        if (i < 0 || i >= GetSize() + slack) std::abort();
        return static_cast<size_t>(i);
    }

    std::vector<TYPE> m_items;
};

class CStringArray : public CArray<CString, const CString&> {};

class CPtrArray : public CArray<void*, void*> {};

// A pointer array that hands out typed pointers.
template <class BASE_CLASS, class TYPE>
class CTypedPtrArray : public BASE_CLASS {
public:
    TYPE GetAt(INT_PTR i) const { return static_cast<TYPE>(BASE_CLASS::GetAt(i)); }
    TYPE operator[](INT_PTR i) const { return GetAt(i); }
    void SetAt(INT_PTR i, TYPE p) { BASE_CLASS::SetAt(i, p); }
    INT_PTR Add(TYPE p) { return BASE_CLASS::Add(p); }
    void InsertAt(INT_PTR i, TYPE p, INT_PTR count = 1) { BASE_CLASS::InsertAt(i, p, count); }
};
