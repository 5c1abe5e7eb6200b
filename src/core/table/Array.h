#pragma once
// Ordered, growable arrays in the manner of the MFC collection classes the program
// was designed around, indexed from 0. Out-of-range access throws std::out_of_range
// rather than reading past the end.
#include <stdexcept>
#include <string>
#include <vector>

template <class T>
class CArrayOf {
public:
    int GetSize() const { return static_cast<int>(items_.size()); }
    int GetCount() const { return GetSize(); }
    bool IsEmpty() const { return items_.empty(); }

    int Add(const T& value)
    {
        items_.push_back(value);
        return GetSize() - 1;
    }
    const T& GetAt(int i) const { return items_.at(static_cast<size_t>(i)); }
    void SetAt(int i, const T& value) { items_.at(static_cast<size_t>(i)) = value; }
    void RemoveAt(int i, int count = 1)
    {
        if (i < 0 || count < 0 || i + count > GetSize())
            throw std::out_of_range("CArrayOf::RemoveAt");
        items_.erase(items_.begin() + i, items_.begin() + i + count);
    }
    void SetSize(int n) { items_.resize(static_cast<size_t>(n < 0 ? 0 : n)); }
    void RemoveAll() { items_.clear(); }

    T& operator[](int i) { return items_.at(static_cast<size_t>(i)); }
    const T& operator[](int i) const { return GetAt(i); }

    auto begin() const { return items_.begin(); }
    auto end() const { return items_.end(); }

private:
    std::vector<T> items_;
};

class CStringArray : public CArrayOf<std::wstring> {};
