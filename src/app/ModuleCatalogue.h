#pragma once
// The built-in module catalogue: the standard module file names under which modules
// are deployed, each with a present flag (1 once a module of that name is installed
// or has just been deployed). Names never change after the fill; flags only go 0 -> 1.
#include <string>

#include "app/CiStCStringArray.h"

struct ModuleCatalogue {
    CiStCStringArray names;
    CUIntArray presentFlags;

    // Fills the names in catalogue order with every flag 0.
    void FillCatalogue();
    // Index of the name equal to fileName ignoring case, or -1.
    int Find(const std::wstring& fileName) const { return names.FindNoCase(fileName); }
    bool IsPresent(int i) const { return presentFlags.GetAt(i) == 1; }
    void MarkPresent(int i) { presentFlags.SetAt(i, 1); }
    // Lowest index whose flag is 0, or -1 when every name is in use.
    int FirstFree() const;
};

// Number of names in the catalogue.
inline constexpr int kCatalogueSize = 37;
