#include "core/table/CiStCStringArray.h"

#include <windows.h>

bool EqualsNoCase(const std::wstring& a, const std::wstring& b)
{
    // CompareStringOrdinal with bIgnoreCase is the system's ordinal, locale-independent
    // case folding: the same rule NTFS applies to names, and no linguistic surprises.
    return CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(),
                                static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

int CiStCStringArray::FindNoCase(const std::wstring& text) const
{
    for (int i = 0; i < GetSize(); ++i)
        if (EqualsNoCase(GetAt(i), text))
            return i;
    return -1;
}
