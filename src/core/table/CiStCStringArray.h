#pragma once
#include <string>

#include "core/table/Array.h"

class CiStCStringArray : public CStringArray {
public:
    // Index of the first element equal to text as a whole, ignoring letter case as
    // Windows does for file names; -1 when none is.
    int FindNoCase(const std::wstring& text) const;
};

// Whole-string comparison ignoring letter case the way the file system does.
bool EqualsNoCase(const std::wstring& a, const std::wstring& b);
