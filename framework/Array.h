// Growable arrays whose accessors check the index: an index outside is reported as a bounds fault,
// then raises CInvalidArgException.
#pragma once

#include "framework/BoundsFault.h"
#include "framework/Exception.h"

#include <vector>

template <typename T, typename ArgT = const T&>
class CArray {
public:
    INT_PTR GetSize() const { return static_cast<INT_PTR>(m_items.size()); }
    INT_PTR GetCount() const { return GetSize(); }
    bool IsEmpty() const { return m_items.empty(); }

    T GetAt(INT_PTR index) const { return m_items[Checked(index)]; }
    T& ElementAt(INT_PTR index) { return m_items[Checked(index)]; }
    void SetAt(INT_PTR index, ArgT value) { m_items[Checked(index)] = value; }
    T& operator[](INT_PTR index) { return ElementAt(index); }
    T operator[](INT_PTR index) const { return GetAt(index); }

    INT_PTR Add(ArgT value) {
        m_items.push_back(value);
        return GetSize() - 1;
    }
    void RemoveAt(INT_PTR index, INT_PTR count = 1) {
        const size_t first = Checked(index);
        if (count < 0 || static_cast<size_t>(count) > m_items.size() - first) {
            CBoundsFault::Report("CArray::RemoveAt count");
            AfxThrowInvalidArgException();
        }
        m_items.erase(m_items.begin() + static_cast<std::ptrdiff_t>(first),
                      m_items.begin() + static_cast<std::ptrdiff_t>(first + static_cast<size_t>(count)));
    }
    void RemoveAll() { m_items.clear(); }

private:
    size_t Checked(INT_PTR index) const {
        if (index < 0 || static_cast<size_t>(index) >= m_items.size()) {
            CBoundsFault::Report("CArray index");
            AfxThrowInvalidArgException();
        }
        return static_cast<size_t>(index);
    }

    std::vector<T> m_items;
};

class CPtrArray : public CArray<void*, void*> {};

// An array of typed pointers over one of the untyped pointer arrays.
template <typename Base, typename T>
class CTypedPtrArray : public CArray<T, T> {};
